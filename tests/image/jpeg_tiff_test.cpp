// JPEG through libjpeg and TIFF through libtiff: row order, layouts, errors.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <cstdlib>
#include <string>

#include "render/image/jpeg_reader.h"
#include "render/image/tiff_reader.h"
#include "support/temp_dir.h"
#include "tests/image/test_util.h"

namespace {

using image_test::Bytes;
using image_test::Decode;
using image_test::ExpectFails;
using image_test::Pixel;

// 16 x 16: bottom half red, top half blue (bottom row first), RGB.
VImage TwoBands(int layout = VImage::kLayoutRGB) {
  VImage image;
  image.Allocate(16, 16, layout);
  const int bpp = image.GetBytesPerPixel();
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      uint8_t* p = image.GetRow(y) + x * bpp;
      p[0] = y < 8 ? 250 : 0;
      p[1] = static_cast<uint8_t>(x * 10);
      p[2] = y < 8 ? 0 : 250;
      if (bpp == 4) p[3] = static_cast<uint8_t>(y * 16);
    }
  }
  return image;
}

TEST(JpegReaderTest, DecodesBottomRowFirst) {
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(VImageStreamJPG::Encode(TwoBands(), 95, &jpeg));
  VImage image;
  ASSERT_TRUE(Decode("jpg", jpeg, image));
  EXPECT_EQ(image.GetLayout(), VImage::kLayoutRGB);
  EXPECT_EQ(image.GetWidth(), 16);
  EXPECT_EQ(image.GetHeight(), 16);
  const Bytes bottom = Pixel(image, 4, 2), top = Pixel(image, 4, 13);
  EXPECT_GT(bottom[0], 200);
  EXPECT_LT(bottom[2], 50);
  EXPECT_LT(top[0], 50);
  EXPECT_GT(top[2], 200);
  EXPECT_NEAR(Pixel(image, 12, 4)[1], 120, 12);
}

TEST(JpegReaderTest, RefusesBrokenData) {
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(VImageStreamJPG::Encode(TwoBands(), 80, &jpeg));
  image_test::ExpectPrefixesFail("jpeg", jpeg);
  ExpectFails("jpeg", Bytes{}, "empty");
  ExpectFails("jpeg", Bytes(100, 0xFF), "no start of image");
  // A frame header claiming 65500 x 65500 is refused before anything is
  // allocated, since the pixels pass the image limit.
  Bytes big = jpeg;
  for (size_t i = 0; i + 8 < big.size(); ++i) {
    if (big[i] == 0xFF && big[i + 1] == 0xC0) {
      big[i + 5] = big[i + 7] = 0xFF;
      big[i + 6] = big[i + 8] = 0xDC;
      break;
    }
  }
  ExpectFails("jpeg", big, "huge frame");
}

std::string WriteTiff(const testing_support::TempDir& dir, const char* name, const VImage& image) {
  VImageStreamTIFF stream;
  stream.SetFileName(dir.File(name));
  EXPECT_TRUE(stream.Write(image));
  return dir.File(name);
}

Bytes FileBytes(const std::string& path) {
  const std::string s = testing_support::ReadFileBytes(path);
  return Bytes(s.begin(), s.end());
}

TEST(TiffReaderTest, RoundTripsRgbAndRgba) {
  testing_support::TempDir dir;
  VImage back;
  // Three 8-bit samples: layout 3, bottom row first.
  const VImage rgb = TwoBands();
  ASSERT_TRUE(Decode("tif", FileBytes(WriteTiff(dir, "rgb.tif", rgb)), back));
  EXPECT_EQ(back.GetLayout(), VImage::kLayoutRGB);
  EXPECT_EQ(Bytes(back.GetData(), back.GetData() + back.GetDataSize()),
            Bytes(rgb.GetData(), rgb.GetData() + rgb.GetDataSize()));
  // Four samples: layout 2.
  const VImage rgba = TwoBands(VImage::kLayoutRGBA);
  ASSERT_TRUE(Decode("tiff", FileBytes(WriteTiff(dir, "rgba.tiff", rgba)), back));
  EXPECT_EQ(back.GetLayout(), VImage::kLayoutRGBA);
  EXPECT_EQ(Bytes(back.GetData(), back.GetData() + back.GetDataSize()),
            Bytes(rgba.GetData(), rgba.GetData() + rgba.GetDataSize()));
  // BGR input is written as RGB.
  VImage bgr;
  ASSERT_TRUE(bgr.Allocate(1, 1, VImage::kLayoutBGR));
  bgr.GetData()[0] = 3;
  ASSERT_TRUE(VImageReadFile(WriteTiff(dir, "bgr.tif", bgr), back));
  EXPECT_EQ(Pixel(back, 0, 0), (Bytes{0, 0, 3}));
  // A failed write leaves nothing behind.
  VImageStreamTIFF stream;
  stream.SetFileName(dir.File("missing/x.tif"));
  EXPECT_FALSE(stream.Write(rgb));
  EXPECT_FALSE(stream.Write(VImage()));
}

TEST(TiffReaderTest, OtherLayoutsGoThroughRgba) {
  testing_support::TempDir dir;
  const std::string path = dir.File("grey.tif");
  // An 8-bit grey image written with libtiff directly, bottom-left origin.
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  ASSERT_TRUE(tif);
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 3u);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 2u);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
  uint8_t rows[2][3] = {{10, 20, 30}, {40, 50, 60}};
  for (uint32_t r = 0; r < 2; ++r) ASSERT_GE(TIFFWriteScanline(tif, rows[r], r, 0), 0);
  TIFFClose(tif);
  VImage image;
  ASSERT_TRUE(VImageReadFile(path, image));
  EXPECT_EQ(image.GetLayout(), VImage::kLayoutRGBA);
  EXPECT_EQ(Pixel(image, 1, 1), (Bytes{20, 20, 20, 255}));  // the file's first row is the top
  EXPECT_EQ(Pixel(image, 2, 0), (Bytes{60, 60, 60, 255}));
}

TEST(TiffReaderTest, RefusesBrokenFiles) {
  testing_support::TempDir dir;
  const Bytes valid = FileBytes(WriteTiff(dir, "v.tif", TwoBands()));
  // Prefixes: sampled, since each one opens the library afresh.
  for (size_t n = 0; n < valid.size(); n += (n < 64 ? 1 : 37)) {
    ExpectFails("tif", Bytes(valid.begin(), valid.begin() + n), "prefix");
  }
  ExpectFails("tif", Bytes{'I', 'I', 42, 0, 8, 0, 0, 0}, "no directory");
  ExpectFails("tif", Bytes(64, 0), "not a TIFF");
  // Sides past the image limit.
  VImage tiny;
  ASSERT_TRUE(tiny.Allocate(1, 1, VImage::kLayoutRGB));
  Bytes huge = FileBytes(WriteTiff(dir, "h.tif", tiny));
  bool patched = false;
  for (size_t i = 8; i + 12 <= huge.size(); ++i) {
    // IFD entries for width (256) and length (257) as LONG/SHORT count 1.
    if ((huge[i] == 0x00 || huge[i] == 0x01) && huge[i + 1] == 0x01 && huge[i + 4] == 1 && huge[i + 5] == 0 &&
        huge[i + 6] == 0 && huge[i + 7] == 0 && (huge[i + 2] == 3 || huge[i + 2] == 4) && huge[i + 3] == 0) {
      huge[i + 8] = 0xFF;
      huge[i + 9] = 0xFF;
      patched = true;
    }
  }
  ASSERT_TRUE(patched);
  ExpectFails("tif", huge, "huge sides");
}

}  // namespace
