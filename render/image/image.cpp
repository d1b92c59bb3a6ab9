#include "render/image/image.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace {

std::atomic<size_t> gMaxBytes{size_t{512} << 20};

}  // namespace

int VImage::BytesPerPixel(int layout) {
  switch (layout) {
    case kLayoutRGBA:
    case kLayoutBGRA:
      return 4;
    case kLayoutRGB:
    case kLayoutBGR:
      return 3;
    default:
      return 0;
  }
}

size_t VImage::GetMaxBytes() { return gMaxBytes.load(); }

void VImage::SetMaxBytes(size_t bytes) { gMaxBytes.store(bytes); }

bool VImage::ComputeSize(int64_t width, int64_t height, int layout, int64_t frames, size_t* bytes) {
  const int bpp = BytesPerPixel(layout);
  if (bpp == 0 || width <= 0 || height <= 0 || frames <= 0) return false;
  if (width > INT32_MAX || height > INT32_MAX || frames > INT32_MAX) return false;
  const uint64_t limit = gMaxBytes.load();
  // Each step stays below the limit, so no product can overflow 64 bits.
  uint64_t total = static_cast<uint64_t>(width) * bpp;
  if (total > limit) return false;
  if (total > limit / static_cast<uint64_t>(height)) return false;
  total *= static_cast<uint64_t>(height);
  if (total > limit / static_cast<uint64_t>(frames)) return false;
  total *= static_cast<uint64_t>(frames);
  *bytes = static_cast<size_t>(total);
  return true;
}

bool VImage::Allocate(int width, int height, int layout, int frames) {
  Clear();
  size_t bytes = 0;
  if (!ComputeSize(width, height, layout, frames, &bytes)) return false;
  try {
    mData.assign(bytes, 0);
  } catch (const std::bad_alloc&) {
    Clear();
    return false;
  }
  mWidth = width;
  mHeight = height;
  mLayout = layout;
  mFrames = frames;
  return true;
}

void VImage::Clear() {
  std::vector<uint8_t>().swap(mData);
  mWidth = mHeight = mFrames = 0;
  mLayout = kLayoutNone;
}

void VImage::FlipRows() {
  const size_t row = GetRowBytes();
  for (int f = 0; f < mFrames; ++f) {
    for (int top = mHeight - 1, bottom = 0; bottom < top; --top, ++bottom) {
      std::swap_ranges(GetRow(bottom, f), GetRow(bottom, f) + row, GetRow(top, f));
    }
  }
}

bool VImage::ConvertPixels(const uint8_t* src, int srcLayout, int width, uint8_t* dst, int dstLayout) {
  const int sb = BytesPerPixel(srcLayout), db = BytesPerPixel(dstLayout);
  if (sb == 0 || db == 0) return false;
  const bool srcBgr = srcLayout == kLayoutBGRA || srcLayout == kLayoutBGR;
  const bool dstBgr = dstLayout == kLayoutBGRA || dstLayout == kLayoutBGR;
  for (int x = 0; x < width; ++x, src += sb, dst += db) {
    const uint8_t r = srcBgr ? src[2] : src[0], g = src[1], b = srcBgr ? src[0] : src[2];
    const uint8_t a = sb == 4 ? src[3] : 255;
    dst[0] = dstBgr ? b : r;
    dst[1] = g;
    dst[2] = dstBgr ? r : b;
    if (db == 4) dst[3] = a;
  }
  return true;
}
