#pragma once
// Writes a scene as a document into a Zyn file being created: definitions,
// objects, relations, object data, connections, then "Version5" with the
// settings, audio clips and takes.

#include <string>

class VProgress;
class VScene;
class VZynFile;

// What a file's header says about the scene's default camera (the
// "CurrentCameraResolution" block): its full name, its "ResolutionMode"
// text and its resolution width and height. Importers size a track from it
// without reading the scene, so it must be the camera's own.
struct VZynHeaderCamera {
  std::string name;
  std::string mode;
  double width = 0.0;
  double height = 0.0;
};

// False when the default camera is no camera of the scene (a switcher, or
// a name that nothing answers): the header then names no camera, and a
// reader that needs the size reads the scene, as it would have to anyway.
bool VZynHeaderCameraOf(const VScene& scene, VZynHeaderCamera* out);

class VZynSceneWriter {
 public:
  VZynSceneWriter(VZynFile& file, const VScene& scene, VProgress* progress)
      : file_(file), scene_(scene), progress_(progress) {}

  bool Write(std::string* message);

 private:
  void Comment(const char* title);
  void Report(const std::string& text);

  VZynFile& file_;
  const VScene& scene_;
  VProgress* progress_;
};
