#include "zynfile/property_block.h"

#include <cstring>
#include <memory>
#include <vector>

#include "core/object.h"
#include "core/property.h"
#include "core/property_definition.h"
#include "core/property_type.h"
#include "zynfile/zyn_file.h"

namespace {

const char* const kTypeNames[] = {"unknown",    "int",      "bool",       "float",   "double",
                                  "charptr",    "enum",     "VTime",      "VString", "object",
                                  "event",      "stringlist", "Vector4D", "Vector3D", "ColorRGB",
                                  "ColorRGBA",  "Action",   "Reference",  "VectorElement"};
constexpr int kTypeCount = static_cast<int>(sizeof kTypeNames / sizeof kTypeNames[0]);

// Properties whose own flag word has this bit set are never stored.
constexpr uint32_t kPropertyNotStored = 0x10;

// Enum item lists travel as one string with this separator.
constexpr char kItemSeparator = '~';

struct DataType {
  const char* name;
  int size;
};
const DataType kDataTypes[] = {{"Lcl Translation", 3}, {"Lcl Rotation", 3}, {"Lcl Scaling", 3},
                               {"Visibility", 1},      {"Color", 3},        {"Vector", 3},
                               {"Number", 1}};

bool IsVectorType(int type) {
  return type == kPropertyTypeVector3d || type == kPropertyTypeColorRGB || type == kPropertyTypeVector4d ||
         type == kPropertyTypeColorRGBA;
}

int VectorSize(int type) {
  return type == kPropertyTypeVector4d || type == kPropertyTypeColorRGBA ? 4 : 3;
}

// The property type an animatable record of n doubles gets when it is made.
int AnimatableType(const std::string& type_name, int size) {
  if (type_name == "Color") return kPropertyTypeColorRGB;
  return size == 1 ? kPropertyTypeDouble : kPropertyTypeVector3d;
}

std::vector<std::string> SplitItems(const std::string& text) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(kItemSeparator, start);
    if (end == std::string::npos) end = text.size();
    items.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (items.size() == 1 && items[0].empty()) items.clear();
  return items;
}

void ReadOneProperty(VZynFile& file, VObject& object) {
  std::string name = file.FieldReadC();
  std::string type_name = file.FieldReadC();
  std::string flags = file.FieldReadC();
  bool animatable = flags.find('A') != std::string::npos;
  bool user = flags.find('U') != std::string::npos;
  if (name.empty()) return;

  int data_size = VZynAnimationDataTypeSize(type_name);
  int type = data_size ? AnimatableType(type_name, data_size) : VZynPropertyTypeOfName(type_name);
  VProperty* property = object.FindProperty(name);
  if (!property && object.AcceptsDynamicProperties() && type != kPropertyTypeUnknown) {
    uint32_t definition = animatable ? static_cast<uint32_t>(kPropertyDefAnimatable) : 0u;
    property = object.CreateDynamicProperty(name, type, user, definition);
  }
  if (!property) return;  // nothing to hold the value

  double values[4] = {0, 0, 0, 0};
  if (data_size) {  // an animation data type: n doubles
    for (int i = 0; i < data_size; ++i) values[i] = file.FieldReadD();
    int count = property->GetDoubleCount();
    if (count == data_size) {
      property->SetDoubles(values, count);
    } else {
      property->SetDouble(values[0]);
    }
  }
  switch (data_size ? kPropertyTypeUnknown : type) {
    // Through set-as-double: the existing property converts to its own type.
    case kPropertyTypeInt:
    case kPropertyTypeEnum:
      property->SetDouble(file.FieldReadI());
      break;
    case kPropertyTypeBool:
    case kPropertyTypeAction:
      property->SetDouble(file.FieldReadI() != 0 ? 1 : 0);
      break;
    case kPropertyTypeDouble:
      property->SetDouble(file.FieldReadD());
      break;
    case kPropertyTypeFloat:
      // Stored by the writer of this engine as one D; older writers store none.
      if (file.FieldReadGetRemain() > (user ? 2 : 0)) property->SetDouble(file.FieldReadD());
      break;
    case kPropertyTypeCharPtr:
    case kPropertyTypeString:
      property->SetText(file.FieldReadC());
      break;
    case kPropertyTypeTime: {
      int64_t ticks = file.FieldReadT().GetTicks();
      property->SetData(&ticks, sizeof ticks);
      break;
    }
    case kPropertyTypeVector3d:
    case kPropertyTypeColorRGB:
    case kPropertyTypeVector4d:
    case kPropertyTypeColorRGBA: {
      // Vector4D values are written, so they are read back too (they would
      // otherwise be lost on every save).
      int n = VectorSize(type);
      for (int i = 0; i < n; ++i) values[i] = file.FieldReadD();
      int count = property->GetDoubleCount();
      if (count > 0) property->SetDoubles(values, count < n ? count : n);
      break;
    }
    default:
      break;  // object, reference and the rest carry no value
  }
  if (user && property->IsUserProperty()) {
    if (type == kPropertyTypeEnum) {
      property->SetEnumItems(SplitItems(file.FieldReadC()));
    } else if (file.FieldReadGetRemain() >= 2) {
      double min = file.FieldReadD();
      double max = file.FieldReadD();
      property->SetMinMax(min, max);
    }
  }
}

