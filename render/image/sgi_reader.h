#pragma once
// SGI image files (magic 474), verbatim or run-length, 1 or 2 bytes per
// channel, 1, 3 or 4 channels, read as layout 2. Rows stay in file order
// (the format stores the bottom row first).

#include "render/image/image_stream.h"

class VImageStreamsgi : public VImageStream {
 public:
  const char* GetClassName() const override { return "VImageStreamsgi"; }

 protected:
  bool Decode(const uint8_t* data, size_t size, VImage& image) override;
};
