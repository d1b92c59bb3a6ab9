#include "render/image/png_writer.h"

#include <csetjmp>
#include <cstring>

#include <png.h>

#include "render/image/image_stream.h"

namespace {

constexpr int kCompressionLevel = 2;

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  std::vector<uint8_t>* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  bool ok = true;
  try {
    out->insert(out->end(), data, data + length);
  } catch (...) {
    ok = false;
  }
  if (!ok) png_error(png, "out of memory");
}

void Flush(png_structp) {}

void ErrorExit(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void Warning(png_structp, png_const_charp) {}

// Rows are given top first; kept apart so that no object with a destructor
// lives in the frame the error jump returns to.
bool Encode(png_bytep* rows, int width, int height, bool alpha, std::vector<uint8_t>* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorExit, Warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, AppendBytes, Flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, kCompressionLevel);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool VImageEncodePNG(const VImage& image, std::vector<uint8_t>* out, int frame) {
  out->clear();
  if (image.IsEmpty() || frame < 0 || frame >= image.GetFrameCount()) return false;
  const int layout = image.GetLayout();
  const bool alpha = layout == VImage::kLayoutRGBA || layout == VImage::kLayoutBGRA;
  const int outLayout = alpha ? VImage::kLayoutRGBA : VImage::kLayoutRGB;
  const int width = image.GetWidth(), height = image.GetHeight();
  std::vector<uint8_t> converted;
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  if (layout == outLayout) {
    for (int y = 0; y < height; ++y) rows[y] = const_cast<png_bytep>(image.GetRow(height - 1 - y, frame));
  } else {
    converted.resize(image.GetFrameBytes());
    for (int y = 0; y < height; ++y) {
      rows[y] = converted.data() + static_cast<size_t>(y) * image.GetRowBytes();
      VImage::ConvertPixels(image.GetRow(height - 1 - y, frame), layout, width, rows[y], outLayout);
    }
  }
  out->reserve(image.GetFrameBytes() / 2 + 1024);
  if (!Encode(rows.data(), width, height, alpha, out)) {
    out->clear();
    return false;
  }
  return true;
}

bool VImageWritePNG(const VImage& image, const std::string& fileName, int frame) {
  std::vector<uint8_t> bytes;
  return VImageEncodePNG(image, &bytes, frame) && VImageWriteFileAtomically(fileName, bytes);
}
