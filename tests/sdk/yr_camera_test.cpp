// The camera and light handles: they reach the engine's objects and give
// neutral answers over anything else.

#include "sdk/yr_camera.h"

#include <gtest/gtest.h>

#include "scene/camera.h"
#include "scene/light.h"

namespace {

using namespace YrSDK;

TEST(YrCameraTest, HandlesReachCamerasAndLightsOnly) {
  VCamera camera("Cam");
  VLight light("Lamp");
  light.mLightType->Set(kVLightSpot);
  light.mIntensity->Set(-3);

  YrCamera c(&camera);
  ASSERT_TRUE(c.IsValid());
  EXPECT_EQ(c.GetFullName(), "Model::Cam");
  EXPECT_EQ(c.GetProjectionMatrix(320, 200), camera.GetProjectionMatrix(320, 200));
  EXPECT_TRUE(c.SetFocalLength(12.7));
  EXPECT_NEAR(c.GetFieldOfView(), 90, 1e-9);

  YrLight l(&light);
  ASSERT_TRUE(l.IsValid());
  EXPECT_EQ(l.GetLightType(), kYrLightTypeSpot);
  EXPECT_EQ(l.GetIntensity(), 0);
  EXPECT_TRUE(l.GetCastLight());

  // Crossed and empty handles answer neutral values.
  EXPECT_FALSE(YrCamera(&light).IsValid());
  EXPECT_FALSE(YrLight(&camera).IsValid());
  YrCamera none;
  EXPECT_EQ(none.GetViewMatrix(), YrMatrix{});
  EXPECT_FALSE(none.SetFocalLength(10));
  EXPECT_EQ(YrLight().GetColor(), (YrVector3<double>{}));
  EXPECT_EQ(static_cast<int>(kYrLightTypeInfinite), static_cast<int>(kVLightInfinite));
}

}  // namespace
