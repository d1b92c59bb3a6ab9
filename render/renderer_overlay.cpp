// What the renderer draws besides the models: the reference grid, the axis
// gizmo and the markers of cameras, lights and other models, and the
// multi-sample frame.

#include <algorithm>
#include <cmath>

#include "core/settings_store.h"
#include "render/renderer.h"
#include "render/renderer_internal.h"
#include "scene/camera.h"
#include "scene/light.h"
#include "scene/model_polymesh.h"
#include "scene/scene.h"
#include "scene/vector_math.h"

namespace {

// Grid lines drawn at most along each axis, whatever the settings say.
constexpr int kMaxGridLines = 1000;
// Markers keep one size on screen: this share of their distance to the eye.
constexpr double kMarkerScale = 0.025;
constexpr int kAxisGizmoPixels = 60;

double Setting(const char* key, double default_value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", default_value);
  const std::string value = VSettingsOpen(kVSettingsApplication).GetText("Display", key, text);
  char* end = nullptr;
  const double v = std::strtod(value.c_str(), &end);
  return end != value.c_str() && std::isfinite(v) ? v : default_value;
}

}  // namespace

void VOGLRenderer::DrawGrid(const VGLFunctions& gl, Frame& frame) {
  const float color[3] = {static_cast<float>(Setting("GridColorR", 0.5)), static_cast<float>(Setting("GridColorG", 0.5)),
                          static_cast<float>(Setting("GridColorB", 0.5))};
  const double origin[3] = {Setting("GridOriginX", 0.0), Setting("GridOriginY", 0.0), Setting("GridOriginZ", 0.0)};
  const double size_x = std::fabs(Setting("GridSizeX", 1000.0));
  const double size_z = std::fabs(Setting("GridSizeZ", 1000.0));
  double spacing = std::fabs(Setting("GridSpacing", 20.0));
  // The grid lies in the ground plane (XZ, Y up), centred on its origin.
  const double largest = std::max(size_x, size_z);
  if (largest <= 0.0) return;
  if (spacing <= 0.0 || largest / spacing > kMaxGridLines) spacing = largest / kMaxGridLines;

  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadMatrixd(frame.view.Data());
  gl.Color3f(color[0], color[1], color[2]);
  gl.Begin(GL_LINES);
  const double hx = size_x * 0.5, hz = size_z * 0.5;
  const int nx = static_cast<int>(std::floor(hx / spacing));
  const int nz = static_cast<int>(std::floor(hz / spacing));
  for (int i = -nx; i <= nx; ++i) {
    const double x = origin[0] + i * spacing;
    gl.Vertex3d(x, origin[1], origin[2] - hz);
    gl.Vertex3d(x, origin[1], origin[2] + hz);
  }
  for (int i = -nz; i <= nz; ++i) {
    const double z = origin[2] + i * spacing;
    gl.Vertex3d(origin[0] - hx, origin[1], z);
    gl.Vertex3d(origin[0] + hx, origin[1], z);
  }
  gl.End();
}

