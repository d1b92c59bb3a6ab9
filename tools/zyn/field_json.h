#pragma once
// The container's field tree as JSON: [{"name", "values", "block"}, ...].

#include "tools/common/json_writer.h"

class VZynFile;

namespace zyn_tool {

// The keys every file description starts with: "binary" and "version".
void WriteFileFormJson(const VZynFile& file, tools::JsonWriter& json);

// Writes the occurrences of the current block of file, in file order.
void WriteFieldsJson(VZynFile& file, tools::JsonWriter& json);

}  // namespace zyn_tool
