// The scene loader, whole files in either form: objects, properties,
// connections, settings and takes, then the animation evaluated and the
// meshes deformed and triangulated.
#include <cstddef>
#include <cstdint>

#include "core/property.h"
#include "scene/model_polymesh.h"
#include "scene/scene.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_player_control.h"
#include "sdk/yr_zyn_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool started = YrSDK::YrKernel::Init("");
  (void)started;
  YrSDK::YrZynManager manager;
  if (manager.LoadBegin(data, size)) manager.Load();
  manager.LoadEnd();
  VScene& scene = *YrSDK::YrKernel::GetScene();
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
  // Switching takes binds another animation.
  for (int t = 0; t < scene.takes().GetCount(); ++t) scene.takes().SetCurrent(scene.takes().Get(t));
  volatile double keep = sink;
  (void)keep;
  manager.Clear();
  return 0;
}
