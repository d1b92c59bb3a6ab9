#pragma once
// YrProperty: public handle over an engine property, or a facade-only
// property that holds its own value (MakeFacade). Facade-only properties use
// the facade's text form: booleans and actions print "true" / "false", int
// prints with "%d"; they also convert text themselves (int and float with a
// decimal / floating conversion, enum by exact item text, time with the time
// parser at the default mode and format, bool and Action as 1 when the text
// equals "true" ignoring case, else 0).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/property.h"
#include "sdk/yr_plug.h"

namespace YrSDK {

class YrProperty : public YrPlug {
 public:
  YrProperty() = default;
  explicit YrProperty(VProperty* property) : YrPlug(property), mProperty(property) {}
  // A property that lives only in the facade. Supported types: int, bool,
  // float, double, charptr, enum, time, String, Action.
  static YrProperty MakeFacade(const std::string& name, int type);

  VProperty* GetProperty() const { return mProperty; }
  bool IsValid() const { return mProperty || mFacade; }
  bool IsFacadeOnly() const { return mFacade != nullptr; }

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
  std::string AsString() const;
  bool SetString(const std::string& text);

  double GetMin() const;
  double GetMax() const;
  void SetMinMax(double min, double max);

  int GetEnumItemCount() const;
  std::string GetEnumItem(int index) const;
  void SetEnumItems(const std::vector<std::string>& items);

 private:
  struct Facade {
    std::string name;
    int type = 0;
    double number = 0.0;      // int, bool, Action, enum, float, double
    std::int64_t ticks = 0;   // time
    std::string text;         // charptr, String
    std::vector<std::string> items;
    double min = 0.0;
    double max = 0.0;
  };

  VProperty* mProperty = nullptr;
  std::shared_ptr<Facade> mFacade;
};

}  // namespace YrSDK
