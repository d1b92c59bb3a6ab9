// YrSystem's audio clips: copied out of the running scene as plain values,
// found on disk by either of their paths, taken out of the list one by one.

#include <gtest/gtest.h>

#include <string>

#include "scene/audio_clip.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_system.h"
#include "sdk/yr_zyn_manager.h"
#include "support/temp_dir.h"

namespace {

using YrSDK::YrAudioClip;
using YrSDK::YrKernel;
using YrSDK::YrKernelObjects;
using YrSDK::YrSystem;

class YrSystemAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    YrKernel::Init("");
    scene_ = YrKernelObjects::GetScene();
    ASSERT_NE(scene_, nullptr);
    scene_->Clear();
    VAudioClip first;
    first.name = "First";
    first.file_name = "/nowhere/first.wav";
    first.relative_file_name = "first.wav";
    first.start = VTime(46186158000 / 2);
    VAudioClip second;
    second.name = "Second";
    second.file_name = "/nowhere/second.wav";
    second.start = VTime(-7);
    scene_->audio_clips() = {first, second};
  }
  void TearDown() override { YrKernel::Close(); }

  testing_support::TempDir dir_;
  VScene* scene_ = nullptr;
};

TEST_F(YrSystemAudioTest, ClipsAreCopiedOut) {
  YrSystem system;
  ASSERT_EQ(system.GetAudioClipCount(), 2);
  YrAudioClip clip = system.GetAudioClip(0);
  EXPECT_EQ(clip.name, "First");
  EXPECT_EQ(clip.path, "/nowhere/first.wav");
  EXPECT_EQ(clip.relative_path, "first.wav");
  EXPECT_EQ(clip.start.Get(), 46186158000 / 2);
  EXPECT_DOUBLE_EQ(clip.start.GetSecondDouble(), 0.5);
  // A copy: changing it leaves the scene's clip alone.
  clip.name = "Changed";
  EXPECT_EQ(system.GetAudioClip(0).name, "First");
  EXPECT_EQ(system.GetAudioClip(1).start.Get(), -7);
  EXPECT_EQ(system.GetAudioClip(1).relative_path, "");
  for (int bad : {-1, 2, 1 << 30}) {
    YrAudioClip none = system.GetAudioClip(bad);
    EXPECT_EQ(none.name, "") << bad;
    EXPECT_EQ(none.path, "") << bad;
    EXPECT_EQ(none.start.Get(), 0) << bad;
    EXPECT_EQ(system.FindAudioClipFile(bad, dir_.File("scene.zyn")), "") << bad;
  }
}

TEST_F(YrSystemAudioTest, FilesAreFoundBesideTheScene) {
  YrSystem system;
  EXPECT_EQ(system.FindAudioClipFile(0, dir_.File("scene.zyn")), "");
  ASSERT_TRUE(testing_support::WriteFileBytes(dir_.File("first.wav"), "RIFF"));
  EXPECT_EQ(system.FindAudioClipFile(0, dir_.File("scene.zyn")), dir_.File("first.wav"));
  EXPECT_EQ(system.FindAudioClipFile(1, dir_.File("scene.zyn")), "");  // no relative path
}

TEST_F(YrSystemAudioTest, ClipsAreRemovedOneByOne) {
  YrSystem system;
  EXPECT_FALSE(system.RemoveAudioClip(2));
  EXPECT_FALSE(system.RemoveAudioClip(-1));
  // From the last to the first, as the viewer hands them over.
  ASSERT_TRUE(system.RemoveAudioClip(1));
  ASSERT_EQ(system.GetAudioClipCount(), 1);
  EXPECT_EQ(system.GetAudioClip(0).name, "First");
  ASSERT_TRUE(system.RemoveAudioClip(0));
  EXPECT_EQ(system.GetAudioClipCount(), 0);
  EXPECT_FALSE(system.RemoveAudioClip(0));
}

TEST_F(YrSystemAudioTest, ASavedSceneLoadsItsClipsAndClearEmptiesThem) {
  const std::string path = dir_.File("scene.zyn");
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    YrSDK::YrZynManager manager;
    ASSERT_TRUE(manager.Save(path, binary)) << manager.GetLastMessage();
    ASSERT_TRUE(manager.Clear());
    YrSystem system;
    EXPECT_EQ(system.GetAudioClipCount(), 0);
    ASSERT_TRUE(manager.LoadBegin(path) && manager.Load()) << manager.GetLastMessage();
    manager.LoadEnd();
    ASSERT_EQ(system.GetAudioClipCount(), 2);
    EXPECT_EQ(system.GetAudioClip(0).path, "/nowhere/first.wav");
    EXPECT_EQ(system.GetAudioClip(1).name, "Second");
    EXPECT_EQ(system.GetAudioClip(1).start.Get(), -7);
  }
}

}  // namespace
