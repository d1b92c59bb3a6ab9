#pragma once
// Playing movies in windows (SDL2): one window per file, each with its
// movie's track and a controller strip under it, in real time with the
// movie's sound.

#include "tools/zynplay/player_options.h"

namespace zynplay {

// Answers the program's exit code.
int RunWindows(const PlayerOptions& options);

}  // namespace zynplay
