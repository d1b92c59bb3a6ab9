#pragma once
// Typed property creation with an initial value, for the classes that make
// a fixed set of properties in their constructor (cameras, lights,
// switchers).

#include <string>
#include <vector>

#include "core/object.h"
#include "core/property.h"

namespace vprops {

inline std::uint32_t Flags(bool animatable) { return animatable ? static_cast<std::uint32_t>(kPropertyDefAnimatable) : 0u; }

inline VPropertyBool* Bool(VObject& o, const char* name, bool initial) {
  auto* p = o.AddPropertyT<VPropertyBool>(name, kPropertyTypeBool);
  p->Set(initial ? 1 : 0);
  return p;
}

inline VPropertyBool* Action(VObject& o, const char* name) {
  return o.AddPropertyT<VPropertyBool>(name, kPropertyTypeAction);
}

inline VPropertyDouble* Double(VObject& o, const char* name, double initial, bool animatable = false) {
  auto* p = o.AddPropertyT<VPropertyDouble>(name, kPropertyTypeDouble, Flags(animatable));
  p->Set(initial);
  return p;
}

inline VPropertyInt* Int(VObject& o, const char* name, int initial) {
  auto* p = o.AddPropertyT<VPropertyInt>(name, kPropertyTypeInt);
  p->Set(initial);
  return p;
}

inline VPropertyDouble3* Color(VObject& o, const char* name, VDouble3 initial, bool animatable = false) {
  auto* p = o.AddPropertyT<VPropertyDouble3>(name, kPropertyTypeColorRGB, Flags(animatable));
  p->Set(initial);
  return p;
}

inline VPropertyText* Text(VObject& o, const char* name, const std::string& initial) {
  auto* p = o.AddPropertyT<VPropertyText>(name, kPropertyTypeString);
  p->Set(initial);
  return p;
}

inline VPropertyInt* Enum(VObject& o, const char* name, const std::vector<std::string>& items, int initial = 0) {
  auto* p = o.AddPropertyT<VPropertyInt>(name, kPropertyTypeEnum, 0, &items);
  p->Set(initial);
  return p;
}

}  // namespace vprops
