#include "sdk/yr_trigger_manager.h"

#include "scene/device_set.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"

namespace YrSDK {

YrTriggerManager::YrTriggerManager() {
  VDeviceSet* devices = YrKernelObjects::GetDevices();
  manager_ = devices != nullptr ? &devices->Triggers() : nullptr;
}

YrComponent YrTriggerManager::GetComponent() const { return YrComponent(manager_); }
int YrTriggerManager::GetGroupCount() const { return manager_ ? manager_->GetGroupCount() : 0; }
bool YrTriggerManager::GetGroupActive(int index) const { return manager_ && manager_->GetGroupActive(index); }
bool YrTriggerManager::SetGroupActive(int index, bool active) {
  return manager_ && manager_->SetGroupActive(index, active);
}
int YrTriggerManager::AddGroup(const std::string& name) { return manager_ ? manager_->AddGroup(name) : -1; }

}  // namespace YrSDK
