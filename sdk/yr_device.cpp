#include "sdk/yr_device.h"

#include "scene/device.h"

namespace YrSDK {

YrDevice::YrDevice(VDevice* device) : YrComponent(device), device_(device) {}

YrDevice YrDevice::QueryInterface(int interfaceId) const {
  return YrDevice(device_ != nullptr && device_->QueryInterface(interfaceId) != nullptr ? device_ : nullptr);
}

}  // namespace YrSDK
