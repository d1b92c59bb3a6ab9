#pragma once
// YrZynManager: loads and saves the engine's scene as a Zyn file. Its load
// options are properties of the names the viewer sets: "Async", "Models",
// "ModelsMerge", "ModelsAnimation", "Devices", "DevicesAnimation",
// "Constraints", "ConstraintsMerge", "Selected", "ClearBeforeLoad",
// "LoadSettings", "LoadTimeFormatSettings", "LoadDefaultCameraSettings",
// "LoadCameraSwitcherSettings", "LoadGlobalLightingSettings" and "Password"
// (which of them have an effect: document/load_options.h).
//
// Progress goes to the VProgress set here and, as event 526
// (kYrEventLoadProgress), to the event registry. With "Async" on, Load
// starts the read on a worker thread and answers at once; LoadIsCompleted
// tells when it is done, LoadEnd waits for it and LoadSucceeded gives its
// result.

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>

#include "sdk/yr_component.h"

class VProgress;
class VZynFile;
struct VZynLoadOptions;

namespace YrSDK {

class YrZynManager {
 public:
  YrZynManager();
  ~YrZynManager();
  YrZynManager(const YrZynManager&) = delete;
  YrZynManager& operator=(const YrZynManager&) = delete;

  YrComponent GetComponent() const;
  YrProperty FindProperty(const std::string& name) const { return GetComponent().FindProperty(name); }

  // Opens a scene file (with the header check); false when it is no scene.
  bool LoadBegin(const std::string& path);
  // The same over bytes in memory, read in place: they must stay alive
  // until LoadEnd.
  bool LoadBegin(const void* bytes, size_t size);
  // Reads the scene with the load options; false on failure (a protected
  // file without its password fails here). With "Async" on: false when no
  // file is open, else true once the worker thread runs.
  bool Load();
  // True when no load is running.
  bool LoadIsCompleted() const { return !running_.load(std::memory_order_acquire); }
  // The last load's result, once it has completed.
  bool LoadSucceeded() const { return succeeded_.load(std::memory_order_acquire); }
  // Whether the file that LoadBegin opened is sealed with a password (a
  // failed Load of such a file is a missing or wrong password).
  bool IsPasswordProtected() const { return protected_; }
  // Waits for a running load, then closes the file. Answers true.
  bool LoadEnd();
  // Empties the scene.
  bool Clear();

  // Stores the scene. With temporary files (the default) the scene goes to
  // the target name with ".tmp" and replaces the target only once complete.
  bool Save(const std::string& path, bool binary, const std::string& password = "");

  // Why the last operation failed, or a message the save produced.
  const std::string& GetLastMessage() const { return message_; }
  void SetProgress(VProgress* progress) { progress_ = progress; }
  // A flag (owned by the caller, alive until LoadEnd) that stops a load
  // once set: the read ends where it next reports progress and the load
  // fails. Any thread may set it.
  void SetCancelFlag(const std::atomic<bool>* cancel) { cancel_ = cancel; }
  // Overrides the settings key "UseTmpFilesOnSaving" (section "ZYN" of
  // "@Application.txt", "Yes" by default) for this manager's saves.
  void SetUseTemporaryFiles(bool use) { use_temporary_files_ = use ? 1 : 0; }

 private:
  class LoadProgress;
  VZynLoadOptions ReadOptions() const;
  bool RunLoad(const VZynLoadOptions& options);
  bool UseTemporaryFiles() const;

  std::unique_ptr<VObject> options_;
  std::unique_ptr<VZynFile> file_;
  std::string message_;
  VProgress* progress_ = nullptr;
  const std::atomic<bool>* cancel_ = nullptr;
  int use_temporary_files_ = -1;  // -1: from the settings
  bool protected_ = false;
  std::thread worker_;
  std::atomic<bool> running_{false};
  std::atomic<bool> succeeded_{false};
};

}  // namespace YrSDK
