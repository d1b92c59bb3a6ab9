#pragma once
// Builders of small image files, byte by byte, for the reader tests and the
// fuzz seed corpus. Pixels are given top row first where the format stores
// them so, bottom row first otherwise, as each builder says.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace image_files {

using Bytes = std::vector<uint8_t>;

inline void U8(Bytes& b, unsigned v) { b.push_back(static_cast<uint8_t>(v)); }
inline void U16LE(Bytes& b, unsigned v) { U8(b, v & 0xFF); U8(b, (v >> 8) & 0xFF); }
inline void U32LE(Bytes& b, uint32_t v) { U16LE(b, v & 0xFFFF); U16LE(b, v >> 16); }
inline void U16BE(Bytes& b, unsigned v) { U8(b, (v >> 8) & 0xFF); U8(b, v & 0xFF); }
inline void U32BE(Bytes& b, uint32_t v) { U16BE(b, v >> 16); U16BE(b, v & 0xFFFF); }
// Byte by byte: GCC 12 warns falsely about range inserts into small vectors.
inline void Text(Bytes& b, const char* s) {
  for (; *s; ++s) b.push_back(static_cast<uint8_t>(*s));
}
inline void Append(Bytes& b, const Bytes& more) {
  b.reserve(b.size() + more.size());
  for (uint8_t v : more) b.push_back(v);
}

// TGA type 2; pixels as stored (bottom row first), depth / 8 bytes each.
inline Bytes Tga(int width, int height, int depth, const Bytes& pixels, int idLength = 0) {
  Bytes b;
  U8(b, idLength);
  U8(b, 0);
  U8(b, 2);
  for (int i = 0; i < 5; ++i) U8(b, 0);
  U16LE(b, 0);
  U16LE(b, 0);
  U16LE(b, width);
  U16LE(b, height);
  U8(b, depth);
  U8(b, 0);
  for (int i = 0; i < idLength; ++i) U8(b, 'x');
  Append(b, pixels);
  return b;
}

// BMP with the 40-byte header; rows as stored (bottom first), already padded.
inline Bytes Bmp(int32_t width, int32_t height, int bits, const Bytes& palette, uint32_t colorsUsed,
                 const Bytes& rows, uint32_t sizeImage = 0, uint32_t compression = 0) {
  Bytes b;
  Text(b, "BM");
  U32LE(b, static_cast<uint32_t>(54 + palette.size() + rows.size()));
  U32LE(b, 0);
  U32LE(b, static_cast<uint32_t>(54 + palette.size()));
  U32LE(b, 40);
  U32LE(b, static_cast<uint32_t>(width));
  U32LE(b, static_cast<uint32_t>(height));
  U16LE(b, 1);
  U16LE(b, bits);
  U32LE(b, compression);
  U32LE(b, sizeImage);
  U32LE(b, 2835);
  U32LE(b, 2835);
  U32LE(b, colorsUsed);
  U32LE(b, 0);
  Append(b, palette);
  Append(b, rows);
  return b;
}

// SGI header (512 bytes).
inline Bytes SgiHeader(int storage, int bpc, int dimension, int x, int y, int z) {
  Bytes b;
  U16BE(b, 474);
  U8(b, storage);
  U8(b, bpc);
  U16BE(b, dimension);
  U16BE(b, x);
  U16BE(b, y);
  U16BE(b, z);
  U32BE(b, 0);
  U32BE(b, 255);
  b.resize(512, 0);
  return b;
}

// Verbatim SGI, 1 byte per channel; channels[z][y * x + i], bottom row first.
inline Bytes SgiVerbatim(int x, int y, const std::vector<Bytes>& channels) {
  Bytes b = SgiHeader(0, 1, channels.size() == 1 ? 2 : 3, x, y, static_cast<int>(channels.size()));
  for (const Bytes& c : channels) Append(b, c);
  return b;
}

