// The scene loader, whole files in either form: objects, properties,
// connections, settings, audio clips and takes, then the animation
// evaluated and the meshes deformed and triangulated, and each scene drawn
// once by the renderer at a tiny size on the software context.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/property.h"
#include "scene/model_polymesh.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_ogl_context_wrapper.h"
#include "sdk/yr_player_control.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_system.h"
#include "sdk/yr_zyn_manager.h"

namespace {

constexpr int kSide = 16;

// One software context for the whole run (none when this machine has no
// software OpenGL: the scene walk then stops before drawing).
struct FuzzCanvas {
  YrSDK::YrOGLContextWrapper context;
  std::uint8_t pixels[kSide * kSide * 4] = {};
  YrSDK::YrDrawContext target;
  bool ready = false;

  FuzzCanvas() {
    target.pixels = pixels;
    target.width = target.height = kSide;
    target.row_bytes = kSide * 4;
    YrSDK::YrPixelFormatDescriptor descriptor;
    YrSDK::YrOGLContextWrapper::DefaultPixelFormat(descriptor);
    ready = context.AllocateForcingSWContext(&target, descriptor, kSide, kSide);
  }
};

void Draw(int display_mode) {
  static FuzzCanvas* canvas = new FuzzCanvas;  // lives as long as the process
  if (!canvas->ready || !canvas->context.BeginRender(&canvas->target)) return;
  YrSDK::YrRenderer renderer = YrSDK::YrSystem().GetRenderer();
  YrSDK::YrViewingOptions options;
  options.DisplayWhat = display_mode;
  renderer.SetViewingOptions(options);
  renderer.RenderBegin(0, 0, kSide, kSide);
  renderer.PreRender(0);
  renderer.Render(0);
  renderer.RenderEnd();
  std::vector<YrSDK::YrComponent> picked;
  renderer.Pick(kSide / 2, kSide / 2, picked);
  canvas->context.EndRender(YrSDK::YrOGLContextWrapper::RenderOperationBlit, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = YrSDK::YrKernel::Init("");
  (void)started;
  YrSDK::YrZynManager manager;
  if (manager.LoadBegin(data, size)) manager.Load();
  manager.LoadEnd();
  VScene& scene = *YrSDK::YrKernelObjects::GetScene();
  YrSDK::YrPlayerControl player;
  double sink = 0;
  for (int64_t ticks : {int64_t{0}, int64_t{46186158000}, int64_t{-7}, int64_t{1} << 60}) {
    player.Goto(YrSDK::YrTime(ticks));
    for (const auto& object : scene.objects()) {
      for (int i = 0; i < object->GetPropertyCount(); ++i) {
        double values[4];
        const VProperty& property = *object->GetProperty(i);
        int n = property.GetDoubleCount();
        if (n > 0 && n <= 4 && property.GetDoubles(values, n)) sink += values[0];
      }
      // Meshes: shapes and skin deform, and the polygons triangulate.
      if (const auto* mesh = dynamic_cast<const VModelPolymesh*>(object.get())) {
        for (const auto& p : mesh->GetDeformedPoints()) sink += p.x + p.y + p.z;
        sink += static_cast<double>(mesh->GetTriangulation().strips.size());
      }
    }
  }
  // The renderer's walk: every model drawn (textured, then as wires).
  Draw(0);
  Draw(1);
  // The audio clips, as the viewer takes them.
  YrSDK::YrSystem system;
  for (int i = 0; i < system.GetAudioClipCount(); ++i) {
    const YrSDK::YrAudioClip clip = system.GetAudioClip(i);
    sink += static_cast<double>(clip.name.size() + clip.path.size() + clip.relative_path.size());
    sink += clip.start.GetSecondDouble();
  }
  // Switching takes binds another animation.
  for (int t = 0; t < scene.takes().GetCount(); ++t) scene.takes().SetCurrent(scene.takes().Get(t));
  volatile double keep = sink;
  (void)keep;
  manager.Clear();
  return 0;
}
