#include "render/image/tiff_reader.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include <tiffio.h>

namespace {

// The largest single allocation libtiff may make while reading.
constexpr tmsize_t kMaxLibraryAlloc = tmsize_t{256} << 20;

struct MemoryFile {
  const uint8_t* data;
  toff_t size;
  toff_t pos;
};

tmsize_t MemRead(thandle_t handle, void* buffer, tmsize_t count) {
  MemoryFile* f = static_cast<MemoryFile*>(handle);
  if (count <= 0 || f->pos >= f->size) return 0;
  toff_t n = static_cast<toff_t>(count);
  if (n > f->size - f->pos) n = f->size - f->pos;
  std::memcpy(buffer, f->data + f->pos, static_cast<size_t>(n));
  f->pos += n;
  return static_cast<tmsize_t>(n);
}

tmsize_t MemWrite(thandle_t, void*, tmsize_t) { return -1; }

toff_t MemSeek(thandle_t handle, toff_t offset, int whence) {
  MemoryFile* f = static_cast<MemoryFile*>(handle);
  toff_t base = 0;
  if (whence == SEEK_CUR) base = f->pos;
  else if (whence == SEEK_END) base = f->size;
  else if (whence != SEEK_SET) return static_cast<toff_t>(-1);
  // Relative offsets arrive unsigned; read them back as signed.
  const int64_t delta = static_cast<int64_t>(offset);
  if (whence != SEEK_SET && delta < 0 && static_cast<toff_t>(-(delta + 1)) >= base) return static_cast<toff_t>(-1);
  f->pos = whence == SEEK_SET ? offset : base + static_cast<toff_t>(delta);
  return f->pos;
}

int MemClose(thandle_t) { return 0; }

toff_t MemSize(thandle_t handle) { return static_cast<MemoryFile*>(handle)->size; }

int MemMap(thandle_t handle, void** base, toff_t* size) {
  MemoryFile* f = static_cast<MemoryFile*>(handle);
  *base = const_cast<uint8_t*>(f->data);
  *size = f->size;
  return 1;
}

void MemUnmap(thandle_t, void*, toff_t) {}

int QuietHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TIFFOpenOptions* QuietOptions() {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return nullptr;
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxLibraryAlloc);
  TIFFOpenOptionsSetErrorHandlerExtR(options, QuietHandler, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, QuietHandler, nullptr);
  return options;
}

bool ReadScanlines(TIFF* tif, int width, int height, int layout, VImage& image) {
  if (TIFFScanlineSize(tif) != static_cast<tmsize_t>(width) * VImage::BytesPerPixel(layout)) return false;
  if (!image.Allocate(width, height, layout)) return false;
  for (int row = 0; row < height; ++row) {
    if (TIFFReadScanline(tif, image.GetRow(height - 1 - row), static_cast<uint32_t>(row), 0) < 0) return false;
  }
  return true;
}

bool ReadRGBA(TIFF* tif, int width, int height, bool dropAlpha, VImage& image) {
  char message[1024];
  if (!TIFFRGBAImageOK(tif, message)) return false;
  if (!image.Allocate(width, height, VImage::kLayoutRGBA)) return false;
  uint32_t* raster = reinterpret_cast<uint32_t*>(image.GetData());
  if (!TIFFReadRGBAImageOriented(tif, static_cast<uint32_t>(width), static_cast<uint32_t>(height), raster,
                                 ORIENTATION_BOTLEFT, 1)) {
    return false;
  }
  // Packed pixels to bytes in R, G, B, A order whatever the host's order.
  uint8_t* bytes = image.GetData();
  const size_t pixels = static_cast<size_t>(width) * height;
  for (size_t i = 0; i < pixels; ++i) {
    const uint32_t p = raster[i];
    bytes[i * 4 + 0] = static_cast<uint8_t>(TIFFGetR(p));
    bytes[i * 4 + 1] = static_cast<uint8_t>(TIFFGetG(p));
    bytes[i * 4 + 2] = static_cast<uint8_t>(TIFFGetB(p));
    bytes[i * 4 + 3] = static_cast<uint8_t>(TIFFGetA(p));
  }
  if (!dropAlpha) return true;
  VImage rgb;
  if (!rgb.Allocate(width, height, VImage::kLayoutRGB)) return false;
  for (int y = 0; y < height; ++y) {
    VImage::ConvertPixels(image.GetRow(y), VImage::kLayoutRGBA, width, rgb.GetRow(y), VImage::kLayoutRGB);
  }
  image = std::move(rgb);
  return true;
}

}  // namespace

