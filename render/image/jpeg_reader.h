#pragma once
// JPEG files through libjpeg, decoded to RGB (layout 3). Scanlines are
// stored from the last row upward: the first decoded (top) line becomes the
// buffer's last row, so the buffer holds the bottom row first like every
// other reader's. A decoding error fails the read.

#include "render/image/image_stream.h"

class VImageStreamJPG : public VImageStream {
 public:
  const char* GetClassName() const override { return "VImageStreamJPG"; }

  // Compresses an image (any layout; alpha dropped) for tests and
  // benchmarks; the buffer's last row is written first.
  static bool Encode(const VImage& image, int quality, std::vector<uint8_t>* out);

 protected:
  bool Decode(const uint8_t* data, size_t size, VImage& image) override;
};
