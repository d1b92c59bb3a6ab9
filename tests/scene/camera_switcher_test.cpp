// Camera switcher: the index counts from 1 and is clamped into the list,
// names resolve through the scene lazily (also when the file lists cameras
// before they exist), and the list survives both file forms. Also the
// viewer's label texts.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "scene/camera.h"
#include "scene/camera_labels.h"
#include "scene/camera_switcher.h"
#include "scene/light.h"
#include "scene/lighting_setup.h"
#include "scene/scene.h"
#include "support/scene_memory.h"
#include "support/zyn_memory.h"
#include "document/scene_reader.h"
#include "document/scene_writer.h"

// The sample scene of the zyn tool.
#include "tools/zyn/demo_scene.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct SwitcherScene {
  VScene scene;
  VCamera* a;
  VCamera* b;
  VCameraSwitcher* switcher;
  SwitcherScene() {
    // The switcher is added first, as a file may list it before its cameras.
    switcher = static_cast<VCameraSwitcher*>(scene.Add(std::make_unique<VCameraSwitcher>("Camera Switcher")));
    switcher->SetCameraNames({"Model::A", "Model::Producer Top", "Model::B"});
    a = static_cast<VCamera*>(scene.Add(std::make_unique<VCamera>("A")));
    b = static_cast<VCamera*>(scene.Add(std::make_unique<VCamera>("B")));
  }
};

TEST(CameraSwitcherTest, IndexCountsFromOneAndIsClamped) {
  SwitcherScene s;
  const struct {
    double index;
    int position;
  } cases[] = {{1, 1}, {2, 2}, {3, 3}, {2.6, 3}, {1.4, 1}, {0, 1}, {-7, 1}, {99, 3}, {kNaN, 1}, {1e300, 3}};
  for (const auto& c : cases) {
    s.switcher->mCameraIndex->Set(c.index);
    EXPECT_EQ(s.switcher->GetCurrentIndex(), c.position) << c.index;
  }
  s.switcher->mCameraIndex->Set(1);
  EXPECT_EQ(s.switcher->GetCurrentCamera(), s.a);
  s.switcher->SetCurrentIndex(2);
  EXPECT_EQ(s.switcher->GetCurrentCamera(), s.scene.FindSystemCamera("Model::Producer Top"));
  s.switcher->SetCurrentIndex(50);
  EXPECT_EQ(s.switcher->mCameraIndex->Get(), 3);
  EXPECT_EQ(s.switcher->GetCurrentCamera(), s.b);

  // A camera that goes away leaves an empty place, not a dangling pointer.
  s.scene.Remove(s.b);
  EXPECT_EQ(s.switcher->GetCurrentCamera(), nullptr);
  // A name that is not a camera resolves to nothing.
  s.scene.Add(std::make_unique<VModel>("B", "Null"));
  EXPECT_EQ(s.switcher->GetCurrentCamera(), nullptr);

  VCameraSwitcher empty("Empty");
  EXPECT_EQ(empty.GetCurrentIndex(), 0);
  EXPECT_EQ(empty.GetCurrentCamera(), nullptr);
  EXPECT_EQ(empty.GetCamera(0), nullptr);  // no resolver, no list
}

