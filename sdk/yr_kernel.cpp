#include "sdk/yr_kernel.h"

#include <memory>
#include <mutex>

#include "core/home_folder.h"
#include "core/settings_session.h"
#include "core/settings_store.h"
#include "render/renderer.h"
#include "scene/object_factories.h"
#include "scene/scene.h"

namespace YrSDK {
namespace {

std::mutex g_mutex;
std::unique_ptr<VScene> g_scene;
std::unique_ptr<VOGLRenderer> g_renderer;
bool g_settings_loaded = false;

}  // namespace

bool YrKernel::Init(const char* /*parameters*/) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_scene) return true;
  // The settings tables get their defaults, then what the configuration
  // folder holds. Without a home folder the engine runs on the defaults
  // (the reason has gone to stderr).
  if (VHomeFolderInit(VHomeFolderQueryOfProcess())) {
    g_settings_loaded = VSettingsStartUp(VSettingsStore::Global(), VGetConfigFolder());
  }
  VSceneRegisterObjectFactories();
  g_scene = std::make_unique<VScene>();
  g_renderer = std::make_unique<VOGLRenderer>();
  g_renderer->SetScene(g_scene.get());
  return true;
}

void YrKernel::Close() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_scene) return;
  g_renderer.reset();  // it refers to the scene
  g_scene.reset();
  // The time settings and every table go back to their files.
  if (g_settings_loaded) VSettingsShutDown(VSettingsStore::Global(), VGetConfigFolder());
  g_settings_loaded = false;
}

bool YrKernel::IsStarted() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_scene != nullptr;
}

VScene* YrKernel::GetScene() { return g_scene.get(); }

VOGLRenderer* YrKernel::GetRenderer() { return g_renderer.get(); }

}  // namespace YrSDK
