#pragma once
// One settings table: section name -> key name -> value text, with the
// comment that is written above each key in the table's file. Names are
// case-sensitive. Sections and keys keep the order in which they were first
// added, which is the order the file is written in.
//
// A table is bounded: names and values have maximum lengths, and the table
// never grows past what its file may hold (kVSettingsMaxFileBytes), so that
// whatever a table holds can be written and read back.

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kVSettingsMaxFileBytes = size_t{4} << 20;
inline constexpr size_t kVSettingsMaxLineBytes = size_t{256} << 10;
inline constexpr size_t kVSettingsMaxNameBytes = 1024;
inline constexpr size_t kVSettingsMaxValueBytes = size_t{60} << 10;
inline constexpr size_t kVSettingsMaxCommentBytes = 1024;
inline constexpr size_t kVSettingsMaxKeys = 32768;  // per table, all sections together

struct VSettingsEntry {
  std::string key;
  std::string value;
  std::string comment;  // one line, trimmed; empty when none
};

struct VSettingsSection {
  std::string name;
  std::vector<VSettingsEntry> entries;
};

class VSettingsTable {
 public:
  // The entry of section/key, or nullptr. The pointer is valid until the
  // table next changes.
  const VSettingsEntry* Find(std::string_view section, std::string_view key) const;
  bool HasSection(std::string_view section) const;

  // Creates the section and the key when missing and replaces the value
  // otherwise. A non-empty comment replaces the kept one (control characters
  // become blanks, the ends are trimmed, a long comment is cut). False, with
  // the table unchanged, when a name or the value is too long or the table
  // would outgrow its file or kVSettingsMaxKeys.
  bool Set(std::string_view section, std::string_view key, std::string_view value,
           std::string_view comment);
  // Gives an existing key without a comment the comment; nothing otherwise.
  void FillComment(std::string_view section, std::string_view key, std::string_view comment);

  void Clear();
  bool Empty() const { return sections_.empty(); }
  const std::vector<VSettingsSection>& Sections() const { return sections_; }
  // The exact size of the table's file text.
  size_t FormattedBytes() const { return formatted_bytes_; }
  size_t KeyCount() const { return key_count_; }

  // The comment as Set keeps it.
  static std::string CleanComment(std::string_view comment);

 private:
  using Index = std::map<std::string, size_t, std::less<>>;
  VSettingsEntry* FindMutable(std::string_view section, std::string_view key);

  std::vector<VSettingsSection> sections_;
  Index section_index_;
  std::vector<Index> key_index_;  // one per section, parallel to sections_
  size_t formatted_bytes_ = 0;
  size_t key_count_ = 0;
};

bool operator==(const VSettingsEntry& a, const VSettingsEntry& b);
bool operator==(const VSettingsSection& a, const VSettingsSection& b);
bool operator==(const VSettingsTable& a, const VSettingsTable& b);
