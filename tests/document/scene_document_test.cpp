// Scene documents: the sample scene written and read back in both forms
// animates the same in both takes; the reading rules for objects,
// connections, cameras and versions; damaged documents load what is sound.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/scene_memory.h"
#include "support/zyn_memory.h"
#include "core/class_registry.h"
#include "core/property.h"
#include "core/time_mode.h"
#include "scene/model.h"
#include "scene/scene.h"
#include "document/scene_reader.h"
#include "document/scene_writer.h"
#include "zynfile/memory_stream.h"
#include "zynfile/zyn_file.h"

// The sample scene of the zyn tool, built here the same way.
#include "tools/zyn/demo_scene.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Body = std::function<void(VZynFile&)>;

constexpr int64_t kFrame = 1539538600;  // one frame at 30 frames per second

Bytes WriteScene(const VScene& scene, bool binary) { return testing_support::WriteSceneToMemory(scene, binary); }

Bytes WriteDoc(bool binary, const Body& body, int version = 6000) {
  return testing_support::WriteZynToMemory(binary, body, version);
}

bool ReadScene(const Bytes& bytes, VScene& scene, std::string* message, const VZynLoadOptions& options = {}) {
  return testing_support::ReadSceneFromMemory(bytes, scene, message, options);
}

// Every animatable value of every model, as doubles.
std::vector<double> Snapshot(VScene& scene, VTime time) {
  scene.player().Goto(time);
  std::vector<double> values;
  for (const auto& object : scene.objects()) {
    for (int i = 0; i < object->GetPropertyCount(); ++i) {
      const VProperty& p = *object->GetProperty(i);
      if (!p.IsAnimatable()) continue;
      double v[4] = {0, 0, 0, 0};
      p.GetDoubles(v, p.GetDoubleCount());
      values.insert(values.end(), v, v + p.GetDoubleCount());
    }
  }
  return values;
}

class SceneDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_mode_ = VTimeGetDefaultMode(); }
  void TearDown() override { VTimeSetDefaultMode(saved_mode_); }
  int saved_mode_ = 0;
};

TEST_F(SceneDocumentTest, SampleSceneAnimatesTheSameAfterARoundTrip) {
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VScene original;
    zyn_tool::BuildDemoScene(original);
    Bytes bytes = WriteScene(original, binary);
    VScene read;
    std::string message;
    ASSERT_TRUE(ReadScene(bytes, read, &message)) << message;

    ASSERT_EQ(read.objects().size(), original.objects().size());
    for (size_t i = 0; i < original.objects().size(); ++i) {
      EXPECT_EQ(read.objects()[i]->GetFullName(), original.objects()[i]->GetFullName());
      // An empty subtype reads as "Default" (the sample's materials and textures have none).
      const std::string& subtype = original.objects()[i]->GetSubtype();
      EXPECT_EQ(read.objects()[i]->GetSubtype(), subtype.empty() ? "Default" : subtype);
    }
    // The hierarchy: children are sources of their parents.
    VSceneObject* root = read.Find("Model::Root");
    VSceneObject* arm = read.Find("Model::Arm");
    ASSERT_TRUE(root && arm && read.Find("Model::Hand") && read.Find("Model::Marker"));
    EXPECT_EQ(root->GetSrcCount(), 2);
    ASSERT_EQ(arm->GetSrcCount(), 1);
    EXPECT_EQ(arm->GetSrc(0), read.Find("Model::Hand"));

    ASSERT_EQ(read.takes().GetCount(), 2);
    ASSERT_NE(read.takes().Current(), nullptr);
    EXPECT_EQ(read.takes().Current()->GetName(), "Take 001");
    EXPECT_EQ(read.takes().Find("Take 002")->local_span.GetStop().GetTicks(), 60 * kFrame);

    for (const char* take : {"Take 001", "Take 002"}) {
      original.takes().SetCurrent(original.takes().Find(take));
      read.takes().SetCurrent(read.takes().Find(take));
      for (int frame = -20; frame <= 140; frame += 5) {
        for (int64_t extra : {int64_t{0}, kFrame / 3}) {
          VTime t(frame * kFrame + extra);
          std::vector<double> want = Snapshot(original, t);
          std::vector<double> got = Snapshot(read, t);
          ASSERT_EQ(got.size(), want.size());
          for (size_t k = 0; k < want.size(); ++k) {
            EXPECT_NEAR(got[k], want[k], 1e-9) << take << " ticks " << t.GetTicks() << " value " << k;
          }
        }
      }
    }
    // Switching takes switches what is read.
    read.takes().SetCurrent(read.takes().Find("Take 002"));
    read.player().Goto(VTime(60 * kFrame));
    EXPECT_DOUBLE_EQ(static_cast<VModel*>(root)->TranslationProperty()->Get()[1], 5.0);
    read.takes().SetCurrent(read.takes().Find("Take 001"));
    EXPECT_DOUBLE_EQ(static_cast<VModel*>(root)->TranslationProperty()->Get()[1], 0.0);
  }
}

