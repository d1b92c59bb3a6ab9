#include "scene/device_set.h"

#include <algorithm>

#include "scene/keyboard_trigger_device.h"

int VDeviceSet::GetCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(devices_.size());
}

VDevice* VDeviceSet::Get(int index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return index >= 0 && index < static_cast<int>(devices_.size()) ? devices_[index].get() : nullptr;
}

VDevice* VDeviceSet::Create(const std::string& kind, const std::string& name) {
  if (kind != "KeyboardTrigger") return nullptr;
  auto device = std::make_unique<VKeyboardTriggerDevice>(name, &triggers_);
  std::lock_guard<std::mutex> lock(mutex_);
  devices_.push_back(std::move(device));
  return devices_.back().get();
}

bool VDeviceSet::Remove(VDevice* device) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = std::find_if(devices_.begin(), devices_.end(), [device](const auto& d) { return d.get() == device; });
  if (found == devices_.end()) return false;
  devices_.erase(found);
  return true;
}

bool VDeviceSet::KeyboardInput(int key, bool down) {
  std::lock_guard<std::mutex> lock(mutex_);
  bool used = false;
  for (const auto& device : devices_) used = device->KeyboardInput(key, down) || used;
  return used;
}
