#include "core/settings_table.h"

#include "core/settings_file.h"

const VSettingsEntry* VSettingsTable::Find(std::string_view section, std::string_view key) const {
  auto s = section_index_.find(section);
  if (s == section_index_.end()) return nullptr;
  const Index& keys = key_index_[s->second];
  auto k = keys.find(key);
  if (k == keys.end()) return nullptr;
  return &sections_[s->second].entries[k->second];
}

VSettingsEntry* VSettingsTable::FindMutable(std::string_view section, std::string_view key) {
  return const_cast<VSettingsEntry*>(Find(section, key));
}

bool VSettingsTable::HasSection(std::string_view section) const {
  return section_index_.find(section) != section_index_.end();
}

std::string VSettingsTable::CleanComment(std::string_view comment) {
  if (comment.size() > kVSettingsMaxCommentBytes) comment = comment.substr(0, kVSettingsMaxCommentBytes);
  std::string clean(comment);
  for (char& c : clean) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) c = ' ';
  }
  const size_t first = clean.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  const size_t last = clean.find_last_not_of(' ');
  return clean.substr(first, last - first + 1);
}

bool VSettingsTable::Set(std::string_view section, std::string_view key, std::string_view value,
                         std::string_view comment) {
  if (section.size() > kVSettingsMaxNameBytes || key.size() > kVSettingsMaxNameBytes ||
      value.size() > kVSettingsMaxValueBytes) {
    return false;
  }
  const std::string clean = CleanComment(comment);
  if (VSettingsEntry* entry = FindMutable(section, key)) {
    const std::string& kept = clean.empty() ? entry->comment : clean;
    const size_t old_bytes = VSettingsFileEntryBytes(entry->key, entry->value, entry->comment);
    const size_t new_bytes = VSettingsFileEntryBytes(entry->key, value, kept);
    if (formatted_bytes_ - old_bytes + new_bytes > kVSettingsMaxFileBytes) return false;
    formatted_bytes_ = formatted_bytes_ - old_bytes + new_bytes;
    entry->value.assign(value);
    if (!clean.empty()) entry->comment = clean;
    return true;
  }
  auto s = section_index_.find(section);
  size_t grow = VSettingsFileEntryBytes(key, value, clean);
  if (s == section_index_.end()) grow += VSettingsFileSectionBytes(section);
  if (formatted_bytes_ + grow > kVSettingsMaxFileBytes || key_count_ >= kVSettingsMaxKeys) return false;
  size_t index;
  if (s == section_index_.end()) {
    index = sections_.size();
    sections_.push_back(VSettingsSection{std::string(section), {}});
    key_index_.emplace_back();
    section_index_.emplace(std::string(section), index);
  } else {
    index = s->second;
  }
  VSettingsSection& target = sections_[index];
  key_index_[index].emplace(std::string(key), target.entries.size());
  target.entries.push_back(VSettingsEntry{std::string(key), std::string(value), clean});
  formatted_bytes_ += grow;
  ++key_count_;
  return true;
}

void VSettingsTable::FillComment(std::string_view section, std::string_view key,
                                 std::string_view comment) {
  VSettingsEntry* entry = FindMutable(section, key);
  if (!entry || !entry->comment.empty()) return;
  const std::string clean = CleanComment(comment);
  if (clean.empty()) return;
  const size_t grow = VSettingsFileEntryBytes(entry->key, entry->value, clean) -
                      VSettingsFileEntryBytes(entry->key, entry->value, entry->comment);
  if (formatted_bytes_ + grow > kVSettingsMaxFileBytes) return;
  formatted_bytes_ += grow;
  entry->comment = clean;
}

void VSettingsTable::Clear() {
  sections_.clear();
  section_index_.clear();
  key_index_.clear();
  formatted_bytes_ = 0;
  key_count_ = 0;
}

bool operator==(const VSettingsEntry& a, const VSettingsEntry& b) {
  return a.key == b.key && a.value == b.value && a.comment == b.comment;
}

bool operator==(const VSettingsSection& a, const VSettingsSection& b) {
  return a.name == b.name && a.entries == b.entries;
}

bool operator==(const VSettingsTable& a, const VSettingsTable& b) {
  return a.Sections() == b.Sections();
}
