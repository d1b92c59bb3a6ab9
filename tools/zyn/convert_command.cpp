#include "tools/zyn/commands.h"

namespace zyn_tool {

int ConvertCommand(int, char**) { return FileError("convert: not available yet"); }

}  // namespace zyn_tool
