#pragma once
// YrComponent: public handle over an engine object (not owned).

#include <string>

#include "core/object.h"
#include "sdk/yr_plug.h"
#include "sdk/yr_property.h"

namespace YrSDK {

class YrComponent : public YrPlug {
 public:
  YrComponent() = default;
  explicit YrComponent(VObject* object) : YrPlug(object), mObject(object) {}
  VObject* GetObjectPointer() const { return mObject; }

  std::string GetName() const { return mObject ? mObject->GetName() : std::string(); }
  bool SetName(const std::string& name) { return mObject && mObject->SetName(name); }
  std::string GetFullName() const { return mObject ? mObject->GetFullName() : std::string(); }
  int GetClassId() const { return mObject ? mObject->GetClassId() : 0; }

  int GetPropertyCount() const { return mObject ? mObject->GetPropertyCount() : 0; }
  YrProperty GetPropertyAt(int index) const {
    return YrProperty(mObject ? mObject->GetProperty(index) : nullptr);
  }
  // An empty handle when the object has no property of that name.
  YrProperty FindProperty(const std::string& name) const {
    return YrProperty(mObject ? mObject->FindProperty(name) : nullptr);
  }

  int GetComponentCount() const { return mObject ? mObject->GetSubObjectCount() : 0; }
  YrComponent GetComponentAt(int index) const {
    return YrComponent(mObject ? mObject->GetSubObject(index) : nullptr);
  }

 private:
  VObject* mObject = nullptr;
};

}  // namespace YrSDK
