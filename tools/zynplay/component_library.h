#pragma once
// Finding and registering the component library (QTZyn.qtx) the player
// drives.

#include <string>

namespace zynplay {

// The library to load: `explicit_path` when given, else the environment
// variable QTZYN_COMPONENT_LIBRARY, else "QTZyn.qtx" beside the player or
// in the build tree's component folder next to the player's folder.
std::string FindComponentLibrary(const std::string& explicit_path);

// Registers the library's components; false with the reason in `message`.
bool RegisterComponentLibrary(const std::string& path, std::string* message);

}  // namespace zynplay
