#include "sdk/yr_system.h"

#include "scene/device_set.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/bridge/yr_time_convert.h"

namespace YrSDK {

YrSystem::YrSystem() : scene_(YrKernelObjects::GetScene()) {}

int YrSystem::GetTakeCount() const { return scene_ ? scene_->takes().GetCount() : 0; }
YrTake YrSystem::GetTake(int index) const { return YrTake(scene_ ? scene_->takes().Get(index) : nullptr); }
YrTake YrSystem::FindTake(const std::string& name) const {
  return YrTake(scene_ ? scene_->takes().Find(name) : nullptr);
}
YrTake YrSystem::GetCurrentTake() const { return YrTake(scene_ ? scene_->takes().Current() : nullptr); }

bool YrSystem::SetCurrentTake(const YrTake& take) {
  if (!scene_) return false;
  scene_->takes().SetCurrent(YrEngineHandles::Take(take));
  return scene_->takes().Current() == YrEngineHandles::Take(take);
}

std::vector<YrComponent> YrSystem::GetModels() const {
  std::vector<YrComponent> models;
  if (!scene_) return models;
  for (const auto& object : scene_->objects()) {
    if (object->GetTypeName() == "Model") models.emplace_back(object.get());
  }
  return models;
}

std::vector<YrComponent> YrSystem::GetCameras() const {
  std::vector<YrComponent> cameras;
  if (!scene_) return cameras;
  for (const auto& camera : scene_->system_cameras()) cameras.emplace_back(camera.get());
  for (const auto& object : scene_->objects()) {
    if (object->GetTypeName() == "Model" && object->GetSubtype() == "Camera") cameras.emplace_back(object.get());
  }
  return cameras;
}

std::vector<YrComponent> YrSystem::GetLights() const {
  std::vector<YrComponent> lights;
  if (!scene_) return lights;
  for (const auto& object : scene_->objects()) {
    if (object->GetTypeName() == "Model" && object->GetSubtype() == "Light") lights.emplace_back(object.get());
  }
  return lights;
}

YrComponent YrSystem::FindModel(const std::string& full_name) const {
  return YrComponent(scene_ ? scene_->Find(full_name) : nullptr);
}

namespace {

const VAudioClip* ClipAt(const VScene* scene, int index) {
  if (!scene || index < 0 || static_cast<size_t>(index) >= scene->audio_clips().size()) return nullptr;
  return &scene->audio_clips()[static_cast<size_t>(index)];
}

}  // namespace

int YrSystem::GetAudioClipCount() const { return scene_ ? static_cast<int>(scene_->audio_clips().size()) : 0; }

YrAudioClip YrSystem::GetAudioClip(int index) const {
  YrAudioClip out;
  if (const VAudioClip* clip = ClipAt(scene_, index)) {
    out.name = clip->name;
    out.path = clip->file_name;
    out.relative_path = clip->relative_file_name;
    out.start = FromEngineTime(clip->start);
  }
  return out;
}

std::string YrSystem::FindAudioClipFile(int index, const std::string& scene_file_path) const {
  const VAudioClip* clip = ClipAt(scene_, index);
  return clip ? clip->FindFile(scene_file_path) : std::string();
}

bool YrSystem::RemoveAudioClip(int index) {
  if (!ClipAt(scene_, index)) return false;
  scene_->audio_clips().erase(scene_->audio_clips().begin() + index);
  return true;
}

int YrSystem::GetDeviceCount() const {
  VDeviceSet* devices = scene_ ? YrKernelObjects::GetDevices() : nullptr;
  return devices ? devices->GetCount() : 0;
}

YrDevice YrSystem::GetDevice(int index) const {
  VDeviceSet* devices = scene_ ? YrKernelObjects::GetDevices() : nullptr;
  return YrDevice(devices ? devices->Get(index) : nullptr);
}

YrDevice YrSystem::CreateDevice(const std::string& kind, const std::string& name) {
  VDeviceSet* devices = scene_ ? YrKernelObjects::GetDevices() : nullptr;
  return YrDevice(devices ? devices->Create(kind, name) : nullptr);
}

bool YrSystem::RemoveDevice(const YrDevice& device) {
  VDeviceSet* devices = scene_ ? YrKernelObjects::GetDevices() : nullptr;
  return devices && devices->Remove(YrEngineHandles::Device(device));
}

YrRenderer YrSystem::GetRenderer() const { return YrRenderer(scene_ ? YrKernelObjects::GetRenderer() : nullptr); }

}  // namespace YrSDK
