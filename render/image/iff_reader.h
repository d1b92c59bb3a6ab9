#pragma once
// IFF ILBM files: bit-planar images with a colour map, uncompressed or byte
// run compressed, read as layout 2. The format stores the top row first;
// the rows are swapped so that the bottom row comes first.

#include "render/image/image_stream.h"

class VImageStreamiff : public VImageStream {
 public:
  const char* GetClassName() const override { return "VImageStreamiff"; }

 protected:
  bool Decode(const uint8_t* data, size_t size, VImage& image) override;
};
