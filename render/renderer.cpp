#include "render/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/settings_store.h"
#include "render/gl_functions.h"
#include "render/render_passes.h"
#include "render/renderer_internal.h"
#include "scene/camera.h"
#include "scene/camera_switcher.h"
#include "scene/light.h"
#include "scene/lighting_setup.h"
#include "scene/model.h"
#include "scene/scene.h"

namespace {

bool SettingIsYes(const char* section, const char* key, const char* default_value) {
  std::string text = VSettingsOpen(kVSettingsApplication).GetText(section, key, default_value);
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text == "yes";
}

double SettingNumber(const char* section, const char* key, const char* default_value) {
  const std::string text = VSettingsOpen(kVSettingsApplication).GetText(section, key, default_value);
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(value)) return std::strtod(default_value, nullptr);
  return value;
}

void ToFloat4(const double in[4], float out[4]) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<float>(in[i]);
}

}  // namespace

YrSDK::YrMatrix VRenderMultiply(const YrSDK::YrMatrix& a, const YrSDK::YrMatrix& b) {
  YrSDK::YrMatrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += a(i, k) * b(k, j);
      r(i, j) = s;
    }
  return r;
}

VOGLRenderer::VOGLRenderer() : VObject("OpenGL Renderer", "OpenGL Renderer"), meshes_(new VMeshCache) {
  mCurrentCamera = AddPropertyT<VPropertyObject>("CurrentCamera", kPropertyTypeObject);
  mAutoEvaluate = AddPropertyT<VPropertyBool>("AutoEvaluate", kPropertyTypeBool);
  mAutoEvaluate->Set(1);
  mBackground = AddPropertyT<VPropertyBool>("Background", kPropertyTypeBool);
  mZSortMode = AddPropertyT<VPropertyInt>("ZSortMode", kPropertyTypeInt);
  mLayerCount = AddPropertyT<VPropertyInt>("LayerCount", kPropertyTypeInt);
  mLayerCount->Set(1);
  mVerticalInvert = AddPropertyT<VPropertyBool>("VerticalInvert", kPropertyTypeBool);
  mClearColor = AddPropertyT<VPropertyDouble4>("ClearColor", kPropertyTypeColorRGBA);
  mClearColor->Set({0.0, 0.0, 0.0, 1.0});
}

VOGLRenderer::~VOGLRenderer() = default;

void VOGLRenderer::SetScene(VScene* scene) {
  if (scene == scene_) return;
  scene_ = scene;
  mCurrentCamera->SetObjectValue(nullptr);
}

void VOGLRenderer::SetViewport(int x, int y, int width, int height) {
  viewport_[0] = x;
  viewport_[1] = y;
  viewport_[2] = std::max(width, 0);
  viewport_[3] = std::max(height, 0);
}

void VOGLRenderer::QueryCaps(const VGLFunctions& gl) {
  GLint r = 0, g = 0, b = 0, a = 0;
  gl.GetIntegerv(GL_ACCUM_RED_BITS, &r);
  gl.GetIntegerv(GL_ACCUM_GREEN_BITS, &g);
  gl.GetIntegerv(GL_ACCUM_BLUE_BITS, &b);
  gl.GetIntegerv(GL_ACCUM_ALPHA_BITS, &a);
  caps_.accum_bits = r + g + b + a;
  gl.GetIntegerv(GL_ALPHA_BITS, &caps_.alpha_bits);
  gl.GetIntegerv(GL_DEPTH_BITS, &caps_.depth_bits);
  gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &caps_.max_texture_size);
  gl.GetIntegerv(GL_MAX_LIGHTS, &caps_.max_lights);
  while (gl.GetError() != GL_NO_ERROR) {
  }
  caps_.max_lights = std::clamp(caps_.max_lights, 2, kVMaxOpenGLLights);
  caps_.buffers = gl.has_buffers;
}

bool VOGLRenderer::RenderBegin(int x, int y, int width, int height) {
  const VGLFunctions* gl = VGLCurrent();
  if (gl == nullptr) return false;
  if (gl->context_id != context_id_) {
    DetachContext();
    context_id_ = gl->context_id;
  }
  if (caps_.max_lights < 2) {
    QueryCaps(*gl);
    const char* fixed = std::getenv("QTZYN_GL_FIXED_FUNCTION");
    if (fixed != nullptr && std::strcmp(fixed, "1") == 0) use_lighting_program_ = false;
    // The program lights at most its own number of lights.
    if (caps_.max_lights <= VLightingProgram::kMaxLights) lighting_.Prepare(*gl);
  }
  // Evaluation is lazy: the nodes evaluate at the player's current time
  // when the frame reads them, so "AutoEvaluate" needs no work here.
  SetViewport(x, y, width, height);
  return true;
}

