// Headless runs over a scene that claims an enormous length: a run without
// --to is refused with a message that names --to, and one with --to draws
// just the range asked for. The range rules in-process, at their bounds.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <dirent.h>

#include <string>

#include "support/temp_dir.h"
#include "tools/zynplay/player_options.h"
#include "tools/zynplay_test_support.h"

namespace {

using zynplay::FrameRange;
using zynplay::kMaxDefaultRunFrames;
using zynplay::PlayerOptions;
using zynplay::RunRange;
using zynplay_test::Has;
using zynplay_test::Zynplay;

constexpr long kLongest = 2147483647L;  // what the importer saturates a take's length to
constexpr long kClaimedUnits = 100000000L;
constexpr long kTicksPerUnit = 46186158000L / 60;

int CountEntries(const std::string& path) {
  int n = 0;
  if (DIR* d = opendir(path.c_str())) {
    while (dirent* e = readdir(d)) n += e->d_name[0] != '.';
    closedir(d);
  }
  return n;
}

PlayerOptions Frames() {
  PlayerOptions o;
  o.framesDir = "frames";
  return o;
}

TEST(ZynplayRunRange, ADefaultRangeStopsAtTheLimitAndAnExplicitOneDoesNot) {
  FrameRange range;
  std::string message;
  PlayerOptions o = Frames();
  ASSERT_TRUE(RunRange(o, kMaxDefaultRunFrames, &range, &message));
  EXPECT_EQ(range.count(), kMaxDefaultRunFrames);
  EXPECT_FALSE(RunRange(o, kMaxDefaultRunFrames + 1, &range, &message));
  EXPECT_TRUE(Has(message, "--to")) << message;
  EXPECT_FALSE(RunRange(o, kLongest, &range, &message));

  // What counts is the frames drawn: a start or a step can bring it down.
  o.hasFrom = true;
  o.from = 1;
  EXPECT_TRUE(RunRange(o, kMaxDefaultRunFrames + 1, &range, &message));
  o = Frames();
  o.step = 3000;
  ASSERT_TRUE(RunRange(o, kLongest, &range, &message));
  EXPECT_EQ(range.count(), (kLongest - 1) / 3000 + 1);

  // A range the command line names is the user's: taken as it is.
  o = Frames();
  o.hasTo = true;
  o.to = kLongest;
  ASSERT_TRUE(RunRange(o, 10, &range, &message));
  EXPECT_EQ(range.to, kLongest);
  EXPECT_EQ((FrameRange{5, 4, 1}.count()), 0);
}

TEST(ZynplayRunRange, AMovieRunsFromZeroToItsTrackEndOrToTo) {
  FrameRange range;
  std::string message;
  PlayerOptions o;
  o.moviePath = "out.mp4";
  ASSERT_TRUE(RunRange(o, 241, &range, &message));
  EXPECT_EQ(range.from, 0);
  EXPECT_EQ(range.to, 240);
  EXPECT_EQ(range.count(), 241);
  EXPECT_FALSE(RunRange(o, kLongest, &range, &message));
  EXPECT_TRUE(Has(message, "--to")) << message;
  o.hasTo = true;
  o.to = 99;
  ASSERT_TRUE(RunRange(o, kLongest, &range, &message));
  EXPECT_EQ(range.count(), 100);
  o.to = 1000;  // the movie ends with its track
  ASSERT_TRUE(RunRange(o, 241, &range, &message));
  EXPECT_EQ(range.count(), 241);
}

class ZynplayLongScene : public ::testing::Test {
 protected:
  void SetUp() override {
    // The sample in its ASCII form, its first take made to last 10^8
    // units of 1/60 s (19 days; a movie of 600 units a second holds at
    // most 2^31 of those).
    scene_ = dir_.File("long.zyn");
    std::string out;
    ASSERT_EQ(testing_support::RunCommand(std::string(ZYN_PROGRAM) + " demo --ascii " + scene_ + " 2>&1", &out), 0)
        << out;
    std::string text = testing_support::ReadFileBytes(scene_);
    const std::string field = "LocalTime: 0,";
    const std::size_t at = text.find(field);
    ASSERT_NE(at, std::string::npos);
    const std::size_t begin = at + field.size();
    text.replace(begin, text.find('\n', begin) - begin, std::to_string(kClaimedUnits * kTicksPerUnit));
    ASSERT_TRUE(testing_support::WriteFileBytes(scene_, text));
  }

  // A stand-in for ffmpeg that counts the bytes sent and writes its output.
  std::string FakeFfmpeg() {
    const std::string bin = dir_.File("bin");
    mkdir(bin.c_str(), 0755);
    const std::string script = "#!/bin/sh\nfor a in \"$@\"; do last=\"$a\"; done\nwc -c > " +
                               dir_.File("frame_bytes") + "\necho movie > \"$last\"\n";
    testing_support::WriteFileBytes(bin + "/ffmpeg", script);
    chmod((bin + "/ffmpeg").c_str(), 0755);
    return "PATH=" + bin + ":/usr/bin:/bin";
  }

  testing_support::TempDir dir_;
  std::string scene_;
};

TEST_F(ZynplayLongScene, RunsWithoutToAreRefusedAndNameIt) {
  const auto info = Zynplay("--import-info " + scene_);
  ASSERT_TRUE(Has(info.out, "\"duration\":" + std::to_string(kClaimedUnits + 1))) << info.out;

  const std::string frames = dir_.File("frames");
  auto r = Zynplay(scene_ + " --frames " + frames + " --size 32x24");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out.rfind("zynplay: the track lasts 100000001 units", 0), 0u) << r.out;
  EXPECT_TRUE(Has(r.out, "--to")) << r.out;
  EXPECT_EQ(CountEntries(frames), 0);

  const std::string folder = dir_.File("out");
  mkdir(folder.c_str(), 0755);
  r = Zynplay(scene_ + " --movie " + folder + "/long.mp4 --size 32x24", FakeFfmpeg());
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.out, "--to")) << r.out;
  EXPECT_EQ(CountEntries(folder), 0) << "neither the movie nor a temporary file";
}

TEST_F(ZynplayLongScene, RunsWithToDrawJustTheirRange) {
  const std::string frames = dir_.File("frames");
  auto r = Zynplay(scene_ + " --frames " + frames + " --to 2 --size 32x24");
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(CountEntries(frames), 3);

  const std::string movie = dir_.File("long.mp4");
  r = Zynplay(scene_ + " --movie " + movie + " --to 1 --size 32x24", FakeFfmpeg());
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(testing_support::ReadFileBytes(movie), "movie\n");
  EXPECT_EQ(std::stol(testing_support::ReadFileBytes(dir_.File("frame_bytes"))), 2L * 32 * 24 * 4);
}

TEST(ZynplayRunRangeUsage, ToGoesWithFramesOrMovieAndFromAndStepWithFramesOnly) {
  testing_support::TempDir dir;
  const std::string file = dir.File("a.zyn");
  for (const std::string& args : {file + " --to 3", file + " --movie m.mp4 --from 1", file + " --movie m.mp4 --step 2",
                                  file + " --events e.txt --to 3"}) {
    const auto r = Zynplay(args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_EQ(r.out.rfind("zynplay: usage: ", 0), 0u) << r.out;
  }
}

}  // namespace
