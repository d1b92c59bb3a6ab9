#include "scene/trigger_manager.h"

#include "core/property_type.h"

VTriggerManager::VTriggerManager() : VObject("TriggerManager", "Trigger Manager") {
  mActive = AddPropertyT<VPropertyBool>("Active", kPropertyTypeBool);
}

int VTriggerManager::GetGroupCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(groups_.size());
}

bool VTriggerManager::GetGroupActive(int index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return index >= 0 && index < static_cast<int>(groups_.size()) && groups_[index].active;
}

bool VTriggerManager::SetGroupActive(int index, bool active) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || index >= static_cast<int>(groups_.size())) return false;
  groups_[index].active = active;
  return true;
}

int VTriggerManager::AddGroup(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  groups_.push_back(Group{name, false});
  return static_cast<int>(groups_.size()) - 1;
}

std::string VTriggerManager::GetGroupName(int index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return index >= 0 && index < static_cast<int>(groups_.size()) ? groups_[index].name : std::string();
}

void VTriggerManager::ClearGroups() {
  std::lock_guard<std::mutex> lock(mutex_);
  groups_.clear();
}

int VTriggerManager::FirstActiveGroup() const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < groups_.size(); ++i) {
    if (groups_[i].active) return static_cast<int>(i);
  }
  return -1;
}
