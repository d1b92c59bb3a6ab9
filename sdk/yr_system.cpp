#include "sdk/yr_system.h"

#include "scene/scene.h"
#include "sdk/yr_kernel.h"

namespace YrSDK {

YrSystem::YrSystem() : scene_(YrKernel::GetScene()) {}

int YrSystem::GetTakeCount() const { return scene_ ? scene_->takes().GetCount() : 0; }
YrTake YrSystem::GetTake(int index) const { return YrTake(scene_ ? scene_->takes().Get(index) : nullptr); }
YrTake YrSystem::FindTake(const std::string& name) const {
  return YrTake(scene_ ? scene_->takes().Find(name) : nullptr);
}
YrTake YrSystem::GetCurrentTake() const { return YrTake(scene_ ? scene_->takes().Current() : nullptr); }

bool YrSystem::SetCurrentTake(const YrTake& take) {
  if (!scene_) return false;
  scene_->takes().SetCurrent(take.GetTakePointer());
  return scene_->takes().Current() == take.GetTakePointer();
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

YrRenderer YrSystem::GetRenderer() const { return YrRenderer(scene_ ? YrKernel::GetRenderer() : nullptr); }

}  // namespace YrSDK
