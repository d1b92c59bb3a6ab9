#include "scene/media_file_path.h"

#include <algorithm>

namespace {

bool IsAbsolute(const std::string& path) {
  // "/..." here, "C:\..." or "\\server\..." in files written on Windows.
  return (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() > 2 && path[1] == ':');
}

}  // namespace

std::vector<std::string> VMediaFileCandidates(const std::string& absolute_path, const std::string& relative_path,
                                              const std::string& scene_file_path) {
  std::vector<std::string> candidates;
  auto add = [&candidates](const std::string& path) {
    if (!path.empty() && std::find(candidates.begin(), candidates.end(), path) == candidates.end())
      candidates.push_back(path);
  };
  add(absolute_path);
  if (!relative_path.empty()) {
    std::string folder;
    const std::size_t slash = scene_file_path.find_last_of("/\\");
    if (slash != std::string::npos) folder = scene_file_path.substr(0, slash + 1);
    const std::string joined = IsAbsolute(relative_path) ? relative_path : folder + relative_path;
    add(joined);
    std::string forward = joined;
    std::replace(forward.begin(), forward.end(), '\\', '/');
    add(forward);
  }
  return candidates;
}
