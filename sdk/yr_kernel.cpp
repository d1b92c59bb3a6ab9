#include "sdk/yr_kernel.h"

#include <memory>
#include <mutex>

#include "scene/object_factories.h"
#include "scene/scene.h"

namespace YrSDK {
namespace {

std::mutex g_mutex;
std::unique_ptr<VScene> g_scene;

}  // namespace

bool YrKernel::Init(const char* /*parameters*/) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_scene) return true;
  VSceneRegisterObjectFactories();
  g_scene = std::make_unique<VScene>();
  return true;
}

void YrKernel::Close() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_scene.reset();
}

bool YrKernel::IsStarted() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_scene != nullptr;
}

VScene* YrKernel::GetScene() { return g_scene.get(); }

}  // namespace YrSDK
