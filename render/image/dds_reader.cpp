#include "render/image/dds_reader.h"

#include <cstring>

#include "render/image/byte_reader.h"

namespace {

constexpr uint32_t kFlagMipMapCount = 0x20000;
constexpr uint32_t kFlagDepth = 0x800000;
constexpr uint32_t kPixelAlphaPixels = 0x1;
constexpr uint32_t kPixelAlpha = 0x2;
constexpr uint32_t kPixelFourCC = 0x4;
constexpr uint32_t kPixelRGB = 0x40;
constexpr uint32_t kPixelLuminance = 0x20000;
constexpr uint32_t kCaps2CubeMap = 0x200;
constexpr uint32_t kCaps2Faces = 0xFC00;
constexpr uint32_t kCaps2Volume = 0x200000;

enum class Format { kNone, kDXT1, kDXT3, kDXT5, kMasked };

struct Masks {
  uint32_t r = 0, g = 0, b = 0, a = 0;
  bool luminance = false;
};

constexpr uint32_t FourCC(const char* s) {
  return static_cast<uint32_t>(static_cast<uint8_t>(s[0])) | (static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 8) |
         (static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(s[3])) << 24);
}

int CountBits(uint32_t v) {
  int n = 0;
  for (; v; v &= v - 1) ++n;
  return n;
}

// A channel of a masked pixel scaled to 8 bits; fallback when the mask is 0.
uint8_t Channel(uint32_t pixel, uint32_t mask, uint8_t fallback) {
  if (mask == 0) return fallback;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  const uint32_t m = mask >> shift;
  const uint32_t v = (pixel & mask) >> shift;
  const int bits = CountBits(m);
  if (bits >= 8) return static_cast<uint8_t>(v >> (bits - 8));
  return static_cast<uint8_t>(v * 255 / m);
}

