#include "tools/zyn/commands.h"

namespace zyn_tool {

int InfoCommand(int, char**) { return FileError("info: not available yet"); }

}  // namespace zyn_tool
