// Load options that change how a load runs ("Async", a cancel flag), the
// progress it reports (through VProgress and event 526) and the settings key
// "UseTmpFilesOnSaving".

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/progress.h"
#include "core/settings_store.h"
#include "scene/model.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_event_registry.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_system.h"
#include "sdk/yr_zyn_manager.h"
#include "support/temp_dir.h"

namespace {

using YrSDK::YrKernel;
using YrSDK::YrKernelObjects;
using YrSDK::YrZynManager;

// Records what a load reports and on which thread.
class Recorder : public VProgress {
 public:
  void SetText(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex);
    texts.push_back(text);
    thread = std::this_thread::get_id();
  }
  void SetPercent(int percent) override {
    std::lock_guard<std::mutex> lock(mutex);
    percents.push_back(percent);
  }
  std::mutex mutex;
  std::vector<std::string> texts;
  std::vector<int> percents;
  std::thread::id thread;
};

class LoadOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    YrKernel::Init("");
    VScene& scene = *YrKernelObjects::GetScene();
    scene.Clear();
    for (int i = 0; i < 20; ++i) scene.Add(std::make_unique<VModel>("Cube " + std::to_string(i), "Mesh"));
    VTake* take = scene.takes().Create("Take 001");
    take->AddModel("Model::Cube 0");
    scene.takes().SetCurrent(take);
    path_ = dir_.File("scene.zyn");
    YrZynManager saver;
    ASSERT_TRUE(saver.Save(path_, true)) << saver.GetLastMessage();
    scene.Clear();
  }
  void TearDown() override { YrKernel::Close(); }

  static int ModelCount() { return static_cast<int>(YrSDK::YrSystem().GetModels().size()); }

  testing_support::TempDir dir_;
  std::string path_;
};

