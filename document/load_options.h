#pragma once
// What a scene load reads, as the loader's properties of the same names set it.
//
// Every option is accepted; these have an effect: "Async" (the read runs on
// a worker thread, see YrZynManager), "Models", "ModelsAnimation",
// "ClearBeforeLoad", the five "Load…Settings" and "Password". These are
// accepted and have none, because this engine reads no devices, constraints
// or selection from a file and always merges models by full name into what
// the scene holds: "ModelsMerge", "Devices", "DevicesAnimation",
// "Constraints", "ConstraintsMerge", "Selected". Saving honours the
// settings key "UseTmpFilesOnSaving" (YrZynManager::Save).

#include <string>

struct VZynLoadOptions {
  bool async = false;                    // "Async"
  bool models = true;                    // "Models"
  bool models_merge = false;             // "ModelsMerge"
  bool models_animation = true;          // "ModelsAnimation"
  bool devices = true;                   // "Devices"
  bool devices_animation = true;         // "DevicesAnimation"
  bool constraints = true;               // "Constraints"
  bool constraints_merge = false;        // "ConstraintsMerge"
  bool selected = false;                 // "Selected"
  bool clear_before_load = true;         // "ClearBeforeLoad"
  bool load_settings = true;             // "LoadSettings"
  bool load_time_format_settings = true; // "LoadTimeFormatSettings"
  bool load_default_camera_settings = true;   // "LoadDefaultCameraSettings": the producer cameras' records
  bool load_camera_switcher_settings = true;  // "LoadCameraSwitcherSettings"
  bool load_global_lighting_settings = true;  // "LoadGlobalLightingSettings": "Global Light"
  std::string password;                  // "Password"
};
