#pragma once
// DDS files: the container is parsed here and the images decoded on the
// CPU: uncompressed RGB, RGBA, luminance and alpha formats described by
// bit masks (8 to 32 bits per pixel), DXT1, DXT2/DXT3 and DXT4/DXT5, and the
// same formats behind the extended ("DX10") header. Read as layout 2, one
// frame per image of the file (cube faces, volume slices, array elements);
// only the first mipmap level of each is kept, the others are checked to
// fit the file. The format stores the top row first; rows are reversed so
// that the buffer holds the bottom row first.

#include "render/image/image_stream.h"

class VImageStreamDDS : public VImageStream {
 public:
  const char* GetClassName() const override { return "VImageStreamDDS"; }

 protected:
  bool Decode(const uint8_t* data, size_t size, VImage& image) override;
};
