#pragma once
// TGA files: uncompressed true colour (image type 2) at 16, 24 or 32 bits
// per pixel, read and written. Rows stay in file order; the descriptor's
// origin bits are not applied.

#include "render/image/image_stream.h"

class VImageStreamtga : public VImageStream {
 public:
  const char* GetClassName() const override { return "VImageStreamtga"; }
  bool CanWrite() const override { return true; }
  // Layouts 4 and 2 are written at 32 bits, 5 and 3 at 24 bits, bottom row
  // first; the sides must fit 16 bits.
  bool Write(const VImage& image) override;

  // The file bytes Write would store.
  static bool Encode(const VImage& image, std::vector<uint8_t>* out);

 protected:
  bool Decode(const uint8_t* data, size_t size, VImage& image) override;
};
