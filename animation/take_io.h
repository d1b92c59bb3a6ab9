#pragma once
// The "Takes" block of a scene document: the current take's name, then
// one "Take" per take with its file name, local and reference spans,
// comments and, per animated model, a "Model" record holding the model's
// animation node tree.

#include <functional>
#include <string>

class VProgress;
class VTake;
class VTakeList;
class VZynFile;

struct VTakeReadOptions {
  bool models_animation = true;
  bool camera_switcher = true;  // read the record of "Model::Camera Switcher"
  // Whether the scene holds a model of this full name; records of missing
  // models are skipped.
  std::function<bool(const std::string&)> has_model;
  VProgress* progress = nullptr;
};

// Reads the takes of the current block's "Takes" field into the list and
// makes the file's current take current (else the first).
bool VTakesRetrieve(VZynFile& file, VTakeList& takes, const VTakeReadOptions& options);
// Writes the take's "LocalTime" and "ReferenceTime" fields.
void VTakeStoreTimes(VZynFile& file, const VTake& take);
bool VTakesStore(VZynFile& file, const VTakeList& takes, VProgress* progress = nullptr);
