#include <cstdio>
#include <string>

#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_zyn_manager.h"
#include "tools/common/args.h"
#include "tools/zyn/commands.h"
#include "tools/zyn/demo_audio.h"
#include "tools/zyn/demo_scene.h"
#include "tools/zyn/demo_shading.h"

namespace zyn_tool {
namespace {

const char kUsage[] = "zyn demo OUT.zyn [--ascii]";

}  // namespace

int DemoCommand(int argc, char** argv) {
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 0, {{"--help", "--ascii"}, {}}, &error)) return UsageError(kUsage);
  if (args.Has("--help")) {
    std::printf("usage: %s\nWrites the sample scene: a model hierarchy animated in two takes,\n"
                "and beside it the image of its checker texture (OUT_checker.tga)\n"
                "and the tone its audio clip plays (OUT_tone.wav).\n", kUsage);
    return 0;
  }
  if (args.positional().size() != 1) return UsageError(kUsage);
  YrSDK::YrKernel::Init("");
  const std::string& path = args.positional()[0];
  BuildDemoScene(*YrSDK::YrKernelObjects::GetScene());
  // The texture's image and the tone go first: the scene records where
  // they were written.
  if (!WriteDemoTextures(*YrSDK::YrKernelObjects::GetScene(), path)) {
    YrSDK::YrKernel::Close();
    return FileError("Unable to write the texture image beside " + path);
  }
  if (!WriteDemoAudio(*YrSDK::YrKernelObjects::GetScene(), path)) {
    YrSDK::YrKernel::Close();
    return FileError("Unable to write the tone beside " + path);
  }
  YrSDK::YrZynManager manager;
  bool ok = manager.Save(path, !args.Has("--ascii"));
  YrSDK::YrKernel::Close();
  return ok ? 0 : FileError(manager.GetLastMessage());
}

}  // namespace zyn_tool
