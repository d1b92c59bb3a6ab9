#include "core/home_folder.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "core/settings_file.h"

namespace {

struct Folders {
  std::mutex mutex;
  std::string root, user_root, system, extensions, plugins, config;
};

Folders& TheFolders() {
  static Folders folders;
  return folders;
}

std::string GetFolder(std::string Folders::*member) {
  Folders& f = TheFolders();
  std::lock_guard<std::mutex> lock(f.mutex);
  return f.*member;
}

void SetFolder(std::string Folders::*member, const std::string& value) {
  Folders& f = TheFolders();
  std::lock_guard<std::mutex> lock(f.mutex);
  f.*member = value;
}

bool IsFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return "/" + name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The "Zentrax_HOME" value of a "key = value" file; empty when none.
std::string ReadSystemHome(const std::string& path) {
  std::string text;
  if (path.empty() || VSettingsFileRead(path, 64 * 1024, &text) != VSettingsReadResult::kOk) return {};
  std::string_view rest(text);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = Trim(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || Trim(line.substr(0, eq)) != "Zentrax_HOME") continue;
    std::string_view value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    if (value.find('\0') != std::string_view::npos) return {};
    return std::string(value);
  }
  return {};
}

}  // namespace

VHomeFolderQuery VHomeFolderQueryOfProcess() {
  VHomeFolderQuery query;
  char buffer[PATH_MAX + 1];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
  if (n > 0) query.program_path.assign(buffer, static_cast<size_t>(n));
  if (const char* value = std::getenv("ZENTRAX_PATH")) {
    query.has_environment = true;
    query.environment = value;
  }
  if (const char* value = std::getenv("PATH")) query.search_path = value;
  if (::getcwd(buffer, sizeof buffer)) query.current_folder = buffer;
  return query;
}

bool VHomeFolderFindRoot(const VHomeFolderQuery& query, std::string* root) {
  root->clear();
  std::string program = query.program_path;
  if (!program.empty() && program.front() == '"') program.erase(0, 1);
  if (!program.empty() && program.back() == '"') program.pop_back();
  const size_t slash = program.rfind('/');
  const std::string name = slash == std::string::npos ? program : program.substr(slash + 1);

  std::string folder;
  if (!name.empty()) {
    if (slash == std::string::npos) {
      folder = query.current_folder;
    } else if (program.front() == '/') {
      folder = slash == 0 ? std::string() : program.substr(0, slash);
    } else {
      folder = Join(query.current_folder, program.substr(0, slash));
    }
    if (!IsFile(Join(folder, name))) {
      folder.clear();
      std::string_view rest(query.search_path);
      while (folder.empty() && !rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string candidate(rest.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        if (!candidate.empty() && IsFile(Join(candidate, name))) folder = candidate;
      }
      if (folder.empty()) folder = ReadSystemHome(query.system_file);
    }
  }

  if (query.has_environment && !query.environment.empty()) {
    folder = IsFile(Join(query.environment, name)) && !name.empty() ? query.environment : std::string();
  }
  if (folder.empty()) return false;
  if (folder.back() == '/' || folder.back() == '\\') folder.pop_back();
  *root = folder;
  return true;
}

bool VHomeFolderInit(const VHomeFolderQuery& query) {
  std::string root;
  if (!VHomeFolderFindRoot(query, &root)) {
    std::fprintf(stderr, "%s\n", kVHomeFolderMissing);
    return false;
  }
  VHomeFolderSetRoot(root);
  return true;
}

void VHomeFolderSetRoot(const std::string& root) {
  std::string r = root;
  if (!r.empty() && (r.back() == '/' || r.back() == '\\')) r.pop_back();
  Folders& f = TheFolders();
  std::lock_guard<std::mutex> lock(f.mutex);
  f.root = r;
  f.user_root = r;
  f.system = r + "/system";
  f.extensions = r + "/extensions";
  f.plugins = r + "/plugins";
  f.config = r + "/config/";
}

std::string VGetApplicationRoot() { return GetFolder(&Folders::root); }
std::string VGetUserRoot() { return GetFolder(&Folders::user_root); }
std::string VGetSystemFolder() { return GetFolder(&Folders::system); }
std::string VGetExtensionsFolder() { return GetFolder(&Folders::extensions); }
std::string VGetPluginsFolder() { return GetFolder(&Folders::plugins); }
std::string VGetConfigFolder() { return GetFolder(&Folders::config); }
void VSetApplicationRoot(const std::string& folder) { SetFolder(&Folders::root, folder); }
void VSetUserRoot(const std::string& folder) { SetFolder(&Folders::user_root, folder); }
void VSetSystemFolder(const std::string& folder) { SetFolder(&Folders::system, folder); }
void VSetExtensionsFolder(const std::string& folder) { SetFolder(&Folders::extensions, folder); }
void VSetPluginsFolder(const std::string& folder) { SetFolder(&Folders::plugins, folder); }
void VSetConfigFolder(const std::string& folder) { SetFolder(&Folders::config, folder); }

bool VFindKeyboardMap(const std::string& layout, std::string* path, std::string* error) {
  path->clear();
  bool plain = !layout.empty() && layout != "." && layout != ".." && layout.size() <= 255;
  for (char c : layout) {
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) plain = false;
  }
  const std::string candidate = VGetConfigFolder() + "Keyboard/" + layout + ".txt";
  if (!plain || !IsFile(candidate)) {
    if (error) *error = kVKeyboardMapMissing;
    return false;
  }
  *path = candidate;
  return true;
}
