#pragma once
// YrDevice: public handle over one of the system's devices (YrSystem).

#include "sdk/yr_component.h"

class VDevice;

namespace YrSDK {

// Interface ids a device may answer.
enum YrDeviceInterface : int { kYrDeviceInterface = 4002, kYrKeyboardTriggerInterface = 75833 };

class YrDevice : public YrComponent {
 public:
  YrDevice() = default;
  explicit YrDevice(VDevice* device);
  bool IsValid() const { return device_ != nullptr; }
  // The same device when it implements the interface, else an empty handle.
  YrDevice QueryInterface(int interfaceId) const;

 private:
  // The engine object behind the handle: sdk/bridge/yr_engine_handles.h.
  friend class YrEngineHandles;
  VDevice* device_ = nullptr;
};

}  // namespace YrSDK
