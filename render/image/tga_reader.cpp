#include "render/image/tga_reader.h"

#include <cstring>

#include "render/image/byte_reader.h"

bool VImageStreamtga::Decode(const uint8_t* data, size_t size, VImage& image) {
  VByteReader in(data, size);
  uint8_t header[18];
  if (!in.Bytes(header, sizeof header)) return false;
  if (header[2] != 2) return false;  // uncompressed true colour only
  const int width = header[12] | (header[13] << 8);
  const int height = header[14] | (header[15] << 8);
  const int depth = header[16];
  // The identification field and a colour map (which true-colour files may
  // carry) come before the pixels.
  const size_t idLength = header[0];
  const size_t mapEntries = header[5] | (header[6] << 8);
  const size_t mapBits = header[7];
  const size_t mapBytes = header[1] ? mapEntries * ((mapBits + 7) / 8) : 0;
  if (!in.Skip(idLength) || !in.Skip(mapBytes)) return false;

  int layout = 0, fileBytes = 0;
  switch (depth) {
    case 32: layout = VImage::kLayoutBGRA; fileBytes = 4; break;
    case 24: layout = VImage::kLayoutBGR; fileBytes = 3; break;
    case 16: layout = VImage::kLayoutBGRA; fileBytes = 2; break;
    default: return false;
  }
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  const uint8_t* src = nullptr;
  if (width == 0 || height == 0 || !in.Take(pixels * fileBytes, &src)) return false;
  if (!image.Allocate(width, height, layout)) return false;
  uint8_t* out = image.GetData();
  if (depth != 16) {
    std::memcpy(out, src, pixels * fileBytes);
    return true;
  }
  for (size_t i = 0; i < pixels; ++i, src += 2, out += 4) {
    const unsigned b0 = src[0], b1 = src[1];
    out[0] = static_cast<uint8_t>(b0 << 3);
    out[1] = static_cast<uint8_t>(((b0 >> 2) & 0x38) | (b1 << 6));
    out[2] = static_cast<uint8_t>((b1 & 0xFC) * 2);
    out[3] = static_cast<uint8_t>(b1 & 0x80);
  }
  return true;
}

bool VImageStreamtga::Encode(const VImage& image, std::vector<uint8_t>* out) {
  out->clear();
  const int bpp = image.GetBytesPerPixel();
  if (image.IsEmpty() || bpp == 0 || image.GetWidth() > 0xFFFF || image.GetHeight() > 0xFFFF) return false;
  const int fileLayout = bpp == 4 ? VImage::kLayoutBGRA : VImage::kLayoutBGR;
  uint8_t header[18] = {};
  header[2] = 2;
  header[12] = static_cast<uint8_t>(image.GetWidth() & 0xFF);
  header[13] = static_cast<uint8_t>(image.GetWidth() >> 8);
  header[14] = static_cast<uint8_t>(image.GetHeight() & 0xFF);
  header[15] = static_cast<uint8_t>(image.GetHeight() >> 8);
  header[16] = static_cast<uint8_t>(bpp * 8);
  header[17] = bpp == 4 ? 8 : 0;  // alpha bits; origin bottom left
  try {
    out->assign(header, header + sizeof header);
    out->resize(sizeof header + image.GetFrameBytes());
  } catch (...) {
    out->clear();
    return false;
  }
  uint8_t* dst = out->data() + sizeof header;
  for (int y = 0; y < image.GetHeight(); ++y, dst += image.GetRowBytes()) {
    VImage::ConvertPixels(image.GetRow(y), image.GetLayout(), image.GetWidth(), dst, fileLayout);
  }
  return true;
}

bool VImageStreamtga::Write(const VImage& image) {
  std::vector<uint8_t> bytes;
  return Encode(image, &bytes) && VImageWriteFileAtomically(GetFileName(), bytes);
}
