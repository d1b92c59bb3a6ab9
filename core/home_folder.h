#pragma once
// The engine's home folder and the folders derived from it: the application
// root, the user root (the same), "<root>/system", "<root>/extensions",
// "<root>/plugins" and the configuration folder "<root>/config/".
//
// Finding the root at start-up:
//  1. The program path (a leading double quote skipped) made absolute; the
//     folder is everything before its last "/", or the current folder.
//  2. When the program is not in that folder it is looked for along the
//     search path; failing that, the folder is the "Zentrax_HOME" value of
//     the system-wide file (normally /etc/zentrax.conf, "key = value" lines).
//  3. When the environment variable "ZENTRAX_PATH" is set (and not empty),
//     the root is its value provided the program is found there; otherwise
//     there is no root.
//  4. With no root, start-up fails with the message kVHomeFolderMissing.
//  5. One trailing "/" or "\" is removed from the root.

#include <string>

inline constexpr const char* kVHomeFolderMissing =
    "ZENTRAX_PATH Environment variable must be set to the path of zentrax";
inline constexpr const char* kVKeyboardMapMissing = "Can't find configuration file.";

// Everything the search looks at, so that it can be given in full.
struct VHomeFolderQuery {
  std::string program_path;       // the program as started
  bool has_environment = false;   // ZENTRAX_PATH is set
  std::string environment;        // its value
  std::string search_path;        // PATH, ":"-separated
  std::string system_file = "/etc/zentrax.conf";
  std::string current_folder;     // for a relative program path
};

// The query of this process: /proc/self/exe, ZENTRAX_PATH, PATH, the
// current folder.
VHomeFolderQuery VHomeFolderQueryOfProcess();

// Steps 1 to 3 and 5; false when there is no root.
bool VHomeFolderFindRoot(const VHomeFolderQuery& query, std::string* root);

// Finds the root and sets the folders from it; with no root writes
// kVHomeFolderMissing to stderr and answers false, leaving the folders.
bool VHomeFolderInit(const VHomeFolderQuery& query);

// Sets every folder from a root (one trailing "/" or "\" removed).
void VHomeFolderSetRoot(const std::string& root);

// The folders, process-wide; empty until set.
std::string VGetApplicationRoot();
std::string VGetUserRoot();
std::string VGetSystemFolder();
std::string VGetExtensionsFolder();
std::string VGetPluginsFolder();
std::string VGetConfigFolder();
void VSetApplicationRoot(const std::string& folder);
void VSetUserRoot(const std::string& folder);
void VSetSystemFolder(const std::string& folder);
void VSetExtensionsFolder(const std::string& folder);
void VSetPluginsFolder(const std::string& folder);
void VSetConfigFolder(const std::string& folder);

// The keyboard map of a layout: "<config>Keyboard/<layout>.txt". False, with
// kVKeyboardMapMissing in *error, when the file does not exist or the
// layout is not a plain name (empty, ".", "..", or holding "/", "\" or
// control characters), so that a setting cannot point outside the folder.
bool VFindKeyboardMap(const std::string& layout, std::string* path, std::string* error);
