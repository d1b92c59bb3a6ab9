#include "component/viewer_core.h"

namespace qtzyn {

namespace {
// The components are called on the host's thread; the pointer is reached
// from there only.
ViewerCore* g_viewerCore = nullptr;
}  // namespace

ViewerCore* ViewerCore::GetOrCreate() {
  if (g_viewerCore == nullptr) g_viewerCore = new ViewerCore();
  return g_viewerCore;
}

ViewerCore* ViewerCore::Get() { return g_viewerCore; }

void ViewerCore::Destroy() {
  delete g_viewerCore;
  g_viewerCore = nullptr;
}

void ViewerCore::OpenInstance(SInt32 instanceId) {
  ++openInstances;
  if (activeInstanceId == 0) activeInstanceId = instanceId;
}

void ViewerCore::CloseInstance(MediaGlobals* globals) {
  const bool active = globals != nullptr && globals->instanceId == activeInstanceId;
  --openInstances;
  if (active) {
    loadState = LoadState::kClosing;
    activeInstanceId = 0;
    loadState = LoadState::kIdle;
  }
  if (globals != nullptr) {
    delete[] globals->savedLights;
    globals->savedLights = nullptr;
  }
  if (openInstances > 0) return;
  Destroy();
}

}  // namespace qtzyn
