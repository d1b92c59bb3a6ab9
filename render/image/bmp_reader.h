#pragma once
// BMP files with the 40-byte information header, uncompressed, at 8 bits
// (palette, read as layout 5), 24 bits (layout 5) or 32 bits (layout 4).
// Rows stay in file order; 8- and 24-bit rows are padded to 4 bytes.

#include "render/image/image_stream.h"

class VImageStreambmp : public VImageStream {
 public:
  const char* GetClassName() const override { return "VImageStreambmp"; }

 protected:
  bool Decode(const uint8_t* data, size_t size, VImage& image) override;
};
