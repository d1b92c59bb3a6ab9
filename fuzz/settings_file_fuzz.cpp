// Parses arbitrary bytes as a settings file. Whatever was kept must write
// out to exactly the size the table reports and read back unchanged and
// undamaged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/settings_file.h"
#include "core/settings_table.h"
#include "core/settings_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  VSettingsTable table;
  VSettingsFileParse(text, &table);
  for (const VSettingsSection& section : table.Sections()) {
    for (const VSettingsEntry& entry : section.entries) {
      int i;
      double d;
      VSettingsToInt(entry.value, &i);
      VSettingsToDouble(entry.value, &d);
      (void)VSettingsIsYes(entry.value);
      if (table.Find(section.name, entry.key) != &entry) std::abort();
    }
  }
  const std::string written = VSettingsFileFormat(table);
  if (written.size() != table.FormattedBytes() || written.size() > kVSettingsMaxFileBytes) std::abort();
  VSettingsTable back;
  const VSettingsParseReport report = VSettingsFileParse(written, &back);
  if (report.Damaged() || !(back == table)) {
    std::fprintf(stderr, "round trip failed at line %zu\n", report.first_bad_line);
    std::abort();
  }
  return 0;
}
