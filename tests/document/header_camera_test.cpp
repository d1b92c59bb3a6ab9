// What a saved file's header says about the scene's default camera: the
// camera's own resolution mode, width and height, for a camera of the
// scene or a producer camera, and nothing for a default that is no camera.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "document/scene_writer.h"
#include "scene/camera.h"
#include "scene/camera_switcher.h"
#include "scene/scene.h"

namespace {

void SetResolution(VCamera& camera, int mode, double width, double height) {
  camera.mResolutionMode->SetInt(mode);
  camera.mAspectW->SetDouble(width);
  camera.mAspectH->SetDouble(height);
}

TEST(HeaderCamera, EachResolutionModeIsWrittenByItsName) {
  const char* const names[] = {"Window Size", "Fixed Ratio", "Fixed Resolution", "Fixed Width Resolution",
                               "Fixed Height Resolution"};
  VScene scene;
  auto* camera = static_cast<VCamera*>(scene.Add(std::make_unique<VCamera>("Shot")));
  ASSERT_NE(camera, nullptr);
  scene.settings().default_camera = "Model::Shot";
  for (int mode = 0; mode < 5; ++mode) {
    SetResolution(*camera, mode, 100.5 + mode, 0.25 * mode);
    VZynHeaderCamera header;
    ASSERT_TRUE(VZynHeaderCameraOf(scene, &header)) << mode;
    EXPECT_EQ(header.name, "Model::Shot");
    EXPECT_EQ(header.mode, names[mode]);
    EXPECT_EQ(header.width, 100.5 + mode);
    EXPECT_EQ(header.height, 0.25 * mode);
  }
  // A number no mode has (a hostile file's) sizes a track as the window
  // size does: the header says so rather than a name nobody knows.
  for (int mode : {-1, 5, 1 << 30}) {
    camera->mResolutionMode->SetInt(mode);
    VZynHeaderCamera header;
    ASSERT_TRUE(VZynHeaderCameraOf(scene, &header));
    EXPECT_EQ(header.mode, "Window Size") << mode;
  }
}

TEST(HeaderCamera, AProducerCameraIsTheDefaultOfANewScene) {
  VScene scene;
  auto* top = dynamic_cast<VCamera*>(scene.FindSystemCamera("Model::Producer Top"));
  ASSERT_NE(top, nullptr);
  SetResolution(*top, 2, 1280, 720);
  VZynHeaderCamera header;
  ASSERT_TRUE(VZynHeaderCameraOf(scene, &header));
  EXPECT_EQ(header.name, "Model::Producer Perspective");
  EXPECT_EQ(header.mode, "Window Size");
  scene.settings().default_camera = "Model::Producer Top";
  ASSERT_TRUE(VZynHeaderCameraOf(scene, &header));
  EXPECT_EQ(header.name, "Model::Producer Top");
  EXPECT_EQ(header.mode, "Fixed Resolution");
  EXPECT_EQ(header.width, 1280.0);
  EXPECT_EQ(header.height, 720.0);
}

TEST(HeaderCamera, ADefaultThatIsNoCameraGivesNone) {
  VScene scene;
  ASSERT_NE(scene.Add(std::make_unique<VCameraSwitcher>("Switcher")), nullptr);
  VZynHeaderCamera header;
  header.name = "untouched";
  for (const char* name : {"Model::Switcher", "Model::Nobody", ""}) {
    scene.settings().default_camera = name;
    EXPECT_FALSE(VZynHeaderCameraOf(scene, &header)) << name;
  }
  EXPECT_EQ(header.name, "untouched");
}

}  // namespace