// Run-length SGI from already encoded rows: rows[z * y + row].
inline Bytes SgiRunLength(int x, int y, int z, const std::vector<Bytes>& rows) {
  Bytes b = SgiHeader(1, 1, 3, x, y, z);
  const uint32_t tableEnd = static_cast<uint32_t>(512 + rows.size() * 8);
  uint32_t offset = tableEnd;
  for (const Bytes& r : rows) {
    U32BE(b, offset);
    offset += static_cast<uint32_t>(r.size());
  }
  for (const Bytes& r : rows) U32BE(b, static_cast<uint32_t>(r.size()));
  for (const Bytes& r : rows) Append(b, r);
  return b;
}

// SGI run-length encoding of one row: literal and repeat packets, then 0.
inline Bytes SgiEncodeRow(const Bytes& row) {
  Bytes out;
  size_t i = 0;
  while (i < row.size()) {
    size_t run = 1;
    while (i + run < row.size() && run < 127 && row[i + run] == row[i]) ++run;
    if (run >= 3) {
      U8(out, static_cast<unsigned>(run));
      U8(out, row[i]);
      i += run;
      continue;
    }
    size_t lit = 0;
    while (i + lit < row.size() && lit < 127 &&
           !(i + lit + 2 < row.size() && row[i + lit] == row[i + lit + 1] && row[i + lit] == row[i + lit + 2])) {
      ++lit;
    }
    U8(out, 0x80 | static_cast<unsigned>(lit));
    out.insert(out.end(), row.begin() + i, row.begin() + i + lit);
    i += lit;
  }
  U8(out, 0);
  return out;
}

inline void Chunk(Bytes& b, const char* id, const Bytes& data) {
  Text(b, id);
  U32BE(b, static_cast<uint32_t>(data.size()));
  Append(b, data);
  if (data.size() & 1) U8(b, 0);
}

inline Bytes IffBitmapHeader(int width, int height, int planes, int compression, int masking = 0) {
  Bytes h;
  U16BE(h, width);
  U16BE(h, height);
  U16BE(h, 0);
  U16BE(h, 0);
  U8(h, planes);
  U8(h, masking);
  U8(h, compression);
  U8(h, 0);
  U16BE(h, 0);
  U8(h, 10);
  U8(h, 11);
  U16BE(h, width);
  U16BE(h, height);
  return h;
}