void Expand565(uint16_t c, uint8_t out[3]) {
  const int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
  out[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
  out[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
  out[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
}

// Decodes a colour block into 16 RGBA pixels (row-major, top row first).
void DecodeColorBlock(const uint8_t* block, bool threeColorMode, uint8_t out[16][4]) {
  const uint16_t c0 = static_cast<uint16_t>(block[0] | (block[1] << 8));
  const uint16_t c1 = static_cast<uint16_t>(block[2] | (block[3] << 8));
  uint8_t colors[4][4];
  Expand565(c0, colors[0]);
  Expand565(c1, colors[1]);
  colors[0][3] = colors[1][3] = colors[2][3] = colors[3][3] = 255;
  if (c0 > c1 || !threeColorMode) {
    for (int i = 0; i < 3; ++i) {
      colors[2][i] = static_cast<uint8_t>((2 * colors[0][i] + colors[1][i]) / 3);
      colors[3][i] = static_cast<uint8_t>((colors[0][i] + 2 * colors[1][i]) / 3);
    }
  } else {
    for (int i = 0; i < 3; ++i) {
      colors[2][i] = static_cast<uint8_t>((colors[0][i] + colors[1][i]) / 2);
      colors[3][i] = 0;
    }
    colors[3][3] = 0;
  }
  const uint32_t indices = static_cast<uint32_t>(block[4]) | (static_cast<uint32_t>(block[5]) << 8) |
                           (static_cast<uint32_t>(block[6]) << 16) | (static_cast<uint32_t>(block[7]) << 24);
  for (int p = 0; p < 16; ++p) std::memcpy(out[p], colors[(indices >> (2 * p)) & 3], 4);
}

void DecodeExplicitAlpha(const uint8_t* block, uint8_t out[16][4]) {
  for (int p = 0; p < 16; ++p) {
    const int nibble = (block[p / 2] >> (4 * (p & 1))) & 15;
    out[p][3] = static_cast<uint8_t>(nibble * 17);
  }
}

void DecodeInterpolatedAlpha(const uint8_t* block, uint8_t out[16][4]) {
  const int a0 = block[0], a1 = block[1];
  int alpha[8] = {a0, a1};
  if (a0 > a1) {
    for (int i = 1; i < 7; ++i) alpha[i + 1] = ((7 - i) * a0 + i * a1) / 7;
  } else {
    for (int i = 1; i < 5; ++i) alpha[i + 1] = ((5 - i) * a0 + i * a1) / 5;
    alpha[6] = 0;
    alpha[7] = 255;
  }
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
  for (int p = 0; p < 16; ++p) out[p][3] = static_cast<uint8_t>(alpha[(bits >> (3 * p)) & 7]);
}

struct Surface {
  Format format = Format::kNone;
  int bitCount = 0;  // masked formats
  Masks masks;
};

uint64_t LevelBytes(const Surface& s, uint64_t w, uint64_t h) {
  if (s.format == Format::kMasked) return (w * static_cast<uint64_t>(s.bitCount) + 7) / 8 * h;
  const uint64_t blocks = ((w + 3) / 4) * ((h + 3) / 4);
  return blocks * (s.format == Format::kDXT1 ? 8 : 16);
}

void DecodeSurface(const Surface& s, const uint8_t* src, int width, int height, VImage& image, int frame) {
  if (s.format == Format::kMasked) {
    const int bytes = s.bitCount / 8;
    const size_t pitch = (static_cast<size_t>(width) * s.bitCount + 7) / 8;
    for (int y = 0; y < height; ++y) {
      const uint8_t* p = src + pitch * y;
      uint8_t* dst = image.GetRow(height - 1 - y, frame);
      for (int x = 0; x < width; ++x, p += bytes, dst += 4) {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
        dst[0] = Channel(v, s.masks.r, 0);
        dst[1] = s.masks.luminance ? dst[0] : Channel(v, s.masks.g, 0);
        dst[2] = s.masks.luminance ? dst[0] : Channel(v, s.masks.b, 0);
        dst[3] = Channel(v, s.masks.a, 255);
      }
    }
    return;
  }
  const int blockBytes = s.format == Format::kDXT1 ? 8 : 16;
  const int blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
  uint8_t texels[16][4];
  for (int by = 0; by < blocksHigh; ++by) {
    for (int bx = 0; bx < blocksWide; ++bx, src += blockBytes) {
      if (s.format == Format::kDXT1) {
        DecodeColorBlock(src, true, texels);
      } else {
        DecodeColorBlock(src + 8, false, texels);
        if (s.format == Format::kDXT3) DecodeExplicitAlpha(src, texels);
        else DecodeInterpolatedAlpha(src, texels);
      }
      for (int py = 0; py < 4 && by * 4 + py < height; ++py) {
        uint8_t* dst = image.GetRow(height - 1 - (by * 4 + py), frame);
        for (int px = 0; px < 4 && bx * 4 + px < width; ++px) {
          std::memcpy(dst + static_cast<size_t>(bx * 4 + px) * 4, texels[py * 4 + px], 4);
        }
      }
    }
  }
}

bool FormatFromDxgi(uint32_t dxgi, Surface* s) {
  switch (dxgi) {
    case 70: case 71: case 72: s->format = Format::kDXT1; return true;
    case 73: case 74: case 75: s->format = Format::kDXT3; return true;
    case 76: case 77: case 78: s->format = Format::kDXT5; return true;
    case 27: case 28: case 29: case 30:
      s->format = Format::kMasked;
      s->bitCount = 32;
      s->masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000u, false};
      return true;
    case 87: case 90: case 91:
      s->format = Format::kMasked;
      s->bitCount = 32;
      s->masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000u, false};
      return true;
    case 88: case 92: case 93:
      s->format = Format::kMasked;
      s->bitCount = 32;
      s->masks = {0xFF0000, 0xFF00, 0xFF, 0, false};
      return true;
    default:
      return false;
  }
}

}  // namespace

