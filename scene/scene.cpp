#include "scene/scene.h"

#include <algorithm>

#include "scene/model.h"

namespace {

const char* const kSystemCameras[] = {
    "Producer Perspective", "Producer Top",  "Producer Bottom", "Producer Front",
    "Producer Back",        "Producer Right", "Producer Left",
};

}  // namespace

VScene::VScene() {
  MakeSystemCameras();
  takes_.SetBinding([this](const std::string& full_name) -> VObject* { return Find(full_name); }, player_.Clock());
}

VScene::~VScene() {
  takes_.Clear();  // unbinds the properties before they go
  by_name_.clear();
  objects_.clear();
  system_cameras_.clear();
}

void VScene::MakeSystemCameras() {
  system_cameras_.clear();
  for (const char* name : kSystemCameras) system_cameras_.push_back(std::make_unique<VModel>(name, "Camera"));
}

void VScene::Clear() {
  // Later objects may hold connections to earlier ones; plugs disconnect
  // themselves when destroyed, so the order only matters for speed.
  takes_.Clear();  // unbinds the properties before they go
  by_name_.clear();
  while (!objects_.empty()) objects_.pop_back();
  MakeSystemCameras();
  settings_ = VSceneSettings{};
}

VSceneObject* VScene::Add(std::unique_ptr<VSceneObject> object, bool allow_duplicate_name) {
  if (!object) return nullptr;
  std::string full_name = object->GetFullName();
  bool taken = by_name_.count(full_name) || FindSystemCamera(full_name);
  if (taken && !allow_duplicate_name) return nullptr;
  VSceneObject* raw = object.get();
  objects_.push_back(std::move(object));
  by_name_.emplace(full_name, raw);  // keeps the first of a name
  return raw;
}

bool VScene::Remove(VSceneObject* object) {
  auto it = std::find_if(objects_.begin(), objects_.end(),
                         [object](const std::unique_ptr<VSceneObject>& o) { return o.get() == object; });
  if (it == objects_.end()) return false;
  VTake* current = takes_.GetCurrent();
  if (current) current->Unbind();
  auto named = by_name_.find(object->GetFullName());
  if (named != by_name_.end() && named->second == object) by_name_.erase(named);
  objects_.erase(it);
  // Another object of the same name, if any, becomes the one found.
  for (const auto& other : objects_) by_name_.emplace(other->GetFullName(), other.get());
  takes_.Rebind();
  return true;
}

VSceneObject* VScene::Find(const std::string& full_name) const {
  auto it = by_name_.find(full_name);
  if (it != by_name_.end()) return it->second;
  return FindSystemCamera(full_name);
}

VSceneObject* VScene::FindSystemCamera(const std::string& full_name) const {
  for (const auto& camera : system_cameras_) {
    if (camera->GetFullName() == full_name) return camera.get();
  }
  return nullptr;
}

bool VScene::IsSystemCameraName(const std::string& full_name) {
  for (const char* name : kSystemCameras) {
    if (full_name == std::string("Model::") + name) return true;
  }
  return false;
}
