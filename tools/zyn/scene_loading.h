#pragma once
// Loading a scene file into the engine for the commands that need one.

#include <string>

#include "tools/common/args.h"

namespace zyn_tool {

// Starts the engine and loads the file with a progress bar on a terminal;
// false with the engine's message on failure.
bool LoadScene(const std::string& path, const std::string& password, std::string* message);

// The time of --seconds S or --ticks N (default 0); false when malformed.
bool ParseTimeOptions(const tools::Args& args, long long* ticks);

}  // namespace zyn_tool
