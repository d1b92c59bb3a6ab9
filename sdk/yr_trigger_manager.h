#pragma once
// YrTriggerManager: public handle over the system's trigger manager: its
// groups and its "Active" property (triggering on or off).

#include <string>

#include "sdk/yr_component.h"

class VTriggerManager;

namespace YrSDK {

class YrTriggerManager {
 public:
  YrTriggerManager();  // the running engine's; invalid while it is stopped
  bool IsValid() const { return manager_ != nullptr; }
  YrComponent GetComponent() const;
  YrProperty FindProperty(const std::string& name) const { return GetComponent().FindProperty(name); }

  int GetGroupCount() const;
  bool GetGroupActive(int index) const;
  // False for a group out of range.
  bool SetGroupActive(int index, bool active);
  // A new inactive group; its index, -1 while the engine is stopped.
  int AddGroup(const std::string& name);

 private:
  VTriggerManager* manager_ = nullptr;
};

}  // namespace YrSDK