// --- hand-written documents -------------------------------------------------

Body Props(const std::vector<std::pair<std::string, std::vector<double>>>& values) {
  return [=](VZynFile& f) {
    f.FieldWriteBlockBegin("Properties60");
    for (const auto& v : values) {
      f.FieldWriteBegin("Property");
      f.FieldWriteC(v.first);
      f.FieldWriteC(v.second.size() == 1 ? "Number" : "Vector");
      f.FieldWriteC("A");
      for (double d : v.second) f.FieldWriteD(d);
      f.FieldWriteEnd();
    }
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
}

Body Object(const char* type, const char* full_name, const char* subtype, const Body& block = nullptr) {
  return [=](VZynFile& f) {
    f.FieldWriteBegin(type);
    f.FieldWriteC(full_name);
    f.FieldWriteC(subtype);
    f.FieldWriteBlockBegin();
    if (block) block(f);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
}

Body Section(const char* name, const std::vector<Body>& fields) {
  return [=](VZynFile& f) {
    f.FieldWriteBlockBegin(name);
    for (const Body& b : fields) b(f);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
}

Body Connect(const std::vector<std::string>& values) {
  return [=](VZynFile& f) {
    f.FieldWriteBegin("Connect");
    for (const std::string& v : values) f.FieldWriteC(v);
    f.FieldWriteEnd();
  };
}

Body Definitions() {
  return Section("Definitions", {[](VZynFile& f) { f.FieldWriteI("Count", 0); }});
}

Body Doc(const std::vector<Body>& sections) {
  return [=](VZynFile& f) {
    for (const Body& s : sections) s(f);
  };
}

VDouble3 Translation(VScene& scene, const char* name) {
  auto* model = dynamic_cast<VModel*>(scene.Find(name));
  return model ? model->TranslationProperty()->Get() : VDouble3{-99, -99, -99};
}

TEST_F(SceneDocumentTest, ObjectsAreReusedByNameOrMadeAnew) {
  Bytes bytes = WriteDoc(true, Doc({Definitions(),
                                    Section("Objects", {
                                        Object("Model", "Model::Cube", "Mesh", Props({{"Lcl Translation", {1, 2, 3}}})),
                                        Object("Material", "Material::Red", ""),
                                        Object("Pose", "Pose::Rest", "bindpose"),
                                        Object("Model", "Model::Producer Front", "Camera",
                                               Props({{"Lcl Translation", {5, 5, 5}}})),
                                        Object("Unknown", "Unknown::X", ""),
                                    })}));
  for (bool cameras : {true, false}) {
    SCOPED_TRACE(cameras ? "with cameras" : "without cameras");
    VScene scene;
    auto* existing = static_cast<VModel*>(scene.Add(std::make_unique<VModel>("Cube", "Null")));
    VSceneObject* old_pose = scene.Add(std::make_unique<VSceneObject>("Pose", "Rest", "BindPose"));
    VZynLoadOptions options;
    options.load_default_camera_settings = cameras;
    std::string message;
    ASSERT_TRUE(ReadScene(bytes, scene, &message, options)) << message;
    EXPECT_EQ(scene.Find("Model::Cube"), existing);
    EXPECT_EQ(existing->TranslationProperty()->Get(), (VDouble3{1, 2, 3}));
    ASSERT_NE(scene.Find("Material::Red"), nullptr);
    EXPECT_EQ(scene.Find("Material::Red")->GetSubtype(), "Default");
    // A bind pose is never reused: the file's one is a new object beside the
    // old, and the name keeps finding the first.
    EXPECT_EQ(scene.Find("Pose::Rest"), old_pose);
    EXPECT_EQ(scene.Find("Unknown::X"), nullptr);
    // Without the camera settings the producer camera keeps its own place.
    VScene fresh;
    EXPECT_EQ(Translation(scene, "Model::Producer Front"),
              cameras ? (VDouble3{5, 5, 5}) : Translation(fresh, "Model::Producer Front"));
    ASSERT_EQ(scene.objects().size(), 4u);
    EXPECT_NE(scene.objects().back().get(), old_pose);
    EXPECT_EQ(scene.objects().back()->GetFullName(), "Pose::Rest");
  }
}

TEST_F(SceneDocumentTest, ModelSubtypesAndPlainModels) {
  Bytes bytes = WriteDoc(false, Doc({Definitions(), Section("Objects", {
                                                         Object("Model", "Model::A", ""),
                                                         Object("Model", "Model::B", "Limb"),
                                                         Object("Model", "Model::C", "Teapot"),
                                                     })}));
  VScene scene;
  std::string message;
  ASSERT_TRUE(ReadScene(bytes, scene, &message)) << message;
  EXPECT_EQ(scene.Find("Model::A")->GetSubtype(), "Null");
  EXPECT_EQ(scene.Find("Model::B")->GetSubtype(), "Limb");
  EXPECT_EQ(scene.Find("Model::C")->GetSubtype(), "Null");
}

TEST_F(SceneDocumentTest, SavingWritesEveryPropertyWithoutMakingThem) {
  VScene scene;
  auto* model = static_cast<VModel*>(scene.Add(std::make_unique<VModel>("Plain", "Null")));
  model->TranslationProperty()->Set({1, 2, 3});
  auto made = [](const VObject& o) {
    int count = 0;
    for (int i = 0; i < o.GetPropertyCount(); ++i) count += o.GetPropertyIfMade(i) != nullptr;
    return count;
  };
  ASSERT_EQ(made(*model), 1);
  for (bool binary : {true, false}) {
    const Bytes bytes = WriteScene(scene, binary);
    EXPECT_EQ(made(*model), 1) << binary;
    VScene read;
    std::string message;
    ASSERT_TRUE(ReadScene(bytes, read, &message)) << message;
    const VSceneObject* back = read.Find("Model::Plain");
    ASSERT_NE(back, nullptr);
    // Each default was written and read back, the set value too.
    EXPECT_EQ(back->FindProperty("AxisLen")->GetDoubleValue(), 10.0) << binary;
    EXPECT_EQ(back->FindProperty("Show")->GetIntValue(), 1) << binary;
    EXPECT_EQ(back->FindProperty("PivotsVisibility")->GetIntValue(), 1) << binary;
    double t[3] = {0, 0, 0};
    ASSERT_TRUE(back->FindProperty("Lcl Translation")->GetDoubles(t, 3));
    EXPECT_EQ(t[2], 3.0) << binary;
  }
}

TEST_F(SceneDocumentTest, ConnectionsOfEveryKindAndMissingEnds) {
  Bytes bytes = WriteDoc(
      true, Doc({Definitions(),
                 Section("Objects", {Object("Model", "Model::A", "Null"), Object("Model", "Model::B", "Null"),
                                     Object("Model", "Model::C", "Null")}),
                 Section("Relations", {Object("Model", "Model::Ghost", "Null", Props({{"Visibility", {0}}}))}),
                 Section("ObjectData", {Object("Model", "Model::Ghost", "Null")}),
                 Section("Connections", {
                                            Connect({"OO", "Model::B", "Model::A"}),
                                            Connect({"OP", "Model::C", "Model::A", "Visibility"}),
                                            Connect({"PO", "Model::B", "Lcl Rotation", "Model::C"}),
                                            Connect({"PP", "Model::A", "Lcl Scaling", "Model::B", "Lcl Scaling"}),
                                            Connect({"OO", "Model::Ghost", "Model::A"}),
                                            Connect({"OO", "Model::A"}),
                                            Connect({"OP", "Model::C", "Model::A", "NoSuchProperty"}),
                                            Connect({"PP", "Model::A", "Visibility", "Model::Ghost", "X"}),
                                            Connect({"XX", "Model::A", "Model::B"}),
                                            Connect({}),
                                        })}));
  VScene scene;
  std::string message;
  ASSERT_TRUE(ReadScene(bytes, scene, &message)) << message;
  VSceneObject* a = scene.Find("Model::A");
  VSceneObject* b = scene.Find("Model::B");
  VSceneObject* c = scene.Find("Model::C");
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(scene.Find("Model::Ghost"), nullptr);
  ASSERT_EQ(a->GetSrcCount(), 1);
  EXPECT_EQ(a->GetSrc(0), b);
  ASSERT_EQ(a->FindProperty("Visibility")->GetSrcCount(), 1);
  EXPECT_EQ(a->FindProperty("Visibility")->GetSrc(0), c);
  ASSERT_EQ(c->GetSrcCount(), 1);
  EXPECT_EQ(c->GetSrc(0), b->FindProperty("Lcl Rotation"));
  ASSERT_EQ(b->FindProperty("Lcl Scaling")->GetSrcCount(), 1);
  EXPECT_EQ(b->FindProperty("Lcl Scaling")->GetSrc(0), a->FindProperty("Lcl Scaling"));
  EXPECT_EQ(b->GetSrcCount(), 0);
  EXPECT_EQ(a->FindProperty("Visibility")->GetDstCount(), 0);
}

TEST_F(SceneDocumentTest, OldVersionsAreRefused) {
  Bytes bytes = WriteDoc(true, Doc({Definitions()}), 2000);
  VScene scene;
  std::string message;
  EXPECT_FALSE(ReadScene(bytes, scene, &message));
  EXPECT_EQ(message, "File is too old, please use Velmoor 5.5 to upgrade the file");
}

TEST_F(SceneDocumentTest, Version5LayoutReadsSettingsCamerasAndTakes) {
  auto camera = [](const char* name, double x) {
    return [=](VZynFile& f) {
      f.FieldWriteBegin("Camera");
      f.FieldWriteC(name);
      f.FieldWriteBlockBegin();
      Props({{"Lcl Translation", {x, 0, 0}}})(f);
      f.FieldWriteBlockEnd();
      f.FieldWriteEnd();
    };
  };
  auto marker = [](const char* name, int64_t ticks) {
    return [=](VZynFile& f) {
      f.FieldWriteBegin("TimeMarker");
      f.FieldWriteC(name);
      f.FieldWriteBlockBegin();
      f.FieldWriteT("Time", VTime(ticks));
      f.FieldWriteI("Loop", 1);
      f.FieldWriteBlockEnd();
      f.FieldWriteEnd();
    };
  };
  Bytes bytes = WriteDoc(false, Doc({Section("Settings", {camera("Producer Top", 3), camera("Model::Producer Left", 4),
                                                           camera("Somebody", 5), marker("M", 10), marker("M", 10),
                                                           marker("M", 20), [](VZynFile& f) {
                                                             f.FieldWriteI("TimeMode", 6);
                                                             f.FieldWriteI("SnapOnFrames", 1);
                                                           }}),
                                     Section("Takes", {[](VZynFile& f) { f.FieldWriteC("Current", "Only"); },
                                                       Object("Take", "Only", "")})}));
  VScene scene;
  std::string message;
  ASSERT_TRUE(ReadScene(bytes, scene, &message)) << message;
  EXPECT_EQ(Translation(scene, "Model::Producer Top")[0], 3);
  EXPECT_EQ(Translation(scene, "Model::Producer Left")[0], 4);
  EXPECT_EQ(scene.Find("Model::Somebody"), nullptr);
  EXPECT_EQ(scene.settings().markers.size(), 2u);
  EXPECT_EQ(scene.settings().snap_on_frames, 1);
  ASSERT_NE(scene.takes().Current(), nullptr);
  EXPECT_EQ(scene.takes().Current()->GetName(), "Only");
}

// A take whose curve is written by hand, for damaged key records.
Body TakeWithCurve(const char* model, const Body& curve) {
  return Section("Takes", {[=](VZynFile& f) {
    f.FieldWriteC("Current", "T");
    f.FieldWriteBegin("Take");
    f.FieldWriteC("T");
    f.FieldWriteBlockBegin();
    f.FieldWriteBegin("Model");
    f.FieldWriteC(model);
    f.FieldWriteBlockBegin();
    f.FieldWriteD("Version", 1.1);
    f.FieldWriteBegin("Channel");
    f.FieldWriteC("Visibility");
    f.FieldWriteBlockBegin();
    curve(f);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  }});
}

Body Keys(int count, const std::vector<std::pair<int64_t, double>>& keys) {
  return [=](VZynFile& f) {
    f.FieldWriteD("Default", 0.5);
    f.FieldWriteI("KeyVer", 4004);
    f.FieldWriteI("KeyCount", count);
    f.FieldWriteBegin("Key");
    for (const auto& k : keys) {
      f.FieldWriteT(VTime(k.first));
      f.FieldWriteD(k.second);
      f.FieldWriteCH('L');
    }
    f.FieldWriteEnd();
  };
}

TEST_F(SceneDocumentTest, DamagedDocumentsLoadWhatIsSound) {
  const Body cube = Object("Model", "Model::Cube", "Null", Props({{"Lcl Translation", {1, 2, 3}}}));
  struct Case {
    const char* what;
    Body doc;
  };
  const Case cases[] = {
      {"records in the wrong place",
       Doc({Definitions(), Section("Objects", {Connect({"OO", "a", "b"}), cube,
                                               Section("Takes", {Object("Take", "X", "")})}),
            Object("Model", "Model::Stray", "Null"), Section("Connections", {cube})})},
      {"wrong value types",
       Doc({Definitions(), Section("Objects", {Object("Model", "Model::Cube", "Null", [](VZynFile& f) {
                                                 f.FieldWriteBlockBegin("Properties60");
                                                 f.FieldWriteBegin("Property");
                                                 f.FieldWriteC("Lcl Rotation");
                                                 f.FieldWriteC("Lcl Rotation");
                                                 f.FieldWriteC("A");
                                                 f.FieldWriteC("one");
                                                 f.FieldWriteEnd();
                                                 f.FieldWriteBegin("Property");
                                                 f.FieldWriteI(3);
                                                 f.FieldWriteEnd();
                                                 f.FieldWriteBegin("Property");
                                                 f.FieldWriteC("Lcl Translation");
                                                 f.FieldWriteC("Vector3D");
                                                 f.FieldWriteC("A");
                                                 f.FieldWriteDn(std::vector<double>{1, 2, 3}.data(), 3);
                                                 f.FieldWriteEnd();
                                                 f.FieldWriteBlockEnd();
                                                 f.FieldWriteEnd();
                                               })}),
            Section("Version5", {TakeWithCurve("Model::Cube", [](VZynFile& f) { f.FieldWriteC("Default", "x"); })})})},
      {"keys out of order",
       Doc({Definitions(), Section("Objects", {cube}),
            Section("Version5", {TakeWithCurve("Model::Cube", Keys(3, {{100, 1}, {50, 2}, {200, 3}}))})})},
      {"absurd key count",
       Doc({Definitions(), Section("Objects", {cube}),
            Section("Version5", {TakeWithCurve("Model::Cube", Keys(2000000000, {{0, 1}, {100, 0}}))})})},
      {"negative key count",
       Doc({Definitions(), Section("Objects", {cube}),
            Section("Version5", {TakeWithCurve("Model::Cube", Keys(-5, {{0, 1}}))})})},
      {"a take for a model that is not there",
       Doc({Definitions(), Section("Objects", {cube}),
            Section("Version5", {TakeWithCurve("Model::Nobody", Keys(1, {{0, 1}}))})})},
      {"a take for a model read without its block",
       Doc({Definitions(), Section("Objects", {cube}),
            Section("Version5", {TakeWithCurve("Cube", [](VZynFile&) {})})})},
  };
  for (const Case& c : cases) {
    for (bool binary : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (binary ? " binary" : " ascii"));
      Bytes bytes = WriteDoc(binary, c.doc);
      VScene scene;
      std::string message;
      ReadScene(bytes, scene, &message);  // may fail; must not crash
      EXPECT_EQ(Translation(scene, "Model::Cube"), (VDouble3{1, 2, 3}));
      EXPECT_EQ(scene.Find("Model::Stray"), nullptr);
      // Whatever was read evaluates.
      for (int64_t t : {int64_t{-100}, int64_t{0}, int64_t{75}, int64_t{1000}}) Snapshot(scene, VTime(t));
    }
  }
}

}  // namespace

namespace {

// An application's own creator for a storable type survives every load:
// loading registers the built-in creators only where none is registered.
TEST(SceneDocumentFactories, AnApplicationsCreatorSurvivesLoading) {
  VScene scene;
  VModel* cube = new VModel("Cube", "Null");
  scene.Add(std::unique_ptr<VSceneObject>(cube));
  const std::vector<uint8_t> bytes = testing_support::WriteSceneToMemory(scene, true);

  VClassRegistry& registry = VClassRegistry::Instance();
  int made = 0;
  registry.RegisterCreator("ZynStorable/Video", [&made](const std::string& name, const std::string& subtype) {
    ++made;
    return std::unique_ptr<VObject>(new VSceneObject("Video", name, subtype));
  });
  VScene loaded;
  std::string message;
  ASSERT_TRUE(testing_support::ReadSceneFromMemory(bytes, loaded, &message)) << message;
  registry.Create("ZynStorable/Video", "Clip", "Clip");
  EXPECT_EQ(made, 1);
  // The built-in creator comes back for the tests that follow.
  registry.RegisterCreator("ZynStorable/Video", [](const std::string& name, const std::string& subtype) {
    return std::unique_ptr<VObject>(new VSceneObject("Video", name, subtype));
  });
}

}  // namespace
