// zynplay --frames and --movie: the files written, their names and count,
// and the movie's hand-over to ffmpeg (a stand-in program here, so that the
// tests need no encoder).

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/png_image.h"
#include "support/temp_dir.h"
#include "tools/zynplay_test_support.h"

namespace {

using zynplay_test::Has;
using zynplay_test::Zynplay;

std::vector<std::string> FolderEntries(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* d = opendir(path.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

long SampleDuration(const std::string& scene) {
  const auto r = Zynplay("--import-info " + scene);
  const std::size_t at = r.out.find("\"duration\":");
  if (r.code != 0 || at == std::string::npos) return -1;
  return std::stol(r.out.substr(at + 11));
}

TEST(ZynplayFrames, FramesAreNamedByMediaTimeFromFromToToInSteps) {
  testing_support::TempDir dir;
  const std::string scene = zynplay_test::WriteSampleScene(dir);
  const std::string frames = dir.File("frames");
  auto r = Zynplay(scene + " --frames " + frames + " --from 10 --to 40 --step 10 --size 160x120 --trace " +
                   dir.File("trace.json"));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(FolderEntries(frames), (std::vector<std::string>{"frame_000010.png", "frame_000020.png",
                                                             "frame_000030.png", "frame_000040.png"}));
  testing_support::RgbaImage image;
  std::string message;
  ASSERT_TRUE(testing_support::ReadPNGFile(frames + "/frame_000040.png", &image, &message)) << message;
  EXPECT_EQ(image.width, 160);
  EXPECT_EQ(image.height, 120);
  const auto trace = zynplay_test::ReadLines(dir.File("trace.json"));
  EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [](const std::string& l) {
    return Has(l, "{\"call\":\"idle\",\"time\":40,\"flags\":0,\"result\":0,\"drew\":true");
  }));

  // By default the whole track: 0 to duration - 1.
  const long duration = SampleDuration(scene);
  ASSERT_GT(duration, 60);
  const std::string all = dir.File("all");
  r = Zynplay(scene + " --frames " + all + " --step 60 --size 64x48");
  ASSERT_EQ(r.code, 0) << r.out;
  const std::vector<std::string> names = FolderEntries(all);
  EXPECT_EQ(static_cast<long>(names.size()), (duration - 1) / 60 + 1);
  char last[32];
  std::snprintf(last, sizeof last, "frame_%06ld.png", (duration - 1) / 60 * 60);
  EXPECT_EQ(names.back(), last);
}

TEST(ZynplayFrames, AFolderThatCannotBeMadeIsAFileFailure) {
  testing_support::TempDir dir;
  const std::string scene = zynplay_test::WriteSampleScene(dir);
  const auto r = Zynplay(scene + " --frames " + scene + "/frames");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out.rfind("zynplay: Unable to make the folder ", 0), 0u) << r.out;
}

// A stand-in for ffmpeg: records its arguments, the bytes it was sent and
// the size of the sound file, writes the output (its last argument), and
// exits with `status`.
std::string WriteFakeFfmpeg(const testing_support::TempDir& dir, int status) {
  const std::string bin = dir.File("bin");
  mkdir(bin.c_str(), 0755);
  const std::string script =
      "#!/bin/sh\n"
      "echo \"$@\" > " + dir.File("args") + "\n"
      "sound=''; prev=''; for a in \"$@\"; do\n"
      "  if [ \"$prev\" = -i ] && [ \"$a\" != pipe:0 ]; then sound=\"$a\"; fi; prev=\"$a\"; last=\"$a\"; done\n"
      "[ -n \"$sound\" ] && wc -c < \"$sound\" > " + dir.File("sound_bytes") + "\n"
      "wc -c > " + dir.File("frame_bytes") + "\n"
      "echo movie > \"$last\"\n"
      "exit " + std::to_string(status) + "\n";
  testing_support::WriteFileBytes(bin + "/ffmpeg", script);
  chmod((bin + "/ffmpeg").c_str(), 0755);
  return bin;
}

long ReadNumber(const std::string& path) {
  const std::string text = testing_support::ReadFileBytes(path);
  return text.empty() ? -1 : std::stol(text);
}

TEST(ZynplayMovie, EveryFrameAndTheMixedSoundGoToFfmpeg) {
  testing_support::TempDir dir;
  const std::string scene = zynplay_test::WriteSampleScene(dir);
  const long duration = SampleDuration(scene);
  const std::string bin = WriteFakeFfmpeg(dir, 0);
  const std::string out = dir.File("out") + "/sample.mp4";
  mkdir(dir.File("out").c_str(), 0755);
  const auto r = Zynplay(scene + " --movie " + out + " --size 64x48", "PATH=" + bin + ":/usr/bin:/bin");
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(testing_support::ReadFileBytes(out), "movie\n");
  EXPECT_EQ(FolderEntries(dir.File("out")), std::vector<std::string>{"sample.mp4"}) << "no temporary file is left";
  EXPECT_EQ(ReadNumber(dir.File("frame_bytes")), 64L * 48 * 4 * duration);
  // The sample's tone clip: one stereo float stream as long as the movie.
  EXPECT_EQ(ReadNumber(dir.File("sound_bytes")), duration * 48000 / 60 * 2 * 4);
  const std::string args = testing_support::ReadFileBytes(dir.File("args"));
  EXPECT_TRUE(Has(args, "-f rawvideo -pix_fmt rgba -s 64x48 -r 60 -i pipe:0")) << args;
  EXPECT_TRUE(Has(args, "-f f32le -ac 2 -ar 48000")) << args;
}

TEST(ZynplayMovie, WithoutFfmpegOrWhenItFailsNothingIsLeftUnderTheName) {
  testing_support::TempDir dir;
  const std::string scene = zynplay_test::WriteSampleScene(dir);
  mkdir(dir.File("out").c_str(), 0755);
  const std::string out = dir.File("out") + "/sample.mp4";
  auto r = Zynplay(scene + " --movie " + out, "PATH=" + dir.File("nowhere"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "zynplay: ffmpeg is not installed: --movie encodes with the ffmpeg program, found on PATH\n");
  const std::string bin = WriteFakeFfmpeg(dir, 1);
  r = Zynplay(scene + " --movie " + out + " --size 32x32", "PATH=" + bin + ":/usr/bin:/bin");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.out, "zynplay: ffmpeg failed (exit 1)")) << r.out;
  EXPECT_TRUE(FolderEntries(dir.File("out")).empty()) << "neither the movie nor a temporary file";
  r = Zynplay(scene + " --movie " + dir.File("none") + "/sample.mp4", "PATH=" + bin + ":/usr/bin:/bin");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out.rfind("zynplay: Unable to open file " + dir.File("none") + "/sample.mp4 for writing: ", 0), 0u)
      << r.out;
}

}  // namespace
