// Camera manipulators: roll, slide and move recompute the camera from the
// state at the press (never from the previous drag), write position,
// interest and roll together, and open one undo step per gesture.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "scene/camera.h"
#include "scene/camera_manipulator.h"
#include "scene/scene.h"
#include "scene/vector_math.h"

namespace {

using V3 = YrSDK::YrVector3<double>;

void ExpectNear(const V3& a, const V3& b, double tolerance = 1e-9) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

class CameraManipulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    camera_ = static_cast<VCamera*>(scene_.Add(std::make_unique<VCamera>("Cam")));
    interest_ = static_cast<VModel*>(scene_.Add(std::make_unique<VModel>("Cam Interest", "Null")));
    camera_->LookAtProperty()->SetObjectValue(interest_);
    camera_->TranslationProperty()->Set(VDouble3{0, 0, 100});
    interest_->TranslationProperty()->Set(VDouble3{0, 0, 0});
  }
  VScene scene_;
  VCamera* camera_ = nullptr;
  VModel* interest_ = nullptr;
};

TEST_F(CameraManipulatorTest, RollFollowsHalfADegreePerPixelFromThePress) {
  camera_->mRoll->Set(10);
  VCameraManipulator roll(kVCameraRoll);
  std::vector<std::string> steps;
  roll.SetUndoOpener([&](const std::string& name) { steps.push_back(name); });
  roll.Press(*camera_, 100, 50);
  roll.Drag(*camera_, 90, 50);  // dx = +10
  EXPECT_DOUBLE_EQ(camera_->mRoll->Get(), 15);
  roll.Drag(*camera_, 80, 70);  // dx = +20 from the press, not +10 more
  EXPECT_DOUBLE_EQ(camera_->mRoll->Get(), 20);
  roll.Drag(*camera_, 100, 50);  // back where it started
  EXPECT_DOUBLE_EQ(camera_->mRoll->Get(), 10);
  roll.Release();
  EXPECT_EQ(steps, std::vector<std::string>{"Camera Roll"});
  // Without a press, a drag changes nothing and opens nothing.
  roll.Drag(*camera_, 0, 0);
  EXPECT_DOUBLE_EQ(camera_->mRoll->Get(), 10);
  EXPECT_EQ(steps.size(), 1u);
  // A press then a release opens no step.
  roll.Press(*camera_, 0, 0);
  roll.Release();
  EXPECT_EQ(steps.size(), 1u);
}

TEST_F(CameraManipulatorTest, SlideCirclesTheInterestWhichStays) {
  VCameraManipulator slide(kVCameraSlide);
  slide.Press(*camera_, 0, 0);
  slide.Drag(*camera_, -40, 0);  // dx = 40: side = normalise(d x up) * D * 0.0025
  // d = (0, 0, -100), up = (0, 1, 0): d x up = (100, 0, 0) -> side (0.25, 0, 0).
  ExpectNear(camera_->GetPosition(), {10, 0, 100});
  ExpectNear(camera_->GetInterestPosition(), {0, 0, 0});
  slide.Drag(*camera_, 0, 20);  // dy = -20: lift = up * -0.25, from the press
  ExpectNear(camera_->GetPosition(), {0, 5, 100});
  slide.Release();
  // The camera still aims at the interest.
  ExpectNear(camera_->GetForward(), vmath::Normalised(V3{0, -5, -100}, V3{}));
}

TEST_F(CameraManipulatorTest, MoveCarriesCameraAndInterestTogether) {
  VCameraManipulator move(kVCameraMove);
  std::vector<std::string> steps;
  move.SetUndoOpener([&](const std::string& name) { steps.push_back(name); });
  move.Press(*camera_, 10, 10);
  move.Drag(*camera_, 10, 6);  // dy = 4: forward step (0, 0, -0.25) per pixel
  ExpectNear(camera_->GetPosition(), {0, 0, 99});
  ExpectNear(camera_->GetInterestPosition(), {0, 0, -1});
  move.Drag(*camera_, 0, 10);  // dx = 10: side step (0.05, 0, 0) per pixel, from the press
  ExpectNear(camera_->GetPosition(), {0.5, 0, 100});
  ExpectNear(camera_->GetInterestPosition(), {0.5, 0, 0});
  move.Release();
  move.Press(*camera_, 0, 0);
  move.Drag(*camera_, 1, 1);
  move.Release();
  EXPECT_EQ(steps, (std::vector<std::string>{"Camera Move", "Camera Move"}));
}

TEST_F(CameraManipulatorTest, MoveZoomsAnOrthographicCamera) {
  camera_->mProjectionType->Set(kVCameraOrthographic);
  camera_->SetOrthoZoom(4);
  VCameraManipulator move(kVCameraMove);
  move.Press(*camera_, 0, 100);
  move.Drag(*camera_, 0, 600);  // (500 * 0.002 + 2)^2
  EXPECT_DOUBLE_EQ(camera_->GetOrthoZoom(), 9);
  move.Drag(*camera_, 0, -10000);  // would cross zero: held at a small positive zoom
  EXPECT_GT(camera_->GetOrthoZoom(), 0);
  EXPECT_LT(camera_->GetOrthoZoom(), 1e-5);
  for (double e : camera_->GetProjectionMatrix(640, 480).m) EXPECT_TRUE(std::isfinite(e));
}

TEST(CameraManipulatorNoInterestTest, CameraWithoutInterestTurnsToFaceThePoint) {
  VScene scene;
  auto* camera = static_cast<VCamera*>(scene.Add(std::make_unique<VCamera>("Free")));
  camera->LookFrom({0, 0, 50}, {0, 0, 0});
  ExpectNear(camera->GetInterestPosition(), {0, 0, -150});  // "FocusDistance" ahead
  VCameraManipulator slide(kVCameraSlide);
  slide.Press(*camera, 0, 0);
  slide.Drag(*camera, -100, 0);
  // The camera moved aside and turned toward the point it looked at.
  const V3 position = camera->GetPosition();
  EXPECT_GT(position.x, 0);
  ExpectNear(camera->GetForward(), vmath::Normalised(vmath::Sub(V3{0, 0, -150}, position), V3{}));
}

TEST(CameraManipulatorMagnifierTest, MagnifierManipulatorsStayInRange) {
  VCamera camera("Cam");
  VCameraManipulator zoom(kVCameraMagnifierZoom), x(kVCameraMagnifierX), y(kVCameraMagnifierY);
  EXPECT_STREQ(zoom.GetName(), "2D Magnifier Zoom");
  zoom.Press(camera, 0, 0);
  zoom.Drag(camera, 0, -100);  // up by 100 pixels
  EXPECT_DOUBLE_EQ(camera.m2DMagnifierZoom->Get(), 150);
  zoom.Drag(camera, 0, 1000);
  EXPECT_DOUBLE_EQ(camera.m2DMagnifierZoom->Get(), 100);
  zoom.Release();
  x.Press(camera, 0, 0);
  x.Drag(camera, -100000, 0);
  EXPECT_DOUBLE_EQ(camera.m2DMagnifierX->Get(), 100);
  // The picture follows the mouse: dragging up moves the window down.
  y.Press(camera, 0, 0);
  y.Drag(camera, 0, -100000);
  EXPECT_DOUBLE_EQ(camera.m2DMagnifierY->Get(), 0);
  y.Drag(camera, 0, 10);
  EXPECT_DOUBLE_EQ(camera.m2DMagnifierY->Get(), 51);
}

}  // namespace
