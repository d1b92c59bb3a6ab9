#include "document/scene_writer.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "animation/take_io.h"
#include "core/progress.h"
#include "core/property.h"
#include "core/time_mode.h"
#include "document/audio_media.h"
#include "scene/camera.h"
#include "scene/object_factories.h"
#include "scene/scene.h"
#include "zynfile/zyn_file.h"

bool VZynHeaderCameraOf(const VScene& scene, VZynHeaderCamera* out) {
  const std::string& name = scene.settings().default_camera;
  VSceneObject* object = scene.Find(name);
  if (object == nullptr) object = scene.FindSystemCamera(name);
  const auto* camera = dynamic_cast<const VCamera*>(object);
  if (camera == nullptr) return false;
  out->name = name;
  // A number outside the mode names (a hostile file's) sizes a track as
  // "Window Size" does, so the header says that rather than nothing.
  out->mode = camera->mResolutionMode->GetEnumItem(camera->mResolutionMode->GetIntValue());
  if (out->mode.empty()) out->mode = camera->mResolutionMode->GetEnumItem(0);
  out->width = camera->mAspectW->GetDoubleValue();
  out->height = camera->mAspectH->GetDoubleValue();
  return true;
}

namespace {

using ObjectList = std::vector<const VSceneObject*>;

// Every object to write, type by type in the document's order.
ObjectList CollectObjects(const VScene& scene) {
  ObjectList all;
  for (int t = 0; t < kVSceneObjectTypeCount; ++t) {
    const std::string type = kVSceneObjectTypes[t];
    if (type == "Model") {
      for (const auto& camera : scene.system_cameras()) all.push_back(camera.get());
    }
    for (const auto& object : scene.objects()) {
      if (object->GetTypeName() == type) all.push_back(object.get());
    }
  }
  return all;
}

// The object a plug stands for among those written: itself, or the owner
// of a property.
const VSceneObject* WrittenOwner(const VPlug* plug, const std::unordered_map<const VPlug*, int>& index) {
  if (index.count(plug)) return static_cast<const VSceneObject*>(plug);
  const VPlug* owner = plug->GetOwner();
  if (owner && index.count(owner)) return static_cast<const VSceneObject*>(owner);
  return nullptr;
}

// Relations are written so that an object comes after every object it is
// connected to: the first object (in list order) that has a source after it
// gets the earliest such source moved in front of it, and the search starts
// again; at most one move per object (plus one) is made, which bounds cycles.
//
// Objects before the first such object never gain a later source (moves only
// reorder what follows them), so the search resumes where it stopped: the
// order is built front to back, the object under examination on top of a
// stack of the objects moved in front of one another, the untouched ones
// after them in list order. Linear in the objects and their connections.
ObjectList OrderForRelations(const ObjectList& list) {
  const size_t n = list.size();
  std::unordered_map<const VPlug*, size_t> at;
  at.reserve(n);
  for (size_t i = 0; i < n; ++i) at.emplace(list[i], i);
  enum State : unsigned char { kUntouched, kStacked, kPlaced };
  std::vector<State> state(n, kUntouched);
  std::vector<size_t> stack;          // list indices; the back is examined
  std::vector<size_t> stack_slot(n);  // where a stacked object stands
  ObjectList out;
  out.reserve(n);
  size_t next_untouched = 0;
  size_t moves_left = n + 1;
  auto push = [&](size_t i) {
    state[i] = kStacked;
    stack_slot[i] = stack.size();
    stack.push_back(i);
  };
  for (;;) {
    if (stack.empty()) {
      while (next_untouched < n && state[next_untouched] != kUntouched) ++next_untouched;
      if (next_untouched == n) break;
      push(next_untouched);
    }
    const size_t x = stack.back();
    // The earliest source after x: stacked ones stand before the untouched,
    // the nearer the top the earlier.
    bool found = false;
    size_t best = 0;
    bool best_stacked = false;
    const VSceneObject* object = list[x];
    for (int k = 0; k < object->GetSrcCount(); ++k) {
      auto it = at.find(object->GetSrc(k));
      if (it == at.end() || it->second == x) continue;
      const size_t y = it->second;
      if (state[y] == kStacked) {
        if (!best_stacked || stack_slot[y] > stack_slot[best]) best = y;
        best_stacked = true;
        found = true;
      } else if (state[y] == kUntouched && !best_stacked) {
        if (!found || y < best) best = y;
        found = true;
      }
    }
    if (found && moves_left > 0) {
      --moves_left;
      if (best_stacked) {
        stack.erase(stack.begin() + static_cast<std::ptrdiff_t>(stack_slot[best]));
        for (size_t s = stack_slot[best]; s < stack.size(); ++s) stack_slot[stack[s]] = s;
      }
      push(best);
      continue;
    }
    if (found) break;  // out of moves: the rest stays as it stands
    stack.pop_back();
    state[x] = kPlaced;
    out.push_back(list[x]);
  }
  for (size_t s = stack.size(); s-- > 0;) out.push_back(list[stack[s]]);
  for (size_t i = next_untouched; i < n; ++i)
    if (state[i] == kUntouched) out.push_back(list[i]);
  return out;
}

void WriteDoubles(VZynFile& file, const char* name, const double* values, size_t n) {
  file.FieldWriteBegin(name);
  file.FieldWriteDn(values, n);
  file.FieldWriteEnd();
}

void WriteObjectHeader(VZynFile& file, const VSceneObject& object) {
  file.FieldWriteBegin(object.GetTypeName().c_str());
  file.FieldWriteC(object.GetFullName());
  file.FieldWriteC(object.GetSubtype());
}

}  // namespace

