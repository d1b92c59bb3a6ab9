#pragma once
// The scene's audio clips: sound files placed on the scene's time line. A
// scene file lists them in its "AudioMedia" block; the viewer hands each
// clip's file and start time to the movie it plays in.
//
// Like a texture's image, a clip's sound is named twice: by an absolute
// path ("Filename") and by a path relative to the scene file
// ("RelativeFilename"), so that a scene moved together with its sounds
// still finds them.

#include <cstdint>
#include <string>
#include <vector>

#include "core/time.h"

// "MarkOut" of a clip played to the end of its sound, in seconds.
inline constexpr double kVAudioClipNoMarkOut = -99999.99999;

struct VAudioClip {
  std::string name;                // the "AudioFile" record's value
  std::string file_name;           // "Filename": the sound file's absolute path
  std::string relative_file_name;  // "RelativeFilename"; empty when the record has none
  VTime start;                     // "Slip": where the clip starts on the scene's time line
  int scrub = 0;                   // "Scrub"
  std::string output;              // "Output": the device that plays it; empty for the default
  double mark_in = 0.0;            // "MarkIn", seconds into the sound
  double mark_out = kVAudioClipNoMarkOut;  // "MarkOut", seconds into the sound
  int access_mode = 0;             // "AccessMode"
  int use_channel = -1;            // "UseChannel": -1 for every channel
  // "Content": the sound file's bytes, when the scene carries them (binary
  // files only); empty otherwise.
  std::vector<std::uint8_t> content;

  // The files to try for the sound, in order: the absolute "Filename",
  // then "RelativeFilename" joined with the folder of `scene_file_path` (as
  // it is when it is absolute itself, and once more with '\' read as '/'
  // for files written on Windows). Empty names and repeats are left out.
  std::vector<std::string> GetFileCandidates(const std::string& scene_file_path) const;
  // The first candidate that exists as a file; empty when none does.
  std::string FindFile(const std::string& scene_file_path) const;

  friend bool operator==(const VAudioClip& a, const VAudioClip& b);
  friend bool operator!=(const VAudioClip& a, const VAudioClip& b) { return !(a == b); }
};

// Seconds as written in a clip record to a time, rounded to the nearest
// tick so that a time written and read back is the same; NaN gives 0 and
// values beyond the 64-bit range are clamped.
VTime VAudioClipSecondsToTime(double seconds);
