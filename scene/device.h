#pragma once
// VDevice: an input device of the engine (keyboard, joystick, network
// input). Devices belong to the running system, not to a scene file: they
// stay while scenes are loaded and cleared. A device answers the interface
// ids it implements with itself.

#include <string>

#include "core/object.h"

class VDevice : public VObject {
 public:
  explicit VDevice(const std::string& name) : VObject("Device", name) {}
  std::string GetTypeName() const override { return "Device"; }
  // The device for an interface id it implements, else null.
  virtual void* QueryInterface(int interfaceId) = 0;
  // A key of the engine's keyboard table (YrDeviceKeyboardKey, 0..32);
  // true when the device used it.
  virtual bool KeyboardInput(int key, bool down) = 0;
};
