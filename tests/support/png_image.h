#pragma once
// PNG files read back as 8-bit RGBA, top row first, and compared pixel by
// pixel with a tolerance: for the tests of rendered frames. Header-only, so
// that only the test programs that include it need libpng.

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace testing_support {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // RGBA, top row first
};

// Any PNG (palette, grey, 16-bit, with or without alpha) converted to RGBA.
inline bool ReadPNGFile(const std::string& path, RgbaImage* image, std::string* message) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    *message = png.message;
    return false;
  }
  png.format = PNG_FORMAT_RGBA;
  image->width = static_cast<int>(png.width);
  image->height = static_cast<int>(png.height);
  image->pixels.assign(PNG_IMAGE_SIZE(png), 0);
  if (!png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr)) {
    *message = png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}

// The pixels of two images of the same size where any channel differs by
// more than `tolerance`. With `diff`, draws those red on a copy of `actual`
// darkened to a third, so that they stand out.
inline int CountDeviatingPixels(const RgbaImage& actual, const RgbaImage& expected, int tolerance,
                                RgbaImage* diff = nullptr) {
  if (diff) *diff = actual;
  int deviating = 0;
  for (std::size_t i = 0; i + 3 < actual.pixels.size() && i + 3 < expected.pixels.size(); i += 4) {
    bool deviates = false;
    for (int c = 0; c < 4; ++c) deviates = deviates || std::abs(actual.pixels[i + c] - expected.pixels[i + c]) > tolerance;
    if (deviates) ++deviating;
    if (!diff) continue;
    std::uint8_t* out = &diff->pixels[i];
    if (deviates) {
      out[0] = 255;
      out[1] = 0;
      out[2] = 0;
    } else {
      for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>(out[c] / 3);
    }
    out[3] = 255;
  }
  return deviating;
}

// The image upside down.
inline RgbaImage Mirrored(const RgbaImage& image) {
  RgbaImage out = image;
  const std::size_t row = static_cast<std::size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y)
    std::copy_n(&image.pixels[y * row], row, &out.pixels[(image.height - 1 - y) * row]);
  return out;
}

}  // namespace testing_support