void VOGLRenderer::DrawAxis(const VGLFunctions& gl, Frame& frame) {
  // A small X (red), Y (green), Z (blue) tripod in the lower-left corner,
  // turned with the view but never moved or scaled by it.
  // At most a sixth of the frame's shorter side, so small frames keep their view.
  const int side = std::min(kAxisGizmoPixels, std::min(viewport_[2], viewport_[3]) / 6);
  if (side <= 0) return;
  gl.Viewport(viewport_[0], viewport_[1], side, side);
  gl.Disable(GL_DEPTH_TEST);
  gl.Disable(GL_LIGHTING);
  gl.MatrixMode(GL_PROJECTION);
  gl.LoadIdentity();
  gl.Ortho(-1.2, 1.2, -1.2, 1.2, -2, 2);
  gl.MatrixMode(GL_MODELVIEW);
  YrSDK::YrMatrix rotation = frame.view;
  rotation(3, 0) = rotation(3, 1) = rotation(3, 2) = 0.0;
  // Keep the rotation only: normalise the rows (a scaled view would grow the tripod).
  for (int r = 0; r < 3; ++r) {
    const double n = std::sqrt(rotation(r, 0) * rotation(r, 0) + rotation(r, 1) * rotation(r, 1) + rotation(r, 2) * rotation(r, 2));
    if (n > 0) {
      for (int c = 0; c < 3; ++c) rotation(r, c) /= n;
    }
  }
  gl.LoadMatrixd(rotation.Data());
  gl.Begin(GL_LINES);
  gl.Color3f(1, 0, 0);
  gl.Vertex3f(0, 0, 0);
  gl.Vertex3f(1, 0, 0);
  gl.Color3f(0, 1, 0);
  gl.Vertex3f(0, 0, 0);
  gl.Vertex3f(0, 1, 0);
  gl.Color3f(0, 0, 1);
  gl.Vertex3f(0, 0, 0);
  gl.Vertex3f(0, 0, 1);
  gl.End();
  gl.Viewport(viewport_[0], viewport_[1], viewport_[2], viewport_[3]);
  gl.MatrixMode(GL_PROJECTION);
  gl.LoadMatrixd(frame.projection.Data());
  gl.MatrixMode(GL_MODELVIEW);
  gl.Enable(GL_DEPTH_TEST);
}

void VOGLRenderer::DrawGizmos(const VGLFunctions& gl, Frame& frame) {
  gl.MatrixMode(GL_MODELVIEW);
  for (const auto& object : scene_->objects()) {
    auto* node = dynamic_cast<VTransformNode*>(object.get());
    if (node == nullptr || dynamic_cast<VModelPolymesh*>(node) != nullptr || node == frame.camera) continue;
    if (!node->IsVisible()) continue;
    const YrSDK::YrMatrix& m = node->GetMatrix(kVSpaceGlobal);
    const double p[3] = {m(3, 0), m(3, 1), m(3, 2)};
    if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) continue;
    gl.LoadMatrixd(frame.view.Data());
    gl.Translated(p[0], p[1], p[2]);
    const YrSDK::YrMatrix& v = frame.view;
    const double eye_z = p[0] * v(0, 2) + p[1] * v(1, 2) + p[2] * v(2, 2) + v(3, 2);
    const float s = static_cast<float>(std::clamp(std::fabs(eye_z) * kMarkerScale, 1e-3, 1e6));
    if (dynamic_cast<VLight*>(node) != nullptr) {
      gl.Color3f(1.0f, 0.9f, 0.3f);  // lights: a yellow star
    } else if (dynamic_cast<VCamera*>(node) != nullptr) {
      gl.Color3f(0.4f, 0.8f, 1.0f);  // cameras: a blue cross
    } else {
      gl.Color3f(0.8f, 0.8f, 0.8f);  // nulls, joints, markers
    }
    gl.Begin(GL_LINES);
    gl.Vertex3f(-s, 0, 0);
    gl.Vertex3f(s, 0, 0);
    gl.Vertex3f(0, -s, 0);
    gl.Vertex3f(0, s, 0);
    gl.Vertex3f(0, 0, -s);
    gl.Vertex3f(0, 0, s);
    gl.End();
  }
  gl.LoadMatrixd(frame.view.Data());
}

// --- the multi-sample frame ---------------------------------------------------------------------

