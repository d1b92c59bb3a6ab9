#include "sdk/yr_kernel.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "core/home_folder.h"
#include "core/settings_session.h"
#include "core/settings_store.h"
#include "render/renderer.h"
#include "scene/device_set.h"
#include "scene/object_factories.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/bridge/yr_take_change_events.h"

namespace YrSDK {
namespace {

std::mutex g_mutex;
std::unique_ptr<VScene> g_scene;
std::unique_ptr<VOGLRenderer> g_renderer;
std::unique_ptr<VDeviceSet> g_devices;
// The configuration folder the settings came from; empty when the engine
// runs on the defaults alone, which are then not saved.
std::string g_config_folder;
std::atomic<YrKernelHost*> g_host{nullptr};

// The renderer's gestures read keys from the host when there is one.
int HostKeyState(int key) {
  YrKernelHost* host = g_host.load();
  return host != nullptr ? host->GetKeyState(key) : -1;
}

}  // namespace

bool YrKernel::Init(const char* /*parameters*/) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_scene) return true;
  // The settings tables get their defaults, then what the configuration
  // folder holds. Without a home folder the engine runs on the defaults
  // (the reason has gone to stderr). A damaged file does not change what
  // Close saves: it has been set aside (or is left alone by the save) and
  // its table holds what could be read, so the intact tables must still go
  // back to their files.
  if (VHomeFolderInit(VHomeFolderQueryOfProcess())) {
    g_config_folder = VGetConfigFolder();
    VSettingsStartUp(VSettingsStore::Global(), g_config_folder);
  }
  VSceneRegisterObjectFactories();
  g_scene = std::make_unique<VScene>();
  YrAnnounceTakeChanges(*g_scene);
  g_renderer = std::make_unique<VOGLRenderer>();
  g_renderer->SetScene(g_scene.get());
  g_renderer->SetKeyStateSource(&HostKeyState);
  g_devices = std::make_unique<VDeviceSet>();
  return true;
}

void YrKernel::Close() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_scene) return;
  g_renderer.reset();  // it refers to the scene
  g_devices.reset();
  g_scene.reset();
  // The time settings and every table go back to the files they came from.
  if (!g_config_folder.empty()) VSettingsShutDown(VSettingsStore::Global(), g_config_folder);
  g_config_folder.clear();
}

bool YrKernel::IsStarted() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_scene != nullptr;
}

// Under the lock, as Init and Close change both pointers: a loader or
// drawing thread may ask while another thread starts or stops the engine.
VScene* YrKernelObjects::GetScene() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_scene.get();
}

VOGLRenderer* YrKernelObjects::GetRenderer() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_renderer.get();
}

VDeviceSet* YrKernelObjects::GetDevices() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_devices.get();
}

void YrKernel::SetHost(YrKernelHost* host) { g_host.store(host); }

YrKernelHost* YrKernel::GetHost() { return g_host.load(); }

}  // namespace YrSDK
