#include "scene/camera_frustum.h"

#include <algorithm>
#include <cmath>

#include "scene/vector_math.h"

using vmath::FiniteOr;
using YrSDK::YrMatrix;

namespace {

// Half of a field of view in radians: degrees times pi / 360.
constexpr double kHalfAngle = 0.008726646259971648;
// A field of view is kept strictly inside (0, 180) degrees: 0 would close
// the frustum, 180 would open it to infinity.
constexpr double kMinFieldOfView = 1e-3;
constexpr double kMaxFieldOfView = 179.999;
constexpr double kMaxMagnifierZoom = 1e6;  // percent: beyond this the bounds lose all precision

double TanHalf(double fov_degrees, double fallback) {
  const double fov = std::clamp(FiniteOr(fov_degrees, fallback), kMinFieldOfView, kMaxFieldOfView);
  return std::tan(fov * kHalfAngle);
}

double Positive(double v, double fallback) { return std::isfinite(v) && v > 0.0 ? v : fallback; }

}  // namespace

VFrustum VBaseFrustum(const VFrustumSettings& s, int width, int height) {
  // A viewport of no size is drawn as one pixel.
  const double w = width > 0 ? width : 1;
  const double h = height > 0 ? height : 1;
  const bool ortho = s.projection == kVCameraOrthographic;
  VFrustum f;
  f.near_plane = FiniteOr(s.near_plane, 10.0);
  f.far_plane = FiniteOr(s.far_plane, 4000.0);
  if (!ortho) {
    // A perspective projection needs a near plane in front of the eye.
    if (!(f.near_plane > 0.0)) f.near_plane = 1e-3;
    if (!(f.far_plane > 0.0)) f.far_plane = f.near_plane * 2.0;
  }
  if (f.far_plane == f.near_plane) f.far_plane = f.near_plane + std::max(1e-3, std::fabs(f.near_plane) * 1e-6);
  const double n = f.near_plane;
  const double p = Positive(s.pixel_aspect_ratio, 1.0);

  if (ortho) {
    const double zoom = std::max(Positive(s.ortho_zoom, 1.0), 1e-6);
    const double scale = std::max(Positive(s.ortho_scale, 1.0), 1e-6);
    double half_w, half_h;
    if (h <= w) {
      half_w = scale * w * kVOrthoBaseHalfExtent / h;
      half_h = kVOrthoBaseHalfExtent;
    } else {
      half_w = scale * kVOrthoBaseHalfExtent;
      half_h = h * kVOrthoBaseHalfExtent / w;
    }
    f.left = -half_w * zoom;
    f.right = half_w * zoom;
    f.bottom = -half_h * zoom;
    f.top = half_h * zoom;
    return f;
  }
  switch (s.aperture_mode) {
    case kVApertureHorizontal: {
      const double t = TanHalf(s.field_of_view, 40.0) * n;
      f.left = -t;
      f.right = t;
      f.top = t * (h / w) / p;
      f.bottom = -f.top;
      break;
    }
    case kVApertureVertical: {
      const double t = TanHalf(s.field_of_view, 40.0) * n;
      f.top = t;
      f.bottom = -t;
      f.right = t * p * (w / h);
      f.left = -f.right;
      break;
    }
    default: {
      const double tx = TanHalf(s.field_of_view_x, 40.0) * n;
      const double ty = TanHalf(s.field_of_view_y, 40.0) * n;
      // The optical centre shifts the window by a fraction of the viewport.
      const double dx = -2.0 * FiniteOr(s.optical_center_x, 0.0) / w;
      const double dy = 2.0 * FiniteOr(s.optical_center_y, 0.0) / h;
      f.left = -tx * (1.0 - dx);
      f.right = tx * (1.0 + dx);
      f.bottom = -ty * (1.0 - dy);
      f.top = ty * (1.0 + dy);
      break;
    }
  }
  return f;
}

void VApplyMagnifier(VFrustum& f, double zoom_percent, double x_percent, double y_percent) {
  const double z = std::clamp(FiniteOr(zoom_percent, 100.0), 100.0, kMaxMagnifierZoom) * 0.01;
  const double k = 1.0 / z;
  const double cx = std::clamp(FiniteOr(x_percent, 50.0) * 0.01, 0.0, 1.0);
  const double cy = std::clamp(FiniteOr(y_percent, 50.0) * 0.01, 0.0, 1.0);
  const double width = f.right - f.left;
  const double height = f.top - f.bottom;
  f.left = (cx - k / 2) * width + f.left;
  f.right = f.left + k * width;
  f.bottom = (cy - k / 2) * height + f.bottom;
  f.top = f.bottom + k * height;
}

void VApplyTile(VFrustum& f, int tile) {
  const double mid_x = (f.left + f.right) * 0.5;
  const double mid_y = (f.bottom + f.top) * 0.5;
  switch (tile) {
    case 1:  // upper right
      f.left = mid_x;
      f.bottom = mid_y;
      break;
    case 2:  // upper left
      f.right = mid_x;
      f.bottom = mid_y;
      break;
    case 3:  // lower left
      f.right = mid_x;
      f.top = mid_y;
      break;
    case 4:  // lower right
      f.left = mid_x;
      f.top = mid_y;
      break;
    default:
      break;
  }
}

VFrustum VComputeFrustum(const VFrustumSettings& s, int width, int height) {
  VFrustum f = VBaseFrustum(s, width, height);
  if (s.use_magnifier) VApplyMagnifier(f, s.magnifier_zoom, s.magnifier_x, s.magnifier_y);
  VApplyTile(f, s.tile);
  return f;
}

YrMatrix VProjectionMatrix(const VFrustum& f, bool orthographic) {
  const double l = f.left, r = f.right, b = f.bottom, t = f.top, n = f.near_plane, fa = f.far_plane;
  const double rl = r - l, tb = t - b, fn = fa - n;
  YrMatrix m;
  if (!(rl != 0.0) || !(tb != 0.0) || !(fn != 0.0) || !std::isfinite(rl) || !std::isfinite(tb) ||
      !std::isfinite(fn)) {
    return m;
  }
  // OpenGL's column-major array: element [column * 4 + row].
  if (orthographic) {
    m[0] = 2.0 / rl;
    m[5] = 2.0 / tb;
    m[10] = -2.0 / fn;
    m[12] = -(r + l) / rl;
    m[13] = -(t + b) / tb;
    m[14] = -(fa + n) / fn;
    m[15] = 1.0;
  } else {
    m[0] = 2.0 * n / rl;
    m[5] = 2.0 * n / tb;
    m[8] = (r + l) / rl;
    m[9] = (t + b) / tb;
    m[10] = -(fa + n) / fn;
    m[11] = -1.0;
    m[14] = -2.0 * fa * n / fn;
    m[15] = 0.0;
  }
  for (double v : m.m) {
    if (!std::isfinite(v)) return YrMatrix{};
  }
  return m;
}

void VApplyJitter(YrMatrix& m, double jx, double jy) {
  const double x = FiniteOr(jx, 0.0), y = FiniteOr(jy, 0.0);
  const double tx = m[12] + x * m[0], ty = m[13] + y * m[5];
  if (std::isfinite(tx) && std::isfinite(ty)) {
    m[12] = tx;
    m[13] = ty;
  }
}

VFrustum VMirrorVertically(const VFrustum& f) {
  VFrustum mirrored = f;
  mirrored.bottom = -f.top;
  mirrored.top = -f.bottom;
  return mirrored;
}
