#pragma once
// The body shared by the image reader fuzz targets: decode the input with
// the registry's reader for one extension and check what came out.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "render/image/image.h"
#include "render/image/image_registry.h"

namespace image_fuzz {

inline int DecodeWith(const char* extension, const uint8_t* data, size_t size) {
  // Keep single inputs well under the fuzzer's memory limit.
  static const bool configured = [] {
    VImage::SetMaxBytes(size_t{64} << 20);
    return true;
  }();
  (void)configured;
  std::unique_ptr<VImageStream> stream = VImageRegistry::Instance().CreateReader(extension);
  if (!stream) std::abort();
  VImage image;
  if (!stream->ReadMemory(data, size, image)) {
    if (!image.IsEmpty() || image.GetWidth() != 0) std::abort();
    return 0;
  }
  size_t expected = 0;
  if (!VImage::ComputeSize(image.GetWidth(), image.GetHeight(), image.GetLayout(), image.GetFrameCount(),
                           &expected) ||
      expected != image.GetDataSize()) {
    std::abort();
  }
  // Reads every byte, so that a reader leaving memory uninitialised or
  // mis-sized shows up under the sanitizers.
  unsigned sum = 0;
  for (size_t i = 0; i < image.GetDataSize(); i += 61) sum += image.GetData()[i];
  volatile unsigned sink = sum;
  (void)sink;
  return 0;
}

}  // namespace image_fuzz
