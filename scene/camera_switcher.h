#pragma once
// The camera switcher: a model of subtype "CameraSwitcher" holding an
// ordered list of cameras; at each evaluation the current camera is the one
// at position "Camera Index" (counted from 1, animatable, rounded and
// clamped into 1..count).
//
// The list is held as full names and resolved through a resolver (the
// scene's Find) whenever it is asked for: a file names the cameras before
// they may exist, and a camera that goes away leaves no dangling pointer.

#include <functional>
#include <string>
#include <vector>

#include "scene/model.h"

class VCamera;
class VObject;
class VZynFile;

class VCameraSwitcher : public VModel {
 public:
  explicit VCameraSwitcher(const std::string& name);

  using Resolver = std::function<VObject*(const std::string& full_name)>;
  void SetResolver(Resolver resolver) { resolver_ = std::move(resolver); }

  // The list, as full names ("Model::Camera01").
  const std::vector<std::string>& GetCameraNames() const { return camera_names_; }
  void SetCameraNames(std::vector<std::string> names) { camera_names_ = std::move(names); }
  void AddCamera(const VCamera& camera);
  int GetCameraCount() const { return static_cast<int>(camera_names_.size()); }
  // The camera at a 0-based position; null when out of range, unresolved,
  // or not a camera.
  VCamera* GetCamera(int position) const;

  // "Camera Index" rounded and clamped into 1..count; 0 for an empty list.
  int GetCurrentIndex() const;
  VCamera* GetCurrentCamera() const;
  // Sets "Camera Index" (1-based; clamped into 1..count when there are
  // cameras).
  void SetCurrentIndex(int index);

  // After the properties: "Version", "Name", "CameraId" (the current
  // index), "CameraName" (the current camera's full name) and
  // "CameraIndexName" (every camera's full name, in order).
  bool Retrieve(VZynFile& file, int mode) override;
  bool Store(VZynFile& file, int mode) const override;

  VPropertyDouble* mCameraIndex;

 private:
  std::vector<std::string> camera_names_;
  Resolver resolver_;
};

// The viewer's label for the switcher's current camera: "Switcher (name)".
std::string VSwitcherLabel(const std::string& camera_name);