void VOGLRenderer::DrawSamples(const VGLFunctions& gl, VCamera* camera) {
  ClearToBackground(gl, camera);
  if (camera == nullptr) return;
  const bool antialias = camera->mUseAntialiasing->Get() != 0;
  const std::vector<VSampleOffset>& table = antialias ? camera->GetAntialiasingSamples() : std::vector<VSampleOffset>();
  const int n = static_cast<int>(table.size());
  if (n <= 1) {
    stats_.samples = 1;
    DrawFrame(gl, camera);
    return;
  }
  const int w = viewport_[2], h = viewport_[3];
  // A jitter of j moves the image by j x the x (or y) scale term in
  // normalised device units; one pixel is 2 / w of them.
  const YrSDK::YrMatrix base = camera->GetProjectionMatrix(w, h);
  const double sx = std::fabs(base(0, 0)) > 1e-12 ? base(0, 0) : 1.0;
  const double sy = std::fabs(base(1, 1)) > 1e-12 ? base(1, 1) : 1.0;
  // The jitter moves the translation terms, so its shift on screen shrinks
  // with depth: it is scaled to be exact at the camera's focus (its
  // interest), where the eye rests.
  const double focus = std::max(
      vmath::Length(vmath::Sub(camera->GetInterestPosition(), camera->GetPosition())), 1e-6);
  auto jitter = [&](int i) {
    camera->SetJitter(table[i].x * 2.0 * focus / (w * sx), table[i].y * 2.0 * focus / (h * sy));
  };

  const bool use_accum = (camera->mUseAccumulationBuffer->Get() != 0 && caps_.accum_bits > 0) ||
                         (caps_.accum_bits > 0 && caps_.max_texture_size < std::max(w, h));
  if (use_accum) {
    float bg[4];
    BackgroundColor(camera, bg);
    gl.ClearAccum(bg[0], bg[1], bg[2], bg[3]);
    gl.Clear(GL_ACCUM_BUFFER_BIT);
    for (int i = 0; i < n; ++i) {
      jitter(i);
      ClearToBackground(gl, camera);
      DrawFrame(gl, camera);
      gl.Accum(GL_ACCUM, 1.0f / n);
    }
    gl.Accum(GL_RETURN, 1.0f);
    camera->ClearJitter();
    stats_.samples = static_cast<std::uint32_t>(n);
    return;
  }

  // Texture path: a running average. After sample i is drawn, the average
  // of the earlier samples is blended over it with weight i / (i + 1) and
  // copied back into the texture.
  int tw = 1, th = 1;
  while (tw < w) tw <<= 1;
  while (th < h) th <<= 1;
  if (tw > caps_.max_texture_size || th > caps_.max_texture_size) {
    camera->ClearJitter();
    stats_.samples = 1;
    DrawFrame(gl, camera);
    return;
  }
  if (sample_texture_ == 0 || sample_texture_size_[0] != tw || sample_texture_size_[1] != th) {
    if (sample_texture_ == 0) gl.GenTextures(1, &sample_texture_);
    gl.BindTexture(GL_TEXTURE_2D, sample_texture_);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, tw, th, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    sample_texture_size_[0] = tw;
    sample_texture_size_[1] = th;
  }
  const float u = static_cast<float>(w) / tw, v = static_cast<float>(h) / th;
  for (int i = 0; i < n; ++i) {
    jitter(i);
    ClearToBackground(gl, camera);
    DrawFrame(gl, camera);
    gl.BindTexture(GL_TEXTURE_2D, sample_texture_);
    if (i > 0) {
      gl.Disable(GL_DEPTH_TEST);
      gl.Disable(GL_LIGHTING);
      gl.Disable(GL_FOG);
      gl.Enable(GL_TEXTURE_2D);
      gl.Enable(GL_BLEND);
      gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);  // the frame stays opaque
      gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
      gl.MatrixMode(GL_PROJECTION);
      gl.LoadIdentity();
      gl.MatrixMode(GL_MODELVIEW);
      gl.LoadIdentity();
      gl.Color4f(1, 1, 1, static_cast<float>(i) / (i + 1));
      gl.Begin(GL_QUADS);
      gl.TexCoord2f(0, 0);
      gl.Vertex2f(-1, -1);
      gl.TexCoord2f(u, 0);
      gl.Vertex2f(1, -1);
      gl.TexCoord2f(u, v);
      gl.Vertex2f(1, 1);
      gl.TexCoord2f(0, v);
      gl.Vertex2f(-1, 1);
      gl.End();
      gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
      gl.Disable(GL_BLEND);
      gl.Disable(GL_TEXTURE_2D);
    }
    gl.CopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, viewport_[0], viewport_[1], w, h);
    gl.BindTexture(GL_TEXTURE_2D, 0);
  }
  camera->ClearJitter();
  float bg[4];
  BackgroundColor(camera, bg);
  gl.ClearColor(bg[0], bg[1], bg[2], bg[3]);
  stats_.samples = static_cast<std::uint32_t>(n);
}
