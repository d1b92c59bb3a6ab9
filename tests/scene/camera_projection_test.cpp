// Camera frustum and projection: every aperture mode and the orthographic
// bounds, the 2D magnifier and tiles, the OpenGL matrices against
// hand-computed values, jitter, the mirrored projection, the per-slot cache,
// and hostile values that must stay finite.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/evaluation_serial.h"
#include "scene/camera.h"
#include "scene/camera_frustum.h"

namespace {

using YrSDK::YrMatrix;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void ExpectBounds(const VFrustum& f, double l, double r, double b, double t, double tolerance = 1e-12) {
  EXPECT_NEAR(f.left, l, tolerance);
  EXPECT_NEAR(f.right, r, tolerance);
  EXPECT_NEAR(f.bottom, b, tolerance);
  EXPECT_NEAR(f.top, t, tolerance);
}

bool AllFinite(const YrMatrix& m) {
  for (double v : m.m) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// Clip-space image of an eye-space point (OpenGL column-major array).
void Clip(const YrMatrix& m, const double p[3], double out[4]) {
  for (int row = 0; row < 4; ++row) out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
}

TEST(CameraFrustumTest, OrthographicBoundsFollowTheWiderSide) {
  VFrustumSettings s;
  s.projection = kVCameraOrthographic;
  ExpectBounds(VComputeFrustum(s, 400, 200), -356, 356, -178, 178);
  ExpectBounds(VComputeFrustum(s, 200, 400), -178, 178, -356, 356);
  // Zoom multiplies all four bounds; the scale factor only the width.
  s.ortho_zoom = 0.5;
  s.ortho_scale = 2;
  ExpectBounds(VComputeFrustum(s, 400, 200), -356, 356, -89, 89);
}

TEST(CameraFrustumTest, PerspectiveApertureModes) {
  VFrustumSettings s;
  s.near_plane = 1;
  s.field_of_view = 90;
  s.aperture_mode = kVApertureHorizontal;
  ExpectBounds(VComputeFrustum(s, 200, 100), -1, 1, -0.5, 0.5);
  s.pixel_aspect_ratio = 2;  // wide pixels: fewer rows of the scene
  ExpectBounds(VComputeFrustum(s, 200, 100), -1, 1, -0.25, 0.25);

  s.aperture_mode = kVApertureVertical;
  ExpectBounds(VComputeFrustum(s, 200, 100), -4, 4, -1, 1);
  s.pixel_aspect_ratio = 1;
  s.near_plane = 2;
  ExpectBounds(VComputeFrustum(s, 200, 100), -4, 4, -2, 2);

  // Horizontal & vertical: each axis its own angle, the optical centre
  // shifting the window.
  s.aperture_mode = kVApertureHorizontalAndVertical;
  s.near_plane = 1;
  s.field_of_view_x = 90;
  s.field_of_view_y = 2 * std::atan(0.5) * 180 / M_PI;
  ExpectBounds(VComputeFrustum(s, 200, 100), -1, 1, -0.5, 0.5);
  s.optical_center_x = 50;  // dx = -0.5
  s.optical_center_y = 25;  // dy = 0.5
  ExpectBounds(VComputeFrustum(s, 200, 100), -1.5, 0.5, -0.25, 0.75);
}

TEST(CameraFrustumTest, MagnifierAndTilesNarrowTheWindowInOrder) {
  VFrustum f;
  f.left = -2;
  f.right = 2;
  f.bottom = -1;
  f.top = 1;
  VFrustum zoomed = f;
  VApplyMagnifier(zoomed, 200, 50, 50);  // half the window, centred
  ExpectBounds(zoomed, -1, 1, -0.5, 0.5);
  zoomed = f;
  VApplyMagnifier(zoomed, 400, 100, 0);  // a quarter, centred on the right bottom edge
  ExpectBounds(zoomed, 1.5, 2.5, -1.25, -0.75);
  zoomed = f;
  VApplyMagnifier(zoomed, 50, 250, -10);  // zoom below 100 % is 100 %, centres clamp into [0, 1]
  ExpectBounds(zoomed, 0, 4, -2, 0);

  const double want[5][4] = {{-2, 2, -1, 1}, {0, 2, 0, 1}, {-2, 0, 0, 1}, {-2, 0, -1, 0}, {0, 2, -1, 0}};
  for (int tile = 0; tile <= 4; ++tile) {
    VFrustum t = f;
    VApplyTile(t, tile);
    SCOPED_TRACE(tile);
    ExpectBounds(t, want[tile][0], want[tile][1], want[tile][2], want[tile][3]);
  }
  VFrustum other = f;
  VApplyTile(other, 7);
  ExpectBounds(other, -2, 2, -1, 1);

  // The magnifier applies before the tile.
  VFrustumSettings s;
  s.projection = kVCameraOrthographic;
  s.use_magnifier = true;
  s.magnifier_zoom = 200;
  s.tile = 1;
  ExpectBounds(VComputeFrustum(s, 400, 200), 0, 178, 0, 89);
}

TEST(CameraFrustumTest, ProjectionMatricesMatchTheOpenGLFormulas) {
  VFrustum f;
  f.left = -1;
  f.right = 3;
  f.bottom = -2;
  f.top = 1;
  f.near_plane = 2;
  f.far_plane = 10;
  const YrMatrix p = VProjectionMatrix(f, false);
  const double want_p[16] = {2 * 2.0 / 4, 0, 0, 0, 0, 2 * 2.0 / 3, 0, 0, 2.0 / 4, -1.0 / 3, -12.0 / 8, -1,
                             0, 0, -2 * 10 * 2.0 / 8, 0};
  for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(p[i], want_p[i]) << i;
  // The near plane's corners land on the clip cube's corners.
  const double corner[3] = {3, 1, -2};
  double c[4];
  Clip(p, corner, c);
  EXPECT_NEAR(c[0] / c[3], 1, 1e-12);
  EXPECT_NEAR(c[1] / c[3], 1, 1e-12);
  EXPECT_NEAR(c[2] / c[3], -1, 1e-12);

  const YrMatrix o = VProjectionMatrix(f, true);
  const double want_o[16] = {2.0 / 4, 0, 0, 0, 0, 2.0 / 3, 0, 0, 0, 0, -2.0 / 8, 0, -2.0 / 4, 1.0 / 3, -12.0 / 8, 1};
  for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(o[i], want_o[i]) << i;

  // Degenerate frusta give the identity rather than infinities.
  for (VFrustum bad : {VFrustum{1, 1, -1, 1, 1, 2}, VFrustum{-1, 1, 0, 0, 1, 2}, VFrustum{-1, 1, -1, 1, 3, 3},
                       VFrustum{-kInf, 1, -1, 1, 1, 2}, VFrustum{-1e-300, 1e-300, -1, 1, 1e300, 1e301}}) {
    EXPECT_EQ(VProjectionMatrix(bad, false), YrMatrix{});
  }
}

TEST(CameraFrustumTest, JitterShiftsTheTranslationTermsByTheScaleTerms) {
  VFrustum f{-1, 1, -1, 1, 1, 100};
  YrMatrix o = VProjectionMatrix(f, true);
  VApplyJitter(o, 0.5, -0.25);
  EXPECT_DOUBLE_EQ(o[12], 0.5 * 1.0);
  EXPECT_DOUBLE_EQ(o[13], -0.25 * 1.0);
  YrMatrix p = VProjectionMatrix(f, false);
  const YrMatrix before = p;
  VApplyJitter(p, 0.5, 0.25);
  EXPECT_DOUBLE_EQ(p[12], 0.5 * before[0]);
  EXPECT_DOUBLE_EQ(p[13], 0.25 * before[5]);
  VApplyJitter(p, kNaN, kInf);  // ignored, not spread
  EXPECT_TRUE(AllFinite(p));
}

TEST(CameraFrustumTest, MirroredFrustumDrawsTheUpsideDownImage) {
  VFrustum f{-1, 2, -0.5, 1.5, 1, 50};
  const YrMatrix normal = VProjectionMatrix(f, false);
  const YrMatrix mirrored = VProjectionMatrix(VMirrorVertically(f), false);
  EXPECT_GT(mirrored[5], 0);
  // The mirrored projection of (x, -y, z) is the normal one of (x, y, z)
  // with the image's y turned over.
  const double p[3] = {0.3, 0.7, -5}, q[3] = {0.3, -0.7, -5};
  double a[4], b[4];
  Clip(normal, p, a);
  Clip(mirrored, q, b);
  EXPECT_NEAR(a[0] / a[3], b[0] / b[3], 1e-12);
  EXPECT_NEAR(a[1] / a[3], -b[1] / b[3], 1e-12);
}

TEST(CameraProjectionTest, CameraFeedsItsPropertiesAndCachesPerSlot) {
  VCamera camera("Cam");
  camera.mApertureMode->Set(kVApertureHorizontal);
  camera.mFieldOfView->Set(90);
  camera.mNearPlane->Set(1);
  camera.mFarPlane->Set(3);
  YrMatrix p = camera.GetProjectionMatrix(200, 100);
  EXPECT_NEAR(p[0], 1, 1e-12);
  EXPECT_NEAR(p[5], 2, 1e-12);
  EXPECT_NEAR(p[10], -2, 1e-12);
  EXPECT_NEAR(p[14], -3, 1e-12);

  // A property change is seen at once (the serial advanced); so is a tile
  // or jitter, which are the camera's own state.
  camera.mFieldOfView->Set(60);
  EXPECT_NEAR(camera.GetProjectionMatrix(200, 100)[0], 1 / std::tan(M_PI / 6), 1e-12);
  camera.SetTile(1);
  EXPECT_NEAR(camera.GetProjectionMatrix(200, 100)[8], 1, 1e-12);  // (r + l) / (r - l) with l at the middle
  camera.SetTile(0);
  camera.SetJitter(0.5, 0);
  EXPECT_NE(camera.GetProjectionMatrix(200, 100)[12], 0);
  camera.ClearJitter();
  EXPECT_EQ(camera.GetProjectionMatrix(200, 100)[12], 0);
  // A second slot and another viewport do not evict the first.
  VEvaluateInfo other;
  other.slot = 1;
  other.alternate = true;
  YrMatrix a = camera.GetProjectionMatrix(200, 100);
  YrMatrix b = camera.GetProjectionMatrix(100, 200, other);
  EXPECT_NE(a, b);
  EXPECT_EQ(camera.GetProjectionMatrix(200, 100), a);
  EXPECT_EQ(camera.GetProjectionMatrix(100, 200, other), b);

  // The alternate projection is the mirrored frustum's.
  camera.mOpticalCenterY->Set(10);
  camera.mApertureMode->Set(kVApertureHorizontalAndVertical);
  const YrMatrix alt = camera.GetAlternateProjectionMatrix(200, 100);
  const YrMatrix normal = camera.GetProjectionMatrix(200, 100);
  EXPECT_DOUBLE_EQ(alt[5], normal[5]);
  EXPECT_DOUBLE_EQ(alt[9], -normal[9]);
  EXPECT_NE(normal[9], 0);
}

TEST(CameraProjectionTest, HostileValuesGiveFiniteMatrices) {
  const double hostile[] = {kNaN, kInf, -kInf, 0.0, -1.0, 180.0, 1e308, -1e308};
  VCamera camera("Cam");
  VPropertyDouble* properties[] = {camera.mFieldOfView,  camera.mFieldOfViewX,   camera.mFieldOfViewY,
                                   camera.mOpticalCenterX, camera.mOpticalCenterY, camera.mPixelAspectRatio,
                                   camera.mNearPlane,    camera.mFarPlane,       camera.mOrthoZoom,
                                   camera.m2DMagnifierZoom, camera.m2DMagnifierX, camera.m2DMagnifierY,
                                   camera.mRoll};
  camera.mUse2DMagnifierZoom->Set(1);
  for (int projection : {kVCameraPerspective, kVCameraOrthographic}) {
    camera.mProjectionType->Set(projection);
    for (int mode : {0, 1, 2, 9}) {
      camera.mApertureMode->Set(mode);
      for (VPropertyDouble* property : properties) {
        const double saved = property->Get();
        for (double value : hostile) {
          property->Set(value);
          for (int w : {0, 1, 640}) {
            for (int h : {0, -5, 480}) {
              const YrMatrix p = camera.GetProjectionMatrix(w, h);
              ASSERT_TRUE(AllFinite(p)) << property->GetName() << " = " << value << " at " << w << "x" << h;
              ASSERT_TRUE(AllFinite(camera.GetAlternateProjectionMatrix(w, h)));
            }
          }
          ASSERT_TRUE(AllFinite(camera.GetViewMatrix())) << property->GetName() << " = " << value;
        }
        property->Set(saved);
      }
    }
  }
  // near == far and FOV 0 or 180 still give an invertible perspective.
  camera.mProjectionType->Set(kVCameraPerspective);
  camera.mApertureMode->Set(kVApertureHorizontal);
  camera.mNearPlane->Set(5);
  camera.mFarPlane->Set(5);
  for (double fov : {0.0, 180.0}) {
    camera.mFieldOfView->Set(fov);
    const YrMatrix p = camera.GetProjectionMatrix(320, 200);
    EXPECT_NE(p[0], 0);
    EXPECT_NE(p[5], 0);
    EXPECT_NE(p[10], 0);
    EXPECT_EQ(p[11], -1);
  }
}

}  // namespace
