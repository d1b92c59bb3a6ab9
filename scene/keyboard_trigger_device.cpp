#include "scene/keyboard_trigger_device.h"

#include "scene/trigger_manager.h"

void* VKeyboardTriggerDevice::QueryInterface(int interfaceId) {
  return interfaceId == kVDeviceInterfaceId || interfaceId == kVKeyboardTriggerInterfaceId ? this : nullptr;
}

bool VKeyboardTriggerDevice::KeyboardInput(int key, bool down) {
  if (key < 0 || key >= kVDeviceKeyboardKeyCount) return false;
  VTriggerKeyData data;
  data.key = key;
  data.down = down;
  data.group = triggers_ != nullptr ? triggers_->FirstActiveGroup() : -1;
  key_event_.Fire(key, &data);
  return true;
}
