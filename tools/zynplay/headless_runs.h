#pragma once
// The player's headless runs: frames into a folder, a movie file through
// ffmpeg, and event scripts. Each answers the program's exit code after
// printing any failure as one line on stderr.

#include <string>

#include "tools/zynplay/player_options.h"

namespace zynplay {

// Longest wait for a scene to load before a run goes on without it.
constexpr double kLoadWaitSeconds = 120.0;

int RunFrames(const PlayerOptions& options);
int RunMovie(const PlayerOptions& options);
int RunEvents(const PlayerOptions& options);

// Makes the folder unless it exists. False with the reason in *message.
bool MakeFolder(const std::string& path, std::string* message);
// "zynplay: MESSAGE" on stderr; answers 1.
int ReportFailure(const std::string& message);

}  // namespace zynplay
