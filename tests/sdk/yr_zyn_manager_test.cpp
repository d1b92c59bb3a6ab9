// The scene loader and saver: loading from a path and from memory, the load
// options, protected files, and saves that must never lose the old file.

#include "sdk/yr_zyn_manager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "animation/take_list.h"
#include "scene/model.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_system.h"
#include "support/temp_dir.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
using YrSDK::YrKernel;
using YrSDK::YrKernelObjects;
using YrSDK::YrZynManager;

// A small animated scene: Cube moves along X in "Take 001".
void BuildScene(VScene& scene) {
  scene.Clear();
  auto* cube = static_cast<VModel*>(scene.Add(std::make_unique<VModel>("Cube", "Mesh")));
  cube->TranslationProperty()->Set(VDouble3{0, 1, 0});
  VTake* take = scene.takes().Create("Take 001");
  take->local_span = VTimeSpan(VTime(0), VTime(46186158000));
  auto transform = std::make_unique<VFCurveNode>("Transform");
  VFCurveNode* t = transform->AddChild(std::make_unique<VFCurveNode>("T"));
  for (const char* axis : {"X", "Y", "Z"}) t->AddChild(std::make_unique<VFCurveNode>(axis))->MakeCurve();
  t->GetChild(1)->GetCurve()->SetDefaultValue(1.0f);
  VFCurve& x = *t->GetChild(0)->GetCurve();
  int k = x.KeyAdd(VTime(0), 0.0f);
  x.KeySetInterpolation(k, kFCurveInterpolationLinear);
  x.KeyAdd(VTime(46186158000), 10.0f);
  take->AddModel("Model::Cube")->channels.push_back(std::move(transform));
  scene.takes().SetCurrent(take);
}

class YrZynManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    YrKernel::Init("");
    scene_ = YrKernelObjects::GetScene();
    ASSERT_NE(scene_, nullptr);
    BuildScene(*scene_);
    path_ = dir_.File("scene.zyn");
  }
  void TearDown() override { YrKernel::Close(); }

  bool Load(YrZynManager& manager, const std::string& path) {
    bool ok = manager.LoadBegin(path) && manager.Load();
    manager.LoadEnd();
    return ok;
  }
  double CubeXAt(int64_t ticks) {
    auto* cube = dynamic_cast<VModel*>(scene_->Find("Model::Cube"));
    if (!cube) return -1;
    scene_->player().Goto(VTime(ticks));
    return cube->TranslationProperty()->Get()[0];
  }

  TempDir dir_;
  std::string path_;
  VScene* scene_ = nullptr;
};

TEST_F(YrZynManagerTest, SavesAndLoadsFromAPathAndFromMemory) {
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    BuildScene(*scene_);
    YrZynManager manager;
    ASSERT_TRUE(manager.Save(path_, binary)) << manager.GetLastMessage();
    struct stat st;
    EXPECT_NE(stat(dir_.File("scene.tmp").c_str(), &st), 0);  // the temporary file is gone

    ASSERT_TRUE(manager.Clear());
    EXPECT_EQ(scene_->Find("Model::Cube"), nullptr);
    EXPECT_EQ(scene_->takes().GetCount(), 0);

    ASSERT_TRUE(Load(manager, path_)) << manager.GetLastMessage();
    EXPECT_TRUE(manager.LoadIsCompleted());
    EXPECT_DOUBLE_EQ(CubeXAt(23093079000), 5.0);
    YrSDK::YrSystem system;
    EXPECT_EQ(system.GetCurrentTake().GetName(), "Take 001");

    std::string bytes = ReadFileBytes(path_);
    manager.Clear();
    ASSERT_TRUE(manager.LoadBegin(bytes.data(), bytes.size())) << manager.GetLastMessage();
    ASSERT_TRUE(manager.Load()) << manager.GetLastMessage();
    EXPECT_TRUE(manager.LoadEnd());
    EXPECT_DOUBLE_EQ(CubeXAt(46186158000), 10.0);
  }
}

TEST_F(YrZynManagerTest, LoadFailures) {
  YrZynManager manager;
  EXPECT_FALSE(manager.Load());  // nothing open
  EXPECT_FALSE(manager.LoadBegin(dir_.File("missing.zyn")));
  EXPECT_NE(manager.GetLastMessage(), "");
  const char junk[] = "this is no scene at all";
  EXPECT_FALSE(manager.LoadBegin(junk, sizeof junk));
  EXPECT_NE(manager.GetLastMessage(), "");
  EXPECT_TRUE(manager.LoadEnd());
}