// The plane rows of one image row of colour indices.
inline Bytes IffPlaneRows(const Bytes& indices, int planes, bool mask) {
  const size_t planeRow = ((indices.size() + 15) / 8) & ~size_t{1};
  Bytes out((planes + (mask ? 1 : 0)) * planeRow, 0);
  for (size_t x = 0; x < indices.size(); ++x) {
    for (int p = 0; p < planes; ++p) {
      if ((indices[x] >> p) & 1) out[p * planeRow + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return out;
}

// Byte run packing: a repeat packet for runs of 3 or more, literals else.
inline Bytes ByteRun(const Bytes& in) {
  Bytes out;
  size_t i = 0;
  while (i < in.size()) {
    size_t run = 1;
    while (i + run < in.size() && run < 128 && in[i + run] == in[i]) ++run;
    if (run >= 3) {
      U8(out, static_cast<unsigned>(257 - run));
      U8(out, in[i]);
      i += run;
    } else {
      const size_t n = in.size() - i < 128 ? in.size() - i : 128;
      size_t lit = 0;
      while (lit < n && !(i + lit + 2 < in.size() && in[i + lit] == in[i + lit + 1] &&
                          in[i + lit] == in[i + lit + 2])) {
        ++lit;
      }
      U8(out, static_cast<unsigned>(lit - 1));
      out.insert(out.end(), in.begin() + i, in.begin() + i + lit);
      i += lit;
    }
  }
  return out;
}

// ILBM with rows of colour indices, top row first.
inline Bytes Iff(int width, const std::vector<Bytes>& rows, int planes, const Bytes& cmap, int compression,
                 bool mask = false) {
  Bytes body;
  for (const Bytes& r : rows) {
    Bytes plane = IffPlaneRows(r, planes, mask);
    Append(body, compression ? ByteRun(plane) : plane);
  }
  Bytes form;
  Text(form, "ILBM");
  Chunk(form, "BMHD", IffBitmapHeader(width, static_cast<int>(rows.size()), planes, compression, mask ? 1 : 0));
  Chunk(form, "ANNO", Bytes{'h', 'i', '!'});
  Chunk(form, "CMAP", cmap);
  Chunk(form, "BODY", body);
  Bytes b;
  Text(b, "FORM");
  U32BE(b, static_cast<uint32_t>(form.size()));
  Append(b, form);
  return b;
}

// Softimage PIC header; the comment is 80 bytes (64 with shortHeader).
inline Bytes PicHeader(int width, int height, float version = 3.0f, bool shortHeader = false) {
  Bytes b;
  U32BE(b, 0x5380F634);
  uint32_t bits;
  std::memcpy(&bits, &version, 4);
  U32BE(b, bits);
  b.resize(b.size() + (shortHeader ? 64 : 80), 0);
  Text(b, "PICT");
  U16BE(b, width);
  U16BE(b, height);
  U32BE(b, 0x3F800000);
  U16BE(b, 3);
  U16BE(b, 0);
  return b;
}

inline void PicPacket(Bytes& b, bool chained, int encoding, int channels) {
  U8(b, chained ? 1 : 0);
  U8(b, 8);
  U8(b, encoding);
  U8(b, channels);
}

// Mixed run-length encoding of one row of pixels of n channels each.
inline Bytes PicMixedRow(const std::vector<Bytes>& pixels) {
  Bytes out;
  size_t i = 0;
  while (i < pixels.size()) {
    size_t run = 1;
    while (i + run < pixels.size() && pixels[i + run] == pixels[i]) ++run;
    if (run >= 2) {
      if (run <= 128) {
        U8(out, static_cast<unsigned>(run + 127));
      } else {
        U8(out, 128);
        U16BE(out, static_cast<unsigned>(run));
      }
      Append(out, pixels[i]);
      i += run;
    } else {
      size_t lit = 1;
      while (i + lit < pixels.size() && lit < 128 && pixels[i + lit] != pixels[i + lit - 1]) ++lit;
      // Leave a run's first pixel to the run.
      if (i + lit < pixels.size() && lit > 1 && pixels[i + lit] == pixels[i + lit - 1]) --lit;
      U8(out, static_cast<unsigned>(lit - 1));
      for (size_t k = 0; k < lit; ++k) Append(out, pixels[i + k]);
      i += lit;
    }
  }
  return out;
}

// DDS header (128 bytes).
inline Bytes DdsHeader(uint32_t width, uint32_t height, uint32_t mips, uint32_t pfFlags, const char* fourCC,
                       uint32_t bits, uint32_t r, uint32_t g, uint32_t bl, uint32_t a, uint32_t caps2 = 0,
                       uint32_t depth = 0) {
  Bytes b;
  Text(b, "DDS ");
  U32LE(b, 124);
  U32LE(b, 0x1007 | (mips ? 0x20000 : 0) | (depth ? 0x800000 : 0));
  U32LE(b, height);
  U32LE(b, width);
  U32LE(b, 0);
  U32LE(b, depth);
  U32LE(b, mips);
  for (int i = 0; i < 11; ++i) U32LE(b, 0);
  U32LE(b, 32);
  U32LE(b, pfFlags);
  if (fourCC) Text(b, fourCC); else U32LE(b, 0);
  U32LE(b, bits);
  U32LE(b, r);
  U32LE(b, g);
  U32LE(b, bl);
  U32LE(b, a);
  U32LE(b, 0x1000);
  U32LE(b, caps2);
  U32LE(b, 0);
  U32LE(b, 0);
  U32LE(b, 0);
  return b;
}

}  // namespace image_files
