// Raw YUV frames and DDS containers.
#include <gtest/gtest.h>

#include <cstdlib>

#include "render/image/yuv_reader.h"
#include "support/temp_dir.h"
#include "tests/image/test_util.h"

namespace {

using image_test::Bytes;
using image_test::Decode;
using image_test::ExpectFails;
using image_test::Pixel;
namespace f = image_files;

TEST(YuvReaderTest, LineCountsAndConversion) {
  VImage image;
  for (int lines : {486, 576}) {
    Bytes frame(static_cast<size_t>(lines) * 1440);
    for (size_t i = 0; i < frame.size(); i += 4) {
      frame[i] = 128;      // Cb
      frame[i + 1] = 235;  // Y0: white
      frame[i + 2] = 128;  // Cr
      frame[i + 3] = 16;   // Y1: black
    }
    // The first line is red (Y 82, Cb 90, Cr 240).
    for (size_t i = 0; i < 1440; i += 4) {
      frame[i] = 90;
      frame[i + 1] = frame[i + 3] = 82;
      frame[i + 2] = 240;
    }
    ASSERT_TRUE(Decode("yuv", frame, image)) << lines;
    EXPECT_EQ(image.GetWidth(), 720);
    EXPECT_EQ(image.GetHeight(), lines);
    EXPECT_EQ(image.GetLayout(), VImage::kLayoutRGB);
    EXPECT_EQ(Pixel(image, 0, 0), (Bytes{255, 255, 255}));
    EXPECT_EQ(Pixel(image, 1, 0), (Bytes{0, 0, 0}));
    const Bytes red = Pixel(image, 719, lines - 1);  // the first line is the top row
    EXPECT_GE(red[0], 250);
    EXPECT_LE(red[1], 3);
    EXPECT_LE(red[2], 3);
  }
  // 699,840 bytes (486 lines) is accepted; a line more or less is not.
  for (size_t size : {size_t{699840} + 1440, size_t{699840} - 1440, size_t{0}, size_t{1439}, size_t{5}}) {
    ExpectFails("yuv", Bytes(size, 128), "line count");
  }
  ExpectFails("yuv", Bytes(699839, 128), "one byte short of the last line");
  EXPECT_TRUE(Decode("yuv", Bytes(699840 + 1438, 128), image));
}

TEST(YuvWriterTest, RoundTripsWithinRounding) {
  VImage image;
  ASSERT_TRUE(image.Allocate(720, 486, VImage::kLayoutRGB));
  for (int y = 0; y < 486; ++y) {
    for (int x = 0; x < 720; ++x) {
      uint8_t* p = image.GetRow(y) + x * 3;
      // Flat colour across each pixel pair, so the shared chroma is exact.
      p[0] = static_cast<uint8_t>((x / 2) * 7);
      p[1] = static_cast<uint8_t>(y / 2);
      p[2] = static_cast<uint8_t>(255 - (x / 2) * 3);
    }
  }
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(VImageStreamyuv::Encode(image, &bytes));
  ASSERT_EQ(bytes.size(), 699840u);
  VImage back;
  ASSERT_TRUE(Decode("yuv", bytes, back));
  int worst = 0;
  for (size_t i = 0; i < image.GetDataSize(); ++i) {
    worst = std::max(worst, std::abs(int(image.GetData()[i]) - int(back.GetData()[i])));
  }
  EXPECT_LE(worst, 4);

  testing_support::TempDir dir;
  VImageStreamyuv stream;
  stream.SetFileName(dir.File("f.yuv"));
  EXPECT_TRUE(stream.Write(image));
  VImage small;
  ASSERT_TRUE(small.Allocate(720, 10, VImage::kLayoutRGB));
  EXPECT_FALSE(stream.Write(small));
  EXPECT_FALSE(stream.Write(VImage()));
}

// A 4 x 4 DXT block set: one colour block c0 = red, c1 = blue.
Bytes Dxt1Block(uint16_t c0, uint16_t c1, uint32_t indices) {
  Bytes b;
  f::U16LE(b, c0);
  f::U16LE(b, c1);
  f::U32LE(b, indices);
  return b;
}

TEST(DdsReaderTest, UncompressedMasksAndRowOrder) {
  // 2 x 2 BGRA 32 bits; the file's first row is the top.
  Bytes b = f::DdsHeader(2, 2, 0, 0x41, nullptr, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
  f::Append(b, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  VImage image;
  ASSERT_TRUE(Decode("dds", b, image));
  EXPECT_EQ(image.GetLayout(), VImage::kLayoutRGBA);
  EXPECT_EQ(image.GetFrameCount(), 1);
  EXPECT_EQ(Pixel(image, 0, 1), (Bytes{3, 2, 1, 4}));
  EXPECT_EQ(Pixel(image, 1, 0), (Bytes{15, 14, 13, 16}));
  // 24-bit RGB without alpha; 16-bit 565; 8-bit luminance.
  Bytes rgb = f::DdsHeader(1, 1, 0, 0x40, nullptr, 24, 0xFF, 0xFF00, 0xFF0000, 0);
  f::Append(rgb, Bytes{9, 8, 7});
  ASSERT_TRUE(Decode("dds", rgb, image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{9, 8, 7, 255}));
  Bytes r565 = f::DdsHeader(1, 1, 0, 0x40, nullptr, 16, 0xF800, 0x07E0, 0x001F, 0);
  f::U16LE(r565, 0xF81F);
  ASSERT_TRUE(Decode("dds", r565, image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{255, 0, 255, 255}));
  Bytes lum = f::DdsHeader(1, 1, 0, 0x20000, nullptr, 8, 0xFF, 0, 0, 0);
  f::U8(lum, 77);
  ASSERT_TRUE(Decode("dds", lum, image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{77, 77, 77, 255}));
}

TEST(DdsReaderTest, CompressedBlocksMipsAndFrames) {
  // DXT1 4 x 4: top row colour 0 (red), second colour 1 (blue), third the
  // 2/3-1/3 mix, bottom row the mix the other way.
  const uint32_t indices = 0x00 | (0x55 << 8) | (0xAA << 16) | (0xFFu << 24);
  Bytes dxt1 = f::DdsHeader(4, 4, 0, 0x4, "DXT1", 0, 0, 0, 0, 0);
  f::Append(dxt1, Dxt1Block(0xF800, 0x001F, indices));
  VImage image;
  ASSERT_TRUE(Decode("dds", dxt1, image));
  EXPECT_EQ(Pixel(image, 0, 3), (Bytes{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(image, 3, 2), (Bytes{0, 0, 255, 255}));
  EXPECT_EQ(Pixel(image, 1, 1), (Bytes{170, 0, 85, 255}));
  EXPECT_EQ(Pixel(image, 2, 0), (Bytes{85, 0, 170, 255}));
  // c0 <= c1: three colours and transparent black.
  Bytes punch = f::DdsHeader(2, 2, 0, 0x4, "DXT1", 0, 0, 0, 0, 0);
  f::Append(punch, Dxt1Block(0x001F, 0xF800, 0xFFFFFFFF));
  ASSERT_TRUE(Decode("dds", punch, image));
  EXPECT_EQ(image.GetWidth(), 2);
  EXPECT_EQ(Pixel(image, 1, 1), (Bytes{0, 0, 0, 0}));

  // DXT3: explicit 4-bit alpha; DXT5: interpolated alpha.
  Bytes dxt3 = f::DdsHeader(4, 4, 0, 0x4, "DXT3", 0, 0, 0, 0, 0);
  Bytes alpha3(8, 0);
  alpha3[0] = 0xF3;  // pixel 0: 3 -> 51; pixel 1: 15 -> 255
  f::Append(dxt3, alpha3);
  f::Append(dxt3, Dxt1Block(0x001F, 0xF800, 0));  // colour 0 even though c0 < c1
  ASSERT_TRUE(Decode("dds", dxt3, image));
  EXPECT_EQ(Pixel(image, 0, 3), (Bytes{0, 0, 255, 51}));
  EXPECT_EQ(Pixel(image, 1, 3), (Bytes{0, 0, 255, 255}));
  Bytes dxt5 = f::DdsHeader(4, 4, 0, 0x4, "DXT5", 0, 0, 0, 0, 0);
  f::Append(dxt5, Bytes{200, 100, 0, 0, 0, 0, 0, 0});
  f::Append(dxt5, Dxt1Block(0xFFFF, 0, 0));
  dxt5[128 + 2] = 0x01 | (0x07 << 3);  // pixel 0 index 1 (100), pixel 1 index 7
  ASSERT_TRUE(Decode("dds", dxt5, image));
  EXPECT_EQ(Pixel(image, 0, 3), (Bytes{255, 255, 255, 100}));
  EXPECT_EQ(Pixel(image, 1, 3)[3], (1 * 200 + 6 * 100) / 7);
  EXPECT_EQ(Pixel(image, 2, 3)[3], 200);

  // Mipmaps are checked and skipped; a cube map has six frames.
  Bytes mips = f::DdsHeader(8, 4, 4, 0x4, "DXT1", 0, 0, 0, 0, 0);
  mips.resize(128 + 16 + 8 + 8 + 8, 0);
  ASSERT_TRUE(Decode("dds", mips, image));
  mips.pop_back();
  ExpectFails("dds", mips, "mip chain past the end");
  Bytes cube = f::DdsHeader(4, 4, 3, 0x41, nullptr, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000u, 0xFE00);
  const size_t chain = (16 + 4 + 1) * 4;
  for (int face = 0; face < 6; ++face) {
    Bytes faceBytes(chain, static_cast<uint8_t>(face * 10));
    f::Append(cube, faceBytes);
  }
  ASSERT_TRUE(Decode("dds", cube, image));
  EXPECT_EQ(image.GetFrameCount(), 6);
  EXPECT_EQ(Pixel(image, 3, 3, 5), (Bytes{50, 50, 50, 50}));
  cube.pop_back();
  ExpectFails("dds", cube, "cube faces past the end");

  // The extended header: BC3 and an array of two RGBA8 images.
  Bytes dx10 = f::DdsHeader(1, 1, 0, 0x4, "DX10", 0, 0, 0, 0, 0);
  for (uint32_t v : {28u, 3u, 0u, 2u, 0u}) f::U32LE(dx10, v);
  f::Append(dx10, Bytes{1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_TRUE(Decode("dds", dx10, image));
  EXPECT_EQ(image.GetFrameCount(), 2);
  EXPECT_EQ(Pixel(image, 0, 0, 1), (Bytes{5, 6, 7, 8}));
}

TEST(DdsReaderTest, RefusesHostileContainers) {
  Bytes dxt1 = f::DdsHeader(8, 8, 4, 0x4, "DXT1", 0, 0, 0, 0, 0);
  dxt1.resize(128 + 32 + 8 + 8 + 8, 0x55);
  image_test::ExpectPrefixesFail("dds", dxt1);
  const struct { uint32_t w, h, mips; const char* what; } bad[] = {
      {8, 8, 5, "more mips than the sides allow"},
      {8, 8, 0xFFFFFFFF, "huge mip count"},
      {0, 8, 1, "zero width"},
      {0xFFFFFFFF, 0xFFFFFFFF, 1, "overflowing sides"},
      {65536, 65536, 1, "sides past the image limit"},
      {4096, 4096, 13, "sizes past the file"},
  };
  for (const auto& b : bad) {
    Bytes d = f::DdsHeader(b.w, b.h, b.mips, 0x4, "DXT5", 0, 0, 0, 0, 0);
    d.resize(128 + 4096, 0);
    ExpectFails("dds", d, b.what);
  }
  Bytes unknown = f::DdsHeader(4, 4, 0, 0x4, "ATI2", 0, 0, 0, 0, 0);
  unknown.resize(128 + 64);
  ExpectFails("dds", unknown, "unknown four-character code");
  Bytes bits = f::DdsHeader(4, 4, 0, 0x40, nullptr, 12, 0xF00, 0xF0, 0xF, 0);
  bits.resize(128 + 64);
  ExpectFails("dds", bits, "12 bits per pixel");
  Bytes size = dxt1;
  size[4] = 100;
  ExpectFails("dds", size, "header size");
  Bytes volume = f::DdsHeader(4, 4, 0, 0x4, "DXT1", 0, 0, 0, 0, 0, 0x200000, 0x7FFFFFFF);
  volume.resize(128 + 64);
  ExpectFails("dds", volume, "volume depth past the file");
  Bytes array = f::DdsHeader(4, 4, 0, 0x4, "DX10", 0, 0, 0, 0, 0);
  for (uint32_t v : {71u, 3u, 4u, 0xFFFFFFFFu, 0u}) f::U32LE(array, v);
  array.resize(array.size() + 64);
  ExpectFails("dds", array, "array size past the file");
}

}  // namespace
