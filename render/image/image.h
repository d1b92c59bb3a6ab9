#pragma once
// The engine's image: width, height, a pixel layout code, a frame count and
// one pixel buffer holding every frame, bottom row first.
//
// Layout codes:
//   2  R, G, B, A  (4 bytes per pixel)
//   3  R, G, B     (3 bytes per pixel)
//   4  B, G, R, A  (4 bytes per pixel, as TGA and BMP files store them)
//   5  B, G, R     (3 bytes per pixel, as TGA and BMP files store them)
//
// Every allocation goes through Allocate, which refuses sizes whose products
// overflow or pass the process-wide limit (GetMaxBytes).

#include <cstddef>
#include <cstdint>
#include <vector>

class VImage {
 public:
  enum Layout {
    kLayoutNone = 0,
    kLayoutRGBA = 2,
    kLayoutRGB = 3,
    kLayoutBGRA = 4,
    kLayoutBGR = 5,
  };

  VImage() = default;

  // 4 for layouts 2 and 4, 3 for layouts 3 and 5, 0 for anything else.
  static int BytesPerPixel(int layout);

  // Largest pixel buffer Allocate accepts, in bytes (default 512 MiB).
  static size_t GetMaxBytes();
  static void SetMaxBytes(size_t bytes);

  // Bytes of a width x height x frames image of the layout; false when a
  // side or the frame count is not positive, the layout is unknown, a
  // product overflows or the total passes GetMaxBytes.
  static bool ComputeSize(int64_t width, int64_t height, int layout, int64_t frames, size_t* bytes);

  // Sizes the image and its zero-filled buffer; on failure the image is left
  // empty and false is answered.
  bool Allocate(int width, int height, int layout, int frames = 1);
  void Clear();
  bool IsEmpty() const { return mData.empty(); }

  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  int GetLayout() const { return mLayout; }
  int GetFrameCount() const { return mFrames; }
  int GetBytesPerPixel() const { return BytesPerPixel(mLayout); }
  size_t GetRowBytes() const { return static_cast<size_t>(mWidth) * GetBytesPerPixel(); }
  size_t GetFrameBytes() const { return GetRowBytes() * static_cast<size_t>(mHeight); }

  uint8_t* GetData() { return mData.data(); }
  const uint8_t* GetData() const { return mData.data(); }
  size_t GetDataSize() const { return mData.size(); }
  // Row y (0 = bottom) of a frame; the caller keeps y and frame in range.
  uint8_t* GetRow(int y, int frame = 0) {
    return mData.data() + static_cast<size_t>(frame) * GetFrameBytes() + static_cast<size_t>(y) * GetRowBytes();
  }
  const uint8_t* GetRow(int y, int frame = 0) const {
    return mData.data() + static_cast<size_t>(frame) * GetFrameBytes() + static_cast<size_t>(y) * GetRowBytes();
  }

  // Converts width pixels of one layout to another (alpha 255 where the
  // source has none); false for an unknown layout.
  static bool ConvertPixels(const uint8_t* src, int srcLayout, int width, uint8_t* dst, int dstLayout);

  // Swaps rows top for bottom in every frame.
  void FlipRows();

 private:
  int mWidth = 0;
  int mHeight = 0;
  int mLayout = kLayoutNone;
  int mFrames = 0;
  std::vector<uint8_t> mData;
};
