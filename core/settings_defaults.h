#pragma once
// The start-up defaults of the settings tables: every row that start-up
// writes with get-or-set default (so values already present stay), and the
// rows that modules only read with the same default.

#include <cstddef>
#include <string_view>

class VSettingsStore;

struct VSettingsDefault {
  const char* file;     // table name, e.g. "@Application.txt"
  const char* section;
  const char* key;
  const char* value;
  const char* comment;  // "" when the row has none
  bool written_at_start;  // false: read only, with this default
};

// All rows, in the order start-up writes them.
const VSettingsDefault* VSettingsDefaults(size_t* count);

// The default of a row; nullptr when the tables have no such row.
const char* VSettingsDefaultValue(std::string_view file, std::string_view section,
                                  std::string_view key);

// Writes every row marked written_at_start into its table with get-or-set
// default. False when a table refused a row.
bool VSettingsApplyDefaults(VSettingsStore& store);
