#include "render/image/pic_reader.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "render/image/byte_reader.h"

namespace {

constexpr uint32_t kMagic = 0x5380F634;
constexpr int kMaxPackets = 8;

struct Packet {
  uint8_t chained = 0, size = 0, encoding = 0, channels = 0;
};

// Byte offsets in an RGBA pixel of the channels a packet carries.
int ChannelOffsets(uint8_t mask, int offsets[4]) {
  int n = 0;
  const uint8_t bits[4] = {0x80, 0x40, 0x20, 0x10};
  for (int c = 0; c < 4; ++c) {
    if (mask & bits[c]) offsets[n++] = c;
  }
  return n;
}

void Put(uint8_t* row, int x, const int* offsets, int n, const uint8_t* values) {
  uint8_t* p = row + static_cast<size_t>(x) * 4;
  for (int c = 0; c < n; ++c) p[offsets[c]] = values[c];
}

// One row of one packet. Runs must stay inside the row.
bool DecodeRow(VByteReader& in, const Packet& packet, int width, uint8_t* row) {
  int offsets[4];
  const int n = ChannelOffsets(packet.channels, offsets);
  const uint8_t* values = nullptr;
  if (packet.encoding == 0) {
    for (int x = 0; x < width; ++x) {
      if (!in.Take(n, &values)) return false;
      Put(row, x, offsets, n, values);
    }
    return true;
  }
  int x = 0;
  while (x < width) {
    uint8_t control = 0;
    if (!in.U8(&control)) return false;
    if (packet.encoding == 1) {
      // Pure run-length: a count, then the value repeated count times.
      if (control == 0 || control > width - x || !in.Take(n, &values)) return false;
      for (int i = 0; i < control; ++i) Put(row, x++, offsets, n, values);
    } else if (control < 128) {
      // Mixed: control + 1 literal pixels.
      const int count = control + 1;
      if (count > width - x) return false;
      for (int i = 0; i < count; ++i) {
        if (!in.Take(n, &values)) return false;
        Put(row, x++, offsets, n, values);
      }
    } else {
      // Mixed: a long run with a 16-bit count (control 128), or a short
      // run of control - 127 pixels.
      int count = control - 127;
      if (control == 128) {
        uint16_t longCount = 0;
        if (!in.U16BE(&longCount)) return false;
        count = longCount;
      }
      if (count == 0 || count > width - x || !in.Take(n, &values)) return false;
      for (int i = 0; i < count; ++i) Put(row, x++, offsets, n, values);
    }
  }
  return true;
}

bool EndsWithPic(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".pic";
}

}  // namespace

bool VImageStreampict::Read(VImage& image) {
  image.Clear();
  std::string name = GetFileName();
  if (!EndsWithPic(name)) name += ".pic";
  std::vector<uint8_t> bytes;
  if (!VImageLoadFile(name, &bytes)) return false;
  return ReadMemory(bytes.data(), bytes.size(), image);
}

bool VImageStreampict::Decode(const uint8_t* data, size_t size, VImage& image) {
  VByteReader in(data, size);
  uint32_t magic = 0, versionBits = 0;
  if (!in.U32BE(&magic) || magic != kMagic || !in.U32BE(&versionBits)) return false;
  // The identifier follows an 80-byte comment; files with a 64-byte comment
  // (an 88-byte header) are read as well.
  size_t idOffset = 0;
  if (size >= 92 && std::memcmp(data + 88, "PICT", 4) == 0) {
    idOffset = 88;
  } else if (size >= 76 && std::memcmp(data + 72, "PICT", 4) == 0) {
    idOffset = 72;
  } else {
    return false;
  }
  in.Seek(idOffset + 4);
  uint16_t width = 0, height = 0, fields = 0, pad = 0;
  uint32_t ratio = 0;
  if (!in.U16BE(&width) || !in.U16BE(&height) || !in.U32BE(&ratio) || !in.U16BE(&fields) || !in.U16BE(&pad)) {
    return false;
  }
  float version = 0;
  std::memcpy(&version, &versionBits, sizeof version);
  if (version > kKnownVersion) {
    char text[160];
    std::snprintf(text, sizeof text, "Warning, file version %g is later than DKit release version %g\n",
                  static_cast<double>(version), static_cast<double>(kKnownVersion));
    VImageTrace(text);
    VImageTrace("Attempt to read: An error may occur...\n");
  }

  Packet packets[kMaxPackets];
  int count = 0;
  for (;;) {
    if (count == kMaxPackets) return false;
    Packet& p = packets[count++];
    if (!in.U8(&p.chained) || !in.U8(&p.size) || !in.U8(&p.encoding) || !in.U8(&p.channels)) return false;
    p.encoding &= 0x0F;
    if (p.size != 8 || p.encoding > 2 || (p.channels & 0xF0) == 0) return false;
    if (!p.chained) break;
  }
  if (width == 0 || height == 0) return false;
  // Every row of every packet takes at least two bytes.
  if (in.Remaining() / 2 / static_cast<size_t>(count) < height) return false;
  if (!image.Allocate(width, height, VImage::kLayoutRGBA)) return false;
  uint8_t* pixels = image.GetData();
  for (size_t i = 3; i < image.GetFrameBytes(); i += 4) pixels[i] = 255;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = image.GetRow(height - 1 - y);
    for (int p = 0; p < count; ++p) {
      if (!DecodeRow(in, packets[p], width, row)) return false;
    }
  }
  return true;
}
