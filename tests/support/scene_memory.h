#pragma once
// Writing a whole scene into memory and reading it back, for tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene.h"
#include "support/zyn_memory.h"
#include "document/load_options.h"
#include "document/scene_reader.h"
#include "document/scene_writer.h"

namespace testing_support {

inline std::vector<uint8_t> WriteSceneToMemory(const VScene& scene, bool binary) {
  return WriteZynToMemory(binary, [&scene](VZynFile& f) {
    std::string message;
    EXPECT_TRUE(VZynSceneWriter(f, scene, nullptr).Write(&message)) << message;
  });
}

inline bool ReadSceneFromMemory(const std::vector<uint8_t>& bytes, VScene& scene, std::string* message,
                                const VZynLoadOptions& options = {}) {
  VZynFile file;
  if (!file.OpenFromMemory(bytes.data(), bytes.size())) {
    *message = file.GetErrorMessage();
    return false;
  }
  return VZynSceneReader(file, scene, options, nullptr).Read(message);
}

}  // namespace testing_support
