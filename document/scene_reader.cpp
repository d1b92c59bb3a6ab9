#include "document/scene_reader.h"

#include <strings.h>

#include <memory>

#include "animation/take_io.h"
#include "core/class_registry.h"
#include "core/progress.h"
#include "core/property.h"
#include "core/time_mode.h"
#include "document/audio_media.h"
#include "scene/object_factories.h"
#include "scene/scene.h"
#include "zynfile/field_block.h"
#include "zynfile/zyn_file.h"

namespace {

std::string NamePart(const std::string& full_name) {
  size_t split = full_name.find("::");
  return split == std::string::npos ? full_name : full_name.substr(split + 2);
}

}  // namespace

void VZynSceneReader::Report(const std::string& text) {
  if (!progress_) return;
  progress_->SetText(text);
  progress_->SetPercent(VProgressPercent(objects_done_, total_objects_));
}

bool VZynSceneReader::Read(std::string* message) {
  if (progress_) progress_->SetTitle("Morvane Zyn file");
  if (file_.OpenSectionIndex() < 0 && !file_.OpenSection(0)) {
    *message = file_.IsProtected() && options_.password.empty() ? "ZYN file is password protected"
                                                                  : file_.GetErrorMessage();
    return false;
  }
  if (file_.SectionVersion(0) < 3000) {
    *message = "File is too old, please use Velmoor 5.5 to upgrade the file";
    return false;
  }
  VSceneRegisterObjectFactories();
  bool version6 = file_.FieldReadBegin("Definitions");
  if (version6) {
    file_.FieldReadEnd();
    ReadDefinitions();
    ReadObjects();
    ReadObjectSection("Relations", kVZynModeRelations);
    ReadConnections();
    ReadObjectSection("ObjectData", kVZynModeData);
    ReadSceneSettings();  // older files keep these at the top level
    VZynReadAudioMedia(file_, scene_);
    VZynReadFieldBlock(file_, "Version5", [this] { ReadVersion5Settings(); });
  } else {
    ReadVersion5Settings();  // the version 5 layout: all at the top level
  }
  if (VProgressCancelled(progress_)) {
    *message = "Loading was cancelled";
    return false;
  }
  if (file_.HasError()) {
    *message = file_.GetErrorMessage();
    return false;
  }
  return true;
}

void VZynSceneReader::ReadDefinitions() {
  VZynReadFieldBlock(file_, "Definitions", [this] { total_objects_ = file_.FieldReadI("Count", 0); });
}

void VZynSceneReader::ReadObjects() {
  VZynReadFieldBlock(file_, "Objects", [this] {
    for (int t = 0; t < kVSceneObjectTypeCount; ++t) {
      const std::string type = kVSceneObjectTypes[t];
      if (!VClassRegistry::Instance().HasCreator("ZynStorable/" + type)) continue;
      for (int i = 0; file_.FieldReadBegin(type.c_str(), i); ++i) {
        std::string full_name = file_.FieldReadC();
        std::string subtype = file_.FieldReadC();
        if (subtype.empty()) subtype = "Default";
        ++objects_done_;
        bool system_camera = VScene::IsSystemCameraName(full_name);
        bool skip = (system_camera && !options_.load_default_camera_settings) ||
                    (full_name == "Model::Global Light" && !options_.load_global_lighting_settings) ||
                    (type == "Model" && !options_.models);
        VSceneObject* object = nullptr;
        if (!skip) {
          // Bind poses are always new; anything else already in the scene is reused.
          bool bind_pose = strcasecmp(subtype.c_str(), "BindPose") == 0;
          if (!bind_pose) object = scene_.Find(full_name);
          if (!object) {
            std::unique_ptr<VObject> made =
                VClassRegistry::Instance().Create("ZynStorable/" + type, NamePart(full_name), subtype);
            auto* scene_object = dynamic_cast<VSceneObject*>(made.get());
            if (scene_object) {
              made.release();
              object = scene_.Add(std::unique_ptr<VSceneObject>(scene_object), bind_pose);
            }
          }
        }
        if (object && file_.FieldReadIsBlock() && file_.FieldReadBlockBegin()) {
          object->Retrieve(file_, kVZynModeProperties | kVZynModeRetrieving);
          file_.FieldReadBlockEnd();
        }
        if (progress_) Report("Retrieving " + type + " " + NamePart(full_name));
        file_.FieldReadEnd();
        if (file_.HasError() || VProgressCancelled(progress_)) return;
      }
    }
  });
}

// "Relations" and "ObjectData": each field finds its object by full name.
void VZynSceneReader::ReadObjectSection(const char* section, int mode) {
  VZynReadFieldBlock(file_, section, [this, mode] {
    int count = file_.FieldReadOccurrenceCount();
    for (int k = 0; k < count && file_.FieldReadBeginOccurrence(k); ++k) {
      VSceneObject* object = scene_.Find(file_.FieldReadC());
      if (object && file_.FieldReadIsBlock() && file_.FieldReadBlockBegin()) {
        object->Retrieve(file_, mode | kVZynModeRetrieving);
        file_.FieldReadBlockEnd();
      }
      if (file_.HasError() || VProgressCancelled(progress_)) return;
    }
  });
}

