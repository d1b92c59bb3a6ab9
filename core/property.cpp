#include "core/property.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "core/class_registry.h"
#include "core/evaluation_serial.h"
#include "core/object.h"
#include "core/property_time_text.h"

namespace {

// Truncation toward zero, saturated to the int range; NaN gives 0.
int TruncToInt(double d) {
  if (std::isnan(d)) return 0;
  if (d >= 2147483647.0) return std::numeric_limits<int>::max();
  if (d <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(d);
}

float ToFloat(double d) {
  const double limit = static_cast<double>(std::numeric_limits<float>::max());
  if (d > limit) return std::numeric_limits<float>::infinity();
  if (d < -limit) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(d);
}

std::string Format(const char* format, double value) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string FormatDoubles(const double* v, int count) {
  std::string text = "{";
  for (int i = 0; i < count; ++i) {
    if (i) text += ",";
    text += Format("%f", v[i]);
  }
  return text + "}";
}

template <class T>
bool Read(const VProperty& p, T& value) {
  return p.GetData(&value, sizeof(T));
}

template <class T>
bool Write(VProperty& p, const T& value) {
  return p.SetData(&value, sizeof(T));
}

}  // namespace

VProperty::VProperty(const std::string& name, int type, std::uint32_t definitionFlags)
    : mOwnsDefinition(true), mDefinition(new VPropertyDefinition(name, type, definitionFlags)) {}

VProperty::VProperty(const VPropertyDefinition* shared) : mOwnsDefinition(false), mDefinition(shared) {}

VObject* VProperty::GetOwnerObject() const {
  return mInObject ? static_cast<VObject*>(GetOwner()) : nullptr;
}

VProperty::~VProperty() {
  if (mOwnsDefinition) delete mDefinition;
}

VPropertyDefinition& VProperty::OwnDefinition() {
  if (!mOwnsDefinition) {
    mDefinition = new VPropertyDefinition(*mDefinition);
    mOwnsDefinition = true;
  }
  return *const_cast<VPropertyDefinition*>(mDefinition);
}

std::unique_ptr<VProperty> VProperty::Create(const std::string& name, int type,
                                             std::uint32_t flags) {
  if (flags & kPropertyDefAnimatable) {
    switch (VPropertyTypeDoubleCount(type)) {
      case 3:
        return std::make_unique<VPropertyDouble3>(name, type, flags);
      case 4:
        return std::make_unique<VPropertyDouble4>(
            name, type, flags,
            type == kPropertyTypeVector4d ? VDouble4{0, 0, 0, 1} : VDouble4{0, 0, 0, 0});
      default:
        return std::make_unique<VPropertyDouble>(name, type, flags);
    }
  }
  switch (type) {
    case kPropertyTypeInt:
    case kPropertyTypeEnum:
      return std::make_unique<VPropertyInt>(name, type, flags);
    case kPropertyTypeBool:
    case kPropertyTypeAction:
      return std::make_unique<VPropertyBool>(name, type, flags);
    case kPropertyTypeFloat:
      return std::make_unique<VPropertyFloat>(name, type, flags);
    case kPropertyTypeDouble:
      return std::make_unique<VPropertyDouble>(name, type, flags);
    case kPropertyTypeTime:
      return std::make_unique<VPropertyTime>(name, type, flags);
    case kPropertyTypeVector3d:
    case kPropertyTypeColorRGB:
      return std::make_unique<VPropertyDouble3>(name, type, flags);
    case kPropertyTypeVector4d:
      return std::make_unique<VPropertyDouble4>(name, type, flags, VDouble4{0, 0, 0, 1});
    case kPropertyTypeColorRGBA:
      return std::make_unique<VPropertyDouble4>(name, type, flags);
    case kPropertyTypeCharPtr:
    case kPropertyTypeString:
      return std::make_unique<VPropertyText>(name, type, flags);
    case kPropertyTypeStringList:
      return std::make_unique<VPropertyStringList>(name, type, flags);
    case kPropertyTypeObject:
    case kPropertyTypeReference:
      return std::make_unique<VPropertyObject>(name, type, flags);
    default:
      return std::make_unique<VProperty>(name, type, flags);
  }
}

int VProperty::GetClassId() const {
  static const int id = VClassRegistry::Instance().Register("Property");
  return id;
}

bool VProperty::SetName(const std::string& name, bool makeUnique) {
  if (name == mDefinition->mName) return true;
  std::string candidate = name;
  VObject* object = GetOwnerObject();
  if (object) {
    auto taken = [&](const std::string& n) {
      const VProperty* other = object->FindProperty(n);
      return other && other != this;
    };
    if (taken(candidate)) {
      if (!makeUnique) return false;
      for (int n = 1; taken(candidate); ++n) candidate = name + std::to_string(n);
      if (candidate == mDefinition->mName) return true;
    }
  }
  const std::string old = mDefinition->mName;
  VRenameData data{old.c_str(), candidate.c_str()};
  if (!Broadcast(kPlugNotifyRenameRequest, &data)) return false;
  OwnDefinition().mName = candidate;
  if (object) object->PropertyRenamed(this, old);
  Broadcast(kPlugNotifyRenameDone, &data);
  return true;
}

void VProperty::SetMinMax(double min, double max) {
  if (min == mDefinition->mMin && max == mDefinition->mMax) return;
  VPropertyDefinition& definition = OwnDefinition();
  definition.mMin = min;
  definition.mMax = max;
  Broadcast(kPlugNotifyDefinitionChanged);
}

std::vector<std::string>& VProperty::GetEnumItems() {
  // The list is handed out for changing: the property's own.
  VPropertyDefinition& definition = OwnDefinition();
  if (!definition.mEnumItems) definition.mEnumItems = std::make_unique<std::vector<std::string>>();
  return *definition.mEnumItems;
}

std::string VProperty::GetEnumItem(int index) const {
  if (!mDefinition->mEnumItems || index < 0 || index >= GetEnumItemCount()) return "";
  return (*mDefinition->mEnumItems)[static_cast<std::size_t>(index)];
}

int VProperty::GetEnumItemCount() const {
  return mDefinition->mEnumItems ? static_cast<int>(mDefinition->mEnumItems->size()) : 0;
}

void VProperty::SetEnumItems(const std::vector<std::string>& items) {
  const std::vector<std::string>* current = mDefinition->mEnumItems.get();
  if (current ? *current == items : items.empty()) return;
  GetEnumItems() = items;
  Broadcast(kPlugNotifyDefinitionChanged);
}

int VProperty::FindEnumItem(const std::string& text) const {
  for (int i = 0; i < GetEnumItemCount(); ++i)
    if ((*mDefinition->mEnumItems)[static_cast<std::size_t>(i)] == text) return i;
  return -1;
}

bool VProperty::GetData(void*, std::size_t) const { return false; }
bool VProperty::SetData(const void*, std::size_t) { return false; }

void VProperty::ValueChanged() {
  VEvaluationAdvance();
  Broadcast(kPlugNotifyValueChanged);
}

// --- doubles ------------------------------------------------------------------

int VProperty::GetDoubleCount() const {
  if (IsAnimatable()) return VPropertyTypeDoubleCount(GetType());
  switch (GetType()) {
    case kPropertyTypeDouble:
    case kPropertyTypeVector3d:
    case kPropertyTypeColorRGB:
    case kPropertyTypeVector4d:
    case kPropertyTypeColorRGBA:
      return VPropertyTypeDoubleCount(GetType());
    default:
      return 0;
  }
}

bool VProperty::GetDoubles(double* out, int count) const {
  const int n = GetDoubleCount();
  if (!out || n == 0 || count != n) return false;
  return GetData(out, sizeof(double) * static_cast<std::size_t>(n));
}

bool VProperty::SetDoubles(const double* values, int count) {
  const int n = GetDoubleCount();
  if (!values || n == 0 || count != n) return false;
  return SetData(values, sizeof(double) * static_cast<std::size_t>(n));
}

// --- conversions ----------------------------------------------------------------

bool VProperty::GetDouble(double& value) const {
  value = 0.0;
  if (IsAnimatable()) {
    double v[4] = {0, 0, 0, 0};
    if (!GetDoubles(v, GetDoubleCount())) return false;
    value = v[0];
    return true;
  }
  switch (GetType()) {
    case kPropertyTypeInt:
    case kPropertyTypeBool:
    case kPropertyTypeEnum:
    case kPropertyTypeAction: {
      int i = 0;
      if (!GetInt(i)) return false;
      value = i;
      return true;
    }
    case kPropertyTypeFloat: {
      float f = 0.0f;
      if (!Read(*this, f)) return false;
      value = f;
      return true;
    }
    case kPropertyTypeDouble:
      return Read(*this, value);
    default:
      return false;
  }
}

bool VProperty::SetDouble(double value) {
  if (IsAnimatable()) {
    double v[4] = {0, 0, 0, 0};
    const int n = GetDoubleCount();
    if (!GetDoubles(v, n)) return false;
    v[0] = value;
    return SetDoubles(v, n);
  }
  switch (GetType()) {
    case kPropertyTypeInt:
    case kPropertyTypeBool:
    case kPropertyTypeEnum:
    case kPropertyTypeAction:
      return SetInt(TruncToInt(value));
    case kPropertyTypeFloat:
      return Write(*this, ToFloat(value));
    case kPropertyTypeDouble:
      return Write(*this, value);
    default:
      return false;
  }
}

bool VProperty::GetInt(int& value) const {
  value = 0;
  if (IsAnimatable()) {
    double d = 0.0;
    if (!GetDouble(d)) return false;
    value = TruncToInt(d);
    return true;
  }
  switch (GetType()) {
    case kPropertyTypeInt:
    case kPropertyTypeEnum: {
      std::int32_t i = 0;
      if (!Read(*this, i)) return false;
      value = i;
      return true;
    }
    case kPropertyTypeBool:
    case kPropertyTypeAction: {
      std::uint8_t b = 0;
      if (!Read(*this, b)) return false;
      value = b;
      return true;
    }
    default:
      return false;
  }
}

bool VProperty::SetInt(int value) {
  if (IsAnimatable()) return SetDouble(static_cast<double>(value));
  switch (GetType()) {
    case kPropertyTypeInt:
    case kPropertyTypeEnum:
      return Write(*this, static_cast<std::int32_t>(value));
    case kPropertyTypeBool:
    case kPropertyTypeAction:
      return Write(*this, static_cast<std::uint8_t>(value != 0 ? 1 : 0));
    default:
      return false;
  }
}

std::string VProperty::GetText() const {
  switch (GetType()) {
    case kPropertyTypeInt:
      return std::to_string(GetIntValue());
    case kPropertyTypeBool:
    case kPropertyTypeAction:
      return GetIntValue() != 0 ? "True" : "False";
    case kPropertyTypeFloat:
    case kPropertyTypeDouble:
      return Format("%f", GetDoubleValue());
    case kPropertyTypeCharPtr:
    case kPropertyTypeString: {
      const auto* text = dynamic_cast<const VPropertyText*>(this);
      return text ? text->Get() : "?";
    }
    case kPropertyTypeEnum:
      return GetEnumItem(GetIntValue());
    case kPropertyTypeTime: {
      std::int64_t ticks = 0;
      if (IsAnimatable()) {
        ticks = static_cast<std::int64_t>(GetDoubleValue());
      } else {
        Read(*this, ticks);
      }
      return VPropertyTimeText(ticks);
    }
    case kPropertyTypeObject: {
      const auto* objects = dynamic_cast<const VPropertyObject*>(this);
      const VObject* first = objects ? objects->GetObjectAt(0) : nullptr;
      if (first) return first->GetName();
      return IsObjectList() ? "ObjectList!" : "Object!";
    }
    case kPropertyTypeVector4d:
    case kPropertyTypeVector3d:
    case kPropertyTypeColorRGB:
    case kPropertyTypeColorRGBA: {
      double v[4] = {0, 0, 0, 1};
      const int n = GetDoubleCount();
      GetDoubles(v, n);
      // ColorRGB prints an opaque alpha as its fourth number.
      return FormatDoubles(v, GetType() == kPropertyTypeColorRGB ? 4 : n);
    }
    default:
      return "?";
  }
}

bool VProperty::SetText(const std::string& text) {
  if (GetType() != kPropertyTypeCharPtr && GetType() != kPropertyTypeString) return false;
  auto* p = dynamic_cast<VPropertyText*>(this);
  return p && p->Set(text);
}

// --- concrete classes ----------------------------------------------------------------

bool VPropertyText::Set(const std::string& text) {
  if (text == mText) return true;
  mText = text;
  ValueChanged();
  return true;
}

bool VPropertyText::GetData(void* buffer, std::size_t size) const {
  if (!buffer || size < mText.size() + 1) return false;
  std::memcpy(buffer, mText.c_str(), mText.size() + 1);
  return true;
}

bool VPropertyText::SetData(const void* buffer, std::size_t size) {
  if (!buffer) return false;
  const char* chars = static_cast<const char*>(buffer);
  std::size_t length = 0;
  while (length < size && chars[length] != '\0') ++length;
  return Set(std::string(chars, length));
}

bool VPropertyStringList::Set(const std::vector<std::string>& items) {
  if (items == mItems) return true;
  mItems = items;
  ValueChanged();
  return true;
}

int VPropertyObject::GetObjectCount() const {
  int count = 0;
  for (int i = 0; i < GetSrcCount(); ++i)
    if (dynamic_cast<VObject*>(GetSrc(i))) ++count;
  return count;
}

VObject* VPropertyObject::GetObjectAt(int index) const {
  if (index < 0) return nullptr;
  for (int i = 0; i < GetSrcCount(); ++i) {
    if (auto* object = dynamic_cast<VObject*>(GetSrc(i))) {
      if (index-- == 0) return object;
    }
  }
  return nullptr;
}

bool VPropertyObject::SetObjectValue(VObject* object) { return SetReference(object); }

bool VPropertyObject::AddObjectValue(VObject* object) {
  if (!object) return false;
  if (FindSrc(object) >= 0) return true;
  if (!ConnectSrc(object)) return false;
  ValueChanged();
  return true;
}

bool VPropertyObject::RemoveObjectValue(VObject* object) {
  if (!object || !DisconnectSrc(object)) return false;
  ValueChanged();
  return true;
}

bool VPropertyObject::SetReference(VPlug* plug) {
  if (GetSrcCount() == (plug ? 1 : 0) && GetSrc(0) == plug) return true;
  if (plug && FindSrc(plug) < 0 && !ConnectSrc(plug)) return false;
  for (int i = GetSrcCount() - 1; i >= 0; --i)
    if (GetSrc(i) != plug) DisconnectSrcAt(i);
  ValueChanged();
  return true;
}