bool VImageStreamDDS::Decode(const uint8_t* data, size_t size, VImage& image) {
  VByteReader in(data, size);
  uint32_t magic = 0, headerSize = 0, flags = 0, height = 0, width = 0, pitch = 0, depth = 0, mipCount = 0;
  if (!in.U32LE(&magic) || magic != FourCC("DDS ")) return false;
  if (!in.U32LE(&headerSize) || headerSize != 124 || !in.U32LE(&flags) || !in.U32LE(&height) ||
      !in.U32LE(&width) || !in.U32LE(&pitch) || !in.U32LE(&depth) || !in.U32LE(&mipCount) || !in.Skip(44)) {
    return false;
  }
  uint32_t pfSize = 0, pfFlags = 0, fourCC = 0, bitCount = 0, caps = 0, caps2 = 0;
  Masks masks;
  if (!in.U32LE(&pfSize) || !in.U32LE(&pfFlags) || !in.U32LE(&fourCC) || !in.U32LE(&bitCount) ||
      !in.U32LE(&masks.r) || !in.U32LE(&masks.g) || !in.U32LE(&masks.b) || !in.U32LE(&masks.a) ||
      !in.U32LE(&caps) || !in.U32LE(&caps2) || !in.Skip(12)) {
    return false;
  }

  Surface surface;
  uint64_t frames = 1;
  bool volume = false;
  if (pfFlags & kPixelFourCC) {
    if (fourCC == FourCC("DXT1")) surface.format = Format::kDXT1;
    else if (fourCC == FourCC("DXT2") || fourCC == FourCC("DXT3")) surface.format = Format::kDXT3;
    else if (fourCC == FourCC("DXT4") || fourCC == FourCC("DXT5")) surface.format = Format::kDXT5;
    else if (fourCC == FourCC("DX10")) {
      uint32_t dxgi = 0, dimension = 0, misc = 0, arraySize = 0, misc2 = 0;
      if (!in.U32LE(&dxgi) || !in.U32LE(&dimension) || !in.U32LE(&misc) || !in.U32LE(&arraySize) ||
          !in.U32LE(&misc2) || !FormatFromDxgi(dxgi, &surface)) {
        return false;
      }
      if (dimension == 4) {
        volume = true;
      } else {
        frames = arraySize == 0 ? 1 : arraySize;
        if (misc & 0x4) frames *= 6;
      }
    } else {
      return false;
    }
  } else if (pfFlags & (kPixelRGB | kPixelLuminance | kPixelAlpha)) {
    if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) return false;
    surface.format = Format::kMasked;
    surface.bitCount = static_cast<int>(bitCount);
    surface.masks = masks;
    surface.masks.luminance = (pfFlags & kPixelLuminance) != 0;
    if (!(pfFlags & (kPixelAlphaPixels | kPixelAlpha))) surface.masks.a = 0;
    if (!(pfFlags & (kPixelRGB | kPixelLuminance))) surface.masks.r = surface.masks.g = surface.masks.b = 0;
    if (bitCount < 32) {
      const uint32_t limit = (1u << bitCount) - 1;
      surface.masks.r &= limit;
      surface.masks.g &= limit;
      surface.masks.b &= limit;
      surface.masks.a &= limit;
    }
  } else {
    return false;
  }

  if (caps2 & kCaps2Volume) volume = true;
  if (volume) {
    frames = (flags & kFlagDepth) || depth > 1 ? depth : 1;
    if (frames == 0) frames = 1;
  } else if (caps2 & kCaps2CubeMap) {
    const int faces = CountBits(caps2 & kCaps2Faces);
    frames = faces ? faces : 6;
  }

  // The base level of every frame must be a possible image; this also bounds
  // the sides and the frame count.
  size_t imageBytes = 0;
  if (!VImage::ComputeSize(width, height, VImage::kLayoutRGBA, static_cast<int64_t>(frames), &imageBytes)) {
    return false;
  }
  uint64_t levels = (flags & kFlagMipMapCount) || mipCount > 1 ? mipCount : 1;
  if (levels == 0) levels = 1;
  uint64_t maxLevels = 1;
  {
    uint64_t side = width > height ? width : height;
    if (volume && frames > side) side = frames;
    while (side > 1) {
      side >>= 1;
      ++maxLevels;
    }
  }
  if (levels > maxLevels) return false;

  // Bytes of one frame's chain (a volume's chain holds all its slices).
  uint64_t chain = 0;
  for (uint64_t l = 0; l < levels; ++l) {
    const uint64_t w = (width >> l) ? (width >> l) : 1, h = (height >> l) ? (height >> l) : 1;
    uint64_t slices = 1;
    if (volume) slices = (frames >> l) ? (frames >> l) : 1;
    chain += LevelBytes(surface, w, h) * slices;
  }
  const uint64_t total = volume ? chain : chain * frames;
  if (total > in.Remaining()) return false;

  if (!image.Allocate(static_cast<int>(width), static_cast<int>(height), VImage::kLayoutRGBA,
                      static_cast<int>(frames))) {
    return false;
  }
  const uint64_t base = LevelBytes(surface, width, height);
  for (uint64_t f = 0; f < frames; ++f) {
    const uint64_t offset = volume ? base * f : chain * f;
    DecodeSurface(surface, in.Current() + offset, static_cast<int>(width), static_cast<int>(height), image,
                  static_cast<int>(f));
  }
  return true;
}
