#pragma once
// Reads a scene document from an opened Zyn file into a scene, in the
// document's order: definitions, objects with their properties, relations,
// connections, object data, then the settings, audio clips and takes of
// "Version5".
// What cannot be read is skipped; a container error stops the read and the
// scene keeps what was read so far.

#include <string>

#include "document/load_options.h"

class VProgress;
class VScene;
class VSceneObject;
class VZynFile;

class VZynSceneReader {
 public:
  VZynSceneReader(VZynFile& file, VScene& scene, const VZynLoadOptions& options, VProgress* progress)
      : file_(file), scene_(scene), options_(options), progress_(progress) {}

  // False with a message when the file cannot be read as a scene.
  bool Read(std::string* message);

 private:
  void ReadDefinitions();
  void ReadObjects();
  void ReadObjectSection(const char* section, int mode);
  void ReadConnections();
  void ReadVersion5Settings();
  void ReadSceneSettings();
  void ReadSettings();
  void Report(const std::string& text);

  VZynFile& file_;
  VScene& scene_;
  const VZynLoadOptions& options_;
  VProgress* progress_;
  int total_objects_ = 0;  // from "Definitions"; 0 when unknown
  int objects_done_ = 0;
};
