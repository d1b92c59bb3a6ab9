#pragma once
// YrComponent: public handle over an engine object (not owned).

#include <string>

#include "sdk/yr_plug.h"
#include "sdk/yr_property.h"

class VObject;

namespace YrSDK {

class YrComponent : public YrPlug {
 public:
  YrComponent() = default;
  explicit YrComponent(VObject* object);

  std::string GetName() const;
  bool SetName(const std::string& name);
  std::string GetFullName() const;
  int GetClassId() const;

  int GetPropertyCount() const;
  YrProperty GetPropertyAt(int index) const;
  // An empty handle when the object has no property of that name.
  YrProperty FindProperty(const std::string& name) const;

  int GetComponentCount() const;
  YrComponent GetComponentAt(int index) const;

 private:
  // The engine object behind the handle: sdk/bridge/yr_engine_handles.h.
  friend class YrEngineHandles;
  VObject* mObject = nullptr;
};

}  // namespace YrSDK
