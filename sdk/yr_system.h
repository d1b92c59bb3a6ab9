#pragma once
// YrSystem: the running engine's scene as the public interface sees it:
// its takes and current take, models, cameras and lights.

#include <string>
#include <vector>

#include "sdk/yr_component.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_take.h"

class VScene;

namespace YrSDK {

class YrSystem {
 public:
  YrSystem();  // over the running engine's scene
  bool IsValid() const { return scene_ != nullptr; }
  VScene* GetScene() const { return scene_; }

  int GetTakeCount() const;
  YrTake GetTake(int index) const;
  YrTake FindTake(const std::string& name) const;
  YrTake GetCurrentTake() const;
  bool SetCurrentTake(const YrTake& take);

  // Every model of the scene (the producer cameras not included).
  std::vector<YrComponent> GetModels() const;
  // Models of the "Camera" subtype, producer cameras first; "Light" models.
  std::vector<YrComponent> GetCameras() const;
  std::vector<YrComponent> GetLights() const;
  YrComponent FindModel(const std::string& full_name) const;

  // The engine's renderer, drawing this scene.
  YrRenderer GetRenderer() const;

 private:
  VScene* scene_ = nullptr;
};

}  // namespace YrSDK