bool VOGLRenderer::PreRender(int layer) {
  const VGLFunctions* gl = VGLCurrent();
  if (gl == nullptr) return false;
  gl->Viewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
  const VDouble4 c = mClearColor->Get();
  gl->ClearColor(static_cast<float>(c[0]), static_cast<float>(c[1]), static_cast<float>(c[2]),
                 static_cast<float>(c[3]));
  gl->Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  layer_ = layer;
  return true;
}

bool VOGLRenderer::Render(int /*layer*/) {
  const VGLFunctions* gl = VGLCurrent();
  if (gl == nullptr) return false;
  stats_.frames++;
  stats_.uploaded_bytes = 0;
  stats_.meshes = 0;
  stats_.triangles = 0;
  stats_.samples = 0;
  textures_.BeginFrame(*gl);
  frame_textures_.clear();
  if (!meshes_->released.empty()) {
    if (gl->has_buffers)
      gl->DeleteBuffers(static_cast<GLsizei>(meshes_->released.size()), meshes_->released.data());
    meshes_->released.clear();
  }
  VCamera* camera = GetRenderCamera();
  if (viewport_[2] > 0 && viewport_[3] > 0) DrawSamples(*gl, camera);
  gl->Disable(GL_LIGHTING);
  gl->Disable(GL_DEPTH_TEST);
  return true;
}

bool VOGLRenderer::RenderEnd() {
  const VGLFunctions* gl = VGLCurrent();
  if (gl == nullptr) return false;
  gl->Viewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
  // The view's overlay, drawn over a single-layer frame: the safe areas
  // (action 90 %, title 80 % of the frame). Labels and time code are text,
  // which the host's port draws.
  if (mLayerCount->Get() <= 1 && view_options_.show_safe_area) {
    gl->Disable(GL_DEPTH_TEST);
    gl->Disable(GL_LIGHTING);
    gl->Disable(GL_FOG);
    gl->MatrixMode(GL_PROJECTION);
    gl->LoadIdentity();
    gl->MatrixMode(GL_MODELVIEW);
    gl->LoadIdentity();
    gl->Color3f(0.9f, 0.9f, 0.9f);
    for (float k : {0.9f, 0.8f}) {
      gl->Begin(GL_LINE_LOOP);
      gl->Vertex2f(-k, -k);
      gl->Vertex2f(k, -k);
      gl->Vertex2f(k, k);
      gl->Vertex2f(-k, k);
      gl->End();
    }
  }
  return true;
}

// --- camera ---------------------------------------------------------------------------------

VSceneObject* VOGLRenderer::GetCurrentCamera() const {
  return dynamic_cast<VSceneObject*>(mCurrentCamera->GetObjectAt(0));
}

bool VOGLRenderer::SetCurrentCamera(VSceneObject* camera) {
  if (camera != nullptr && dynamic_cast<VCamera*>(camera) == nullptr &&
      dynamic_cast<VCameraSwitcher*>(camera) == nullptr)
    return false;
  return mCurrentCamera->SetObjectValue(camera);
}

VCamera* VOGLRenderer::GetRenderCamera() const {
  if (scene_ == nullptr) return nullptr;
  VSceneObject* current = GetCurrentCamera();
  if (auto* switcher = dynamic_cast<VCameraSwitcher*>(current)) return switcher->GetCurrentCamera();
  if (auto* camera = dynamic_cast<VCamera*>(current)) return camera;
  const std::string& name = scene_->settings().default_camera;
  VSceneObject* found = scene_->Find(name);
  if (found == nullptr) found = scene_->FindSystemCamera(name);
  if (auto* switcher = dynamic_cast<VCameraSwitcher*>(found)) {
    if (VCamera* camera = switcher->GetCurrentCamera()) return camera;
  }
  if (auto* camera = dynamic_cast<VCamera*>(found)) return camera;
  return dynamic_cast<VCamera*>(scene_->FindSystemCamera("Model::Producer Perspective"));
}

