// zyn render: one frame of a scene, offscreen, as a PNG.

#include <chrono>
#include <cstdio>

#include "scene/camera.h"
#include "scene/camera_switcher.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_player_control.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_system.h"
#include "tools/common/args.h"
#include "tools/common/json_writer.h"
#include "tools/common/offscreen_frame.h"
#include "tools/zyn/commands.h"
#include "tools/zyn/scene_loading.h"

namespace zyn_tool {
namespace {

const char kUsage[] =
    "zyn render FILE -o OUT.png [--take NAME] [--seconds S | --ticks N] [--size WxH] [--camera FULLNAME] "
    "[--display-mode 0-4] [--viewing-mode 0-2] [--software] [--password P]";

// An integer option within [low, high]; false when given and malformed.
bool RangeOption(const tools::Args& args, const char* name, int low, int high, int* out) {
  if (!args.Has(name)) return true;
  return tools::ParseInt(args.Value(name), out) && *out >= low && *out <= high;
}

int Run(const tools::Args& args) {
  long long ticks = 0;
  int display = 0, viewing = 0;
  if (args.positional().size() != 1 || !args.Has("-o") || args.Value("-o").empty() ||
      !ParseTimeOptions(args, &ticks) || !RangeOption(args, "--display-mode", 0, 4, &display) ||
      !RangeOption(args, "--viewing-mode", 0, 2, &viewing))
    return UsageError(kUsage);
  int width = 640, height = 480;
  if (args.Has("--size")) {
    const std::string size = args.Value("--size");
    long long w = 0, h = 0;
    char x = 0, extra = 0;
    if (std::sscanf(size.c_str(), "%lld%c%lld%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X'))
      return UsageError(kUsage);
    if (!tools::ParseSize(size, &width, &height)) return FileError("Invalid frame size " + size);
  }

  // The context first: a machine that cannot draw says so before loading.
  tools::OffscreenFrame frame;
  std::string message;
  if (!frame.Open(width, height, args.Has("--software"), &message)) return FileError(message);
  if (!args.Has("--software") && std::string(frame.Kind()) == "software")
    std::fprintf(stderr, "zyn: no EGL pbuffer of %dx%d available; rendering with the software context\n", width,
                 height);

  if (!LoadScene(args.positional()[0], args.Value("--password"), &message)) return FileError(message);
  if (!GotoTakeTime(args, ticks, &message)) return FileError(message);
  YrSDK::YrSystem system;

  YrSDK::YrRenderer renderer = system.GetRenderer();
  renderer.SetSceneFilePath(args.positional()[0].c_str());
  if (args.Has("--camera")) {
    const std::string name = args.Value("--camera");
    VScene& scene = *YrSDK::YrKernelObjects::GetScene();
    VSceneObject* camera = scene.Find(name);
    if (camera == nullptr) camera = scene.FindSystemCamera(name);
    if (camera == nullptr || !renderer.SetCurrentCamera(YrSDK::YrComponent(camera)))
      return FileError("No camera named " + name);
  }
  YrSDK::YrViewingOptions options = renderer.GetViewingOptions();
  options.DisplayWhat = display;
  options.PickingMode = viewing;
  renderer.SetViewingOptions(options);

  const auto start = std::chrono::steady_clock::now();
  if (!frame.Render(renderer)) return FileError("Unable to render the frame");
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (!frame.WritePNG(args.Value("-o"))) return FileError("Unable to write file " + args.Value("-o"));

  std::string out;
  tools::JsonWriter json(&out);
  json.BeginObject();
  json.Key("renderer");
  json.String(frame.RendererName());
  json.Key("offscreen");
  json.String(frame.Kind());
  json.Key("ms");
  json.Double(ms);
  json.EndObject();
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace

int RenderCommand(int argc, char** argv) {
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 0,
                  {{"--help", "--software"},
                   {"-o", "--take", "--seconds", "--ticks", "--size", "--camera", "--display-mode", "--viewing-mode",
                    "--password"}},
                  &error))
    return UsageError(kUsage);
  if (args.Has("--help")) {
    std::printf(
        "usage: %s\nRenders one frame offscreen (an EGL pbuffer, else the software context) and writes it as PNG.\n"
        "Display modes: 0 Default, 1 Wire Frame, 2 Flat Shaded, 3 Hard Shaded, 4 Textured.\n"
        "Viewing modes: 0 Normal, 1 X-Ray, 2 Models Only.\n",
        kUsage);
    return 0;
  }
  const int result = Run(args);
  YrSDK::YrKernel::Close();
  return result;
}

}  // namespace zyn_tool
