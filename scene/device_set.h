#pragma once
// VDeviceSet: the running system's devices and its trigger manager, made
// when the engine starts and gone when it stops.
//
// The list changes on the host's thread; keys are delivered from whichever
// thread reports them, so both take the set's lock.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "scene/device.h"
#include "scene/trigger_manager.h"

class VDeviceSet {
 public:
  int GetCount() const;
  VDevice* Get(int index) const;
  // A new device of a known kind ("KeyboardTrigger"); null for another.
  VDevice* Create(const std::string& kind, const std::string& name);
  bool Remove(VDevice* device);
  // Gives the key to every device; true when one used it.
  bool KeyboardInput(int key, bool down);

  VTriggerManager& Triggers() { return triggers_; }

 private:
  mutable std::mutex mutex_;
  std::vector<std::unique_ptr<VDevice>> devices_;
  VTriggerManager triggers_;
};
