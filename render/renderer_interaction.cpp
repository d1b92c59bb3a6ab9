// Picking, framing and the mouse camera gestures.

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/renderer.h"
#include "render/renderer_internal.h"
#include "scene/camera.h"
#include "scene/camera_manipulator.h"
#include "scene/matrix_functions.h"
#include "scene/model_polymesh.h"
#include "scene/scene.h"
#include "scene/vector_math.h"

using vmath::Vec3;

namespace {

constexpr int kKeyZ = 'Z';
constexpr double kPanFactor = 0.0025;   // of the distance to the interest, per pixel
constexpr double kZoomFactor = 0.005;   // field-of-view change per pixel, as a power of e
constexpr double kFramingMargin = 1.1;  // the models' sphere fills this much less than the view

enum MouseInputType { kMousePress = 2, kMouseRelease = 3, kMouseDrag = 4 };

Vec3 Transform(const YrSDK::YrMatrix& m, double x, double y, double z) {
  return {x * m(0, 0) + y * m(1, 0) + z * m(2, 0) + m(3, 0), x * m(0, 1) + y * m(1, 1) + z * m(2, 1) + m(3, 1),
          x * m(0, 2) + y * m(1, 2) + z * m(2, 2) + m(3, 2)};
}

// Möller-Trumbore: the distance along the ray, or -1 when it misses.
double RayTriangle(const Vec3& origin, const Vec3& dir, const Vec3& a, const Vec3& b, const Vec3& c) {
  const Vec3 e1 = vmath::Sub(b, a), e2 = vmath::Sub(c, a);
  const Vec3 p = vmath::Cross(dir, e2);
  const double det = vmath::Dot(e1, p);
  if (std::fabs(det) < 1e-12) return -1;
  const double inv = 1.0 / det;
  const Vec3 t = vmath::Sub(origin, a);
  const double u = vmath::Dot(t, p) * inv;
  if (u < 0 || u > 1) return -1;
  const Vec3 q = vmath::Cross(t, e1);
  const double v = vmath::Dot(dir, q) * inv;
  if (v < 0 || u + v > 1) return -1;
  const double d = vmath::Dot(e2, q) * inv;
  return d >= 0 ? d : -1;
}

}  // namespace


bool VOGLRenderer::KeyboardInput(int key, bool down, bool /*repeat*/) {
  if (key < 0 || key >= static_cast<int>(sizeof key_down_)) return false;
  key_down_[key] = down;
  if (key >= 'a' && key <= 'z') key_down_[key - 'a' + 'A'] = down;
  return key == kKeyZ || key == 'z';
}

bool VOGLRenderer::IsKeyDown(int key) const {
  const int state = key_state_source_ != nullptr ? key_state_source_(key) : -1;
  return state >= 0 ? state != 0 : key_down_[key];
}

bool VOGLRenderer::MouseInput(int x, int y, int input_type, int /*button*/, int modifier, int /*extra*/) {
  VCamera* camera = GetRenderCamera();
  if (camera == nullptr) return false;
  if (input_type == kMousePress) {
    gesture_.reset(new Gesture);
    Gesture& g = *gesture_;
    g.camera = camera;
    g.press_x = x;
    g.press_y = y;
    g.press = camera->GetState();
    if (IsKeyDown(kKeyZ)) {
      g.kind = kZoom;
    } else if (modifier & 2) {
      g.kind = kDolly;
      g.manipulator = VCameraManipulator(kVCameraMove);
    } else if (modifier & 1) {
      g.kind = kPan;
    } else {
      g.kind = kOrbit;
      g.manipulator = VCameraManipulator(kVCameraSlide);
    }
    if (g.kind == kOrbit || g.kind == kDolly) g.manipulator.Press(*camera, x, y);
    return true;
  }
  if (!gesture_ || gesture_->camera != camera) return false;
  Gesture& g = *gesture_;
  if (input_type == kMouseDrag) {
    const double dx = g.press_x - x, dy = g.press_y - y;
    switch (g.kind) {
      case kOrbit:
        g.manipulator.Drag(*camera, x, y);
        break;
      case kDolly:
        // Forward only: the side step of "Camera Move" belongs to panning.
        g.manipulator.Drag(*camera, g.press_x, y);
        break;
      case kPan: {
        VCameraState s = g.press;
        const Vec3 view = vmath::Sub(s.interest, s.position);
        const double distance = std::max(vmath::Length(view), 1e-6);
        const Vec3 forward = vmath::Normalised(view, Vec3{0, 0, -1});
        const Vec3 side = vmath::Normalised(vmath::Cross(forward, Vec3{0, 1, 0}), Vec3{1, 0, 0});
        const Vec3 up = vmath::Cross(side, forward);
        const Vec3 move = vmath::Add(vmath::Scale(side, dx * distance * kPanFactor),
                                     vmath::Scale(up, -dy * distance * kPanFactor));
        s.position = vmath::Add(s.position, move);
        s.interest = vmath::Add(s.interest, move);
        camera->SetState(s);
        break;
      }
      case kZoom: {
        VCameraState s = g.press;
        s.field_of_view = std::clamp(g.press.field_of_view * std::exp(-dy * kZoomFactor), 1.0, 179.0);
        camera->SetState(s);
        break;
      }
    }
    return true;
  }
  if (input_type == kMouseRelease) {
    g.manipulator.Release();
    gesture_.reset();
    return true;
  }
  return false;
}

