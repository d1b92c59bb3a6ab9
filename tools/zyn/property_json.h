#pragma once
// A property's value as JSON: numbers, arrays for vectors and colours,
// true/false for bools, the index of an enum, ticks for a time, text for
// strings, the full name (or null) for an object reference.

#include "tools/common/json_writer.h"

class VProperty;

namespace zyn_tool {

void WritePropertyJson(const VProperty& property, tools::JsonWriter& json);

}  // namespace zyn_tool
