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

ViewerCore::ViewerCore() = default;

ViewerCore::~ViewerCore() { StopLoaderThread(); }

void ViewerCore::OpenInstance(SInt32 instanceId) {
  ++openInstances;
  if (activeInstanceId == 0) activeInstanceId = instanceId;
}

void ViewerCore::CloseInstance(MediaGlobals* globals) {
  const bool active = globals != nullptr && globals->instanceId == activeInstanceId;
  --openInstances;
  if (active) {
    StopLoaderThread();
    loadState = LoadState::kClosing;
    ReleaseDataReading();
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

// TODO(viewer core): reading, the loader thread, after load and audio.
OSErr ViewerCore::StartLoading(MediaGlobals* /*globals*/) { return noErr; }
void ViewerCore::AfterLoad(MediaGlobals* /*globals*/) {}
OSErr ViewerCore::LoadAudio(Movie /*movie*/, TimeValue /*trackDuration*/) { return -128; }
bool ViewerCore::KeyboardInput(int /*engineKey*/, bool /*down*/) { return false; }
int ViewerCore::EngineKeyOfVirtualKey(int /*virtualKey*/) { return -1; }
void ViewerCore::LoaderBody() {}
void ViewerCore::StopLoaderThread() {
  if (loaderThread_.joinable()) loaderThread_.join();
}
void ViewerCore::ReleaseDataReading() {}

}  // namespace qtzyn
