#include "core/settings_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "core/settings_file.h"

namespace {

constexpr const char* kTableNames[VSettingsStore::kTableCount] = {
    kVSettingsApplication, kVSettingsExtensions,   kVSettingsTask,           kVSettingsHistory,
    kVSettingsZynPlugins,  kVSettingsSerialServer, kVSettingsPropertyColors, kVSettingsFilters,
};

std::string JoinPath(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

// A damaged file is set aside as NAME.damaged, or NAME.damaged.1 to
// NAME.damaged.9 while earlier copies are still there: a copy set aside in
// an earlier run is never replaced by a later one.
constexpr int kAsideNames = 10;

bool IsTaken(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

// Moves a damaged file out of the way so that the next Save does not
// replace the only copy of what could not be read. False when the file
// stays where it is; Save must then leave it alone.
bool SetAside(const std::string& path, const char* why) {
  for (int i = 0; i < kAsideNames; ++i) {
    const std::string aside = i == 0 ? path + ".damaged" : path + ".damaged." + std::to_string(i);
    if (IsTaken(aside)) continue;
    if (std::rename(path.c_str(), aside.c_str()) != 0) break;
    std::fprintf(stderr, "warning: settings file '%s' %s; kept as '%s', defaults used for the rest\n",
                 path.c_str(), why, aside.c_str());
    return true;
  }
  std::fprintf(stderr,
               "warning: settings file '%s' %s; left where it is and not saved over, defaults used "
               "for the rest\n",
               path.c_str(), why);
  return false;
}

}  // namespace

const char* VSettings::Name() const { return store_ ? VSettingsStore::TableName(table_) : ""; }

std::optional<std::string> VSettings::Get(std::string_view section, std::string_view key,
                                          std::string_view default_value) const {
  if (!store_) return std::nullopt;
  return store_->Get(table_, section, key, default_value);
}

std::string VSettings::GetText(std::string_view section, std::string_view key,
                               std::string_view default_value) const {
  std::optional<std::string> value = Get(section, key, default_value);
  return value ? std::move(*value) : std::string(default_value);
}

bool VSettings::Set(std::string_view section, std::string_view key, std::string_view value,
                    std::string_view comment) {
  return store_ && store_->Set(table_, section, key, value, comment);
}

bool VSettings::GetOrSetDefault(std::string_view section, std::string_view key,
                                std::string_view default_value, std::string_view comment) {
  return store_ && store_->GetOrSetDefault(table_, section, key, default_value, comment);
}

VSettingsTable VSettings::Snapshot() const { return store_ ? store_->Snapshot(table_) : VSettingsTable(); }

VSettingsStore& VSettingsStore::Global() {
  static VSettingsStore store;
  return store;
}

const char* VSettingsStore::TableName(int index) {
  return index >= 0 && index < kTableCount ? kTableNames[index] : nullptr;
}

int VSettingsStore::TableIndex(std::string_view name) {
  for (int i = 0; i < kTableCount; ++i) {
    if (name == kTableNames[i]) return i;
  }
  return -1;
}

VSettings VSettingsStore::Open(std::string_view name) {
  const int index = TableIndex(name);
  return index < 0 ? VSettings() : VSettings(this, index);
}

void VSettingsStore::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (VSettingsTable& table : tables_) table.Clear();
}

std::optional<std::string> VSettingsStore::Get(int table, std::string_view section,
                                               std::string_view key,
                                               std::string_view default_value) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const VSettingsEntry* entry = tables_[table].Find(section, key);
  return entry ? entry->value : std::string(default_value);
}

bool VSettingsStore::Set(int table, std::string_view section, std::string_view key,
                         std::string_view value, std::string_view comment) {
  std::lock_guard<std::mutex> lock(mutex_);
  return tables_[table].Set(section, key, value, comment);
}

bool VSettingsStore::GetOrSetDefault(int table, std::string_view section, std::string_view key,
                                     std::string_view default_value, std::string_view comment) {
  std::lock_guard<std::mutex> lock(mutex_);
  VSettingsTable& target = tables_[table];
  if (target.Find(section, key)) {
    target.FillComment(section, key, comment);
    return true;
  }
  return target.Set(section, key, default_value, comment);
}

VSettingsTable VSettingsStore::Snapshot(int table) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return tables_[table];
}

bool VSettingsStore::Load(const std::string& folder) {
  bool clean = true;
  VSettingsTable loaded[kTableCount];
  bool left[kTableCount] = {};
  for (int i = 0; i < kTableCount; ++i) {
    const std::string path = JoinPath(folder, kTableNames[i]);
    std::string text;
    switch (VSettingsFileRead(path, kVSettingsMaxFileBytes, &text)) {
      case VSettingsReadResult::kMissing:
        continue;
      case VSettingsReadResult::kUnreadable:
        left[i] = !SetAside(path, "cannot be read");
        clean = false;
        continue;
      case VSettingsReadResult::kTooLarge:
        left[i] = !SetAside(path, "is too large");
        clean = false;
        continue;
      case VSettingsReadResult::kOk:
        break;
    }
    const VSettingsParseReport report = VSettingsFileParse(text, &loaded[i]);
    if (report.Damaged()) {
      char why[160];
      if (report.bad_lines != 0) {
        std::snprintf(why, sizeof why, "is damaged (%zu unreadable lines, the first at line %zu)",
                      report.bad_lines, report.first_bad_line);
      } else if (report.truncated) {
        std::snprintf(why, sizeof why, "is damaged (cut short)");
      } else if (report.duplicate_keys != 0) {
        std::snprintf(why, sizeof why, "is damaged (%zu keys given twice)", report.duplicate_keys);
      } else {
        std::snprintf(why, sizeof why, "is damaged (%zu entries too long)", report.refused_entries);
      }
      left[i] = !SetAside(path, why);
      clean = false;
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  for (int i = 0; i < kTableCount; ++i) {
    tables_[i] = std::move(loaded[i]);
    left_in_place_[i] = left[i];
  }
  return clean;
}

bool VSettingsStore::Save(const std::string& folder) {
  std::lock_guard<std::mutex> save_lock(save_mutex_);
  if (!folder.empty() && ::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "warning: settings folder '%s' cannot be created: %s\n", folder.c_str(),
                 std::strerror(errno));
    return false;
  }
  std::string texts[kTableCount];
  bool left[kTableCount];
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int i = 0; i < kTableCount; ++i) {
      texts[i] = VSettingsFileFormat(tables_[i]);
      left[i] = left_in_place_[i];
    }
  }
  bool ok = true;
  for (int i = 0; i < kTableCount; ++i) {
    const std::string path = JoinPath(folder, kTableNames[i]);
    if (left[i]) {
      // The damaged file could not be set aside: it is the only copy.
      std::fprintf(stderr, "warning: settings file '%s' damaged and not saved over\n", path.c_str());
      ok = false;
      continue;
    }
    std::string error;
    if (!VSettingsFileWriteAtomic(path, texts[i], &error)) {
      std::fprintf(stderr, "warning: settings not saved: %s\n", error.c_str());
      ok = false;
    }
  }
  return ok;
}
