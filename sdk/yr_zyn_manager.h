#pragma once
// YrZynManager: loads and saves the engine's scene as a Zyn file. Its load
// options are properties of the names the viewer sets: "Async", "Models",
// "ModelsMerge", "ModelsAnimation", "Devices", "DevicesAnimation",
// "Constraints", "ConstraintsMerge", "Selected", "ClearBeforeLoad",
// "LoadSettings", "LoadTimeFormatSettings", "LoadDefaultCameraSettings",
// "LoadCameraSwitcherSettings", "LoadGlobalLightingSettings" and "Password".

#include <cstddef>
#include <memory>
#include <string>

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
  // file without its password fails here).
  bool Load();
  bool LoadIsCompleted() const { return true; }  // loads run on the caller's thread
  bool LoadEnd();
  // Empties the scene.
  bool Clear();

  // Stores the scene. With temporary files (the default) the scene goes to
  // the target name with ".tmp" and replaces the target only once complete.
  bool Save(const std::string& path, bool binary, const std::string& password = "");

  // Why the last operation failed, or a message the save produced.
  const std::string& GetLastMessage() const { return message_; }
  void SetProgress(VProgress* progress) { progress_ = progress; }
  void SetUseTemporaryFiles(bool use) { use_temporary_files_ = use; }

 private:
  VZynLoadOptions ReadOptions() const;

  std::unique_ptr<VObject> options_;
  std::unique_ptr<VZynFile> file_;
  std::string message_;
  VProgress* progress_ = nullptr;
  bool use_temporary_files_ = true;
};

}  // namespace YrSDK
