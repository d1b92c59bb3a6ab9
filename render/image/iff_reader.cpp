#include "render/image/iff_reader.h"

#include <cstring>
#include <vector>

#include "render/image/byte_reader.h"

namespace {

struct BitmapHeader {
  uint16_t width = 0, height = 0, x = 0, y = 0;
  uint8_t planes = 0, masking = 0, compression = 0, pad = 0;
  uint16_t transparent = 0;
  uint8_t xAspect = 0, yAspect = 0;
  uint16_t pageWidth = 0, pageHeight = 0;
};

bool ReadBitmapHeader(VByteReader in, BitmapHeader* h) {
  return in.U16BE(&h->width) && in.U16BE(&h->height) && in.U16BE(&h->x) && in.U16BE(&h->y) &&
         in.U8(&h->planes) && in.U8(&h->masking) && in.U8(&h->compression) && in.U8(&h->pad) &&
         in.U16BE(&h->transparent) && in.U8(&h->xAspect) && in.U8(&h->yAspect) && in.U16BE(&h->pageWidth) &&
         in.U16BE(&h->pageHeight);
}

// Fills out (the plane rows of one image row) from the byte run body; a run
// that passes the end of the row or of the chunk fails.
bool UnpackByteRun(VByteReader& in, uint8_t* out, size_t length) {
  size_t pos = 0;
  while (pos < length) {
    uint8_t control = 0;
    if (!in.U8(&control)) return false;
    const int n = static_cast<int8_t>(control);
    if (n >= 0) {
      const size_t count = static_cast<size_t>(n) + 1;
      if (count > length - pos || !in.Bytes(out + pos, count)) return false;
      pos += count;
    } else if (n != -128) {
      const size_t count = static_cast<size_t>(-n) + 1;
      uint8_t value = 0;
      if (count > length - pos || !in.U8(&value)) return false;
      std::memset(out + pos, value, count);
      pos += count;
    }
  }
  return true;
}

bool DecodeBody(VByteReader body, const BitmapHeader& h, const uint8_t* colorMap, int colors, VImage& image) {
  if (h.compression > 1 || h.planes == 0 || h.planes > 8) return false;
  const int width = h.width, height = h.height;
  if (width == 0 || height == 0) return false;
  const size_t planeRow = (static_cast<size_t>(width + 15) / 8) & ~size_t{1};
  // A mask plane, when the image has one, follows the colour planes.
  const size_t planeRows = h.planes + (h.masking == 1 ? 1 : 0);
  const size_t rowBytes = planeRow * planeRows;
  if (h.compression == 0 && body.Remaining() / rowBytes < static_cast<size_t>(height)) return false;
  // A byte run packet yields at most 128 bytes from 2.
  if (h.compression == 1 && rowBytes * height / 64 > body.Remaining() + 1) return false;
  if (!image.Allocate(width, height, VImage::kLayoutRGBA)) return false;
  std::memset(image.GetData(), 0x80, image.GetFrameBytes());
  std::vector<uint8_t> row(rowBytes);
  // Decoded top row first, then swapped.
  for (int y = 0; y < height; ++y) {
    if (h.compression == 0) {
      if (!body.Bytes(row.data(), rowBytes)) return false;
    } else if (!UnpackByteRun(body, row.data(), rowBytes)) {
      return false;
    }
    uint8_t* dst = image.GetRow(y);
    for (int x = 0; x < width; ++x, dst += 4) {
      const size_t byte = static_cast<size_t>(x) / 8;
      const int bit = 7 - (x % 8);
      int index = 0;
      for (int p = 0; p < h.planes; ++p) index |= ((row[p * planeRow + byte] >> bit) & 1) << p;
      if (index >= colors) return false;  // colour map shorter than the index
      std::memcpy(dst, colorMap + index * 3, 3);
      dst[3] = 255;
    }
  }
  image.FlipRows();
  return true;
}

}  // namespace

bool VImageStreamiff::Decode(const uint8_t* data, size_t size, VImage& image) {
  VByteReader in(data, size);
  uint8_t id[4];
  uint32_t formLength = 0;
  if (!in.Bytes(id, 4) || std::memcmp(id, "FORM", 4) != 0) return false;
  if (!in.U32BE(&formLength) || !in.Bytes(id, 4) || std::memcmp(id, "ILBM", 4) != 0) return false;

  BitmapHeader header;
  bool haveHeader = false;
  uint8_t colorMap[256 * 3];
  int colors = -1;  // no colour map yet
  while (in.Remaining() > 0) {
    uint32_t length = 0;
    if (!in.Bytes(id, 4) || !in.U32BE(&length)) return false;
    if (length > in.Remaining()) return false;  // chunk past the end of the file
    VByteReader chunk(in.Current(), length);
    in.Skip(length);
    if (length & 1) in.Skip(1);  // odd chunks carry a pad byte (may be missing at the end)

    if (std::memcmp(id, "BMHD", 4) == 0) {
      if (!ReadBitmapHeader(chunk, &header)) return false;
      haveHeader = true;
    } else if (std::memcmp(id, "CMAP", 4) == 0) {
      if (!haveHeader) return false;
      const size_t bytes = length > sizeof colorMap ? sizeof colorMap : length;
      chunk.Bytes(colorMap, bytes);
      colors = static_cast<int>(bytes / 3);
    } else if (std::memcmp(id, "BODY", 4) == 0) {
      if (colors < 0) return false;
      return DecodeBody(chunk, header, colorMap, colors, image);
    }
  }
  return false;  // no body
}