TEST(CameraSwitcherTest, ListAndIndexSurviveBothFileForms) {
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    SwitcherScene s;
    s.switcher->mCameraIndex->Set(3);
    auto* lonely = static_cast<VCameraSwitcher*>(s.scene.Add(std::make_unique<VCameraSwitcher>("Lonely")));
    const auto bytes = testing_support::WriteSceneToMemory(s.scene, binary);
    ASSERT_EQ(lonely->GetCameraCount(), 0);

    VScene read;
    std::string message;
    ASSERT_TRUE(testing_support::ReadSceneFromMemory(bytes, read, &message)) << message;
    auto* switcher = dynamic_cast<VCameraSwitcher*>(read.Find("Model::Camera Switcher"));
    ASSERT_NE(switcher, nullptr);
    EXPECT_EQ(switcher->GetCameraNames(), s.switcher->GetCameraNames());
    EXPECT_EQ(switcher->mCameraIndex->Get(), 3);
    EXPECT_EQ(switcher->GetCurrentCamera(), read.Find("Model::B"));
    EXPECT_NE(switcher->GetCurrentCamera(), nullptr);
    auto* empty = dynamic_cast<VCameraSwitcher*>(read.Find("Model::Lonely"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetCameraCount(), 0);
    // The cameras come back as cameras with their own values.
    auto* a = dynamic_cast<VCamera*>(read.Find("Model::A"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetSubtype(), "Camera");
  }
}

TEST(CameraSwitcherTest, ReaderTakesOneFieldPerCameraToo) {
  const auto bytes = testing_support::WriteZynToMemory(false, [](VZynFile& f) {
    f.FieldWriteBlockBegin("Definitions");
    f.FieldWriteI("Count", 2);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBlockBegin("Objects");
    f.FieldWriteBegin("Model");
    f.FieldWriteC("Model::Camera Switcher");
    f.FieldWriteC("CameraSwitcher");
    f.FieldWriteBlockBegin();
    f.FieldWriteI("Version", 101);
    f.FieldWriteC("CameraIndexName", "Model::Late");
    f.FieldWriteC("CameraIndexName", "Model::Producer Left");
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBegin("Model");
    f.FieldWriteC("Model::Late");
    f.FieldWriteC("Camera");
    f.FieldWriteBlockBegin();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  });
  VScene read;
  std::string message;
  ASSERT_TRUE(testing_support::ReadSceneFromMemory(bytes, read, &message)) << message;
  auto* switcher = dynamic_cast<VCameraSwitcher*>(read.Find("Model::Camera Switcher"));
  ASSERT_NE(switcher, nullptr);
  ASSERT_EQ(switcher->GetCameraCount(), 2);
  EXPECT_EQ(switcher->GetCamera(0), read.Find("Model::Late"));
  EXPECT_EQ(switcher->GetCamera(1), read.FindSystemCamera("Model::Producer Left"));
}

TEST(CameraLabelTest, LabelTexts) {
  EXPECT_EQ(VSwitcherLabel("Cam"), "Switcher (Cam)");
  VCameraLabelInput in;
  in.name = "Cam";
  EXPECT_EQ(VCameraLabel(in), "Cam");
  in.roll = -12.345;
  in.show_field_of_view = true;
  in.field_of_view = 40;
  in.zooming = true;
  in.picking_mode = 1;
  EXPECT_EQ(VCameraLabel(in), "Cam (Roll:-12.35 degrees) (Field Of View : 40.00 degrees) (Zooming) (X-Ray)");
  in = VCameraLabelInput{};
  in.name = "Cam";
  in.roll = kNaN;
  in.picking_mode = 2;
  EXPECT_EQ(VCameraLabel(in), "Cam (Models only)");
  in.picking_mode = 7;
  in.roll = 1e300;
  in.show_field_of_view = true;
  in.field_of_view = kNaN;
  const std::string label = VCameraLabel(in);
  EXPECT_EQ(label.find("nan"), std::string::npos);
  EXPECT_LT(label.size(), 80u);
}

}  // namespace

namespace {

TEST(CameraSwitcherTest, SampleSceneCyclesThroughItsCamerasAfterARoundTrip) {
  constexpr int64_t kFrame = 1539538600;
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VScene original;
    zyn_tool::BuildDemoScene(original);
    const auto bytes = testing_support::WriteSceneToMemory(original, binary);
    VScene read;
    std::string message;
    ASSERT_TRUE(testing_support::ReadSceneFromMemory(bytes, read, &message)) << message;
    auto* switcher = dynamic_cast<VCameraSwitcher*>(read.Find("Model::Camera Switcher"));
    ASSERT_NE(switcher, nullptr);
    const char* expected[] = {"Model::Camera Orbit", "Model::Camera Top", "Model::Camera Roll"};
    for (int i = 0; i < 3; ++i) {
      read.player().Goto(VTime((40 * i + 10) * kFrame));
      VCamera* current = switcher->GetCurrentCamera();
      ASSERT_NE(current, nullptr) << i;
      EXPECT_EQ(current->GetFullName(), expected[i]);
    }
    // The sample's lights all light the frame.
    std::vector<const VLight*> lights;
    for (const auto& object : read.objects()) {
      if (auto* light = dynamic_cast<const VLight*>(object.get())) lights.push_back(light);
    }
    ASSERT_EQ(lights.size(), 3u);
    const double ambient[4] = {0, 0, 0, 1};
    const VLightingSetup setup = VComputeLighting(lights, 8, ambient, true);
    EXPECT_FALSE(setup.default_lighting);
    EXPECT_TRUE(setup.lights[2].enabled);
    EXPECT_FALSE(setup.lights[3].enabled);
    EXPECT_EQ(read.settings().default_camera, "Model::Camera Orbit");
  }
}

}  // namespace