bool VImageStreamTIFF::Decode(const uint8_t* data, size_t size, VImage& image) {
  MemoryFile file{data, static_cast<toff_t>(size), 0};
  TIFFOpenOptions* options = QuietOptions();
  if (!options) return false;
  TIFF* tif = TIFFClientOpenExt("memory", "rm", &file, MemRead, MemWrite, MemSeek, MemClose, MemSize, MemMap,
                                MemUnmap, options);
  TIFFOpenOptionsFree(options);
  if (!tif) return false;
  uint32_t width = 0, height = 0;
  uint16_t samples = 1, bits = 1, photometric = 0, planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
  bool ok = TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) && TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) photometric = 0xFFFF;
  size_t bytes = 0;
  ok = ok && VImage::ComputeSize(width, height, VImage::kLayoutRGBA, 1, &bytes);
  if (ok) {
    const bool rgb8 = samples == 3 && bits == 8;
    // Plain RGB strips of 8-bit samples are read line by line as they are;
    // with a fourth sample that is unassociated alpha this also keeps the
    // colours from being premultiplied by the RGBA conversion.
    uint16_t extraCount = 0;
    uint16_t* extra = nullptr;
    const bool unassociated = samples == 4 && TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) &&
                              extraCount == 1 && extra[0] == EXTRASAMPLE_UNASSALPHA;
    const bool plain = bits == 8 && photometric == PHOTOMETRIC_RGB && planar == PLANARCONFIG_CONTIG &&
                       orientation == ORIENTATION_TOPLEFT && !TIFFIsTiled(tif);
    if (plain && (rgb8 || unassociated)) {
      ok = ReadScanlines(tif, static_cast<int>(width), static_cast<int>(height),
                         rgb8 ? VImage::kLayoutRGB : VImage::kLayoutRGBA, image);
    } else {
      ok = ReadRGBA(tif, static_cast<int>(width), static_cast<int>(height), rgb8, image);
    }
  }
  TIFFClose(tif);
  return ok;
}

bool VImageStreamTIFF::Write(const VImage& image) {
  const int bpp = image.GetBytesPerPixel();
  if (image.IsEmpty() || bpp == 0) return false;
  const std::string temp = GetFileName() + ".tmp" + std::to_string(static_cast<long>(getpid()));
  TIFFOpenOptions* options = QuietOptions();
  if (!options) return false;
  TIFF* tif = TIFFOpenExt(temp.c_str(), "w", options);
  TIFFOpenOptionsFree(options);
  if (!tif) return false;
  const int width = image.GetWidth(), height = image.GetHeight();
  const int fileLayout = bpp == 4 ? VImage::kLayoutRGBA : VImage::kLayoutRGB;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(bpp));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(8));
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
  if (bpp == 4) {
    const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
  }
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  std::vector<uint8_t> row(image.GetRowBytes());
  bool ok = true;
  for (int y = 0; y < height && ok; ++y) {
    VImage::ConvertPixels(image.GetRow(height - 1 - y), image.GetLayout(), width, row.data(), fileLayout);
    if (TIFFWriteScanline(tif, row.data(), static_cast<uint32_t>(y), 0) < 0) {
      VImageTrace("failure in WriteScanline\n");
      ok = false;
    }
  }
  if (ok && !TIFFFlush(tif)) ok = false;
  TIFFClose(tif);
  if (ok) ok = std::rename(temp.c_str(), GetFileName().c_str()) == 0;
  if (!ok) std::remove(temp.c_str());
  return ok;
}
