// The scan's arithmetic: track sizes of the resolution modes and media
// units of take lengths, at their boundaries and with hostile values.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "component/import_scan.h"
#include "import_scene_files.h"
#include "support/temp_dir.h"

namespace {

using qtzyn::CameraResolution;
using qtzyn::MediaUnitsOfSpan;
using qtzyn::TrackSizeOf;

constexpr std::int64_t kTicksPerSecond = 46186158000LL;
constexpr std::int64_t kUnit = kTicksPerSecond / 60;  // one media unit, exactly

TEST(ImportScan, MediaUnitsRoundUpToTheNextSixtiethOnly) {
  EXPECT_EQ(MediaUnitsOfSpan(0, 0), 0);
  EXPECT_EQ(MediaUnitsOfSpan(0, 1), 1);
  EXPECT_EQ(MediaUnitsOfSpan(0, kUnit - 1), 1);
  EXPECT_EQ(MediaUnitsOfSpan(0, kUnit), 1);
  EXPECT_EQ(MediaUnitsOfSpan(0, kUnit + 1), 2);
  EXPECT_EQ(MediaUnitsOfSpan(0, 7 * kUnit), 7);  // no rounding noise on exact units
  EXPECT_EQ(MediaUnitsOfSpan(0, 301 * kTicksPerSecond / 100), 181);
  EXPECT_EQ(MediaUnitsOfSpan(5 * kTicksPerSecond, 2 * kTicksPerSecond), 180);  // backwards
  EXPECT_EQ(MediaUnitsOfSpan(-kTicksPerSecond, kTicksPerSecond), 120);
}

TEST(ImportScan, HugeSpansSaturateInsteadOfOverflowing) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr SInt32 kTop = std::numeric_limits<SInt32>::max();
  EXPECT_EQ(MediaUnitsOfSpan(kMin, kMax), kTop);
  EXPECT_EQ(MediaUnitsOfSpan(kMax, kMin), kTop);
  EXPECT_EQ(MediaUnitsOfSpan(0, kMax), kTop);
  EXPECT_EQ(qtzyn::ScanSceneFile(nullptr).duration, 1);
}

TEST(ImportScan, ResolutionValuesThatAreNoNumberCountAsOne) {
  const double nan = std::nan("");
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(TrackSizeOf({2, nan, 480}).width, 1);
  EXPECT_EQ(TrackSizeOf({2, 640, -inf}).height, 1);
  EXPECT_EQ(TrackSizeOf({2, inf, 480}).width, qtzyn::kMaxTrackSide);
  EXPECT_EQ(TrackSizeOf({3, 1e308, 1e308}).height, qtzyn::kMaxTrackSide);
  for (SInt32 mode : {-1, 0, 5, 1000}) {
    const qtzyn::TrackSize size = TrackSizeOf({mode, 640, 480});
    EXPECT_EQ(size.width, 500) << mode;
    EXPECT_EQ(size.height, 280) << mode;
  }
  const CameraResolution defaults;
  EXPECT_EQ(TrackSizeOf(defaults).width, 500);
  EXPECT_EQ(qtzyn::SizeModeOfName("Fixed Height Resolution"), qtzyn::SizeMode::kFixedHeightResolution);
}

// The importer may scan a file while the viewer core's loader thread reads
// another scene: scans read scenes of their own and share nothing (run
// under TSan).
TEST(ImportScan, ScansOnSeveralThreadsAtOnceAgree) {
  testing_support::TempDir dir;
  component_test::SceneFileOptions options;
  options.headerCamera = false;  // every scan reads the whole scene
  options.cameraMode = 2;
  options.cameraW = 640;
  options.cameraH = 360;
  options.takeTicks = {2 * kTicksPerSecond};
  const std::string binary = dir.File("binary.zyn");
  component_test::WriteSceneFile(binary, options);
  options.binary = false;
  const std::string ascii = dir.File("ascii.zyn");
  component_test::WriteSceneFile(ascii, options);
  std::vector<qtzyn::ImportScan> scans(4);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < scans.size(); ++i) {
    threads.emplace_back([&scans, i, &binary, &ascii] {
      scans[i] = qtzyn::ScanSceneFile((i % 2 ? ascii : binary).c_str());
    });
  }
  for (std::thread& t : threads) t.join();
  for (const qtzyn::ImportScan& scan : scans) {
    EXPECT_EQ(scan.size.width, 640);
    EXPECT_EQ(scan.size.height, 360);
    EXPECT_EQ(scan.duration, 121);
  }
}

}  // namespace
