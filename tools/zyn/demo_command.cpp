#include "tools/zyn/commands.h"

namespace zyn_tool {

int DemoCommand(int, char**) { return FileError("demo: not available yet"); }

}  // namespace zyn_tool