TEST_F(YrZynManagerTest, AProtectedFileNeedsItsPasswordInLoad) {
  YrZynManager manager;
  ASSERT_TRUE(manager.Save(path_, true, "secret")) << manager.GetLastMessage();
  manager.Clear();
  ASSERT_TRUE(manager.LoadBegin(path_)) << manager.GetLastMessage();
  EXPECT_FALSE(manager.Load());
  EXPECT_EQ(manager.GetLastMessage(), "ZYN file is password protected");
  manager.LoadEnd();
  EXPECT_EQ(scene_->Find("Model::Cube"), nullptr);

  manager.FindProperty("Password").SetString("secret");
  ASSERT_TRUE(Load(manager, path_)) << manager.GetLastMessage();
  EXPECT_DOUBLE_EQ(CubeXAt(0), 0.0);
}

TEST_F(YrZynManagerTest, LoadOptionsAreProperties) {
  YrZynManager manager;
  ASSERT_TRUE(manager.Save(path_, true)) << manager.GetLastMessage();
  struct Case {
    const char* option;
    bool cube;
    bool animated;
  };
  const Case cases[] = {{"Models", false, false}, {"ModelsAnimation", true, false}, {"Devices", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    YrZynManager loader;
    ASSERT_TRUE(loader.FindProperty(c.option).IsValid());
    ASSERT_TRUE(loader.FindProperty(c.option).SetInt(0));
    ASSERT_TRUE(Load(loader, path_)) << loader.GetLastMessage();
    VSceneObject* cube = scene_->Find("Model::Cube");
    EXPECT_EQ(cube != nullptr, c.cube);
    if (cube) {
      EXPECT_EQ(static_cast<VModel*>(cube)->TranslationProperty()->IsAnimated(), c.animated);
    }
    EXPECT_EQ(scene_->takes().GetCount(), 1);  // the takes themselves are always read
  }

  // Without clearing, a second load reuses the objects it finds.
  YrZynManager merger;
  ASSERT_TRUE(merger.FindProperty("ClearBeforeLoad").SetInt(0));
  ASSERT_TRUE(Load(merger, path_));
  VSceneObject* cube = scene_->Find("Model::Cube");
  ASSERT_TRUE(Load(merger, path_));
  EXPECT_EQ(scene_->Find("Model::Cube"), cube);
  EXPECT_EQ(scene_->objects().size(), 1u);
}

TEST_F(YrZynManagerTest, ASaveOverAReadOnlyFileKeepsBothFiles) {
  ASSERT_TRUE(WriteFileBytes(path_, "old contents"));
  ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
  YrZynManager manager;
  EXPECT_FALSE(manager.Save(path_, true));
  EXPECT_EQ(manager.GetLastMessage(), "Can't overwrite " + path_ + ". File is read-only.");
  EXPECT_EQ(ReadFileBytes(path_), "old contents");
  std::string tmp = ReadFileBytes(dir_.File("scene.tmp"));
  EXPECT_GT(tmp.size(), 100u);  // the new scene is kept in the temporary file
  chmod(path_.c_str(), 0644);
}

TEST_F(YrZynManagerTest, AFailedSaveLeavesTheOldTarget) {
  ASSERT_TRUE(WriteFileBytes(path_, "old contents"));
  YrZynManager manager;
  // The temporary file cannot be made: a folder holds its name.
  ASSERT_EQ(mkdir(dir_.File("scene.tmp").c_str(), 0755), 0);
  EXPECT_FALSE(manager.Save(path_, true));
  EXPECT_NE(manager.GetLastMessage(), "");
  EXPECT_EQ(ReadFileBytes(path_), "old contents");
  rmdir(dir_.File("scene.tmp").c_str());

  // A target name without ".zyn" still gets "NAME.tmp" beside it.
  std::string other = dir_.File("plain");
  ASSERT_TRUE(manager.Save(other, false)) << manager.GetLastMessage();
  EXPECT_NE(ReadFileBytes(other).find("Takes"), std::string::npos);
  struct stat st;
  EXPECT_NE(stat(dir_.File("plain.tmp").c_str(), &st), 0);
}

}  // namespace
