#include "tools/zyn/commands.h"

namespace zyn_tool {

int TimeCommand(int, char**) { return FileError("time: not available yet"); }

}  // namespace zyn_tool
