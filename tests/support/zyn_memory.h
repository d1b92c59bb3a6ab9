#pragma once
// Writing a Zyn file into memory for tests: body writes the main section.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "zynfile/memory_stream.h"
#include "zynfile/zyn_file.h"

namespace testing_support {

inline std::vector<uint8_t> WriteZynToMemory(bool binary, const std::function<void(VZynFile&)>& body,
                                             int version = 6000) {
  VMemoryStream stream;
  stream.OpenBuffer();
  VZynFile file;
  file.SetVersion(version);
  EXPECT_TRUE(file.CreateInStream(&stream, binary)) << file.GetErrorMessage();
  body(file);
  EXPECT_TRUE(file.CloseFile()) << file.GetErrorMessage();
  return stream.buffer();
}

}  // namespace testing_support
