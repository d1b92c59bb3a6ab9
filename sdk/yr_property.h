#pragma once
// YrProperty: public handle over an engine property. A facade-only property
// (MakeFacade) is an engine property that the handle and its copies own
// together; both kinds read, write and print their values through the
// engine's one value model.

#include <memory>
#include <string>
#include <vector>

#include "sdk/yr_plug.h"

class VProperty;

namespace YrSDK {

class YrComponent;

class YrProperty : public YrPlug {
 public:
  YrProperty() = default;
  explicit YrProperty(VProperty* property);
  // A property that lives only in the facade. Supported types: int, bool,
  // float, double, charptr, enum, time, String, Action.
  static YrProperty MakeFacade(const std::string& name, int type);

  bool IsValid() const { return mProperty != nullptr; }
  bool IsFacadeOnly() const { return mOwned != nullptr; }

  std::string GetName() const;
  int GetPropertyType() const;
  const char* GetPropertyTypeName() const;

  bool IsAnimatable() const;
  bool IsList() const;
  bool IsUserProperty() const;
  bool IsReference() const;
  bool IsReadOnly() const;

  bool GetDouble(double& value) const;
  double AsDouble() const;
  bool SetDouble(double value);
  bool GetInt(int& value) const;
  int AsInt() const;
  bool SetInt(int value);
  // Vectors and colours: the number of components (0 for other types), and
  // all of them at once (`count` must equal that number; an animated
  // property gives its value at the current time).
  int GetDoubleCount() const;
  bool GetDoubles(double* values, int count) const;
  bool SetDoubles(const double* values, int count);
  std::string AsString() const;
  bool SetString(const std::string& text);

  // object and Reference properties (the renderer's "CurrentCamera"): the
  // first object the property holds (an empty handle for none or another
  // type), and setting one object in place of all (an empty handle: none).
  YrComponent GetObjectValue() const;
  bool SetObjectValue(const YrComponent& object);

  double GetMin() const;
  double GetMax() const;
  void SetMinMax(double min, double max);

  int GetEnumItemCount() const;
  std::string GetEnumItem(int index) const;
  void SetEnumItems(const std::vector<std::string>& items);

 private:
  // The engine object behind the handle: sdk/bridge/yr_engine_handles.h.
  friend class YrEngineHandles;
  VProperty* mProperty = nullptr;
  std::shared_ptr<VProperty> mOwned;  // facade-only: the property itself
};

}  // namespace YrSDK
