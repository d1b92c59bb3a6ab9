#include "sdk/yr_zyn_manager.h"

#include <sys/stat.h>

#include <cstdio>

#include "core/progress.h"
#include "core/property_type.h"
#include "core/settings_store.h"
#include "core/settings_value.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_event_registry.h"
#include "sdk/yr_kernel.h"
#include "document/document_summary.h"
#include "document/load_options.h"
#include "document/scene_reader.h"
#include "document/scene_writer.h"
#include "zynfile/zyn_file.h"

namespace YrSDK {
namespace {

struct BoolOption {
  const char* name;
  bool VZynLoadOptions::*field;
};

const BoolOption kBoolOptions[] = {
    {"Async", &VZynLoadOptions::async},
    {"Models", &VZynLoadOptions::models},
    {"ModelsMerge", &VZynLoadOptions::models_merge},
    {"ModelsAnimation", &VZynLoadOptions::models_animation},
    {"Devices", &VZynLoadOptions::devices},
    {"DevicesAnimation", &VZynLoadOptions::devices_animation},
    {"Constraints", &VZynLoadOptions::constraints},
    {"ConstraintsMerge", &VZynLoadOptions::constraints_merge},
    {"Selected", &VZynLoadOptions::selected},
    {"ClearBeforeLoad", &VZynLoadOptions::clear_before_load},
    {"LoadSettings", &VZynLoadOptions::load_settings},
    {"LoadTimeFormatSettings", &VZynLoadOptions::load_time_format_settings},
    {"LoadDefaultCameraSettings", &VZynLoadOptions::load_default_camera_settings},
    {"LoadCameraSwitcherSettings", &VZynLoadOptions::load_camera_switcher_settings},
    {"LoadGlobalLightingSettings", &VZynLoadOptions::load_global_lighting_settings},
};

std::string WithZynExtension(const std::string& path) {
  size_t dot = path.find_last_of('.');
  size_t slash = path.find_last_of('/');
  bool has = dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
             path.compare(dot, std::string::npos, ".zyn") == 0;
  return has ? path : path + ".zyn";
}

}  // namespace

// The reader's one progress path: to the caller's VProgress, to event 526,
// and back with the caller's cancel flag.
class YrZynManager::LoadProgress : public VProgress {
 public:
  LoadProgress(VProgress* forward, const std::atomic<bool>* cancel) : forward_(forward), cancel_(cancel) {}
  void SetTitle(const std::string& title) override {
    if (forward_) forward_->SetTitle(title);
  }
  void SetText(const std::string& text) override {
    text_ = text;
    if (forward_) forward_->SetText(text);
  }
  void SetPercent(int percent) override {
    if (forward_) forward_->SetPercent(percent);
    if (percent == last_percent_ || !YrEventRegistry::HasListeners(kYrEventLoadProgress)) return;
    last_percent_ = percent;
    YrEvent event;
    event.id = kYrEventLoadProgress;
    event.percent = percent;
    event.text = text_.c_str();
    YrEventRegistry::Fire(event);
  }
  bool IsCancelled() const override {
    return (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) || VProgressCancelled(forward_);
  }

