// The engine's take changes reach the facade as kYrEventTakeChange events of
// the event registry: one per change, in order, with the take concerned,
// and none once the callback is unregistered or the kernel has restarted.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "animation/take_list.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_event.h"
#include "sdk/yr_event_registry.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_system.h"

namespace {

using YrSDK::YrEvent;
using YrSDK::YrEventRegistry;
using YrSDK::YrKernel;
using YrSDK::YrKernelObjects;
using Seen = std::vector<std::pair<int, std::string>>;

// Records each event's change and the name its take handle reads (a
// removed take is still readable during the call).
void Record(const YrEvent& event, void* user) {
  static_cast<Seen*>(user)->emplace_back(event.change, event.take.GetName());
}

class TakeChangeEvent : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(YrKernel::Init(""));
    scene_ = YrKernelObjects::GetScene();
    ASSERT_NE(scene_, nullptr);
    ASSERT_TRUE(YrEventRegistry::Register(YrSDK::kYrEventTakeChange, &Record, &seen_));
  }
  void TearDown() override {
    YrEventRegistry::Unregister(YrSDK::kYrEventTakeChange, &Record, &seen_);
    YrKernel::Close();
  }

  VScene* scene_ = nullptr;
  Seen seen_;
};

TEST_F(TakeChangeEvent, EachChangeArrivesOnceInOrderWithItsTake) {
  VTake* a = scene_->takes().Create("A");
  scene_->takes().Create("B");
  YrSDK::YrSystem system;
  ASSERT_TRUE(system.SetCurrentTake(system.FindTake("A")));
  ASSERT_TRUE(system.SetCurrentTake(system.FindTake("B")));
  ASSERT_TRUE(scene_->takes().Remove(a));
  const Seen expected{{YrSDK::kYrTakeChangeAdded, "A"},  {YrSDK::kYrTakeChangeAdded, "B"},
                      {YrSDK::kYrTakeChangeOpened, "A"}, {YrSDK::kYrTakeChangeClosed, "A"},
                      {YrSDK::kYrTakeChangeOpened, "B"}, {YrSDK::kYrTakeChangeRemoved, "A"}};
  EXPECT_EQ(seen_, expected);
}

TEST_F(TakeChangeEvent, NothingArrivesOnceUnregistered) {
  ASSERT_TRUE(YrEventRegistry::Unregister(YrSDK::kYrEventTakeChange, &Record, &seen_));
  scene_->takes().Create("A");
  EXPECT_TRUE(seen_.empty());
}

TEST_F(TakeChangeEvent, ARestartedKernelAnnouncesItsNewSceneOnce) {
  YrKernel::Close();
  ASSERT_TRUE(YrKernel::Init(""));
  // Init twice on a running kernel binds nothing more.
  ASSERT_TRUE(YrKernel::Init(""));
  YrKernelObjects::GetScene()->takes().Create("After");
  EXPECT_EQ(seen_, (Seen{{YrSDK::kYrTakeChangeAdded, "After"}}));
}

}  // namespace
