// The sample scene as `zyn render` draws it, compared with approved images
// in every display mode and the X-Ray and Models Only viewing modes.
//
// A pixel deviates when any channel differs from the reference by more than
// kChannelTolerance; a frame fails when more than kDeviatingShare of its
// pixels deviate, which lets rasteriser rounding through but not a moved or
// recoloured object. On failure the frame and a diff image (deviating pixels
// red on a darkened copy) go into $QTZYN_RENDER_OUT, else the working
// folder. With QTZYN_RENDER_APPROVE=1 the frames replace the references
// instead (scripts/approve-render-references).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "render/image/image.h"
#include "render/image/png_writer.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_player_control.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_system.h"
#include "sdk/yr_time.h"
#include "sdk/yr_zyn_manager.h"
#include "support/png_image.h"
#include "support/temp_dir.h"
#include "tools/common/offscreen_frame.h"
#include "tools/zyn/demo_scene.h"
#include "tools/zyn/demo_shading.h"

namespace {

using testing_support::RgbaImage;

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr double kSeconds = 1.25;
constexpr int kChannelTolerance = 8;
constexpr double kDeviatingShare = 0.005;

bool WritePNG(const RgbaImage& image, const std::string& path) {
  VImage out;
  if (!out.Allocate(image.width, image.height, VImage::kLayoutRGBA)) return false;
  // The image buffer holds the bottom row first.
  const std::size_t row = static_cast<std::size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y)
    std::copy_n(&image.pixels[y * row], row, out.GetData() + (image.height - 1 - y) * row);
  return VImageWritePNG(out, path);
}

// The frame holds the bottom row first.
RgbaImage TopRowFirst(const tools::OffscreenFrame& frame) {
  RgbaImage image;
  image.width = frame.Width();
  image.height = frame.Height();
  image.pixels = frame.Pixels();
  return testing_support::Mirrored(image);
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

bool Approving() { return EnvOr("QTZYN_RENDER_APPROVE", "") == "1"; }

struct ReferenceCase {
  const char* name;  // the reference file's stem
  int display;
  int viewing;
};

void PrintTo(const ReferenceCase& c, std::ostream* os) { *os << c.name; }

const ReferenceCase kCases[] = {
    {"sample_default", YrSDK::kYrModelShadingDefault, YrSDK::kYrViewingNormal},
    {"sample_wire_frame", YrSDK::kYrModelShadingWire, YrSDK::kYrViewingNormal},
    {"sample_flat_shaded", YrSDK::kYrModelShadingFlat, YrSDK::kYrViewingNormal},
    {"sample_hard_shaded", YrSDK::kYrModelShadingHard, YrSDK::kYrViewingNormal},
    {"sample_textured", YrSDK::kYrModelShadingTexture, YrSDK::kYrViewingNormal},
    {"sample_x_ray", YrSDK::kYrModelShadingDefault, YrSDK::kYrViewingXRay},
    {"sample_models_only", YrSDK::kYrModelShadingDefault, YrSDK::kYrViewingModelsOnly},
};

class SampleSceneReferenceTest : public ::testing::TestWithParam<ReferenceCase> {
 protected:
  // The sample scene goes through a file, as `zyn demo` writes it (its
  // checker texture beside it) and `zyn render` reads it back.
  static void SetUpTestSuite() {
    folder_ = new testing_support::TempDir();
    scene_path_ = folder_->File("sample.zyn");
    ASSERT_TRUE(YrSDK::YrKernel::Init());
    VScene& scene = *YrSDK::YrKernelObjects::GetScene();
    scene.Clear();
    zyn_tool::BuildDemoScene(scene);
    ASSERT_TRUE(zyn_tool::WriteDemoTextures(scene, scene_path_));
    YrSDK::YrZynManager manager;
    ASSERT_TRUE(manager.Save(scene_path_, true)) << manager.GetLastMessage();
    scene.Clear();
  }

  static void TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(YrSDK::YrKernel::Init());
    YrSDK::YrZynManager manager;
    const bool loaded = manager.LoadBegin(scene_path_) && manager.Load();
    manager.LoadEnd();
    ASSERT_TRUE(loaded) << manager.GetLastMessage();
    std::string message;
    if (!frame_.Open(kWidth, kHeight, false, &message)) {
      // Approving without a context would silently keep the old images.
      if (Approving()) FAIL() << "no OpenGL context here: " << message;
      GTEST_SKIP() << "no OpenGL context here: " << message;
    }
  }

  void TearDown() override {
    YrSDK::YrRenderer renderer = YrSDK::YrSystem().GetRenderer();
    renderer.SetCurrentCamera(YrSDK::YrComponent());
    renderer.SetViewingOptions(YrSDK::YrViewingOptions());
    YrSDK::YrKernelObjects::GetScene()->Clear();
  }

  static testing_support::TempDir* folder_;
  static std::string scene_path_;
  tools::OffscreenFrame frame_;
};

