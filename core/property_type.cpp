#include "core/property_type.h"

#include <cstring>

namespace {

const char* const kNames[kPropertyTypeCount] = {
    "",          "int",        "bool",     "float",    "double",   "charptr", "enum",
    "time",      "String",     "object",   "event",    "stringlist", "Vector4d", "Vector3d",
    "ColorRGB",  "ColorRGBA",  "Action",   "Reference", "VectorElement",
};

}  // namespace

const char* VPropertyTypeName(int type) {
  if (type < 1 || type >= kPropertyTypeCount) return "";
  return kNames[type];
}

int VPropertyTypeFromName(const char* name) {
  if (!name) return kPropertyTypeUnknown;
  for (int i = 1; i < kPropertyTypeCount; ++i)
    if (std::strcmp(kNames[i], name) == 0) return i;
  return kPropertyTypeUnknown;
}

int VPropertyTypeDoubleCount(int type) {
  switch (type) {
    case kPropertyTypeVector3d:
    case kPropertyTypeColorRGB:
      return 3;
    case kPropertyTypeVector4d:
    case kPropertyTypeColorRGBA:
      return 4;
    default:
      return 1;
  }
}
