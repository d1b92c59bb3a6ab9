#include "sdk/yr_zyn_file_summary.h"

#include <vector>

#include "document/load_options.h"
#include "document/scene_reader.h"
#include "scene/camera.h"
#include "scene/scene.h"
#include "zynfile/zyn_file.h"
#include "sdk/bridge/yr_time_convert.h"

namespace YrSDK {

struct YrZynFileSummary::State {
  VZynFile file;
  bool open = false;
  std::unique_ptr<VScene> scene;  // made by ReadScene
  bool scene_read = false;
  bool takes_read = false;
  std::vector<VTimeSpan> takes;
};

namespace {

// The local spans of the "Takes" block of a document summary, where the
// file object stands in the block that holds it.
void ReadSummaryTakes(VZynFile& file, std::vector<VTimeSpan>* takes) {
  if (!file.FieldReadBegin("Takes")) return;
  if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
    for (int i = 0; file.FieldReadBegin("Take", i) && !file.HasError(); ++i) {
      VTime start, stop;
      if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
        if (file.FieldReadBegin("LocalTime")) {
          file.FieldReadTS(&start, &stop);
          file.FieldReadEnd();
        }
        file.FieldReadBlockEnd();
      }
      takes->emplace_back(start, stop);
      file.FieldReadEnd();
    }
    file.FieldReadBlockEnd();
  }
  file.FieldReadEnd();
}

// The takes listed by the last extension section that holds a document
// summary; false when no section has one.
bool ReadDocumentSummaryTakes(VZynFile& file, std::vector<VTimeSpan>* takes) {
  for (int s = file.SectionCount(); s >= 1; --s) {
    if (!file.OpenSection(s)) {
      file.ClearError();
      continue;
    }
    const bool found = file.FieldReadBegin("Summary") && file.FieldReadIsBlock() && file.FieldReadBlockBegin();
    if (found) {
      ReadSummaryTakes(file, takes);
      file.FieldReadBlockEnd();
    }
    const bool ok = !file.HasError();
    file.CloseSection();
    file.ClearError();
    if (found) {
      if (!ok) takes->clear();
      return ok;
    }
  }
  return false;
}

}  // namespace

YrZynFileSummary::YrZynFileSummary() : state_(std::make_unique<State>()) {}
YrZynFileSummary::~YrZynFileSummary() = default;

bool YrZynFileSummary::Open(const std::string& path) {
  Close();
  // The password check would read the whole of a protected file; the
  // header alone is wanted here.
  state_->open = state_->file.OpenFile(path, true, false, false);
  return state_->open;
}

bool YrZynFileSummary::Open(const void* bytes, size_t size) {
  Close();
  state_->open = bytes != nullptr && state_->file.OpenFromMemory(bytes, size, true, false, false);
  return state_->open;
}

void YrZynFileSummary::Close() { state_ = std::make_unique<State>(); }

bool YrZynFileSummary::IsOpen() const { return state_->open; }

bool YrZynFileSummary::HasHeaderCameraResolution() const { return state_->open && state_->file.Header().has_camera; }

const std::string& YrZynFileSummary::GetHeaderResolutionMode() const { return state_->file.Header().resolution_mode; }

double YrZynFileSummary::GetHeaderResolutionW() const { return state_->file.Header().resolution_w; }

double YrZynFileSummary::GetHeaderResolutionH() const { return state_->file.Header().resolution_h; }

bool YrZynFileSummary::ReadScene() {
  State& s = *state_;
  if (s.scene_read || !s.open) return s.scene != nullptr;
  s.scene_read = true;
  if (s.file.OpenSectionIndex() >= 0) s.file.CloseSection();
  s.file.ClearError();
  auto scene = std::make_unique<VScene>();
  VZynLoadOptions options;
  options.models_animation = false;  // the takes' spans are enough
  std::string message;
  if (!VZynSceneReader(s.file, *scene, options, nullptr).Read(&message)) return false;
  s.scene = std::move(scene);
  return true;
}

bool YrZynFileSummary::GetDefaultCameraResolution(int* mode, double* width, double* height) const {
  const VScene* scene = state_->scene.get();
  if (scene == nullptr) return false;
  const std::string& name = scene->settings().default_camera;
  VSceneObject* object = scene->Find(name);
  if (object == nullptr) object = scene->FindSystemCamera(name);
  const auto* camera = dynamic_cast<const VCamera*>(object);
  if (camera == nullptr) return false;
  *mode = camera->mResolutionMode->GetIntValue();
  *width = camera->mAspectW->GetDoubleValue();
  *height = camera->mAspectH->GetDoubleValue();
  return true;
}

void YrZynFileSummary::ReadTakes() {
  State& s = *state_;
  if (s.takes_read || !s.open) return;
  s.takes_read = true;
  if (s.scene == nullptr && ReadDocumentSummaryTakes(s.file, &s.takes)) return;
  s.takes.clear();
  if (!ReadScene()) return;
  const VTakeList& list = s.scene->takes();
  for (int i = 0; i < list.GetCount(); ++i) s.takes.push_back(list.Get(i)->local_span);
}

int YrZynFileSummary::GetTakeCount() {
  ReadTakes();
  return static_cast<int>(state_->takes.size());
}

YrTimeSpan YrZynFileSummary::GetTakeLocalSpan(int index) {
  ReadTakes();
  if (index < 0 || index >= static_cast<int>(state_->takes.size())) return YrTimeSpan();
  const VTimeSpan& span = state_->takes[static_cast<size_t>(index)];
  return FromEngineSpan(span);
}

}  // namespace YrSDK