void VOGLRenderer::BackgroundColor(VCamera* camera, float out[4]) const {
  out[0] = out[1] = out[2] = 0.0f;
  out[3] = 1.0f;
  if (SettingIsYes("Display", "FixedCameraBackgroundColor", "No")) {
    out[0] = static_cast<float>(SettingNumber("Display", "FixedCameraBackgroundColorR", "0.63"));
    out[1] = static_cast<float>(SettingNumber("Display", "FixedCameraBackgroundColorG", "0.63"));
    out[2] = static_cast<float>(SettingNumber("Display", "FixedCameraBackgroundColorB", "0.63"));
    return;
  }
  if (camera == nullptr) {
    const VDouble4 c = mClearColor->Get();
    for (int i = 0; i < 4; ++i) out[i] = static_cast<float>(c[i]);
    return;
  }
  const VDouble3 c = camera->mBackgroundColor->Get();
  for (int i = 0; i < 3; ++i) out[i] = std::isfinite(c[i]) ? static_cast<float>(std::clamp(c[i], 0.0, 1.0)) : 0.0f;
}

void VOGLRenderer::ClearToBackground(const VGLFunctions& gl, VCamera* camera) {
  float c[4];
  BackgroundColor(camera, c);
  gl.ClearColor(c[0], c[1], c[2], c[3]);
  gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void VOGLRenderer::SetupCamera(const VGLFunctions& gl, VCamera& camera, Frame& frame) {
  gl.Enable(GL_DEPTH_TEST);
  gl.DepthFunc(GL_LEQUAL);
  gl.Enable(GL_NORMALIZE);
  gl.ShadeModel(GL_SMOOTH);
  const int w = viewport_[2], h = viewport_[3];
  if (mVerticalInvert->Get() != 0) {
    frame.projection = camera.GetAlternateProjectionMatrix(w, h);
    if (frame.projection(1, 1) > 0) {
      for (int row = 0; row < 4; ++row) frame.projection(row, 1) = -frame.projection(row, 1);
    }
  } else {
    frame.projection = camera.GetProjectionMatrix(w, h);
  }
  frame.view = camera.GetViewMatrix();
  gl.MatrixMode(GL_PROJECTION);
  gl.LoadMatrixd(frame.projection.Data());
  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadMatrixd(frame.view.Data());
  last_view_.assign(frame.view.Data(), frame.view.Data() + 16);
  last_projection_.assign(frame.projection.Data(), frame.projection.Data() + 16);
}

void VOGLRenderer::SetupLights(const VGLFunctions& gl, Frame& /*frame*/) {
  std::vector<const VLight*> lights;
  for (const auto& object : scene_->objects())
    if (auto* light = dynamic_cast<const VLight*>(object.get())) lights.push_back(light);
  static const bool additive = SettingIsYes("Display", "UseAdditiveSpecularLighting", "Yes");
  const VLightingSetup setup = VComputeLighting(lights, caps_.max_lights, scene_->settings().ambient_color, additive);

  float v[4];
  ToFloat4(setup.model_ambient, v);
  gl.LightModelfv(GL_LIGHT_MODEL_AMBIENT, v);
  // The colour control is set per batch (see DrawMesh): separate specular
  // only changes textured batches that have a specular colour, and costs
  // every other one a second colour interpolation.
  separate_specular_ = setup.separate_specular;
  gl.LightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
  gl.LightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, setup.local_viewer ? 1.0f : 0.0f);
  local_viewer_ = setup.local_viewer;
  for (std::size_t i = 0; i < VLightingProgram::kMaxLights; ++i) {
    light_kind_[i] = 0;
    if (i >= setup.lights.size() || !setup.lights[i].enabled) continue;
    const VLightSlot& slot = setup.lights[i];
    light_kind_[i] = slot.position[3] == 0.0 ? 1 : (slot.spot_cutoff < 180.0 ? 3 : 2);
  }
  // Positions and directions are given in world space: the model-view holds
  // the view alone while they are sent.
  for (std::size_t i = 0; i < setup.lights.size(); ++i) {
    const GLenum light = static_cast<GLenum>(GL_LIGHT0 + i);
    const VLightSlot& slot = setup.lights[i];
    if (!slot.enabled) {
      gl.Disable(light);
      continue;
    }
    ToFloat4(slot.ambient, v);
    gl.Lightfv(light, GL_AMBIENT, v);
    ToFloat4(slot.specular, v);
    gl.Lightfv(light, GL_SPECULAR, v);
    ToFloat4(slot.diffuse, v);
    gl.Lightfv(light, GL_DIFFUSE, v);
    ToFloat4(slot.position, v);
    gl.Lightfv(light, GL_POSITION, v);
    if (slot.has_spot_direction) {
      const float d[3] = {static_cast<float>(slot.spot_direction[0]), static_cast<float>(slot.spot_direction[1]),
                          static_cast<float>(slot.spot_direction[2])};
      gl.Lightfv(light, GL_SPOT_DIRECTION, d);
    }
    gl.Lightf(light, GL_SPOT_CUTOFF, static_cast<float>(slot.spot_cutoff));
    gl.Lightf(light, GL_SPOT_EXPONENT, static_cast<float>(slot.spot_exponent));
    gl.Lightf(light, GL_CONSTANT_ATTENUATION, static_cast<float>(slot.constant_attenuation));
    gl.Lightf(light, GL_LINEAR_ATTENUATION, static_cast<float>(slot.linear_attenuation));
    gl.Lightf(light, GL_QUADRATIC_ATTENUATION, static_cast<float>(slot.quadratic_attenuation));
    gl.Enable(light);
  }
}

