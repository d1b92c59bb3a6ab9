#include "scene/audio_clip.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/time_ticks.h"
#include "scene/media_file_path.h"

std::vector<std::string> VAudioClip::GetFileCandidates(const std::string& scene_file_path) const {
  return VMediaFileCandidates(file_name, relative_file_name, scene_file_path);
}

std::string VAudioClip::FindFile(const std::string& scene_file_path) const {
  for (const std::string& candidate : GetFileCandidates(scene_file_path)) {
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return std::string();
}

bool operator==(const VAudioClip& a, const VAudioClip& b) {
  // A NaN mark (set by code; a file never gives one) equals a NaN mark.
  auto same = [](double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); };
  return a.name == b.name && a.file_name == b.file_name && a.relative_file_name == b.relative_file_name &&
         a.start == b.start && a.scrub == b.scrub && a.output == b.output && same(a.mark_in, b.mark_in) &&
         same(a.mark_out, b.mark_out) && a.access_mode == b.access_mode && a.use_channel == b.use_channel &&
         a.content == b.content;
}

VTime VAudioClipSecondsToTime(double seconds) {
  return VTime(VTimeTicksFromDouble(std::round(seconds * static_cast<double>(kVTimeTicksPerSecond))));
}