bool VOGLRenderer::FrameCurrentCameraWithModels(bool /*all*/) {
  // Without a selection, "all" and "the selected" are the same models.
  VCamera* camera = GetRenderCamera();
  if (camera == nullptr || scene_ == nullptr) return false;
  double lo[3] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                  std::numeric_limits<double>::max()};
  double hi[3] = {-lo[0], -lo[1], -lo[2]};
  bool any = false;
  for (const auto& object : scene_->objects()) {
    auto* mesh = dynamic_cast<VModelPolymesh*>(object.get());
    if (mesh == nullptr || !mesh->IsVisible()) continue;
    const YrSDK::YrMatrix& m = mesh->GetGlobalGeometricMatrix();
    for (const auto& p : mesh->GetDeformedPoints()) {
      const Vec3 w = Transform(m, p.x, p.y, p.z);
      if (!std::isfinite(w.x) || !std::isfinite(w.y) || !std::isfinite(w.z)) continue;
      for (int k = 0; k < 3; ++k) {
        lo[k] = std::min(lo[k], w[k]);
        hi[k] = std::max(hi[k], w[k]);
      }
      any = true;
    }
  }
  if (!any) return false;
  const Vec3 centre{(lo[0] + hi[0]) * 0.5, (lo[1] + hi[1]) * 0.5, (lo[2] + hi[2]) * 0.5};
  const double radius = std::max(0.5 * std::sqrt((hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) +
                                                  (hi[2] - lo[2]) * (hi[2] - lo[2])),
                                 1e-3);
  VCameraState s = camera->GetState();
  const Vec3 forward = vmath::Normalised(vmath::Sub(s.interest, s.position), camera->GetForward());
  if (camera->IsOrthographic()) {
    // The base half-height of an orthographic view is 178 units.
    s.ortho_zoom = std::max(radius * kFramingMargin / 178.0, 1e-6);
  }
  const int w = std::max(viewport_[2], 1), h = std::max(viewport_[3], 1);
  const VFrustum f = camera->GetFrustum(w, h);
  const double n = std::max(camera->mNearPlane->Get(), 1e-9);
  const double half = std::min(std::atan2(f.right - f.left, 2 * n), std::atan2(f.top - f.bottom, 2 * n));
  const double distance = radius * kFramingMargin / std::sin(std::clamp(half, 0.01, 1.5));
  s.interest = centre;
  s.position = vmath::Sub(centre, vmath::Scale(forward, distance));
  camera->SetState(s);
  return true;
}

bool VOGLRenderer::Pick(int x, int y, std::vector<VTransformNode*>& models) {
  models.clear();
  if (scene_ == nullptr || last_view_.size() != 16 || viewport_[2] <= 0 || viewport_[3] <= 0) return false;
  YrSDK::YrMatrix view, projection, view_projection, inverse;
  std::copy(last_view_.begin(), last_view_.end(), view.m);
  std::copy(last_projection_.begin(), last_projection_.end(), projection.m);
  view_projection = VRenderMultiply(view, projection);
  if (!YrMatrixInverse(inverse, view_projection)) return false;
  // Normalised device coordinates of the pixel's centre, y up.
  const double nx = (x - viewport_[0] + 0.5) / viewport_[2] * 2.0 - 1.0;
  const double ny = 1.0 - (y + 0.5) / viewport_[3] * 2.0;
  auto unproject = [&](double z) {
    const double v[4] = {nx, ny, z, 1.0};
    double r[4] = {0, 0, 0, 0};
    for (int c = 0; c < 4; ++c)
      for (int k = 0; k < 4; ++k) r[c] += v[k] * inverse(k, c);
    return Vec3{r[0] / r[3], r[1] / r[3], r[2] / r[3]};
  };
  const Vec3 a = unproject(-1.0), b = unproject(1.0);
  const Vec3 dir = vmath::Normalised(vmath::Sub(b, a), Vec3{0, 0, -1});

  std::vector<std::pair<double, VTransformNode*>> hits;
  for (const auto& object : scene_->objects()) {
    auto* mesh = dynamic_cast<VModelPolymesh*>(object.get());
    if (mesh == nullptr || !mesh->IsVisible()) continue;
    const YrSDK::YrMatrix& m = mesh->GetGlobalGeometricMatrix();
    const auto& points = mesh->GetDeformedPoints();
    const VGeometry& g = mesh->GetGeometry();
    const VTriangulation& t = mesh->GetTriangulation();
    double nearest = -1;
    for (std::size_t i = 0; i + 2 < t.triangles.size(); i += 3) {
      Vec3 corner[3];
      for (int k = 0; k < 3; ++k) {
        const auto& p = points[g.polygon_vertex_index[t.triangles[i + k]] & kVPolygonIndexMask];
        corner[k] = Transform(m, p.x, p.y, p.z);
      }
      const double d = RayTriangle(a, dir, corner[0], corner[1], corner[2]);
      if (d >= 0 && (nearest < 0 || d < nearest)) nearest = d;
    }
    if (nearest >= 0) hits.emplace_back(nearest, mesh);
  }
  std::stable_sort(hits.begin(), hits.end(),
                   [](const auto& l, const auto& r) { return l.first < r.first; });
  for (const auto& hit : hits) models.push_back(hit.second);
  return !models.empty();
}