void VOGLRenderer::SetupFog(const VGLFunctions& gl) {
  const VFogSetup fog = VComputeFog(scene_->settings());
  fog_mode_ = fog.enabled ? fog.mode : -1;
  if (!fog.enabled) {
    gl.Disable(GL_FOG);
    return;
  }
  static const GLint kModes[3] = {GL_LINEAR, GL_EXP, GL_EXP2};
  gl.Fogi(GL_FOG_MODE, kModes[fog.mode]);
  gl.Fogfv(GL_FOG_COLOR, fog.color);
  gl.Fogf(GL_FOG_START, fog.start);
  gl.Fogf(GL_FOG_END, fog.end);
  gl.Fogf(GL_FOG_DENSITY, fog.density);
  gl.Hint(GL_FOG_HINT, GL_DONT_CARE);
  gl.Enable(GL_FOG);
}

void VOGLRenderer::DrawFrame(const VGLFunctions& gl, VCamera* camera) {
  if (scene_ == nullptr || camera == nullptr) return;
  Frame frame;
  frame.camera = camera;
  SetupCamera(gl, *camera, frame);
  SetupLights(gl, frame);
  SetupFog(gl);
  CollectItems(gl, frame);
  const bool overlays = viewing_mode_ != kVViewingModelsOnly;
  frame.show_grid = overlays && camera->mViewShowGrid->Get() != 0;
  frame.show_axis = overlays && camera->mViewShowAxis->Get() != 0;
  for (int group = 0; group < kVGroupCount; ++group) {
    int count = 0;
    const VRenderPass* passes = VRenderGroupPasses(group, &count);
    for (int i = 0; i < count; ++i) RunPass(gl, passes[i], frame);
  }
  gl.Disable(GL_FOG);
  if (frame.show_axis) DrawAxis(gl, frame);
}

// --- modes ------------------------------------------------------------------------------------

void VOGLRenderer::SetViewingMode(int mode) {
  viewing_mode_ = mode >= kVViewingNormal && mode <= kVViewingModelsOnly ? mode : kVViewingNormal;
}

void VOGLRenderer::SetModelsShading(int shading) {
  if (scene_ == nullptr || shading == kVModelShadingDefault) return;
  for (const auto& object : scene_->objects())
    if (auto* model = dynamic_cast<VModel*>(object.get())) model->SetShadingMode(shading);
}

VViewOptions VOGLRenderer::GetViewOptions() const {
  VViewOptions options = view_options_;
  options.picking_mode = viewing_mode_;
  return options;
}

void VOGLRenderer::SetViewOptions(const VViewOptions& options) {
  view_options_ = options;
  if (options.picking_mode != viewing_mode_) SetViewingMode(options.picking_mode);
  if (options.display_what != kVModelShadingDefault) SetModelsShading(options.display_what);
}

void VOGLRenderer::DetachContext() {
  meshes_->entries.clear();
  meshes_->released.clear();
  textures_.DetachContext();
  frame_textures_.clear();
  lighting_.Detach();
  sample_texture_ = 0;
  sample_texture_size_[0] = sample_texture_size_[1] = 0;
  caps_ = VRenderCaps();
}
