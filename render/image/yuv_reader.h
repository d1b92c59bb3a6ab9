#pragma once
// Raw 4:2:2 video frames (Cb, Y0, Cr, Y1 per pixel pair, ITU-R BT.601
// video levels): 720 pixels per 1,440-byte line, 486 lines (NTSC) or 576
// (PAL). Read as layout 3; the file's first line becomes the image's top
// (last) row. Written the same way.

#include "render/image/image_stream.h"

class VImageStreamyuv : public VImageStream {
 public:
  static constexpr int kWidth = 720;
  static constexpr int kLineBytes = 1440;
  static constexpr int kNtscLines = 486;
  static constexpr int kPalLines = 576;

  const char* GetClassName() const override { return "VImageStreamyuv"; }
  bool CanWrite() const override { return true; }
  // Writes a 720-pixel-wide image of 486 (or 576) rows, top row first.
  bool Write(const VImage& image) override;

  static bool Encode(const VImage& image, std::vector<uint8_t>* out);
  // One pixel's conversions, exposed for tests.
  static void ToRGB(int y, int cb, int cr, uint8_t rgb[3]);
  static void ToYCbCr(const uint8_t rgb[3], int* y, int* cb, int* cr);

 protected:
  bool Decode(const uint8_t* data, size_t size, VImage& image) override;
};