testing_support::TempDir* SampleSceneReferenceTest::folder_ = nullptr;
std::string SampleSceneReferenceTest::scene_path_;

TEST_P(SampleSceneReferenceTest, MatchesTheApprovedImage) {
  const ReferenceCase& c = GetParam();
  const char* data = std::getenv("QTZYN_TEST_DATA");
  ASSERT_TRUE(data && *data) << "QTZYN_TEST_DATA names the tests' data folder (ctest sets it)";
  const std::string reference = std::string(data) + "/render/reference/" + c.name + ".png";

  YrSDK::YrPlayerControl player;
  YrSDK::YrTime time;
  time.SetSecondDouble(kSeconds);
  ASSERT_TRUE(player.Goto(time));
  YrSDK::YrRenderer renderer = YrSDK::YrSystem().GetRenderer();
  ASSERT_TRUE(renderer.IsValid());
  renderer.SetSceneFilePath(scene_path_.c_str());
  YrSDK::YrViewingOptions options = renderer.GetViewingOptions();
  options.DisplayWhat = c.display;
  options.PickingMode = c.viewing;
  ASSERT_TRUE(renderer.SetViewingOptions(options));
  ASSERT_TRUE(frame_.Render(renderer));
  const RgbaImage actual = TopRowFirst(frame_);

  if (Approving()) {
    std::filesystem::create_directories(std::filesystem::path(reference).parent_path());
    ASSERT_TRUE(WritePNG(actual, reference)) << reference;
    return;
  }

  const std::string out_folder = EnvOr("QTZYN_RENDER_OUT", std::filesystem::current_path().string());
  const std::string actual_path = out_folder + "/" + c.name + "_actual.png";
  const std::string diff_path = out_folder + "/" + c.name + "_diff.png";
  RgbaImage expected;
  std::string message;
  if (!testing_support::ReadPNGFile(reference, &expected, &message)) {
    WritePNG(actual, actual_path);
    FAIL() << "cannot read " << reference << " (" << message << "); the frame is in " << actual_path
           << "; scripts/approve-render-references makes the references";
  }
  if (expected.width != actual.width || expected.height != actual.height) {
    WritePNG(actual, actual_path);
    FAIL() << reference << " is " << expected.width << "x" << expected.height << ", the frame " << actual.width
           << "x" << actual.height << "; the frame is in " << actual_path;
  }
  RgbaImage diff;
  const int deviating = testing_support::CountDeviatingPixels(actual, expected, kChannelTolerance, &diff);
  const int allowed = static_cast<int>(kDeviatingShare * kWidth * kHeight);
  if (deviating > allowed) {
    WritePNG(actual, actual_path);
    WritePNG(diff, diff_path);
    ADD_FAILURE() << deviating << " of " << kWidth * kHeight << " pixels differ from " << reference << " by more than "
                  << kChannelTolerance << " (at most " << allowed << " may); the frame and the difference are in "
                  << out_folder << " (" << c.name << "_actual.png, " << c.name << "_diff.png)";
  }
}

INSTANTIATE_TEST_SUITE_P(DisplayAndViewingModes, SampleSceneReferenceTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ReferenceCase>& info) { return std::string(info.param.name); });

}  // namespace
