#include "sdk/yr_property.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <strings.h>

#include "core/time.h"
#include "core/time_text.h"

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

bool IsIntegral(int type) {
  return type == kPropertyTypeInt || type == kPropertyTypeBool || type == kPropertyTypeEnum ||
         type == kPropertyTypeAction;
}

int TruncToInt(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 2147483647.0) return std::numeric_limits<int>::max();
  if (d <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(d);
}

double AsStoredFloat(double d) {
  const double limit = static_cast<double>(std::numeric_limits<float>::max());
  if (d > limit) return std::numeric_limits<double>::infinity();
  if (d < -limit) return -std::numeric_limits<double>::infinity();
  return static_cast<double>(static_cast<float>(d));
}

std::string FormatDouble(double value) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%f", value);
  return buffer;
}

}  // namespace

YrProperty YrProperty::MakeFacade(const std::string& name, int type) {
  YrProperty p;
  if (!FacadeType(type)) return p;
  p.mFacade = std::make_shared<Facade>();
  p.mFacade->name = name;
  p.mFacade->type = type;
  return p;
}

std::string YrProperty::GetName() const {
  if (mFacade) return mFacade->name;
  return mProperty ? mProperty->GetName() : std::string();
}

int YrProperty::GetPropertyType() const {
  if (mFacade) return mFacade->type;
  return mProperty ? mProperty->GetType() : 0;
}

const char* YrProperty::GetPropertyTypeName() const { return VPropertyTypeName(GetPropertyType()); }

bool YrProperty::IsAnimatable() const { return mProperty && mProperty->IsAnimatable(); }
bool YrProperty::IsList() const { return mProperty && mProperty->IsList(); }
bool YrProperty::IsUserProperty() const { return mProperty && mProperty->IsUserProperty(); }
bool YrProperty::IsReference() const { return mProperty && mProperty->IsReference(); }
bool YrProperty::IsReadOnly() const { return mProperty && mProperty->IsReadOnly(); }

bool YrProperty::GetDouble(double& value) const {
  value = 0.0;
  if (mProperty) return mProperty->GetDouble(value);
  if (!mFacade) return false;
  const int type = mFacade->type;
  if (!IsIntegral(type) && type != kPropertyTypeFloat && type != kPropertyTypeDouble) return false;
  value = mFacade->number;
  return true;
}

double YrProperty::AsDouble() const {
  double v = 0.0;
  GetDouble(v);
  return v;
}

bool YrProperty::SetDouble(double value) {
  if (mProperty) return mProperty->SetDouble(value);
  if (!mFacade) return false;
  const int type = mFacade->type;
  if (IsIntegral(type)) return SetInt(TruncToInt(value));
  if (type == kPropertyTypeFloat) {
    mFacade->number = AsStoredFloat(value);
    return true;
  }
  if (type == kPropertyTypeDouble) {
    mFacade->number = value;
    return true;
  }
  return false;
}

bool YrProperty::GetInt(int& value) const {
  value = 0;
  if (mProperty) return mProperty->GetInt(value);
  if (!mFacade || !IsIntegral(mFacade->type)) return false;
  value = static_cast<int>(mFacade->number);
  return true;
}

int YrProperty::AsInt() const {
  int v = 0;
  GetInt(v);
  return v;
}

bool YrProperty::SetInt(int value) {
  if (mProperty) return mProperty->SetInt(value);
  if (!mFacade || !IsIntegral(mFacade->type)) return false;
  const int type = mFacade->type;
  const bool isByte = type == kPropertyTypeBool || type == kPropertyTypeAction;
  mFacade->number = isByte ? (value != 0 ? 1.0 : 0.0) : static_cast<double>(value);
  return true;
}

std::string YrProperty::AsString() const {
  if (mProperty) return mProperty->GetText();
  if (!mFacade) return "?";
  switch (mFacade->type) {
    case kPropertyTypeInt: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(mFacade->number));
      return buffer;
    }
    case kPropertyTypeBool:
    case kPropertyTypeAction:
      return mFacade->number != 0.0 ? "true" : "false";
    case kPropertyTypeFloat:
    case kPropertyTypeDouble:
      return FormatDouble(mFacade->number);
    case kPropertyTypeEnum: {
      const int index = static_cast<int>(mFacade->number);
      if (index < 0 || index >= static_cast<int>(mFacade->items.size())) return "";
      return mFacade->items[static_cast<std::size_t>(index)];
    }
    case kPropertyTypeTime:
      return VTimeGetString(VTime(mFacade->ticks), 5, 0, 2);
    case kPropertyTypeCharPtr:
    case kPropertyTypeString:
      return mFacade->text;
    default:
      return "?";
  }
}

bool YrProperty::SetString(const std::string& text) {
  if (mProperty) return mProperty->SetText(text);
  if (!mFacade) return false;
  switch (mFacade->type) {
    case kPropertyTypeInt:
      return SetInt(static_cast<int>(std::strtol(text.c_str(), nullptr, 10)));
    case kPropertyTypeFloat:
    case kPropertyTypeDouble:
      return SetDouble(std::strtod(text.c_str(), nullptr));
    case kPropertyTypeEnum:
      for (std::size_t i = 0; i < mFacade->items.size(); ++i) {
        if (mFacade->items[i] == text) {
          mFacade->number = static_cast<double>(i);
          return true;
        }
      }
      return false;
    case kPropertyTypeTime: {
      VTime time(mFacade->ticks);
      if (!VTimeSetString(&time, text, 0, 2)) return false;
      mFacade->ticks = time.GetTicks();
      return true;
    }
    case kPropertyTypeBool:
    case kPropertyTypeAction:
      return SetInt(strcasecmp(text.c_str(), "true") == 0 ? 1 : 0);
    case kPropertyTypeCharPtr:
    case kPropertyTypeString:
      mFacade->text = text;
      return true;
    default:
      return false;
  }
}

double YrProperty::GetMin() const {
  if (mFacade) return mFacade->min;
  return mProperty ? mProperty->GetMin() : 0.0;
}

double YrProperty::GetMax() const {
  if (mFacade) return mFacade->max;
  return mProperty ? mProperty->GetMax() : 0.0;
}

void YrProperty::SetMinMax(double min, double max) {
  if (mFacade) {
    mFacade->min = min;
    mFacade->max = max;
  } else if (mProperty) {
    mProperty->SetMinMax(min, max);
  }
}

int YrProperty::GetEnumItemCount() const {
  if (mFacade) return static_cast<int>(mFacade->items.size());
  return mProperty ? mProperty->GetEnumItemCount() : 0;
}

std::string YrProperty::GetEnumItem(int index) const {
  if (mFacade) {
    if (index < 0 || index >= static_cast<int>(mFacade->items.size())) return "";
    return mFacade->items[static_cast<std::size_t>(index)];
  }
  return mProperty ? mProperty->GetEnumItem(index) : std::string();
}

void YrProperty::SetEnumItems(const std::vector<std::string>& items) {
  if (mFacade) {
    mFacade->items = items;
  } else if (mProperty) {
    mProperty->SetEnumItems(items);
  }
}

}  // namespace YrSDK
