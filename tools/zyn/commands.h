#pragma once
// The subcommands of the zyn tool. Each returns the process exit code:
// 0 success, 1 a file could not be read or written, 2 a usage error.

#include <string>

namespace zyn_tool {

int TimeCommand(int argc, char** argv);     // zyn time text|parse|labels|compose
int DumpCommand(int argc, char** argv);     // zyn dump FILE [--section N]
int ConvertCommand(int argc, char** argv);  // zyn convert IN OUT [--ascii|--binary] [--raw]
int InfoCommand(int argc, char** argv);     // zyn info FILE
int DemoCommand(int argc, char** argv);
int EvalCommand(int argc, char** argv);     // zyn eval FILE [--take NAME] [time] ...     // zyn demo OUT.zyn
int ImageCommand(int argc, char** argv);    // zyn image FILE -o OUT.png
int RenderCommand(int argc, char** argv);   // zyn render FILE -o OUT.png ...

// Shared error reporting: "zyn: usage: ..." / "zyn: MESSAGE" on stderr.
int UsageError(const char* usage);
int FileError(const std::string& message);

}  // namespace zyn_tool
