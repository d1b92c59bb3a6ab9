#pragma once
// The settings store: a fixed set of named settings tables ("@Application.txt"
// and the others below), each section -> key -> value text, shared by every
// module of the engine. Open gives a handle on a table by its exact name;
// a handle on no table answers no value to every get and fails every set.
//
// The store may be used from several threads at once (the loader thread and
// the drawing thread): every operation takes the store's lock and answers
// copies, never pointers into a table.
//
// Load and Save keep the tables as text files in the configuration folder,
// one file per table named as the table (see core/settings_file.h). Save
// replaces each file atomically. Load keeps what a damaged file holds,
// moves the file aside to NAME.damaged (NAME.damaged.1 to .9 when earlier
// copies are there, which are never replaced) and says so on stderr; a
// damaged or missing file never stops start-up. A damaged file that cannot
// be moved aside stays, and Save does not write over it.

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "core/settings_table.h"

inline constexpr const char* kVSettingsApplication = "@Application.txt";
inline constexpr const char* kVSettingsExtensions = "@EXTENSIONS.txt";
inline constexpr const char* kVSettingsTask = "@Task.txt";
inline constexpr const char* kVSettingsHistory = "@History.txt";
inline constexpr const char* kVSettingsZynPlugins = "@ZynPlugins.txt";
inline constexpr const char* kVSettingsSerialServer = "@SerialServer.txt";
inline constexpr const char* kVSettingsPropertyColors = "@PropertyColors.txt";
inline constexpr const char* kVSettingsFilters = "@Filters.txt";

class VSettingsStore;

// A handle on one table of a store (or on none). Cheap to copy; valid while
// its store lives.
class VSettings {
 public:
  VSettings() = default;

  bool IsValid() const { return store_ != nullptr; }
  // The table's file name; empty for a handle on no table.
  const char* Name() const;

  // The stored value when the section and the key exist, else the default;
  // no value on a handle on no table.
  std::optional<std::string> Get(std::string_view section, std::string_view key,
                                 std::string_view default_value) const;
  // Get, with the default for a handle on no table as well.
  std::string GetText(std::string_view section, std::string_view key,
                      std::string_view default_value) const;
  // Creates the section and the key when missing, replaces the value
  // otherwise; the comment goes above the key in the file. False on a handle
  // on no table and when the table cannot grow (see VSettingsTable::Set).
  bool Set(std::string_view section, std::string_view key, std::string_view value,
           std::string_view comment = {});
  // True, changing no value, when the key exists (an existing key without a
  // comment receives this one); otherwise Set with the default.
  bool GetOrSetDefault(std::string_view section, std::string_view key,
                       std::string_view default_value, std::string_view comment = {});

  // A copy of the whole table (empty for a handle on no table).
  VSettingsTable Snapshot() const;

 private:
  friend class VSettingsStore;
  VSettings(VSettingsStore* store, int table) : store_(store), table_(table) {}
  VSettingsStore* store_ = nullptr;
  int table_ = -1;
};

class VSettingsStore {
 public:
  static constexpr int kTableCount = 8;

  // The process-wide store.
  static VSettingsStore& Global();

  // The table names in order; nullptr outside 0..kTableCount-1.
  static const char* TableName(int index);
  // The index of a table name (exact comparison); -1 when none.
  static int TableIndex(std::string_view name);

  VSettingsStore() = default;
  VSettingsStore(const VSettingsStore&) = delete;
  VSettingsStore& operator=(const VSettingsStore&) = delete;

  VSettings Open(std::string_view name);

  // Empties every table.
  void Clear();

  // Every table takes the content of its file in folder (a table without a
  // file becomes empty). False when a file was damaged, too large or
  // unreadable; the tables then hold what could be read.
  bool Load(const std::string& folder);
  // Writes every table to its file in folder, creating the folder (not its
  // parents) when missing; a damaged file that the last Load could not set
  // aside is not written over. False, with a warning on stderr, when a file
  // could not be written or was left so; the other files are written.
  bool Save(const std::string& folder);

 private:
  friend class VSettings;
  std::optional<std::string> Get(int table, std::string_view section, std::string_view key,
                                 std::string_view default_value) const;
  bool Set(int table, std::string_view section, std::string_view key, std::string_view value,
           std::string_view comment);
  bool GetOrSetDefault(int table, std::string_view section, std::string_view key,
                       std::string_view default_value, std::string_view comment);
  VSettingsTable Snapshot(int table) const;

  mutable std::mutex mutex_;
  std::mutex save_mutex_;  // one Save at a time: they share temporary names
  VSettingsTable tables_[kTableCount];
  bool left_in_place_[kTableCount] = {};  // damaged files the last Load could not set aside
};

// A handle on a table of the process-wide store.
inline VSettings VSettingsOpen(std::string_view name) { return VSettingsStore::Global().Open(name); }
