// Camera view and lens: the view matrix takes the interest to the eye's -Z
// and up to +Y, roll turns the picture, the producer cameras look at the
// origin; focal length and field of view convert both ways; the sample
// tables.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "scene/camera.h"
#include "scene/camera_lens.h"
#include "scene/camera_samples.h"
#include "scene/camera_view.h"
#include "scene/matrix_functions.h"
#include "scene/scene.h"

namespace {

using V3 = YrSDK::YrVector3<double>;
using YrSDK::YrMatrix;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

V3 Apply(const YrMatrix& m, const V3& p) {
  YrSDK::YrVector4<double> out;
  YrSDK::YrVectorMatrixMult(out, m, {p.x, p.y, p.z, 1.0});
  return {out.x, out.y, out.z};
}

void ExpectNear(const V3& a, const V3& b, double tolerance = 1e-9) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(CameraViewTest, InterestLiesOnTheEyesNegativeZAndUpOnPositiveY) {
  VScene scene;
  auto* camera = static_cast<VCamera*>(scene.Add(std::make_unique<VCamera>("Cam")));
  auto* interest = static_cast<VModel*>(scene.Add(std::make_unique<VModel>("Cam Interest", "Null")));
  camera->LookAtProperty()->SetObjectValue(interest);
  camera->TranslationProperty()->Set(VDouble3{10, 20, 30});
  interest->TranslationProperty()->Set(VDouble3{-5, 0, 7});
  ASSERT_EQ(camera->GetInterest(), interest);

  const YrMatrix view = camera->GetViewMatrix();
  const V3 eye_interest = Apply(view, {-5, 0, 7});
  const double distance = std::sqrt(15 * 15 + 20 * 20 + 23 * 23);
  ExpectNear(eye_interest, {0, 0, -distance});
  ExpectNear(Apply(view, {10, 20, 30}), {0, 0, 0});
  // A point straight above the camera is above the view's centre line.
  const V3 above = Apply(view, {10, 25, 30});
  EXPECT_NEAR(above.x, 0, 1e-9);
  EXPECT_GT(above.y, 0);

  // Roll 90 turns the camera a quarter turn counter-clockwise about its
  // viewing axis: world up now lies along the eye's +x.
  camera->mRoll->Set(90);
  const V3 rolled = Apply(camera->GetViewMatrix(), {10, 25, 30});
  EXPECT_NEAR(rolled.y, 0, 1e-9);
  EXPECT_NEAR(rolled.x, above.y, 1e-9);
  ExpectNear(Apply(camera->GetViewMatrix(), {-5, 0, 7}), {0, 0, -distance});

  // The interest moves: the view follows at once.
  interest->TranslationProperty()->Set(VDouble3{10, 20, 0});
  camera->mRoll->Set(0);
  ExpectNear(Apply(camera->GetViewMatrix(), {10, 20, 0}), {0, 0, -30});
  EXPECT_NEAR(camera->GetInterestPosition().z, 0, 1e-12);
}

TEST(CameraViewTest, DegenerateAimsStayFinite) {
  // Interest at the camera's own position, forward parallel to up, NaNs.
  const YrMatrix views[] = {
      VCameraViewMatrix({1, 2, 3}, {0, 0, 0}, {0, 1, 0}, 0),
      VCameraViewMatrix({1, 2, 3}, {0, 5, 0}, {0, 1, 0}, 30),
      VCameraViewMatrix({kNaN, 2, 3}, {kNaN, 0, 0}, {0, kNaN, 0}, kNaN),
  };
  for (const YrMatrix& v : views) {
    for (double e : v.m) ASSERT_TRUE(std::isfinite(e));
    // Still a rotation: rows 0-2 unit length.
    for (int row = 0; row < 3; ++row) {
      EXPECT_NEAR(std::hypot(v(row, 0), v(row, 1), v(row, 2)), 1, 1e-12);
    }
  }
  VScene scene;
  auto* camera = static_cast<VCamera*>(scene.Add(std::make_unique<VCamera>("Cam")));
  auto* interest = static_cast<VModel*>(scene.Add(std::make_unique<VModel>("Cam Interest", "Null")));
  camera->LookAtProperty()->SetObjectValue(interest);
  camera->TranslationProperty()->Set(VDouble3{4, 4, 4});
  interest->TranslationProperty()->Set(VDouble3{4, 4, 4});
  for (double e : camera->GetViewMatrix().m) EXPECT_TRUE(std::isfinite(e));
}

TEST(CameraViewTest, ProducerCamerasLookAtTheOrigin) {
  VScene scene;
  ASSERT_EQ(scene.system_cameras().size(), 7u);
  for (const auto& object : scene.system_cameras()) {
    auto* camera = dynamic_cast<VCamera*>(object.get());
    ASSERT_NE(camera, nullptr) << object->GetFullName();
    SCOPED_TRACE(camera->GetName());
    const V3 origin = Apply(camera->GetViewMatrix(), {0, 0, 0});
    EXPECT_NEAR(origin.x, 0, 1e-9);
    EXPECT_NEAR(origin.y, 0, 1e-9);
    EXPECT_LT(origin.z, -camera->mNearPlane->Get());
    EXPECT_GT(origin.z, -camera->mFarPlane->Get());
    EXPECT_EQ(camera->IsOrthographic(), camera->GetName() != "Producer Perspective");
  }
  // Top: world +X to the right of the picture.
  auto* top = static_cast<VCamera*>(scene.FindSystemCamera("Model::Producer Top"));
  EXPECT_GT(Apply(top->GetViewMatrix(), {1, 0, 0}).x, 0);
  auto* right = static_cast<VCamera*>(scene.FindSystemCamera("Model::Producer Right"));
  EXPECT_LT(Apply(right->GetViewMatrix(), {0, 0, 1}).x, 0);
}

TEST(CameraLensTest, FocalLengthAndFieldOfViewRoundTrip) {
  // A one-inch film behind a 12.7 mm lens sees 90 degrees.
  EXPECT_NEAR(VFieldOfViewFromFocalLength(12.7, 1.0), 90.0, 1e-12);
  EXPECT_NEAR(VFocalLengthFromFieldOfView(90.0, 1.0), 12.7, 1e-12);
  for (double f : {1.0, 18.0, 35.0, 50.0, 200.0, 600.0}) {
    EXPECT_NEAR(VFocalLengthFromFieldOfView(VFieldOfViewFromFocalLength(f, 0.816), 0.816), f, 1e-9 * f);
  }
  // Below 1 mm counts as 1 mm; below 1 degree as 1 degree.
  EXPECT_EQ(VFieldOfViewFromFocalLength(0.2, 1.0), VFieldOfViewFromFocalLength(1.0, 1.0));
  EXPECT_EQ(VFocalLengthFromFieldOfView(0.0, 1.0), VFocalLengthFromFieldOfView(1.0, 1.0));
  for (double bad : {kNaN, -5.0, 180.0, 1e300}) {
    EXPECT_TRUE(std::isfinite(VFocalLengthFromFieldOfView(bad, 1.0)));
    EXPECT_GT(VFocalLengthFromFieldOfView(bad, 1.0), 0);
    EXPECT_TRUE(std::isfinite(VFieldOfViewFromFocalLength(bad, bad)));
  }

  VCamera camera("Cam");
  // The default focal length matches the default field of view.
  EXPECT_NEAR(VFieldOfViewFromFocalLength(camera.mFocalLength->Get(), 1.0), 40.0, 1e-9);
  ASSERT_TRUE(camera.SetFocalLength(12.7));
  EXPECT_NEAR(camera.mFieldOfView->Get(), 90.0, 1e-12);
  EXPECT_NEAR(camera.mFieldOfViewX->Get(), 90.0, 1e-12);
  camera.mFilmHeight->Set(0.5);
  camera.mApertureMode->Set(kVApertureVertical);
  ASSERT_TRUE(camera.SetFocalLength(12.7));
  EXPECT_NEAR(camera.mFieldOfView->Get(), 2 * std::atan(0.5) * 180 / M_PI, 1e-12);
  EXPECT_NEAR(camera.ComputeFocalLength(), 12.7, 1e-9);
  ASSERT_TRUE(camera.SetFocalLength(-3));
  EXPECT_EQ(camera.mFocalLength->Get(), 0.0001);
  EXPECT_FALSE(camera.SetFocalLength(kNaN));
  EXPECT_EQ(camera.mFocalLength->Get(), 0.0001);
}

TEST(CameraSamplesTest, GridIsTheScaledThreeByThree) {
  const auto grid = VGridSampleTable(2.0);
  ASSERT_EQ(grid.size(), 9u);
  int i = 0;
  for (int y = -1; y <= 1; ++y) {
    for (int x = -1; x <= 1; ++x, ++i) {
      EXPECT_EQ(grid[static_cast<size_t>(i)].x, 2.0 * x);
      EXPECT_EQ(grid[static_cast<size_t>(i)].y, 2.0 * y);
    }
  }
}

TEST(CameraSamplesTest, RelaxedCircleSpreadsSamplesOutToTheScale) {
  for (int n : {2, 5, 7, 16}) {
    SCOPED_TRACE(n);
    const auto table = VRelaxedCircleSampleTable(n, 3.5);
    ASSERT_EQ(table.size(), static_cast<size_t>(n));
    double farthest = 0, closest_pair = 1e9;
    for (size_t a = 0; a < table.size(); ++a) {
      farthest = std::max(farthest, std::hypot(table[a].x, table[a].y));
      for (size_t b = a + 1; b < table.size(); ++b) {
        closest_pair = std::min(closest_pair, std::hypot(table[a].x - table[b].x, table[a].y - table[b].y));
      }
    }
    EXPECT_NEAR(farthest, 3.5, 1e-12);
    // Spread out, not bunched: no two samples closer than a tenth of the
    // disc's radius.
    EXPECT_GT(closest_pair, 0.35);
    // The generator is reseeded: the same inputs give the same table.
    const auto again = VRelaxedCircleSampleTable(n, 3.5);
    for (size_t k = 0; k < table.size(); ++k) {
      EXPECT_EQ(again[k].x, table[k].x);
      EXPECT_EQ(again[k].y, table[k].y);
    }
  }
  EXPECT_TRUE(VRelaxedCircleSampleTable(0, 1).empty());
  const auto one = VRelaxedCircleSampleTable(1, 1);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_TRUE(std::isfinite(one[0].x) && std::isfinite(one[0].y));
  EXPECT_EQ(VRelaxedCircleSampleTable(100000, 1).size(), static_cast<size_t>(kVMaxSampleCount));
  for (const auto& s : VRelaxedCircleSampleTable(4, kNaN)) EXPECT_TRUE(std::isfinite(s.x) && std::isfinite(s.y));
}

TEST(CameraSamplesTest, CameraRebuildsItsTablesWhenSettingsChange) {
  VCamera camera("Cam");
  EXPECT_EQ(camera.GetDepthOfFieldSamples().size(), 7u);
  camera.mFocusAngle->Set(2.0);
  double farthest = 0;
  for (const auto& s : camera.GetDepthOfFieldSamples()) farthest = std::max(farthest, std::hypot(s.x, s.y));
  EXPECT_NEAR(farthest, 2.0, 1e-12);
  camera.mUseSamplingGrid->Set(1);
  EXPECT_EQ(camera.GetSampleCount(), 9);
  ASSERT_EQ(camera.GetAntialiasingSamples().size(), 9u);
  EXPECT_DOUBLE_EQ(camera.GetAntialiasingSamples()[0].x, -0.77777);
  camera.mUseSamplingGrid->Set(0);
  camera.mFrameSamplingCount->Set(3);
  EXPECT_EQ(camera.GetAntialiasingSamples().size(), 3u);
  camera.mFrameSamplingCount->Set(-4);
  EXPECT_EQ(camera.GetAntialiasingSamples().size(), 1u);
}

}  // namespace
