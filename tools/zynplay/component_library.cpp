#include "tools/zynplay/component_library.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "host/component_manager.h"

namespace zynplay {
namespace {

constexpr const char* kLibraryName = "QTZyn.qtx";

std::string ProgramFolder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string text(path, static_cast<std::size_t>(n));
  const std::size_t slash = text.rfind('/');
  return slash == std::string::npos ? "." : text.substr(0, slash);
}

bool IsReadable(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

}  // namespace

std::string FindComponentLibrary(const std::string& explicit_path) {
  if (!explicit_path.empty()) return explicit_path;
  if (const char* env = std::getenv("QTZYN_COMPONENT_LIBRARY"); env != nullptr && *env != '\0') return env;
  const std::string folder = ProgramFolder();
  for (const std::string& candidate : {folder + "/" + kLibraryName, folder + "/../component/" + kLibraryName}) {
    if (IsReadable(candidate)) return candidate;
  }
  return folder + "/" + kLibraryName;
}

bool RegisterComponentLibrary(const std::string& path, std::string* message) {
  std::vector<Component> registered;
  std::string reason;
  if (HostRegisterComponentLibrary(path.c_str(), &registered, &reason) != noErr || registered.empty()) {
    *message = "Unable to register the component library " + path + (reason.empty() ? "" : ": " + reason);
    return false;
  }
  return true;
}

}  // namespace zynplay
