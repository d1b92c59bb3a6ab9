#include "render/image/yuv_reader.h"

namespace {

uint8_t Clamp8(int scaled) {
  // scaled carries 8 fraction bits.
  const int v = (scaled + 128) < 0 ? 0 : (scaled + 128) >> 8;
  return static_cast<uint8_t>(v > 255 ? 255 : v);
}

}  // namespace

void VImageStreamyuv::ToRGB(int y, int cb, int cr, uint8_t rgb[3]) {
  const int c = 298 * (y - 16), d = cb - 128, e = cr - 128;
  rgb[0] = Clamp8(c + 409 * e);
  rgb[1] = Clamp8(c - 100 * d - 208 * e);
  rgb[2] = Clamp8(c + 516 * d);
}

void VImageStreamyuv::ToYCbCr(const uint8_t rgb[3], int* y, int* cb, int* cr) {
  const int r = rgb[0], g = rgb[1], b = rgb[2];
  // Offsets keep the sums positive before the shifts.
  *y = ((66 * r + 129 * g + 25 * b + 128) >> 8) + 16;
  *cb = (-38 * r - 74 * g + 112 * b + 32896) >> 8;
  *cr = (112 * r - 94 * g - 18 * b + 32896) >> 8;
}

bool VImageStreamyuv::Decode(const uint8_t* data, size_t size, VImage& image) {
  const size_t lines = (size + 1) / kLineBytes;
  if (lines != kNtscLines && lines != kPalLines) return false;
  if (size < lines * kLineBytes) return false;
  const int height = static_cast<int>(lines);
  if (!image.Allocate(kWidth, height, VImage::kLayoutRGB)) return false;
  for (int line = 0; line < height; ++line) {
    const uint8_t* src = data + static_cast<size_t>(line) * kLineBytes;
    uint8_t* dst = image.GetRow(height - 1 - line);
    for (int x = 0; x < kWidth; x += 2, src += 4, dst += 6) {
      ToRGB(src[1], src[0], src[2], dst);
      ToRGB(src[3], src[0], src[2], dst + 3);
    }
  }
  return true;
}

bool VImageStreamyuv::Encode(const VImage& image, std::vector<uint8_t>* out) {
  out->clear();
  const int height = image.GetHeight();
  if (image.IsEmpty() || image.GetWidth() != kWidth || (height != kNtscLines && height != kPalLines)) {
    return false;
  }
  out->resize(static_cast<size_t>(height) * kLineBytes);
  uint8_t rgb[kWidth * 3];
  uint8_t* dst = out->data();
  for (int line = 0; line < height; ++line) {
    if (!VImage::ConvertPixels(image.GetRow(height - 1 - line), image.GetLayout(), kWidth, rgb,
                               VImage::kLayoutRGB)) {
      out->clear();
      return false;
    }
    for (int x = 0; x < kWidth; x += 2, dst += 4) {
      int y0, cb0, cr0, y1, cb1, cr1;
      ToYCbCr(rgb + x * 3, &y0, &cb0, &cr0);
      ToYCbCr(rgb + x * 3 + 3, &y1, &cb1, &cr1);
      dst[0] = static_cast<uint8_t>((cb0 + cb1 + 1) / 2);
      dst[1] = static_cast<uint8_t>(y0);
      dst[2] = static_cast<uint8_t>((cr0 + cr1 + 1) / 2);
      dst[3] = static_cast<uint8_t>(y1);
    }
  }
  return true;
}

bool VImageStreamyuv::Write(const VImage& image) {
  std::vector<uint8_t> bytes;
  return Encode(image, &bytes) && VImageWriteFileAtomically(GetFileName(), bytes);
}
