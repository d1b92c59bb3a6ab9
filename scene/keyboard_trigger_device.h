#pragma once
// VKeyboardTriggerDevice: turns keys into triggers. Each key that reaches
// it (while the viewer's keyboard triggering is on) fires its key event
// with the key as code and a VTriggerKeyData naming the group it triggers
// in; what the scene binds to a key and group is left to listeners.

#include <string>

#include "core/event.h"
#include "scene/device.h"

class VTriggerManager;

// Interface ids: a device, and a keyboard trigger device.
constexpr int kVDeviceInterfaceId = 4002;
constexpr int kVKeyboardTriggerInterfaceId = 75833;
// Keys of the engine's keyboard table.
constexpr int kVDeviceKeyboardKeyCount = 33;

struct VTriggerKeyData : VEventData {
  int key = -1;
  bool down = false;
  int group = -1;  // the trigger manager's first active group, -1: none
};

class VKeyboardTriggerDevice : public VDevice {
 public:
  VKeyboardTriggerDevice(const std::string& name, const VTriggerManager* triggers)
      : VDevice(name), triggers_(triggers) {}
  void* QueryInterface(int interfaceId) override;
  // Fires the key event for keys 0..32; false for any other.
  bool KeyboardInput(int key, bool down) override;
  VEventBase& KeyEvent() { return key_event_; }

 private:
  const VTriggerManager* triggers_;
  VEventBase key_event_;
};
