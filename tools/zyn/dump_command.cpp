#include "tools/zyn/commands.h"

namespace zyn_tool {

int DumpCommand(int, char**) { return FileError("dump: not available yet"); }

}  // namespace zyn_tool
