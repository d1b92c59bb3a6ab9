#pragma once
// A fresh folder under the system temporary folder, removed with its
// contents when the object goes away.

#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// Runs a shell command, capturing stdout (and the exit code).
int RunCommand(const std::string& command, std::string* out);

}  // namespace testing_support
