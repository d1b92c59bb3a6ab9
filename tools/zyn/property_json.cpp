#include "tools/zyn/property_json.h"

#include "core/object.h"
#include "core/property.h"
#include "core/property_type.h"

namespace zyn_tool {

void WritePropertyJson(const VProperty& property, tools::JsonWriter& json) {
  int type = property.GetType();
  int count = property.GetDoubleCount();
  if (property.IsAnimatable() || count > 1) {
    double values[4] = {0, 0, 0, 0};
    if (count > 4) count = 4;
    property.GetDoubles(values, count);
    if (count == 1) {
      json.Double(values[0]);
      return;
    }
    json.BeginArray();
    for (int i = 0; i < count; ++i) json.Double(values[i]);
    json.EndArray();
    return;
  }
  switch (type) {
    case kPropertyTypeInt:
    case kPropertyTypeEnum:
      json.Int(property.GetIntValue());
      break;
    case kPropertyTypeBool:
    case kPropertyTypeAction:
      json.Bool(property.GetIntValue() != 0);
      break;
    case kPropertyTypeFloat:
    case kPropertyTypeDouble:
      json.Double(property.GetDoubleValue());
      break;
    case kPropertyTypeTime: {
      int64_t ticks = 0;
      property.GetData(&ticks, sizeof ticks);
      json.Int(ticks);
      break;
    }
    case kPropertyTypeCharPtr:
    case kPropertyTypeString:
      json.String(property.GetText());
      break;
    case kPropertyTypeObject:
    case kPropertyTypeReference: {
      const VPlug* source = property.GetSrcCount() > 0 ? property.GetSrc(0) : nullptr;
      const VObject* object = dynamic_cast<const VObject*>(source);
      if (object) json.String(object->GetFullName()); else json.Null();
      break;
    }
    default:
      json.Null();
  }
}

}  // namespace zyn_tool
