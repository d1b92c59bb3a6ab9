#pragma once
// The scene: every object read from a file or made by the engine, found by
// full name ("Model::Cube"), plus the seven producer cameras that always
// exist, the scene-wide settings a file carries and its audio clips.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "animation/player_control.h"
#include "animation/take_list.h"
#include "core/plug.h"
#include "core/time.h"
#include "scene/audio_clip.h"
#include "scene/scene_object.h"

struct VTimeMarker {
  std::string name;
  VTime time;
  int loop = 0;
};

struct VSceneSettings {
  int time_mode = 6;
  int time_format = 1;
  std::string frame_rate;
  int snap_on_frames = 0;
  int reference_time_index = 0;
  std::vector<VTimeMarker> markers;
  // RendererSetting
  std::string default_camera = "Model::Producer Perspective";
  int default_viewing_mode = 0;
  // AmbientRenderSettings
  double ambient_color[4] = {0, 0, 0, 1};
  // FogOptions
  int fog_enable = 0;
  int fog_mode = 0;
  double fog_density = 0, fog_start = 0, fog_end = 0;
  double fog_color[4] = {1, 1, 1, 1};
  // AudioMedia: the delay of every clip's playback, seconds ("PlaybackDelay").
  double audio_playback_delay = 0.0;
};

class VScene {
 public:
  VScene();
  ~VScene();
  VScene(const VScene&) = delete;
  VScene& operator=(const VScene&) = delete;

  // Removes every object read or made; the producer cameras are reset.
  void Clear();

  // Takes the object; null when an object of the same full name exists,
  // unless duplicates are allowed (bind poses are always new): then Find
  // keeps answering the first one. The scene follows the objects' renames:
  // Find answers the new full name; an object that takes a name held by
  // another does not displace it, and when the object found under a name
  // leaves it, the first other object of that name (in the order added) is
  // found instead.
  VSceneObject* Add(std::unique_ptr<VSceneObject> object, bool allow_duplicate_name = false);
  bool Remove(VSceneObject* object);
  VSceneObject* Find(const std::string& full_name) const;

  // Objects in the order they were added (producer cameras not included).
  const std::vector<std::unique_ptr<VSceneObject>>& objects() const { return objects_; }
  // Producer cameras: "Model::Producer Perspective", "... Top", "... Bottom",
  // "... Front", "... Back", "... Right", "... Left".
  const std::vector<std::unique_ptr<VSceneObject>>& system_cameras() const { return system_cameras_; }
  VSceneObject* FindSystemCamera(const std::string& full_name) const;
  static bool IsSystemCameraName(const std::string& full_name);

  VSceneSettings& settings() { return settings_; }
  const VSceneSettings& settings() const { return settings_; }

  // The audio clips, in the file's order (emptied by Clear).
  std::vector<VAudioClip>& audio_clips() { return audio_clips_; }
  const std::vector<VAudioClip>& audio_clips() const { return audio_clips_; }

  // The takes; the current one feeds the animated properties, which read
  // at the player's current time.
  VTakeList& takes() { return takes_; }
  const VTakeList& takes() const { return takes_; }
  VPlayerControl& player() { return player_; }

 private:
  // Listens to every object added, to keep the name index right on renames.
  class NameWatch : public VPlug {
   public:
    explicit NameWatch(VScene& scene) : VPlug(0), scene_(scene) {}
    bool PlugNotify(int code, VPlug* origin, void* data) override;

   private:
    VScene& scene_;
  };

  void MakeSystemCameras();
  void Renamed(VPlug* origin, const VRenameData& names);

  void DropObjects();

  std::vector<std::unique_ptr<VSceneObject>> objects_;
  std::vector<std::unique_ptr<VSceneObject>> system_cameras_;
  std::unordered_map<std::string, VSceneObject*> by_name_;
  NameWatch name_watch_{*this};
  VSceneSettings settings_;
  std::vector<VAudioClip> audio_clips_;
  VPlayerControl player_;
  VTakeList takes_;  // after the objects: destroyed first, it unbinds its properties
};
