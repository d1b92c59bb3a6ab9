#pragma once
// Helpers shared by the image reader tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/image/image.h"
#include "render/image/image_registry.h"
#include "render/image/image_stream.h"
#include "tests/image/image_files.h"

namespace image_test {

using image_files::Bytes;

// Decodes bytes with the registry's reader for the extension.
inline bool Decode(const std::string& extension, const Bytes& bytes, VImage& image) {
  std::unique_ptr<VImageStream> stream = VImageRegistry::Instance().CreateReader(extension);
  if (!stream) return false;
  return stream->ReadMemory(bytes.data(), bytes.size(), image);
}

// Pixel x of row y (0 = bottom) of a frame as a byte vector.
inline Bytes Pixel(const VImage& image, int x, int y, int frame = 0) {
  const int bpp = image.GetBytesPerPixel();
  const uint8_t* p = image.GetRow(y, frame) + static_cast<size_t>(x) * bpp;
  return Bytes(p, p + bpp);
}

// Every proper prefix of a valid file must fail and leave the image empty.
inline void ExpectPrefixesFail(const std::string& extension, const Bytes& bytes, size_t keep = 0) {
  for (size_t n = 0; n + keep < bytes.size(); ++n) {
    Bytes prefix(bytes.begin(), bytes.begin() + n);
    VImage image;
    image.Allocate(2, 2, VImage::kLayoutRGB);
    EXPECT_FALSE(Decode(extension, prefix, image)) << extension << " prefix of " << n << " bytes";
    EXPECT_TRUE(image.IsEmpty()) << extension << " prefix of " << n << " bytes";
    EXPECT_EQ(image.GetWidth(), 0);
  }
}

inline void ExpectFails(const std::string& extension, const Bytes& bytes, const char* what) {
  VImage image;
  EXPECT_FALSE(Decode(extension, bytes, image)) << what;
  EXPECT_TRUE(image.IsEmpty()) << what;
}

}  // namespace image_test
