#pragma once
// Property type ids and their public names ("int" ... "VectorElement").

#include <array>

enum VPropertyType : int {
  kPropertyTypeUnknown = 0,
  kPropertyTypeInt = 1,
  kPropertyTypeBool = 2,
  kPropertyTypeFloat = 3,
  kPropertyTypeDouble = 4,
  kPropertyTypeCharPtr = 5,
  kPropertyTypeEnum = 6,
  kPropertyTypeTime = 7,
  kPropertyTypeString = 8,
  kPropertyTypeObject = 9,
  kPropertyTypeEvent = 10,
  kPropertyTypeStringList = 11,
  kPropertyTypeVector4d = 12,
  kPropertyTypeVector3d = 13,
  kPropertyTypeColorRGB = 14,
  kPropertyTypeColorRGBA = 15,
  kPropertyTypeAction = 16,
  kPropertyTypeReference = 17,
  kPropertyTypeVectorElement = 18,
};

inline constexpr int kPropertyTypeCount = 19;  // ids 0..18

// Value types of the double-based properties.
using VDouble3 = std::array<double, 3>;
using VDouble4 = std::array<double, 4>;

// Public name of a type id; "" for ids outside 1..18.
const char* VPropertyTypeName(int type);
// Type id of a public name (exact comparison); 0 when unknown.
int VPropertyTypeFromName(const char* name);
// Number of doubles an animatable property of this type exchanges with its
// animation node: 3 for Vector3d and ColorRGB, 4 for Vector4d and ColorRGBA,
// 1 otherwise.
int VPropertyTypeDoubleCount(int type);
