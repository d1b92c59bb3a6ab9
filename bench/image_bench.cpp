// Decoding costs of a 1024 x 1024 image in the formats textures mostly come
// in, and the cost of writing a 640 x 480 frame as PNG.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "bench/bench_main.h"
#include "render/image/image.h"
#include "render/image/image_registry.h"
#include "render/image/jpeg_reader.h"
#include "render/image/png_writer.h"
#include "render/image/tga_reader.h"

namespace {

constexpr int kSide = 1024;

// A texture-like picture: smooth gradients with some hard-edged shapes, so
// run-length and block coders see both runs and detail.
VImage Picture(int width, int height, int layout) {
  VImage image;
  image.Allocate(width, height, layout);
  const int bpp = image.GetBytesPerPixel();
  for (int y = 0; y < height; ++y) {
    uint8_t* row = image.GetRow(y);
    for (int x = 0; x < width; ++x) {
      uint8_t* p = row + x * bpp;
      const bool block = ((x / 64) + (y / 64)) % 3 == 0;
      p[0] = block ? 200 : static_cast<uint8_t>(x * 255 / width);
      p[1] = block ? 40 : static_cast<uint8_t>(y * 255 / height);
      p[2] = static_cast<uint8_t>((x ^ y) & 0xF0);
      if (bpp == 4) p[3] = 255;
    }
  }
  return image;
}

void Append32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// An SGI run-length file of the picture (the run-length format the readers
// decode; TGA is read uncompressed only).
std::vector<uint8_t> SgiRunLength(const VImage& image) {
  const int w = image.GetWidth(), h = image.GetHeight();
  std::vector<uint8_t> b(512, 0);
  b[0] = 474 >> 8;
  b[1] = 474 & 0xFF;
  b[2] = 1;
  b[3] = 1;
  b[5] = 3;
  b[6] = static_cast<uint8_t>(w >> 8);
  b[7] = static_cast<uint8_t>(w);
  b[8] = static_cast<uint8_t>(h >> 8);
  b[9] = static_cast<uint8_t>(h);
  b[11] = 3;
  std::vector<std::vector<uint8_t>> rows;
  for (int z = 0; z < 3; ++z) {
    for (int y = 0; y < h; ++y) {
      std::vector<uint8_t> out;
      const uint8_t* p = image.GetRow(y) + z;
      int x = 0;
      while (x < w) {
        int run = 1;
        while (x + run < w && run < 127 && p[(x + run) * 3] == p[x * 3]) ++run;
        if (run > 2) {
          out.push_back(static_cast<uint8_t>(run));
          out.push_back(p[x * 3]);
          x += run;
        } else {
          int lit = 0;
          while (x + lit < w && lit < 127 && !(x + lit + 2 < w && p[(x + lit) * 3] == p[(x + lit + 1) * 3] &&
                                                p[(x + lit) * 3] == p[(x + lit + 2) * 3])) {
            ++lit;
          }
          out.push_back(static_cast<uint8_t>(0x80 | lit));
          for (int i = 0; i < lit; ++i) out.push_back(p[(x + i) * 3]);
          x += lit;
        }
      }
      out.push_back(0);
      rows.push_back(out);
    }
  }
  uint32_t offset = static_cast<uint32_t>(512 + rows.size() * 8);
  std::vector<uint8_t> starts, lengths;
  for (const auto& r : rows) {
    for (int i = 3; i >= 0; --i) starts.push_back(static_cast<uint8_t>(offset >> (8 * i)));
    for (int i = 3; i >= 0; --i) lengths.push_back(static_cast<uint8_t>(r.size() >> (8 * i)));
    offset += static_cast<uint32_t>(r.size());
  }
  b.insert(b.end(), starts.begin(), starts.end());
  b.insert(b.end(), lengths.begin(), lengths.end());
  for (const auto& r : rows) b.insert(b.end(), r.begin(), r.end());
  return b;
}

// A DXT5 file of 1024 x 1024 with varied blocks.
std::vector<uint8_t> Dxt5() {
  std::vector<uint8_t> b;
  const char magic[] = "DDS ";
  b.insert(b.end(), magic, magic + 4);
  const uint32_t header[] = {124, 0x1007, kSide, kSide, 0, 0, 1};
  for (uint32_t v : header) Append32(b, v);
  for (int i = 0; i < 11; ++i) Append32(b, 0);
  Append32(b, 32);
  Append32(b, 0x4);
  b.insert(b.end(), {'D', 'X', 'T', '5'});
  for (int i = 0; i < 5; ++i) Append32(b, 0);
  Append32(b, 0x1000);
  for (int i = 0; i < 4; ++i) Append32(b, 0);
  uint32_t seed = 12345;
  for (int i = 0; i < (kSide / 4) * (kSide / 4) * 16; ++i) {
    seed = seed * 1664525 + 1013904223;
    b.push_back(static_cast<uint8_t>(seed >> 24));
  }
  return b;
}

void Decode(benchmark::State& state, const char* extension, const std::vector<uint8_t>& file) {
  std::unique_ptr<VImageStream> stream = VImageRegistry::Instance().CreateReader(extension);
  for (auto _ : state) {
    VImage image;
    if (!stream->ReadMemory(file.data(), file.size(), image)) state.SkipWithError("decoding failed");
    benchmark::DoNotOptimize(image.GetData());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSide * kSide);
}

void BM_DecodeTga(benchmark::State& state) {
  std::vector<uint8_t> file;
  VImageStreamtga::Encode(Picture(kSide, kSide, VImage::kLayoutBGRA), &file);
  Decode(state, "tga", file);
}
BENCHMARK(BM_DecodeTga)->Unit(benchmark::kMillisecond);

void BM_DecodeSgiRunLength(benchmark::State& state) {
  Decode(state, "sgi", SgiRunLength(Picture(kSide, kSide, VImage::kLayoutRGB)));
}
BENCHMARK(BM_DecodeSgiRunLength)->Unit(benchmark::kMillisecond);

void BM_DecodeDxt5(benchmark::State& state) { Decode(state, "dds", Dxt5()); }
BENCHMARK(BM_DecodeDxt5)->Unit(benchmark::kMillisecond);

void BM_DecodeJpeg(benchmark::State& state) {
  std::vector<uint8_t> file;
  VImageStreamJPG::Encode(Picture(kSide, kSide, VImage::kLayoutRGB), 85, &file);
  Decode(state, "jpg", file);
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);

void BM_WritePng(benchmark::State& state) {
  const VImage frame = Picture(640, 480, static_cast<int>(state.range(0)));
  std::vector<uint8_t> png;
  for (auto _ : state) {
    VImageEncodePNG(frame, &png);
    benchmark::DoNotOptimize(png.data());
  }
  state.counters["bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_WritePng)->Arg(VImage::kLayoutRGB)->Arg(VImage::kLayoutRGBA)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
