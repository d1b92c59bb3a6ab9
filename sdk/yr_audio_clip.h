#pragma once
// YrAudioClip: one of the scene's audio clips as the public interface gives
// it, a value copied out of the scene: the clip's name, its sound file and
// where it starts on the scene's time line.

#include <string>

#include "sdk/yr_time.h"

namespace YrSDK {

struct YrAudioClip {
  std::string name;
  // The sound file's absolute path as the scene names it ("Filename"), and
  // its path relative to the scene file (empty when the scene gives none).
  // YrSystem::FindAudioClipFile says which of the two exists.
  std::string path;
  std::string relative_path;
  YrTime start;  // on the scene's time line
};

}  // namespace YrSDK
