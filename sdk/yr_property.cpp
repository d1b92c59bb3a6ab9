#include "sdk/yr_property.h"

#include "core/object.h"
#include "core/property.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/yr_component.h"

namespace YrSDK {

namespace {

bool FacadeType(int type) {
  switch (type) {
    case kPropertyTypeInt:
    case kPropertyTypeBool:
    case kPropertyTypeFloat:
    case kPropertyTypeDouble:
    case kPropertyTypeCharPtr:
    case kPropertyTypeEnum:
    case kPropertyTypeTime:
    case kPropertyTypeString:
    case kPropertyTypeAction:
      return true;
    default:
      return false;
  }
}

}  // namespace

YrProperty::YrProperty(VProperty* property) : YrPlug(property), mProperty(property) {}

YrProperty YrProperty::MakeFacade(const std::string& name, int type) {
  if (!FacadeType(type)) return YrProperty();
  std::shared_ptr<VProperty> owned = VProperty::Create(name, type);
  YrProperty p(owned.get());
  p.mOwned = std::move(owned);
  return p;
}

std::string YrProperty::GetName() const { return mProperty ? mProperty->GetName() : std::string(); }

int YrProperty::GetPropertyType() const { return mProperty ? mProperty->GetType() : 0; }

const char* YrProperty::GetPropertyTypeName() const { return VPropertyTypeName(GetPropertyType()); }

bool YrProperty::IsAnimatable() const { return mProperty && mProperty->IsAnimatable(); }
bool YrProperty::IsList() const { return mProperty && mProperty->IsList(); }
bool YrProperty::IsUserProperty() const { return mProperty && mProperty->IsUserProperty(); }
bool YrProperty::IsReference() const { return mProperty && mProperty->IsReference(); }
bool YrProperty::IsReadOnly() const { return mProperty && mProperty->IsReadOnly(); }

bool YrProperty::GetDouble(double& value) const {
  value = 0.0;
  return mProperty && mProperty->GetDouble(value);
}

double YrProperty::AsDouble() const {
  double v = 0.0;
  GetDouble(v);
  return v;
}

bool YrProperty::SetDouble(double value) { return mProperty && mProperty->SetDouble(value); }

bool YrProperty::GetInt(int& value) const {
  value = 0;
  return mProperty && mProperty->GetInt(value);
}

int YrProperty::AsInt() const {
  int v = 0;
  GetInt(v);
  return v;
}

bool YrProperty::SetInt(int value) { return mProperty && mProperty->SetInt(value); }

int YrProperty::GetDoubleCount() const { return mProperty ? mProperty->GetDoubleCount() : 0; }

bool YrProperty::GetDoubles(double* values, int count) const {
  return mProperty && mProperty->GetDoubles(values, count);
}

bool YrProperty::SetDoubles(const double* values, int count) {
  return mProperty && mProperty->SetDoubles(values, count);
}

std::string YrProperty::AsString() const { return mProperty ? mProperty->GetText() : "?"; }

bool YrProperty::SetString(const std::string& text) { return mProperty && mProperty->SetText(text); }

double YrProperty::GetMin() const { return mProperty ? mProperty->GetMin() : 0.0; }

double YrProperty::GetMax() const { return mProperty ? mProperty->GetMax() : 0.0; }

void YrProperty::SetMinMax(double min, double max) {
  if (mProperty) mProperty->SetMinMax(min, max);
}

int YrProperty::GetEnumItemCount() const { return mProperty ? mProperty->GetEnumItemCount() : 0; }

std::string YrProperty::GetEnumItem(int index) const {
  return mProperty ? mProperty->GetEnumItem(index) : std::string();
}

void YrProperty::SetEnumItems(const std::vector<std::string>& items) {
  if (mProperty) mProperty->SetEnumItems(items);
}

YrComponent YrProperty::GetObjectValue() const {
  auto* property = dynamic_cast<VPropertyObject*>(mProperty);
  return YrComponent(property != nullptr && property->GetObjectCount() > 0 ? property->GetObjectAt(0) : nullptr);
}

bool YrProperty::SetObjectValue(const YrComponent& object) {
  auto* property = dynamic_cast<VPropertyObject*>(mProperty);
  return property != nullptr && property->SetObjectValue(YrEngineHandles::Object(object));
}

}  // namespace YrSDK