 private:
  VProgress* forward_;
  const std::atomic<bool>* cancel_;
  std::string text_;
  int last_percent_ = -1;
};

YrZynManager::YrZynManager() : options_(std::make_unique<VObject>("ZynManager", "ZynManager")) {
  VZynLoadOptions defaults;
  for (const BoolOption& option : kBoolOptions) {
    VProperty* property = options_->CreateProperty(option.name, kPropertyTypeBool);
    if (property) property->SetInt(defaults.*option.field ? 1 : 0);
  }
  options_->CreateProperty("Password", kPropertyTypeString);
}

YrZynManager::~YrZynManager() {
  if (worker_.joinable()) worker_.join();
}

YrComponent YrZynManager::GetComponent() const { return YrComponent(options_.get()); }

VZynLoadOptions YrZynManager::ReadOptions() const {
  VZynLoadOptions options;
  for (const BoolOption& option : kBoolOptions) {
    if (VProperty* property = options_->FindProperty(option.name)) options.*option.field = property->GetIntValue() != 0;
  }
  if (VProperty* password = options_->FindProperty("Password")) options.password = password->GetText();
  return options;
}

bool YrZynManager::LoadBegin(const std::string& path) {
  if (worker_.joinable()) worker_.join();
  message_.clear();
  file_ = std::make_unique<VZynFile>();
  file_->SetPassword(ReadOptions().password);
  const bool opened = file_->OpenFile(path, true, true, false);
  protected_ = file_->IsProtected();
  if (!opened) {
    message_ = file_->GetErrorMessage();
    file_.reset();
    return false;
  }
  return true;
}

bool YrZynManager::LoadBegin(const void* bytes, size_t size) {
  if (worker_.joinable()) worker_.join();
  message_.clear();
  file_ = std::make_unique<VZynFile>();
  file_->SetPassword(ReadOptions().password);
  const bool opened = file_->OpenFromMemory(bytes, size, true, true, false);
  protected_ = file_->IsProtected();
  if (!opened) {
    message_ = file_->GetErrorMessage();
    file_.reset();
    return false;
  }
  return true;
}

bool YrZynManager::Load() {
  if (worker_.joinable()) worker_.join();
  VZynLoadOptions options = ReadOptions();
  if (!options.async || !file_) return RunLoad(options);
  running_.store(true, std::memory_order_release);
  worker_ = std::thread([this, options] { RunLoad(options); });
  return true;
}

// On the caller's thread or the worker's; nothing else touches the file,
// the message or the scene until running_ drops.
bool YrZynManager::RunLoad(const VZynLoadOptions& options) {
  VScene* scene = YrKernelObjects::GetScene();
  bool ok = false;
  if (!scene || !file_) {
    message_ = !scene ? "The engine is not started" : "No file is open";
  } else {
    if (options.clear_before_load) scene->Clear();
    LoadProgress progress(progress_, cancel_);
    VZynSceneReader reader(*file_, *scene, options, &progress);
    ok = reader.Read(&message_);
  }
  succeeded_.store(ok, std::memory_order_release);
  running_.store(false, std::memory_order_release);
  return ok;
}

bool YrZynManager::LoadEnd() {
  if (worker_.joinable()) worker_.join();
  if (file_) file_->CloseFile();
  file_.reset();
  return true;
}

bool YrZynManager::Clear() {
  if (worker_.joinable()) worker_.join();
  VScene* scene = YrKernelObjects::GetScene();
  if (scene) scene->Clear();
  return scene != nullptr;
}

bool YrZynManager::Save(const std::string& path, bool binary, const std::string& password) {
  if (worker_.joinable()) worker_.join();
  message_.clear();
  VScene* scene = YrKernelObjects::GetScene();
  if (!scene) {
    message_ = "The engine is not started";
    return false;
  }
  std::string target = path;
  std::string written = target;
  const bool use_temporary_files = UseTemporaryFiles();
  if (use_temporary_files) {
    std::string base = WithZynExtension(target);
    written = base.substr(0, base.size() - 4) + ".tmp";
  }
  VZynFile file;
  file.SetPassword(password);
  // The header carries the default camera's resolution: importers size
  // their tracks from it.
  VZynHeaderCamera camera;
  const bool has_camera = VZynHeaderCameraOf(*scene, &camera);
  if (has_camera) file.SetHeaderCamera(camera.mode, camera.width, camera.height);
  bool ok = file.CreateFile(written, binary, !password.empty(), has_camera ? camera.name : "");
  if (ok) {
    VZynSceneWriter writer(file, *scene, progress_);
    ok = writer.Write(&message_);
  }
  // Binary files describe themselves in a summary section (protected ones
  // keep everything behind their seal).
  if (ok && binary && password.empty()) ok = VZynWriteDocumentSummary(file, *scene, false);
  ok = file.CloseFile() && ok;
  if (!ok) {
    if (message_.empty()) message_ = file.GetErrorMessage();
    std::remove(written.c_str());  // a failed save never replaces anything
    return false;
  }
  if (!use_temporary_files) return true;
  struct stat st;
  if (stat(target.c_str(), &st) == 0) {
    // Read-only by its mode bits, whoever we run as.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      message_ = "Can't overwrite " + target + ". File is read-only.";
      return false;
    }
  }
  // rename() replaces the target in one step, so the old file stays whole
  // until the new one takes its place.
  if (std::rename(written.c_str(), target.c_str()) != 0) {
    message_ = "Failed at renaming the new saved " + written + " file to " + target +
               "   Current saved file will be named " + written;
    return false;
  }
  return true;
}

bool YrZynManager::UseTemporaryFiles() const {
  if (use_temporary_files_ >= 0) return use_temporary_files_ != 0;
  return VSettingsIsYes(VSettingsOpen("@Application.txt").GetText("ZYN", "UseTmpFilesOnSaving", "Yes"));
}

}  // namespace YrSDK
