#pragma once
// YrSystem: the running engine's scene as the public interface sees it:
// its takes and current take, models, cameras, lights and audio clips.

#include <string>
#include <vector>

#include "sdk/yr_audio_clip.h"
#include "sdk/yr_component.h"
#include "sdk/yr_device.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_take.h"

class VScene;

namespace YrSDK {

class YrSystem {
 public:
  YrSystem();  // over the running engine's scene
  bool IsValid() const { return scene_ != nullptr; }

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

  // The audio clips, in the scene file's order. A clip out of range is
  // empty (no name, no path, start 0).
  int GetAudioClipCount() const;
  YrAudioClip GetAudioClip(int index) const;
  // The clip's sound file: its absolute path when that file exists, else
  // its relative path joined with the folder of `scene_file_path` when
  // that one does; empty when neither exists.
  std::string FindAudioClipFile(int index, const std::string& scene_file_path) const;
  // Takes a clip out of the scene's list (once its sound plays elsewhere);
  // false when out of range.
  bool RemoveAudioClip(int index);

  // The system's devices (they outlive scene loads). CreateDevice makes one
  // of a known kind ("KeyboardTrigger"); an empty handle for another.
  int GetDeviceCount() const;
  YrDevice GetDevice(int index) const;
  YrDevice CreateDevice(const std::string& kind, const std::string& name);
  bool RemoveDevice(const YrDevice& device);

  // The engine's renderer, drawing this scene.
  YrRenderer GetRenderer() const;

 private:
  VScene* scene_ = nullptr;
};

}  // namespace YrSDK