TEST_F(LoadOptionsTest, AsyncLoadRunsOnAWorkerThreadAndCompletesTruly) {
  YrZynManager manager;
  Recorder recorder;
  manager.SetProgress(&recorder);
  manager.FindProperty("Async").SetInt(1);
  ASSERT_TRUE(manager.LoadBegin(path_));
  ASSERT_TRUE(manager.Load());
  for (int i = 0; i < 10000 && !manager.LoadIsCompleted(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(manager.LoadIsCompleted());
  EXPECT_TRUE(manager.LoadEnd());
  EXPECT_TRUE(manager.LoadSucceeded()) << manager.GetLastMessage();
  EXPECT_EQ(ModelCount(), 20);
  std::lock_guard<std::mutex> lock(recorder.mutex);
  EXPECT_NE(recorder.thread, std::this_thread::get_id());
}

TEST_F(LoadOptionsTest, AsyncLoadEndWaitsForTheWorkerAndAFailureIsItsResult) {
  YrZynManager manager;
  manager.FindProperty("Async").SetInt(1);
  ASSERT_TRUE(manager.LoadBegin(path_));
  ASSERT_TRUE(manager.Load());
  EXPECT_TRUE(manager.LoadEnd());  // without polling first
  EXPECT_TRUE(manager.LoadIsCompleted());
  EXPECT_EQ(ModelCount(), 20);

  std::atomic<bool> cancel{true};
  manager.SetCancelFlag(&cancel);
  ASSERT_TRUE(manager.LoadBegin(path_));
  ASSERT_TRUE(manager.Load());
  manager.LoadEnd();
  EXPECT_FALSE(manager.LoadSucceeded());
}

TEST_F(LoadOptionsTest, CancelFlagStopsTheLoadAsAFailure) {
  YrZynManager manager;
  std::atomic<bool> cancel{true};
  manager.SetCancelFlag(&cancel);
  ASSERT_TRUE(manager.LoadBegin(path_));
  EXPECT_FALSE(manager.Load());
  manager.LoadEnd();
  EXPECT_EQ(manager.GetLastMessage(), "Loading was cancelled");
  EXPECT_LT(ModelCount(), 20);

  cancel = false;
  ASSERT_TRUE(manager.LoadBegin(path_));
  EXPECT_TRUE(manager.Load());
  manager.LoadEnd();
  EXPECT_EQ(ModelCount(), 20);
}

struct PercentLog {
  std::vector<int> percents;
  static void Record(const YrSDK::YrEvent& event, void* user) {
    static_cast<PercentLog*>(user)->percents.push_back(event.percent);
  }
};

TEST_F(LoadOptionsTest, ProgressReachesEvent526AndNamesOnlyStepsThatRun) {
  YrZynManager manager;
  Recorder recorder;
  manager.SetProgress(&recorder);
  PercentLog log;
  ASSERT_TRUE(YrSDK::YrEventRegistry::Register(YrSDK::kYrEventLoadProgress, &PercentLog::Record, &log));
  EXPECT_FALSE(YrSDK::YrEventRegistry::Register(YrSDK::kYrEventLoadProgress, &PercentLog::Record, &log));
  ASSERT_TRUE(manager.LoadBegin(path_));
  EXPECT_TRUE(manager.Load());
  manager.LoadEnd();
  ASSERT_TRUE(YrSDK::YrEventRegistry::Unregister(YrSDK::kYrEventLoadProgress, &PercentLog::Record, &log));
  EXPECT_FALSE(YrSDK::YrEventRegistry::Unregister(YrSDK::kYrEventLoadProgress, &PercentLog::Record, &log));

  ASSERT_FALSE(log.percents.empty());
  EXPECT_EQ(log.percents.back(), 100);
  for (int p : log.percents) EXPECT_TRUE(p >= 0 && p <= 100) << p;
  for (const std::string& text : recorder.texts) {
    EXPECT_EQ(text.find("devices"), std::string::npos) << text;
    EXPECT_EQ(text.find("3d icons"), std::string::npos) << text;
    EXPECT_EQ(text.find("constraints"), std::string::npos) << text;
  }
}

TEST(ProgressPercent, HugeCountsNeitherOverflowNorLeaveTheRange) {
  EXPECT_EQ(VProgressPercent(30000000, 40000000), 75);  // 30 million × 100 overflows 32 bits
  EXPECT_EQ(VProgressPercent(INT_MAX, INT_MAX), 100);
  EXPECT_EQ(VProgressPercent(INT_MAX - 1, INT_MAX), 99);
  EXPECT_EQ(VProgressPercent(5, 3), 100);    // a count that lied
  EXPECT_EQ(VProgressPercent(-5, 3), 0);
  EXPECT_EQ(VProgressPercent(1, 0), 100);    // unknown total
  EXPECT_EQ(VProgressPercent(1, -7), 100);
}

TEST_F(LoadOptionsTest, UseTmpFilesOnSavingNoWritesTheTargetDirectly) {
  const std::string target = dir_.File("direct.zyn");
  const std::string tmp = dir_.File("direct.tmp");
  ASSERT_TRUE(testing_support::WriteFileBytes(tmp, "someone else's file"));
  VSettings application = VSettingsOpen("@Application.txt");
  const std::string before = application.GetText("ZYN", "UseTmpFilesOnSaving", "Yes");
  ASSERT_TRUE(application.Set("ZYN", "UseTmpFilesOnSaving", "no"));
  YrZynManager manager;
  const bool saved = manager.Save(target, true);
  application.Set("ZYN", "UseTmpFilesOnSaving", before);
  ASSERT_TRUE(saved) << manager.GetLastMessage();
  EXPECT_EQ(testing_support::ReadFileBytes(tmp), "someone else's file");
  EXPECT_FALSE(testing_support::ReadFileBytes(target).empty());

  // With the default ("Yes") the save goes through the temporary file.
  YrZynManager second;
  ASSERT_TRUE(second.Save(target, true)) << second.GetLastMessage();
  EXPECT_TRUE(testing_support::ReadFileBytes(tmp).empty());
}

}  // namespace
