#include "scene/scene.h"

#include <algorithm>

#include "scene/camera.h"
#include "scene/camera_switcher.h"
#include "scene/model.h"

namespace {

const char* const kSystemCameras[] = {
    "Producer Perspective", "Producer Top",  "Producer Bottom", "Producer Front",
    "Producer Back",        "Producer Right", "Producer Left",
};

// Where each producer camera stands and which way is up in its view. The
// orthographic ones look along an axis from far enough away that the
// default depth range (10 to 4000) holds the origin's surroundings.
struct SystemCameraPlacement {
  YrSDK::YrVector3<double> position;
  YrSDK::YrVector3<double> up;
  bool orthographic;
};
const SystemCameraPlacement kPlacements[] = {
    {{400, 300, 400}, {0, 1, 0}, false},   // Perspective: a raised diagonal
    {{0, 2000, 0}, {0, 0, -1}, true},      // Top
    {{0, -2000, 0}, {0, 0, 1}, true},      // Bottom
    {{0, 0, 2000}, {0, 1, 0}, true},       // Front
    {{0, 0, -2000}, {0, 1, 0}, true},      // Back
    {{2000, 0, 0}, {0, 1, 0}, true},       // Right
    {{-2000, 0, 0}, {0, 1, 0}, true},      // Left
};

}  // namespace

VScene::VScene() {
  MakeSystemCameras();
  takes_.SetBinding([this](const std::string& full_name) -> VObject* { return Find(full_name); }, player_.Clock());
}

VScene::~VScene() {
  takes_.Clear();  // unbinds the properties before they go
  by_name_.clear();
  DropObjects();
  system_cameras_.clear();
}

void VScene::DropObjects() {
  // Newest first: each object leaves the scene's watch from the end of its
  // list of watched plugs, which keeps dropping a large scene linear.
  // Later objects may hold connections to earlier ones; plugs disconnect
  // themselves when destroyed, so the order matters for speed only.
  while (!objects_.empty()) objects_.pop_back();
}

void VScene::MakeSystemCameras() {
  system_cameras_.clear();
  for (size_t i = 0; i < sizeof kSystemCameras / sizeof kSystemCameras[0]; ++i) {
    auto camera = std::make_unique<VCamera>(kSystemCameras[i]);
    const SystemCameraPlacement& place = kPlacements[i];
    camera->LookFrom(place.position, {0, 0, 0}, place.up);
    if (place.orthographic) camera->mProjectionType->Set(kVCameraOrthographic);
    system_cameras_.push_back(std::move(camera));
  }
}

void VScene::Clear() {
  takes_.Clear();  // unbinds the properties before they go
  by_name_.clear();
  DropObjects();
  MakeSystemCameras();
  settings_ = VSceneSettings{};
  audio_clips_.clear();
}

VSceneObject* VScene::Add(std::unique_ptr<VSceneObject> object, bool allow_duplicate_name) {
  if (!object) return nullptr;
  std::string full_name = object->GetFullName();
  if (!allow_duplicate_name && FindSystemCamera(full_name)) return nullptr;
  VSceneObject* raw = object.get();
  // One lookup: the name is taken, or it is the new object's (the first of
  // a name stays the one found).
  const bool inserted = by_name_.try_emplace(std::move(full_name), raw).second;
  if (!inserted && !allow_duplicate_name) return nullptr;
  // A switcher names its cameras; it finds them through the scene.
  if (auto* switcher = dynamic_cast<VCameraSwitcher*>(raw)) {
    switcher->SetResolver([this](const std::string& name) -> VObject* { return Find(name); });
  }
  objects_.push_back(std::move(object));
  raw->AddListener(&name_watch_);
  return raw;
}

bool VScene::NameWatch::PlugNotify(int code, VPlug* origin, void* data) {
  if (code == kPlugNotifyRenameDone && data) scene_.Renamed(origin, *static_cast<const VRenameData*>(data));
  return true;
}

void VScene::Renamed(VPlug* origin, const VRenameData& names) {
  // The objects' own renames only: their properties' and sub-objects' reach
  // the watch too, handed on by the object that owns them.
  auto it = std::find_if(objects_.begin(), objects_.end(),
                         [origin](const std::unique_ptr<VSceneObject>& o) { return o.get() == origin; });
  if (it == objects_.end()) return;
  VSceneObject* object = it->get();
  const std::string old_name = VObject::MakeFullName(object->GetTypeName(), names.oldName);
  auto named = by_name_.find(old_name);
  if (named != by_name_.end() && named->second == object) {
    by_name_.erase(named);
    // Another object of the old name, if any, becomes the one found.
    for (const auto& other : objects_) {
      if (other.get() != object && other->GetFullName() == old_name) {
        by_name_.emplace(old_name, other.get());
        break;
      }
    }
  }
  by_name_.emplace(object->GetFullName(), object);  // a holder of the name stays
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

namespace {

// Whether full_name is type + "::" + name, without making the full name:
// every object read or added is looked for among the producer cameras.
bool IsFullName(const std::string& full_name, const std::string& type, const std::string& name) {
  return full_name.size() == type.size() + 2 + name.size() && full_name.compare(0, type.size(), type) == 0 &&
         full_name.compare(type.size(), 2, "::") == 0 && full_name.compare(type.size() + 2, name.size(), name) == 0;
}

}  // namespace

VSceneObject* VScene::FindSystemCamera(const std::string& full_name) const {
  for (const auto& camera : system_cameras_) {
    if (IsFullName(full_name, camera->GetTypeName(), camera->GetName())) return camera.get();
  }
  return nullptr;
}

bool VScene::IsSystemCameraName(const std::string& full_name) {
  static const std::vector<std::string> kFullNames = [] {
    std::vector<std::string> names;
    for (const char* name : kSystemCameras) names.push_back(VObject::MakeFullName("Model", name));
    return names;
  }();
  for (const std::string& name : kFullNames) {
    if (full_name == name) return true;
  }
  return false;
}
