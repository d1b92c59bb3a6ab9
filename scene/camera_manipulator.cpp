#include "scene/camera_manipulator.h"

#include <algorithm>
#include <cmath>

#include "scene/vector_math.h"

using vmath::Vec3;

namespace {

constexpr double kRollPerPixel = 0.5;     // degrees
constexpr double kStepPerPixel = 0.0025;  // of the distance to the interest
constexpr double kSidePerPixel = 0.0005;  // of the distance to the interest
constexpr double kOrthoZoomPerPixel = 0.002;
// The square root of the orthographic zoom never goes below this: past
// zero the square would grow again and at zero the view would collapse.
constexpr double kMinOrthoZoomRoot = 1e-3;
// The magnifier moves by a tenth of a percent of the frame per pixel at
// zoom 100 percent, less when zoomed in; the zoom by half a percent.
constexpr double kMagnifierPanPerPixel = 0.1;
constexpr double kMagnifierZoomPerPixel = 0.5;

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

}  // namespace

const char* VCameraManipulator::GetName() const {
  switch (kind_) {
    case kVCameraMove:
      return "Camera Move";
    case kVCameraSlide:
      return "Camera Slide";
    case kVCameraRoll:
      return "Camera Roll";
    case kVCameraMagnifierZoom:
      return "2D Magnifier Zoom";
    case kVCameraMagnifierX:
      return "2D Magnifier X";
    case kVCameraMagnifierY:
      return "2D Magnifier Y";
  }
  return "";
}

void VCameraManipulator::Press(VCamera& camera, int x, int y, const VEvaluateInfo& info) {
  camera_ = &camera;
  undo_open_ = false;
  press_x_ = x;
  press_y_ = y;
  press_ = camera.GetState(info);
  orthographic_ = camera.IsOrthographic();
  magnifier_[0] = camera.m2DMagnifierZoom->Get();
  magnifier_[1] = camera.m2DMagnifierX->Get();
  magnifier_[2] = camera.m2DMagnifierY->Get();

  const Vec3 forward = camera.GetForward(info);
  const Vec3 up = camera.GetUp(info);
  const Vec3 to_interest = vmath::Sub(press_.interest, press_.position);
  const double distance = vmath::Length(to_interest);
  // "Camera Move": fixed steps per pixel along the view and to the side.
  forward_step_ = vmath::Scale(to_interest, kStepPerPixel);
  const Vec3 side = vmath::Normalised(vmath::Cross(forward, up), vmath::AnyPerpendicular(forward));
  side_step_ = vmath::Scale(side, distance * kSidePerPixel);
  // "Camera Slide": the world's up, turned over with an upside-down camera.
  const Vec3 world_up = up.y < 0.0 ? Vec3{0, -1, 0} : Vec3{0, 1, 0};
  const Vec3 slide_side = vmath::Normalised(vmath::Cross(to_interest, world_up), side);
  slide_side_ = vmath::Scale(slide_side, distance * kStepPerPixel);
  slide_lift_ = vmath::Scale(world_up, -distance * kStepPerPixel);
}

void VCameraManipulator::Drag(VCamera& camera, int x, int y, const VEvaluateInfo& info) {
  if (camera_ != &camera) return;
  if (!undo_open_) {
    undo_open_ = true;
    if (undo_opener_) undo_opener_(GetName());
  }
  const double dx = static_cast<double>(press_x_) - x;
  const double dy = static_cast<double>(press_y_) - y;
  VCameraState state = press_;
  switch (kind_) {
    case kVCameraRoll:
      state.roll = press_.roll + kRollPerPixel * dx;
      break;
    case kVCameraSlide:
      state.position = vmath::Add(press_.position,
                                  vmath::Add(vmath::Scale(slide_side_, dx), vmath::Scale(slide_lift_, dy)));
      break;
    case kVCameraMove: {
      const Vec3 offset = vmath::Add(vmath::Scale(forward_step_, dy), vmath::Scale(side_step_, dx));
      state.position = vmath::Add(press_.position, offset);
      state.interest = vmath::Add(press_.interest, offset);
      if (orthographic_) {
        const double root = std::max((y - press_y_) * kOrthoZoomPerPixel + std::sqrt(press_.ortho_zoom),
                                     kMinOrthoZoomRoot);
        state.ortho_zoom = root * root;
      }
      break;
    }
    default:
      DragMagnifier(camera, dx, dy);
      return;
  }
  camera.SetState(state, info);
}

void VCameraManipulator::DragMagnifier(VCamera& camera, double dx, double dy) const {
  const double zoom = std::max(Finite(magnifier_[0]), 100.0);
  const double pan = kMagnifierPanPerPixel * 100.0 / zoom;
  switch (kind_) {
    case kVCameraMagnifierZoom:
      camera.m2DMagnifierZoom->Set(std::max(zoom + kMagnifierZoomPerPixel * dy, 100.0));
      break;
    case kVCameraMagnifierX:
      camera.m2DMagnifierX->Set(std::clamp(Finite(magnifier_[1]) + pan * dx, 0.0, 100.0));
      break;
    case kVCameraMagnifierY:
      camera.m2DMagnifierY->Set(std::clamp(Finite(magnifier_[2]) - pan * dy, 0.0, 100.0));
      break;
    default:
      break;
  }
}

void VCameraManipulator::Release() {
  camera_ = nullptr;
  undo_open_ = false;
}