void VZynSceneWriter::Report(const std::string& text) {
  if (progress_) progress_->SetText(text);
}

void VZynSceneWriter::Comment(const char* title) {
  if (file_.IsBinary()) return;
  file_.WriteComment("");
  file_.WriteComment((std::string(" ") + title).c_str());
  file_.WriteComment(std::string(66, '-').c_str());
  file_.WriteComment("");
}

bool VZynSceneWriter::Write(std::string* message) {
  if (progress_) progress_->SetTitle("Morvane Zyn file");
  Report("Parsing file");
  ObjectList objects = CollectObjects(scene_);
  std::unordered_map<const VPlug*, int> index;
  for (size_t i = 0; i < objects.size(); ++i) index.emplace(objects[i], static_cast<int>(i));

  Comment("Object definitions");
  file_.FieldWriteBlockBegin("Definitions");
  file_.FieldWriteI("Version", 100);
  file_.FieldWriteI("Count", static_cast<int32_t>(objects.size()));
  for (int t = 0; t < kVSceneObjectTypeCount; ++t) {
    int count = static_cast<int>(std::count_if(objects.begin(), objects.end(), [t](const VSceneObject* o) {
      return o->GetTypeName() == kVSceneObjectTypes[t];
    }));
    if (count == 0) continue;
    file_.FieldWriteBegin("ObjectType");
    file_.FieldWriteC(kVSceneObjectTypes[t]);
    file_.FieldWriteBlockBegin();
    file_.FieldWriteI("Count", count);
    file_.FieldWriteBlockEnd();
    file_.FieldWriteEnd();
  }
  file_.FieldWriteBlockEnd();
  file_.FieldWriteEnd();

  Comment("Object properties");
  file_.FieldWriteBlockBegin("Objects");
  for (size_t i = 0; i < objects.size(); ++i) {
    const VSceneObject& object = *objects[i];
    Report("Storing object " + object.GetFullName());
    if (progress_) progress_->SetPercent(static_cast<int>(i * 100 / objects.size()));
    WriteObjectHeader(file_, object);
    file_.FieldWriteBlockBegin();
    if (!object.GetSubtype().empty()) file_.FieldWriteC("Type", object.GetSubtype());
    object.Store(file_, kVZynModeProperties);
    file_.FieldWriteBlockEnd();
    file_.FieldWriteEnd();
  }
  file_.FieldWriteBlockEnd();
  file_.FieldWriteEnd();

  Comment("Object relations");
  file_.FieldWriteBlockBegin("Relations");
  for (const VSceneObject* object : OrderForRelations(objects)) {
    WriteObjectHeader(file_, *object);
    file_.FieldWriteBlockBegin();
    object->Store(file_, kVZynModeRelations);
    file_.FieldWriteBlockEnd();
    file_.FieldWriteEnd();
  }
  file_.FieldWriteBlockEnd();
  file_.FieldWriteEnd();

  Comment("Object data");
  file_.FieldWriteBlockBegin("ObjectData");
  for (const VSceneObject* object : objects) {
    if (!object->HasBulkData()) continue;
    WriteObjectHeader(file_, *object);
    file_.FieldWriteBlockBegin();
    object->Store(file_, kVZynModeData);
    file_.FieldWriteBlockEnd();
    file_.FieldWriteEnd();
  }
  file_.FieldWriteBlockEnd();
  file_.FieldWriteEnd();

  Comment("Object connections");
  file_.FieldWriteBlockBegin("Connections");
  auto write_source = [this, &index](const VPlug* source, const VSceneObject& object, const VProperty* property) {
    const VSceneObject* owner = WrittenOwner(source, index);
    if (!owner) return;
    bool source_is_object = owner == source;
    file_.FieldWriteBegin("Connect");
    file_.FieldWriteC(source_is_object ? (property ? "OP" : "OO") : (property ? "PP" : "PO"));
    file_.FieldWriteC(owner->GetFullName());
    if (!source_is_object) file_.FieldWriteC(static_cast<const VProperty*>(source)->GetName());
    file_.FieldWriteC(object.GetFullName());
    if (property) file_.FieldWriteC(property->GetName());
    file_.FieldWriteEnd();
  };
  for (const VSceneObject* object : objects) {
    for (int i = 0; i < object->GetSrcCount(); ++i) write_source(object->GetSrc(i), *object, nullptr);
    for (int p = 0; p < object->GetPropertyCount(); ++p) {
      // A property not made has no connections.
      const VProperty* property = object->GetPropertyIfMade(p);
      if (!property) continue;
      for (int i = 0; i < property->GetSrcCount(); ++i) write_source(property->GetSrc(i), *object, property);
    }
  }
  file_.FieldWriteBlockEnd();
  file_.FieldWriteEnd();

  Comment("Version 5 settings");
  file_.FieldWriteBlockBegin("Version5");
  const VSceneSettings& s = scene_.settings();
  file_.FieldWriteBlockBegin("AmbientRenderSettings");
  file_.FieldWriteI("Version", 101);
  WriteDoubles(file_, "AmbientLightColor", s.ambient_color, 4);
  file_.FieldWriteBlockEnd();
  file_.FieldWriteEnd();
  file_.FieldWriteBlockBegin("FogOptions");
  file_.FieldWriteI("FlogEnable", s.fog_enable);
  file_.FieldWriteI("FogMode", s.fog_mode);
  file_.FieldWriteD("FogDensity", s.fog_density);
  file_.FieldWriteD("FogStart", s.fog_start);
  file_.FieldWriteD("FogEnd", s.fog_end);
  WriteDoubles(file_, "FogColor", s.fog_color, 4);
  file_.FieldWriteBlockEnd();
  file_.FieldWriteEnd();
  file_.FieldWriteBlockBegin("RendererSetting");
  file_.FieldWriteC("DefaultCamera", s.default_camera);
  file_.FieldWriteI("DefaultViewingMode", s.default_viewing_mode);
  file_.FieldWriteBlockEnd();
  file_.FieldWriteEnd();
  Report("Storing devices");
  Report("Storing 3d icons");
  Report("Storing constraints");
  file_.FieldWriteBlockBegin("Settings");
  file_.FieldWriteI("TimeMode", VTimeModePublicNumber(s.time_mode));
  file_.FieldWriteI("TimeFormat", s.time_format);
  file_.FieldWriteC("FrameRate", std::string(VTimeModeShortName(s.time_mode)));
  file_.FieldWriteI("SnapOnFrames", s.snap_on_frames);
  file_.FieldWriteI("ReferenceTimeIndex", s.reference_time_index);
  for (const VTimeMarker& marker : s.markers) {
    file_.FieldWriteBegin("TimeMarker");
    file_.FieldWriteC(marker.name);
    file_.FieldWriteBlockBegin();
    file_.FieldWriteT("Time", marker.time);
    file_.FieldWriteI("Loop", marker.loop);
    file_.FieldWriteBlockEnd();
    file_.FieldWriteEnd();
  }
  file_.FieldWriteBlockEnd();
  file_.FieldWriteEnd();
  VZynWriteAudioMedia(file_, scene_);
  Report("Storing takes");
  VTakesStore(file_, scene_.takes(), progress_);
  file_.FieldWriteBlockEnd();
  file_.FieldWriteEnd();
  if (progress_) progress_->SetPercent(100);
  if (file_.HasError()) {
    *message = file_.GetErrorMessage();
    return false;
  }
  return true;
}
