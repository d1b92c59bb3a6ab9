#pragma once
// The text file of one settings table, and reading and writing it safely.
//
//   [Display]
//   ; Available option Yes,No
//   UseDisplayListForCurves = Yes
//
// A section header is followed by its keys, each with its comment on the
// line above ("; " or "# " lines; consecutive comment lines are joined).
// Blanks around names and values are not part of them. A name or value that
// cannot stand plainly on such a line (empty names, control characters,
// blanks at either end, a leading double quote, "=" in a key, "]" in a
// section name, ...) is written in double quotes with the escapes \\ \" \n
// \r \t and \xHH. A leading byte order mark is skipped; lines may end in
// CR LF.
//
// Reading keeps everything that parses. A line that does not parse, a line
// longer than kVSettingsMaxLineBytes, a line with control bytes, a last line
// without its newline (a file cut short), a key given twice (the later one
// wins) and an entry that the table refuses all mark the text as damaged.
// A section header given twice continues the earlier section.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/settings_table.h"

struct VSettingsParseReport {
  size_t lines = 0;
  size_t bad_lines = 0;        // unreadable lines, skipped
  size_t first_bad_line = 0;   // 1-based; 0 when none
  size_t duplicate_keys = 0;
  size_t refused_entries = 0;  // entries the table could not take
  bool truncated = false;      // the last line had no newline and was dropped
  bool Damaged() const {
    return bad_lines != 0 || duplicate_keys != 0 || refused_entries != 0 || truncated;
  }
};

// Adds what text holds to table.
VSettingsParseReport VSettingsFileParse(std::string_view text, VSettingsTable* table);
// The file text of a table; parsing it gives the table back.
std::string VSettingsFileFormat(const VSettingsTable& table);

// Sizes of the pieces of the file text, as VSettingsFileFormat writes them.
size_t VSettingsFileSectionBytes(std::string_view name);
size_t VSettingsFileEntryBytes(std::string_view key, std::string_view value,
                               std::string_view comment);

enum class VSettingsReadResult { kOk, kMissing, kUnreadable, kTooLarge };

// Reads a whole regular file of at most max_bytes. Never blocks on special
// files (they answer kUnreadable) and never allocates more than max_bytes.
VSettingsReadResult VSettingsFileRead(const std::string& path, size_t max_bytes, std::string* text);

// Writes text to path through a temporary file in the same folder that is
// flushed to disk and renamed over path, so that path holds either the old
// or the new text. On failure error says why and path is untouched.
bool VSettingsFileWriteAtomic(const std::string& path, std::string_view text, std::string* error);