void WriteValue(VZynFile& file, const VProperty& property, int type) {
  switch (type) {
    case kPropertyTypeInt:
    case kPropertyTypeEnum:
    case kPropertyTypeBool:
    case kPropertyTypeAction:
      file.FieldWriteI(property.GetIntValue());
      break;
    case kPropertyTypeDouble:
    case kPropertyTypeFloat:
      file.FieldWriteD(property.GetDoubleValue());
      break;
    case kPropertyTypeCharPtr:
    case kPropertyTypeString:
      file.FieldWriteC(property.GetText());
      break;
    case kPropertyTypeTime: {
      int64_t ticks = 0;
      property.GetData(&ticks, sizeof ticks);
      file.FieldWriteT(VTime(ticks));
      break;
    }
    default:
      if (IsVectorType(type)) {
        double values[4] = {0, 0, 0, 0};
        int n = VectorSize(type);
        property.GetDoubles(values, property.GetDoubleCount() < n ? property.GetDoubleCount() : n);
        for (int i = 0; i < n; ++i) file.FieldWriteD(values[i]);
      }
  }
}

}  // namespace

const char* VZynPropertyTypeName(int type) {
  return type >= 0 && type < kTypeCount ? kTypeNames[type] : kTypeNames[0];
}

int VZynPropertyTypeOfName(const std::string& name) {
  for (int i = 0; i < kTypeCount; ++i) {
    if (name == kTypeNames[i]) return i;
  }
  // Names of the property model that files of other writers may carry.
  if (name == "Vector3d") return kPropertyTypeVector3d;
  if (name == "Vector4d") return kPropertyTypeVector4d;
  if (name == "String") return kPropertyTypeString;
  if (name == "time") return kPropertyTypeTime;
  return kPropertyTypeUnknown;
}

int VZynAnimationDataTypeSize(const std::string& name) {
  for (const DataType& t : kDataTypes) {
    if (name == t.name) return t.size;
  }
  return 0;
}

std::string VZynAnimationDataTypeName(const VProperty& property) {
  const std::string& name = property.GetName();
  for (const DataType& t : kDataTypes) {
    if (t.size == property.GetDoubleCount() && name == t.name) return name;
  }
  int type = property.GetType();
  if (type == kPropertyTypeColorRGB || type == kPropertyTypeColorRGBA) return "Color";
  return property.GetDoubleCount() == 1 ? "Number" : "Vector";
}

bool VZynReadPropertyBlock(VZynFile& file, VObject& object) {
  if (!file.FieldReadBegin("Properties60")) return true;
  if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
    if (file.FieldReadBegin("Property")) {
      file.FieldReadEnd();
      for (int i = 0; file.FieldReadBegin("Property", i); ++i) {
        ReadOneProperty(file, object);
        file.FieldReadEnd();
      }
    } else {
      // A block without "Property" fields: every field is one record.
      int count = file.FieldReadOccurrenceCount();
      for (int k = 0; k < count && file.FieldReadBeginOccurrence(k); ++k) ReadOneProperty(file, object);
    }
    file.FieldReadBlockEnd();
  }
  file.FieldReadEnd();
  return !file.HasError();
}

bool VZynWritePropertyBlock(VZynFile& file, const VObject& object) {
  file.FieldWriteBlockBegin("Properties60");
  // Properties a class makes on request are written without being made.
  std::unique_ptr<VProperty> scratch;
  for (int i = 0; i < object.GetPropertyCount(); ++i) {
    const VProperty& property = *object.ReadPropertyAt(i, scratch);
    if (property.TestFlag(kPropertyNotStored)) continue;
    int type = property.GetType();
    bool animatable = property.IsAnimatable();
    std::string flags;
    if (animatable) flags += property.IsAnimated() ? "A+" : "A";
    if (property.IsUserProperty()) flags += "U";
    file.FieldWriteBegin("Property");
    file.FieldWriteC(property.GetName());
    file.FieldWriteC(animatable ? VZynAnimationDataTypeName(property) : std::string(VZynPropertyTypeName(type)));
    file.FieldWriteC(flags);
    if (animatable) {
      double values[4] = {0, 0, 0, 0};
      int n = property.GetDoubleCount();
      if (n > 4) n = 4;
      property.GetDoubles(values, n);
      for (int k = 0; k < n; ++k) file.FieldWriteD(values[k]);
    } else {
      WriteValue(file, property, type);
    }
    if (property.IsUserProperty()) {
      if (type == kPropertyTypeEnum) {
        std::string items;
        for (int k = 0; k < property.GetEnumItemCount(); ++k) {
          if (k) items += kItemSeparator;
          items += property.GetEnumItem(k);
        }
        file.FieldWriteC(items);
      } else {
        file.FieldWriteD(property.GetMin());
        file.FieldWriteD(property.GetMax());
      }
    }
    file.FieldWriteEnd();
  }
  file.FieldWriteBlockEnd();
  file.FieldWriteEnd();
  return !file.HasError();
}
