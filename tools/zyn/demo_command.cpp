#include <cstdio>

#include "sdk/yr_kernel.h"
#include "sdk/yr_zyn_manager.h"
#include "tools/common/args.h"
#include "tools/zyn/commands.h"
#include "tools/zyn/demo_scene.h"

namespace zyn_tool {
namespace {

const char kUsage[] = "zyn demo OUT.zyn [--ascii]";

}  // namespace

int DemoCommand(int argc, char** argv) {
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 0, {{"--help", "--ascii"}, {}}, &error)) return UsageError(kUsage);
  if (args.Has("--help")) {
    std::printf("usage: %s\nWrites the sample scene: a model hierarchy animated in two takes.\n", kUsage);
    return 0;
  }
  if (args.positional().size() != 1) return UsageError(kUsage);
  YrSDK::YrKernel::Init("");
  BuildDemoScene(*YrSDK::YrKernel::GetScene());
  YrSDK::YrZynManager manager;
  bool ok = manager.Save(args.positional()[0], !args.Has("--ascii"));
  YrSDK::YrKernel::Close();
  return ok ? 0 : FileError(manager.GetLastMessage());
}

}  // namespace zyn_tool