void VZynSceneReader::ReadConnections() {
  VZynReadFieldBlock(file_, "Connections", [this] {
    for (int i = 0; file_.FieldReadBegin("Connect", i); ++i) {
      std::string kind = file_.FieldReadC();
      VPlug* src = nullptr;
      VPlug* dst = nullptr;
      auto object = [this](const std::string& name) -> VObject* { return scene_.Find(name); };
      auto property = [this](const std::string& owner, const std::string& name) -> VPlug* {
        VObject* o = scene_.Find(owner);
        return o ? o->FindProperty(name) : nullptr;
      };
      if (kind == "OO") {
        src = object(file_.FieldReadC());
        dst = object(file_.FieldReadC());
      } else if (kind == "OP") {
        src = object(file_.FieldReadC());
        std::string owner = file_.FieldReadC();
        dst = property(owner, file_.FieldReadC());
      } else if (kind == "PO") {
        std::string owner = file_.FieldReadC();
        src = property(owner, file_.FieldReadC());
        dst = object(file_.FieldReadC());
      } else if (kind == "PP") {
        std::string src_owner = file_.FieldReadC();
        src = property(src_owner, file_.FieldReadC());
        std::string dst_owner = file_.FieldReadC();
        dst = property(dst_owner, file_.FieldReadC());
      }
      // Records naming what the scene lacks are skipped.
      if (src && dst) dst->ConnectSrc(src);
      file_.FieldReadEnd();
    }
  });
}

// Renderer, ambient and fog settings: inside "Version5", or at the top level
// of older files.
void VZynSceneReader::ReadSceneSettings() {
  VSceneSettings& s = scene_.settings();
  VZynReadFieldBlock(file_, "AmbientRenderSettings", [&] {
    double fallback[4] = {s.ambient_color[0], s.ambient_color[1], s.ambient_color[2], s.ambient_color[3]};
    file_.FieldReadFn("AmbientLightColor", s.ambient_color, 4, fallback);
  });
  VZynReadFieldBlock(file_, "FogOptions", [&] {
    s.fog_enable = file_.FieldReadI("FlogEnable", s.fog_enable);
    s.fog_mode = file_.FieldReadI("FogMode", s.fog_mode);
    s.fog_density = file_.FieldReadD("FogDensity", s.fog_density);
    s.fog_start = file_.FieldReadD("FogStart", s.fog_start);
    s.fog_end = file_.FieldReadD("FogEnd", s.fog_end);
    double fallback[4] = {s.fog_color[0], s.fog_color[1], s.fog_color[2], s.fog_color[3]};
    file_.FieldReadFn("FogColor", s.fog_color, 4, fallback);
  });
  VZynReadFieldBlock(file_, "RendererSetting", [&] {
    if (options_.load_default_camera_settings) s.default_camera = file_.FieldReadC("DefaultCamera", s.default_camera);
    s.default_viewing_mode = file_.FieldReadI("DefaultViewingMode", s.default_viewing_mode);
  });
}

void VZynSceneReader::ReadSettings() {
  VSceneSettings& s = scene_.settings();
  // Version 5 files keep the producer cameras' records here.
  for (int i = 0; file_.FieldReadBegin("Camera", i); ++i) {
    std::string name = file_.FieldReadC();
    if (name.rfind("Model::", 0) != 0) name = "Model::" + name;
    VSceneObject* camera = options_.load_default_camera_settings ? scene_.FindSystemCamera(name) : nullptr;
    if (camera && file_.FieldReadIsBlock() && file_.FieldReadBlockBegin()) {
      camera->Retrieve(file_, kVZynModeProperties | kVZynModeRetrieving);
      file_.FieldReadBlockEnd();
    }
    file_.FieldReadEnd();
  }
  for (int i = 0; file_.FieldReadBegin("TimeMarker", i); ++i) {
    VTimeMarker marker;
    marker.name = file_.FieldReadC();
    if (file_.FieldReadIsBlock() && file_.FieldReadBlockBegin()) {
      marker.time = file_.FieldReadT("Time", VTime(0));
      marker.loop = file_.FieldReadI("Loop", 0);
      file_.FieldReadBlockEnd();
    }
    bool known = false;
    for (const VTimeMarker& m : s.markers) known = known || (m.name == marker.name && m.time == marker.time);
    if (!known) s.markers.push_back(marker);
    file_.FieldReadEnd();
  }
  if (!options_.load_settings) return;
  s.frame_rate = file_.FieldReadC("FrameRate", s.frame_rate);
  // The frame rate is stored as a mode name; the mode as a public number.
  int mode = file_.FieldReadI("TimeMode", 0);
  int by_name = s.frame_rate.empty() ? 0 : VTimeModeOfName(s.frame_rate);
  if (mode > 0) s.time_mode = VTimeModeOfPublicNumber(mode);
  else if (by_name > 0) s.time_mode = by_name;
  if (options_.load_time_format_settings) s.time_format = file_.FieldReadI("TimeFormat", s.time_format);
  s.snap_on_frames = file_.FieldReadI("SnapOnFrames", s.snap_on_frames);
  s.reference_time_index = file_.FieldReadI("ReferenceTimeIndex", s.reference_time_index);
  VTimeSetDefaultMode(s.time_mode);
  if (options_.load_time_format_settings) VTimeSetDefaultFormat(s.time_format);
}

void VZynSceneReader::ReadVersion5Settings() {
  ReadSceneSettings();
  // Devices, 3D icons and constraints are not read (see load_options.h),
  // so no progress is reported for them.
  VZynReadFieldBlock(file_, "Settings", [this] { ReadSettings(); });
  VZynReadAudioMedia(file_, scene_);
  Report("Retrieving takes");
  VTakeReadOptions takes;
  takes.models_animation = options_.models_animation;
  takes.camera_switcher = options_.load_camera_switcher_settings;
  takes.has_model = [this](const std::string& full_name) { return scene_.Find(full_name) != nullptr; };
  takes.progress = progress_;
  VTakesRetrieve(file_, scene_.takes(), takes);
}
