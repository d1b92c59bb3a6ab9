#pragma once
// The container's field tree as JSON: [{"name", "values", "block"}, ...].

#include "tools/common/json_writer.h"

class VZynFile;

namespace zyn_tool {

// Writes the occurrences of the current block of file, in file order.
void WriteFieldsJson(VZynFile& file, tools::JsonWriter& json);

}  // namespace zyn_tool
