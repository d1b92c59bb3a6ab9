#pragma once
// Loading a scene file into the engine for the commands that need one.

#include <string>

#include "tools/common/args.h"

namespace zyn_tool {

// Starts the engine and loads the file with a progress bar on a terminal;
// false with the engine's message on failure.
bool LoadScene(const std::string& path, const std::string& password, std::string* message);

// Makes the take of --take current (when given) and moves the player to
// `ticks` in it; false with a message when the file has no such take.
bool GotoTakeTime(const tools::Args& args, long long ticks, std::string* message);

// The time of --seconds S or --ticks N (default 0); false when malformed.
bool ParseTimeOptions(const tools::Args& args, long long* ticks);

}  // namespace zyn_tool
