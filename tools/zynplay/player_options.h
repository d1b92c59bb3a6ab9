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

// Reads argv. False with the reason (for the usage line) in *message.
bool ParsePlayerOptions(int argc, char** argv, PlayerOptions* options, std::string* message);

// "WxH" with both sides from 1 to the largest port side.
bool ParseSize(const std::string& text, int* width, int* height);

}  // namespace zynplay
