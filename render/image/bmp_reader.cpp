#include "render/image/bmp_reader.h"

#include <cstring>

#include "render/image/byte_reader.h"

namespace {

struct InfoHeader {
  uint32_t size = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 0;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  uint32_t xPixelsPerMeter = 0;
  uint32_t yPixelsPerMeter = 0;
  uint32_t colorsUsed = 0;
  uint32_t colorsImportant = 0;
};

bool ReadInfoHeader(VByteReader& in, InfoHeader* h) {
  uint32_t width = 0, height = 0;
  if (!in.U32LE(&h->size) || !in.U32LE(&width) || !in.U32LE(&height) || !in.U16LE(&h->planes) ||
      !in.U16LE(&h->bitCount) || !in.U32LE(&h->compression) || !in.U32LE(&h->sizeImage) ||
      !in.U32LE(&h->xPixelsPerMeter) || !in.U32LE(&h->yPixelsPerMeter) || !in.U32LE(&h->colorsUsed) ||
      !in.U32LE(&h->colorsImportant)) {
    return false;
  }
  h->width = static_cast<int32_t>(width);
  h->height = static_cast<int32_t>(height);
  return true;
}

}  // namespace

bool VImageStreambmp::Decode(const uint8_t* data, size_t size, VImage& image) {
  VByteReader in(data, size);
  // Signature, then file size, reserved word and data offset (not used).
  if (!in.Skip(2 + 4 * 3)) return false;
  InfoHeader h;
  if (!ReadInfoHeader(in, &h) || h.size != 40 || h.compression != 0) return false;
  const int64_t width = h.width;
  const int64_t height = h.height < 0 ? 0 : h.height;  // top-down files are not read
  if (width <= 0 || height <= 0) return false;

  if (h.bitCount == 8) {
    // Colours-used 0 means the full 256-entry palette.
    const uint32_t colors = h.colorsUsed == 0 ? 256 : h.colorsUsed;
    if (colors > 256) return false;
    uint8_t palette[256 * 4];
    if (!in.Bytes(palette, colors * 4)) return false;
    const uint64_t stride = (static_cast<uint64_t>(width) + 3) & ~uint64_t{3};
    // Every row must be present (the last one without its padding).
    if (stride > in.Remaining() || static_cast<uint64_t>(height - 1) > (in.Remaining() - width) / stride) {
      return false;
    }
    if (!image.Allocate(static_cast<int>(width), static_cast<int>(height), VImage::kLayoutBGR)) return false;
    const uint8_t* rows = in.Current();
    for (int64_t y = 0; y < height; ++y) {
      const uint8_t* src = rows + y * stride;
      uint8_t* dst = image.GetRow(static_cast<int>(y));
      for (int64_t x = 0; x < width; ++x, dst += 3) {
        const uint32_t index = src[x];
        if (index >= colors) return false;  // palette shorter than the index
        std::memcpy(dst, palette + index * 4, 3);
      }
    }
    return true;
  }

  if (h.bitCount == 24) {
    const uint64_t rowBytes = static_cast<uint64_t>(width) * 3;
    uint64_t stride = h.sizeImage / static_cast<uint64_t>(height);
    if (h.sizeImage == 0) stride = (rowBytes + 3) & ~uint64_t{3};
    if (stride < rowBytes) return false;
    if (rowBytes > in.Remaining() || static_cast<uint64_t>(height - 1) > (in.Remaining() - rowBytes) / stride) {
      return false;
    }
    if (!image.Allocate(static_cast<int>(width), static_cast<int>(height), VImage::kLayoutBGR)) return false;
    if (stride == rowBytes) {
      std::memcpy(image.GetData(), in.Current(), image.GetFrameBytes());
      return true;
    }
    for (int64_t y = 0; y < height; ++y) {
      std::memcpy(image.GetRow(static_cast<int>(y)), in.Current() + y * stride, rowBytes);
    }
    return true;
  }

  if (h.bitCount == 32) {
    const uint64_t bytes = static_cast<uint64_t>(width) * 4;
    if (bytes > in.Remaining() || static_cast<uint64_t>(height) > in.Remaining() / bytes) return false;
    if (!image.Allocate(static_cast<int>(width), static_cast<int>(height), VImage::kLayoutBGRA)) return false;
    std::memcpy(image.GetData(), in.Current(), image.GetFrameBytes());
    return true;
  }
  return false;  // 1, 4 and 16 bits and anything else
}
