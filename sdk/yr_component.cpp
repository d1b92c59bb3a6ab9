#include "sdk/yr_component.h"

#include "core/object.h"

namespace YrSDK {

YrComponent::YrComponent(VObject* object) : YrPlug(object), mObject(object) {}

std::string YrComponent::GetName() const { return mObject ? mObject->GetName() : std::string(); }

bool YrComponent::SetName(const std::string& name) { return mObject && mObject->SetName(name); }

std::string YrComponent::GetFullName() const { return mObject ? mObject->GetFullName() : std::string(); }

int YrComponent::GetClassId() const { return mObject ? mObject->GetClassId() : 0; }

int YrComponent::GetPropertyCount() const { return mObject ? mObject->GetPropertyCount() : 0; }

YrProperty YrComponent::GetPropertyAt(int index) const {
  return YrProperty(mObject ? mObject->GetProperty(index) : nullptr);
}

YrProperty YrComponent::FindProperty(const std::string& name) const {
  return YrProperty(mObject ? mObject->FindProperty(name) : nullptr);
}

int YrComponent::GetComponentCount() const { return mObject ? mObject->GetSubObjectCount() : 0; }

YrComponent YrComponent::GetComponentAt(int index) const {
  return YrComponent(mObject ? mObject->GetSubObject(index) : nullptr);
}

}  // namespace YrSDK
