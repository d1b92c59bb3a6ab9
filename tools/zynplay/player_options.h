#pragma once
// The player's command line, read into one record and checked as a whole.

#include <string>
#include <vector>

namespace zynplay {

struct PlayerOptions {
  bool help = false;
  bool components = false;
  std::string library;
  std::string importInfo;  // --import-info FILE
  std::vector<std::string> files;
  std::string framesDir;   // --frames DIR
  std::string moviePath;   // --movie OUT
  std::string eventsPath;  // --events SCRIPT
  std::string tracePath;   // --trace FILE
  std::string screenshotPath;  // --screenshot-on-exit FILE (window)
  bool paused = false;         // --paused: windows open paused
  int width = 0;  // --size WxH; 0: the track's own
  int height = 0;
  bool hasFrom = false;
  long from = 0;
  bool hasTo = false;
  long to = 0;
  long step = 1;

  bool headless() const { return !framesDir.empty() || !moviePath.empty() || !eventsPath.empty(); }
};

// A run without --to covers the whole track, and a hostile scene can claim
// weeks of it: such a run would go on for days and fill the disk. Past this many frames (four hours at one frame a unit) a
// default range is refused; --to names a longer one.
constexpr long kMaxDefaultRunFrames = 4L * 60 * 60 * 60;

// The media times a headless run draws: `from` to `to` (both included) in
// steps of `step`.
struct FrameRange {
  long from = 0;
  long to = -1;
  long step = 1;
  long count() const { return to >= from ? (to - from) / step + 1 : 0; }
};

// The range of a --frames run (--movie takes --to only) over a track of
// `duration` units: --from (default 0) to --to (default duration - 1; a
// --movie run stops there even when --to goes further). False with the
// reason in *message when the range is the default one and holds more than
// kMaxDefaultRunFrames frames.
bool RunRange(const PlayerOptions& options, long duration, FrameRange* range, std::string* message);

// Reads argv. False with the reason (for the usage line) in *message.
bool ParsePlayerOptions(int argc, char** argv, PlayerOptions* options, std::string* message);

// "WxH" with both sides from 1 to the largest port side.
bool ParseSize(const std::string& text, int* width, int* height);

}  // namespace zynplay
