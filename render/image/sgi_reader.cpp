#include "render/image/sgi_reader.h"

#include <cstring>

#include "render/image/byte_reader.h"

namespace {

constexpr size_t kDataStart = 512;

// Decodes one run-length row of one channel into every 4th byte of row,
// starting at byte channel (and copies R to G and B for grey images). Runs
// must stay inside the row and the file.
bool DecodeRunLengthRow(const uint8_t* data, size_t size, size_t offset, int bytesPerChannel, int width,
                        int channel, bool grey, uint8_t* row) {
  const size_t step = static_cast<size_t>(bytesPerChannel);
  int x = 0;
  for (;;) {
    if (offset > size || size - offset < step) return false;
    // A 2-byte element carries its count in the low byte and its value in
    // the high byte.
    const uint8_t control = data[offset + step - 1];
    offset += step;
    const int count = control & 0x7F;
    if (count == 0) return true;
    if (count > width - x) return false;  // runs past the row
    const bool literal = (control & 0x80) != 0;
    const size_t need = literal ? step * count : step;
    if (offset > size || size - offset < need) return false;
    for (int i = 0; i < count; ++i, ++x) {
      const uint8_t v = data[offset + (literal ? step * i : 0)];
      uint8_t* p = row + static_cast<size_t>(x) * 4;
      p[channel] = v;
      if (grey) p[1] = p[2] = v;
    }
    offset += need;
  }
}

}  // namespace

bool VImageStreamsgi::Decode(const uint8_t* data, size_t size, VImage& image) {
  VByteReader in(data, size);
  uint16_t magic = 0, dimension = 0, xsize = 0, ysize = 0, zsize = 0;
  uint8_t storage = 0, bpc = 0;
  if (!in.U16BE(&magic) || magic != 474) return false;
  if (!in.U8(&storage) || !in.U8(&bpc) || !in.U16BE(&dimension) || !in.U16BE(&xsize) || !in.U16BE(&ysize) ||
      !in.U16BE(&zsize) || !in.Skip(8)) {
    return false;
  }
  if (dimension < 3) zsize = 1;
  if (dimension < 2) ysize = 1;
  if (storage > 1 || (bpc != 1 && bpc != 2)) return false;
  if (zsize != 1 && zsize != 3 && zsize != 4) return false;
  if (xsize == 0 || ysize == 0 || size < kDataStart) return false;
  const bool grey = zsize == 1;
  const size_t rows = static_cast<size_t>(ysize) * zsize;

  if (storage == 0) {
    const size_t rowBytes = static_cast<size_t>(xsize) * bpc;
    if ((size - kDataStart) / rowBytes < rows) return false;
    if (!image.Allocate(xsize, ysize, VImage::kLayoutRGBA)) return false;
    std::memset(image.GetData(), 255, image.GetFrameBytes());
    for (int z = 0; z < zsize; ++z) {
      for (int y = 0; y < ysize; ++y) {
        const uint8_t* src = data + kDataStart + (static_cast<size_t>(z) * ysize + y) * rowBytes;
        uint8_t* dst = image.GetRow(y);
        for (int x = 0; x < xsize; ++x, src += bpc, dst += 4) {
          dst[z] = src[0];  // the high byte of 2-byte samples
          if (grey) dst[1] = dst[2] = src[0];
        }
      }
    }
    return true;
  }

  // Run-length: a table of row start offsets (absolute), then one of row
  // lengths, one entry per row and channel.
  if ((size - kDataStart) / 8 < rows) return false;
  const size_t dataStart = kDataStart + rows * 8;
  // Every row needs at least its end marker, and a run covers 127 pixels.
  if (static_cast<size_t>(xsize) > (size - dataStart) / bpc * 127) return false;
  if (!image.Allocate(xsize, ysize, VImage::kLayoutRGBA)) return false;
  std::memset(image.GetData(), 255, image.GetFrameBytes());
  VByteReader table(data, size);
  table.Seek(kDataStart);
  for (int z = 0; z < zsize; ++z) {
    for (int y = 0; y < ysize; ++y) {
      uint32_t start = 0;
      if (!table.U32BE(&start)) return false;
      if (start < dataStart || start >= size) return false;
      if (!DecodeRunLengthRow(data, size, start, bpc, xsize, z, grey, image.GetRow(y))) return false;
    }
  }
  return true;
}
