#pragma once
// The property block of an object ("Properties60"): one "Property" field
// per property with its name, type name, flags ("A" animatable, "+"
// animated, "U" user property) and value.

#include <string>

class VObject;
class VProperty;
class VZynFile;

// The type name of a property id in the file ("int", "VTime", "Vector3D", ...).
const char* VZynPropertyTypeName(int type);
// The id of a type name; 0 for names outside the table.
int VZynPropertyTypeOfName(const std::string& name);
// Animatable properties are stored under their animation data type:
// "Lcl Translation", "Lcl Rotation", "Lcl Scaling", "Visibility", "Color",
// "Vector", "Number".
std::string VZynAnimationDataTypeName(const VProperty& property);
// Doubles held by an animation data type name; 0 when it is not one.
int VZynAnimationDataTypeSize(const std::string& name);

// Reads the "Properties60" block of the current block into the object.
// Properties the object lacks are made when it accepts dynamic ones.
bool VZynReadPropertyBlock(VZynFile& file, VObject& object);
// Writes the object's properties as a "Properties60" block.
bool VZynWritePropertyBlock(VZynFile& file, const VObject& object);
