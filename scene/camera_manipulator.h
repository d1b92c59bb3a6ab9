#pragma once
// Mouse manipulators of a camera. A press records the mouse position and
// the camera's state; every drag recomputes the camera from that state and
// the total mouse offset since the press (never from the previous drag);
// a release ends the gesture. The first drag after a press opens one undo
// step named after the manipulator.

#include <functional>
#include <string>

#include "scene/camera.h"

enum VCameraManipulation : int {
  kVCameraMove = 0,            // "Camera Move": dolly (and orthographic zoom) and side step
  kVCameraSlide = 1,           // "Camera Slide": circles the interest, which stays
  kVCameraRoll = 2,            // "Camera Roll"
  kVCameraMagnifierZoom = 3,   // "2D Magnifier Zoom"
  kVCameraMagnifierX = 4,      // "2D Magnifier X"
  kVCameraMagnifierY = 5,      // "2D Magnifier Y"
};

class VCameraManipulator {
 public:
  explicit VCameraManipulator(VCameraManipulation kind) : kind_(kind) {}

  // The manipulator's name, which is also its undo step's name.
  const char* GetName() const;
  VCameraManipulation GetKind() const { return kind_; }

  // Called with the step's name when a gesture opens its undo step.
  using UndoOpener = std::function<void(const std::string& name)>;
  void SetUndoOpener(UndoOpener opener) { undo_opener_ = std::move(opener); }

  // Mouse positions in pixels, y growing downwards. Drag and Release do
  // nothing without a press on the same camera.
  void Press(VCamera& camera, int x, int y, const VEvaluateInfo& info = VEvaluateInfo::Default());
  void Drag(VCamera& camera, int x, int y, const VEvaluateInfo& info = VEvaluateInfo::Default());
  void Release();
  bool IsActive() const { return camera_ != nullptr; }

 private:
  void DragMagnifier(VCamera& camera, double dx, double dy) const;

  VCameraManipulation kind_;
  UndoOpener undo_opener_;
  const VCamera* camera_ = nullptr;  // the pressed camera, compared only
  bool undo_open_ = false;
  int press_x_ = 0, press_y_ = 0;
  VCameraState press_;
  YrSDK::YrVector3<double> forward_step_, side_step_;  // "Camera Move"
  YrSDK::YrVector3<double> slide_side_, slide_lift_;   // "Camera Slide"
  bool orthographic_ = false;
  double magnifier_[3] = {100, 50, 50};  // zoom, x, y at the press
};
