#pragma once
// TIFF files through libtiff. Images of three 8-bit samples read as layout 3,
// all others as layout 2. Plain contiguous RGB strips (three samples, or four
// with unassociated alpha) are read scanline by scanline; everything else
// goes through libtiff's RGBA conversion. The format stores
// the top row first; the buffer holds the bottom row first. Only the first
// directory is read. Written as 8-bit RGB or RGBA strips, top row first.

#include "render/image/image_stream.h"

class VImageStreamTIFF : public VImageStream {
 public:
  const char* GetClassName() const override { return "VImageStreamTIFF"; }
  bool CanWrite() const override { return true; }
  // Layouts 3 and 5 are written as RGB, 2 and 4 as RGBA.
  bool Write(const VImage& image) override;

 protected:
  bool Decode(const uint8_t* data, size_t size, VImage& image) override;
};
