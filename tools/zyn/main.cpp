#include <cstdio>
#include <cstring>
#include <string>

#include "tools/common/process_setup.h"
#include "tools/zyn/commands.h"

namespace zyn_tool {

int UsageError(const char* usage) {
  std::fprintf(stderr, "zyn: usage: %s\n", usage);
  return 2;
}

int FileError(const std::string& message) {
  std::fprintf(stderr, "zyn: %s\n", message.c_str());
  return 1;
}

}  // namespace zyn_tool

namespace {

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
  const char* summary;
};

const Command kCommands[] = {
    {"info", zyn_tool::InfoCommand, "info FILE                      header and scene summary as JSON"},
    {"dump", zyn_tool::DumpCommand, "dump FILE [--section N]        the container's field tree as JSON"},
    {"convert", zyn_tool::ConvertCommand,
     "convert IN OUT [--ascii|--binary] [--raw]   store the file again in another form"},
    {"eval", zyn_tool::EvalCommand,
     "eval FILE [--take NAME] [--seconds S|--ticks N] [--object NAME]... [--props]   evaluate the scene"},
    {"time", zyn_tool::TimeCommand, "time text|parse|labels|compose ...   time values and their texts"},
    {"demo", zyn_tool::DemoCommand, "demo OUT.zyn                   write the sample scene"},
    {"image", zyn_tool::ImageCommand, "image FILE -o OUT.png          read an image and write it as PNG"},
    {"render", zyn_tool::RenderCommand,
     "render FILE -o OUT.png [--size WxH] [--camera NAME] [--display-mode 0-4] [--viewing-mode 0-2] [--software]"},
};

void PrintHelp() {
  std::printf("zyn: the engine's file tool\n\nusage: zyn COMMAND [ARGS]\n\n");
  for (const Command& c : kCommands) std::printf("  zyn %s\n", c.summary);
  std::printf("\nEvery command takes --help.\n");
}

}  // namespace

int main(int argc, char** argv) {
  tools::TuneAllocator();
  if (argc < 2) return zyn_tool::UsageError("zyn COMMAND [ARGS] (see zyn --help)");
  if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    PrintHelp();
    return 0;
  }
  for (const Command& c : kCommands) {
    if (!std::strcmp(argv[1], c.name)) return c.run(argc - 2, argv + 2);
  }
  std::string usage = std::string("unknown command '") + argv[1] + "' (see zyn --help)";
  return zyn_tool::UsageError(usage.c_str());
}
