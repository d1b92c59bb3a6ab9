// Writing movie frames the way `zynplay --frames` does (a copy of the port
// handed to the PNG writer thread), beside two anchors measured in the same
// run: copying the raw frames into a file, and encoding the PNG alone on
// the calling thread. Frames are 640 x 480, drawn to look like the sample
// scene: a flat background, a checkered floor and a few solid shapes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_main.h"
#include "tools/zynplay/png_frame_writer.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kRowBytes = kWidth * 4;
// Files the writers cycle through, so that the folder stays small.
constexpr int kFileCycle = 8;

std::vector<std::uint8_t> SceneLikeFrame() {
  std::vector<std::uint8_t> frame(static_cast<std::size_t>(kRowBytes) * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      std::uint8_t* p = &frame[static_cast<std::size_t>(y) * kRowBytes + x * 4];
      std::uint8_t r = 160, g = 160, b = 160;
      if (y > 220 && y < 380) {
        // The floor: a checker that narrows towards the horizon.
        const int depth = y - 220;
        const int half = 120 + depth * 2;
        if (x > 320 - half && x < 320 + half) {
          const bool dark = (((x - 320) * 40 / half + 40) / 5 + depth / 16) % 2 == 0;
          r = dark ? 60 : 220;
          g = dark ? 66 : 210;
          b = dark ? 80 : 190;
        }
      }
      if (x > 420 && x < 450 && y > 200 && y < 300) r = 200, g = 30, b = 20;  // the tube
      if (x > 220 && x < 270 && y > 225 && y < 260) r = 40, g = 80, b = 220;  // the flag
      p[0] = r;
      p[1] = g;
      p[2] = b;
      p[3] = 255;
    }
  }
  return frame;
}

std::string Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/zynplay_bench_XXXXXX";
    const char* made = mkdtemp(name);
    return std::string(made != nullptr ? made : "/tmp");
  }();
  return folder;
}

std::string FramePath(long i) { return Folder() + "/frame_" + std::to_string(i % kFileCycle) + ".png"; }

void BM_FramesWrittenLikeTheFramesOption(benchmark::State& state) {
  const std::vector<std::uint8_t> frame = SceneLikeFrame();
  zynplay::PngFrameWriter writer;
  long i = 0;
  for (auto _ : state) writer.Write(FramePath(i++), frame.data(), kWidth, kHeight, kRowBytes);
  std::string message;
  if (!writer.Finish(&message)) state.SkipWithError(message.c_str());
  state.SetItemsProcessed(i);
}
BENCHMARK(BM_FramesWrittenLikeTheFramesOption)->Unit(benchmark::kMillisecond)->UseRealTime();

// Anchor: the same frames copied out of the port and written raw.
void BM_AnchorRawFrameCopyToFile(benchmark::State& state) {
  const std::vector<std::uint8_t> frame = SceneLikeFrame();
  std::vector<std::uint8_t> copy(frame.size());
  long i = 0;
  for (auto _ : state) {
    std::memcpy(copy.data(), frame.data(), frame.size());
    std::FILE* f = std::fopen((Folder() + "/raw_" + std::to_string(i++ % kFileCycle)).c_str(), "wb");
    if (f == nullptr) {
      state.SkipWithError("cannot write the raw frame");
      break;
    }
    std::fwrite(copy.data(), 1, copy.size(), f);
    std::fclose(f);
  }
  state.SetItemsProcessed(i);
}
BENCHMARK(BM_AnchorRawFrameCopyToFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Anchor: the PNG encoding alone, on this thread, at zlib level Arg.
void BM_AnchorPngEncodeOnly(benchmark::State& state) {
  const std::vector<std::uint8_t> frame = SceneLikeFrame();
  std::vector<std::uint8_t> png;
  std::string message;
  for (auto _ : state) {
    if (!zynplay::EncodeFramePng(frame.data(), kWidth, kHeight, kRowBytes, static_cast<int>(state.range(0)), &png,
                                 &message)) {
      state.SkipWithError(message.c_str());
      break;
    }
    benchmark::DoNotOptimize(png.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_AnchorPngEncodeOnly)->Arg(zynplay::kFramePngCompressionLevel)->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
