#pragma once
// Softimage PIC files: a header with the magic number and "PICT", then
// channel packets (red, green, blue, alpha) stored uncompressed, pure
// run-length or mixed run-length; read as layout 2, alpha 255 where the file
// has none. The format stores the top row first; the image is filled from
// its last row upward.

#include "render/image/image_stream.h"

class VImageStreampict : public VImageStream {
 public:
  // The file version this reader knows; later versions are read with a
  // warning.
  static constexpr float kKnownVersion = 3.71f;

  const char* GetClassName() const override { return "VImageStreampict"; }
  // Reads GetFileName(), with ".pic" appended when it does not end in it.
  bool Read(VImage& image) override;

 protected:
  bool Decode(const uint8_t* data, size_t size, VImage& image) override;
};
