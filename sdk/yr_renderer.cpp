#include "sdk/yr_renderer.h"

#include "render/renderer.h"
#include "scene/device_set.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_device_keyboard_key.h"
#include "sdk/yr_event_registry.h"
#include "sdk/yr_kernel.h"
#include "scene/camera.h"
#include "scene/transform_node.h"

namespace YrSDK {
namespace {

const char* const kDisplayLabels[] = {"Default", "Wire Frame", "Flat Shaded", "Hard Shaded", "Textured"};
const char* const kPickingLabels[] = {"Normal", "X-Ray", "Models Only"};

}  // namespace

const char* YrViewingOptions::DisplayWhatLabel(int value) { return value >= 0 && value <= 4 ? kDisplayLabels[value] : ""; }
const char* YrViewingOptions::PickingModeLabel(int value) { return value >= 0 && value <= 2 ? kPickingLabels[value] : ""; }

YrRenderer::YrRenderer(VOGLRenderer* renderer) : YrComponent(renderer), renderer_(renderer) {}

void YrRenderer::SetViewport(int x, int y, int width, int height) {
  if (renderer_) renderer_->SetViewport(x, y, width, height);
}
bool YrRenderer::RenderBegin(int x, int y, int width, int height) {
  return renderer_ && renderer_->RenderBegin(x, y, width, height);
}
bool YrRenderer::PreRender(int layer) { return renderer_ && renderer_->PreRender(layer); }
bool YrRenderer::Render(int layer) { return renderer_ && renderer_->Render(layer); }
bool YrRenderer::RenderEnd() { return renderer_ && renderer_->RenderEnd(); }

YrViewingOptions YrRenderer::GetViewingOptions() const {
  YrViewingOptions out;
  if (!renderer_) return out;
  const VViewOptions o = renderer_->GetViewOptions();
  out.DisplayWhat = o.display_what;
  out.PickingMode = o.picking_mode;
  out.ShowTimeCode = o.show_time_code;
  out.ShowSafeArea = o.show_safe_area;
  out.ShowCameraLabel = o.show_camera_label;
  return out;
}

bool YrRenderer::SetViewingOptions(const YrViewingOptions& options) {
  if (!renderer_) return false;
  VViewOptions o;
  o.display_what = options.DisplayWhat;
  o.picking_mode = options.PickingMode;
  o.show_time_code = options.ShowTimeCode;
  o.show_safe_area = options.ShowSafeArea;
  o.show_camera_label = options.ShowCameraLabel;
  renderer_->SetViewOptions(o);
  return true;
}

YrComponent YrRenderer::GetCurrentCamera() const {
  return YrComponent(renderer_ ? renderer_->GetCurrentCamera() : nullptr);
}

bool YrRenderer::SetCurrentCamera(const YrComponent& camera) {
  return renderer_ && renderer_->SetCurrentCamera(dynamic_cast<VSceneObject*>(YrEngineHandles::Object(camera)));
}

YrComponent YrRenderer::GetRenderCamera() const { return YrComponent(renderer_ ? renderer_->GetRenderCamera() : nullptr); }

bool YrRenderer::FrameCurrentCameraWithModels(bool all) { return renderer_ && renderer_->FrameCurrentCameraWithModels(all); }

bool YrRenderer::Pick(int x, int y, std::vector<YrComponent>& models) {
  models.clear();
  if (!renderer_) return false;
  std::vector<VTransformNode*> found;
  const bool any = renderer_->Pick(x, y, found);
  for (VTransformNode* node : found) models.emplace_back(node);
  return any;
}

bool YrRenderer::MouseInput(int x, int y, int input_type, int button, int modifier, int extra) {
  return renderer_ && renderer_->MouseInput(x, y, input_type, button, modifier, extra);
}

bool YrRenderer::KeyboardInput(int key, bool down, bool repeat) {
  if (!renderer_) return false;
  bool used = renderer_->KeyboardInput(key, down, repeat);
  // Keys of the engine's keyboard table also go to the system's devices,
  // and each one a device used is announced as an event.
  VDeviceSet* devices = YrKernelObjects::GetDevices();
  if (key >= 0 && key < kYrKeyCount && devices != nullptr && devices->KeyboardInput(key, down)) {
    YrEvent event;
    event.id = kYrEventTriggerKey;
    event.key = key;
    event.down = down;
    event.group = devices->Triggers().FirstActiveGroup();
    YrEventRegistry::Fire(event);
    used = true;
  }
  return used;
}

void YrRenderer::DetachContext() {
  if (renderer_) renderer_->DetachContext();
}

YrRenderStats YrRenderer::GetStats() const {
  YrRenderStats out;
  if (!renderer_) return out;
  const VRenderStats& s = renderer_->GetStats();
  out.frames = s.frames;
  out.uploaded_bytes = s.uploaded_bytes;
  out.meshes = s.meshes;
  out.triangles = s.triangles;
  out.samples = s.samples;
  return out;
}

void YrRenderer::SetSceneFilePath(const char* path) {
  if (renderer_) renderer_->SetSceneFilePath(path ? path : "");
}

}  // namespace YrSDK
