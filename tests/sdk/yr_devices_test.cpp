// The system's devices and trigger manager, keys reaching a keyboard trigger
// device through the renderer, and the renderer's zoom gesture reading Z
// from the engine's host.

#include <gtest/gtest.h>

#include <vector>

#include "scene/scene.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_camera.h"
#include "sdk/yr_device_keyboard_key.h"
#include "sdk/yr_event_registry.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_kernel_host.h"
#include "sdk/yr_system.h"
#include "sdk/yr_trigger_manager.h"

namespace {

using YrSDK::YrKernel;
using YrSDK::YrKernelObjects;

class DevicesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(YrKernel::Init("")); }
  void TearDown() override {
    YrKernel::SetHost(nullptr);
    YrKernel::Close();
  }
};

struct KeyLog {
  std::vector<YrSDK::YrEvent> events;
  static void Record(const YrSDK::YrEvent& event, void* user) { static_cast<KeyLog*>(user)->events.push_back(event); }
};

TEST_F(DevicesTest, KeyboardTriggerDeviceAnswersItsInterfacesAndOutlivesSceneLoads) {
  YrSDK::YrSystem system;
  EXPECT_FALSE(system.CreateDevice("Joystick", "Stick").IsValid());
  YrSDK::YrDevice device = system.CreateDevice("KeyboardTrigger", "Keyboard");
  ASSERT_TRUE(device.IsValid());
  EXPECT_EQ(device.GetFullName(), "Device::Keyboard");
  EXPECT_TRUE(device.QueryInterface(YrSDK::kYrDeviceInterface).QueryInterface(YrSDK::kYrKeyboardTriggerInterface).IsValid());
  EXPECT_FALSE(device.QueryInterface(11711).IsValid());
  EXPECT_FALSE(YrSDK::YrDevice().QueryInterface(YrSDK::kYrDeviceInterface).IsValid());
  YrKernelObjects::GetScene()->Clear();
  EXPECT_EQ(system.GetDeviceCount(), 1);
  EXPECT_TRUE(system.RemoveDevice(device));
  EXPECT_FALSE(system.RemoveDevice(device));
  EXPECT_EQ(system.GetDeviceCount(), 0);
}

TEST_F(DevicesTest, EngineKeysThroughTheRendererReachTheDeviceWithTheActiveGroup) {
  YrSDK::YrSystem system;
  YrSDK::YrRenderer renderer = system.GetRenderer();
  KeyLog log;
  ASSERT_TRUE(YrSDK::YrEventRegistry::Register(YrSDK::kYrEventTriggerKey, &KeyLog::Record, &log));
  EXPECT_FALSE(renderer.KeyboardInput(YrSDK::kYrKeySpace, true));  // no device yet
  ASSERT_TRUE(system.CreateDevice("KeyboardTrigger", "Keyboard").IsValid());
  YrSDK::YrTriggerManager triggers;
  triggers.AddGroup("Idle");
  triggers.SetGroupActive(triggers.AddGroup("Dance"), true);
  EXPECT_FALSE(triggers.SetGroupActive(5, true));
  EXPECT_TRUE(renderer.KeyboardInput(YrSDK::kYrKeyF12, true));
  EXPECT_TRUE(renderer.KeyboardInput(YrSDK::kYrKeyF12, false));
  renderer.KeyboardInput(YrSDK::kYrKeyCount, true);  // outside the table: not a trigger
  renderer.KeyboardInput(-1, true);
  YrSDK::YrEventRegistry::Unregister(YrSDK::kYrEventTriggerKey, &KeyLog::Record, &log);
  ASSERT_EQ(log.events.size(), 2u);
  EXPECT_EQ(log.events[0].key, YrSDK::kYrKeyF12);
  EXPECT_TRUE(log.events[0].down);
  EXPECT_FALSE(log.events[1].down);
  EXPECT_EQ(log.events[0].group, 1);
}

class ZKeyHost : public YrSDK::YrKernelHost {
 public:
  void* QueryInterface(int) override { return this; }
  int GetKeyState(int key) const override { return key == 'Z' && zDown ? 1 : 0; }
  int GetMouseButtonState(int) const override { return 0; }
  bool KeyboardInput(int, bool) override { return false; }
  void SetVirtualKeyState(int, bool) override {}
  bool MouseInput(double, double, int, int, int, int) override { return false; }
  bool zDown = false;
};

// A press and a vertical drag; whether the field of view changed (a zoom)
// rather than the camera moving.
bool DragZooms(YrSDK::YrRenderer& renderer) {
  YrSDK::YrCamera camera(YrSDK::YrEngineHandles::Object(renderer.GetRenderCamera()));
  const double before = camera.GetFieldOfView();
  renderer.MouseInput(100, -100, 2, 1, 0);
  renderer.MouseInput(100, -160, 4, 1, 0);
  renderer.MouseInput(100, -160, 3, 1, 0);
  return camera.GetFieldOfView() != before;
}

TEST_F(DevicesTest, ZoomGestureReadsZFromTheHostWhenThereIsOne) {
  YrSDK::YrRenderer renderer = YrSDK::YrSystem().GetRenderer();
  renderer.SetViewport(0, 0, 320, 240);
  ASSERT_TRUE(YrSDK::YrCamera(YrSDK::YrEngineHandles::Object(renderer.GetRenderCamera())).IsValid());

  // Without a host the renderer's own key state decides.
  renderer.KeyboardInput('Z', true);
  EXPECT_TRUE(DragZooms(renderer));

  ZKeyHost host;
  YrKernel::SetHost(&host);
  EXPECT_FALSE(DragZooms(renderer));  // the host says Z is up
  host.zDown = true;
  renderer.KeyboardInput('Z', false);
  EXPECT_TRUE(DragZooms(renderer));
}

}  // namespace
