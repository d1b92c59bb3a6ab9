#pragma once
// Writes a scene as a document into a Zyn file being created: definitions,
// objects, relations, object data, connections, then "Version5" with the
// settings, audio clips and takes.

#include <string>

class VProgress;
class VScene;
class VZynFile;

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
