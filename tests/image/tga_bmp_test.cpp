// TGA and BMP: pixel layouts, row order, padding and hostile headers.
#include <gtest/gtest.h>

#include "render/image/tga_reader.h"
#include "tests/image/test_util.h"

namespace {

using image_test::Bytes;
using image_test::Decode;
using image_test::ExpectFails;
using image_test::ExpectPrefixesFail;
using image_test::Pixel;
namespace f = image_files;

TEST(TgaReaderTest, DepthsAndRowOrder) {
  VImage image;
  // 32 bits: read as stored, bottom row first, layout 4.
  ASSERT_TRUE(Decode("tga", f::Tga(2, 2, 32, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}), image));
  EXPECT_EQ(image.GetLayout(), VImage::kLayoutBGRA);
  EXPECT_EQ(image.GetFrameCount(), 1);
  EXPECT_EQ(Pixel(image, 1, 0), (Bytes{5, 6, 7, 8}));
  EXPECT_EQ(Pixel(image, 0, 1), (Bytes{9, 10, 11, 12}));
  // 24 bits: layout 5.
  ASSERT_TRUE(Decode("tga", f::Tga(1, 2, 24, Bytes{1, 2, 3, 4, 5, 6}), image));
  EXPECT_EQ(image.GetLayout(), VImage::kLayoutBGR);
  EXPECT_EQ(Pixel(image, 0, 1), (Bytes{4, 5, 6}));
  // 16 bits: 0xFFFF gives F8 F8 F8 80; pure red (0x7C00) and green (0x03E0).
  ASSERT_TRUE(Decode("tga", f::Tga(3, 1, 16, Bytes{0xFF, 0xFF, 0x00, 0x7C, 0xE0, 0x03}), image));
  EXPECT_EQ(image.GetLayout(), VImage::kLayoutBGRA);
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{0xF8, 0xF8, 0xF8, 0x80}));
  EXPECT_EQ(Pixel(image, 1, 0), (Bytes{0, 0, 0xF8, 0}));
  EXPECT_EQ(Pixel(image, 2, 0), (Bytes{0, 0xF8, 0, 0}));
  // The identification field is skipped.
  ASSERT_TRUE(Decode("tga", f::Tga(1, 1, 24, Bytes{1, 2, 3}, 5), image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{1, 2, 3}));
  // The origin bits of the descriptor are not applied.
  Bytes topDown = f::Tga(1, 2, 24, Bytes{1, 1, 1, 2, 2, 2});
  topDown[17] = 0x20;
  ASSERT_TRUE(Decode("tga", topDown, image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{1, 1, 1}));
}

TEST(TgaReaderTest, RefusesOtherTypesDepthsAndShortFiles) {
  const Bytes valid = f::Tga(2, 3, 24, Bytes(18, 7));
  ExpectPrefixesFail("tga", valid);
  for (int type : {0, 1, 3, 9, 10, 11}) {
    Bytes b = valid;
    b[2] = static_cast<uint8_t>(type);
    ExpectFails("tga", b, "image type");
  }
  for (int depth : {0, 8, 15, 31, 64}) {
    Bytes b = valid;
    b[16] = static_cast<uint8_t>(depth);
    ExpectFails("tga", b, "depth");
  }
  ExpectFails("tga", f::Tga(0, 3, 24, {}), "zero width");
  // 65535 x 65535 x 4 needs far more than the file holds.
  ExpectFails("tga", f::Tga(65535, 65535, 32, Bytes(64, 1)), "huge sides");
  Bytes longId = f::Tga(1, 1, 24, Bytes{1, 2, 3});
  longId[0] = 200;
  ExpectFails("tga", longId, "identification past the end");
  Bytes map = f::Tga(1, 1, 24, Bytes{1, 2, 3});
  map[1] = 1;
  map[5] = 1;
  map[7] = 24;
  ExpectFails("tga", map, "colour map leaves too few pixel bytes");
  f::Append(map, Bytes{4, 5, 6});
  VImage image;
  ASSERT_TRUE(Decode("tga", map, image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{4, 5, 6}));
}

TEST(TgaWriterTest, RoundTripsEveryLayout) {
  for (int layout : {2, 3, 4, 5}) {
    VImage image;
    ASSERT_TRUE(image.Allocate(3, 2, layout));
    for (size_t i = 0; i < image.GetDataSize(); ++i) image.GetData()[i] = static_cast<uint8_t>(i * 7 + 1);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(VImageStreamtga::Encode(image, &bytes));
    VImage back;
    ASSERT_TRUE(Decode("tga", bytes, back));
    const int expected = image.GetBytesPerPixel() == 4 ? VImage::kLayoutBGRA : VImage::kLayoutBGR;
    ASSERT_EQ(back.GetLayout(), expected);
    for (int y = 0; y < 2; ++y) {
      Bytes converted(image.GetRowBytes());
      VImage::ConvertPixels(image.GetRow(y), layout, 3, converted.data(), expected);
      EXPECT_EQ(Bytes(back.GetRow(y), back.GetRow(y) + back.GetRowBytes()), converted) << layout;
    }
  }
  VImage wide;
  ASSERT_TRUE(wide.Allocate(70000, 1, VImage::kLayoutRGB));
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(VImageStreamtga::Encode(wide, &bytes));
}

Bytes Palette(int colors) {
  Bytes p;
  for (int i = 0; i < colors; ++i) {
    f::U8(p, i);          // B
    f::U8(p, 100 + i);    // G
    f::U8(p, 200 - i);    // R
    f::U8(p, 0);
  }
  return p;
}

TEST(BmpReaderTest, EightBitPaddedRowsAndPalettes) {
  // 3 x 2, rows padded to 4 bytes.
  const Bytes rows = {0, 1, 2, 0xEE, 2, 1, 0, 0xEE};
  VImage image;
  ASSERT_TRUE(Decode("bmp", f::Bmp(3, 2, 8, Palette(3), 3, rows), image));
  EXPECT_EQ(image.GetLayout(), VImage::kLayoutBGR);
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{0, 100, 200}));
  EXPECT_EQ(Pixel(image, 2, 0), (Bytes{2, 102, 198}));
  EXPECT_EQ(Pixel(image, 0, 1), (Bytes{2, 102, 198}));  // rows stay in file order, unsheared
  // Colours-used 0: the full 256-entry palette.
  ASSERT_TRUE(Decode("bmp", f::Bmp(1, 1, 8, Palette(256), 0, Bytes{255, 0, 0, 0}), image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{255, 355 - 256, 200 - 255 + 256}));
  // An index past a short palette fails.
  ExpectFails("bmp", f::Bmp(3, 2, 8, Palette(2), 2, rows), "palette shorter than the indices");
  ExpectFails("bmp", f::Bmp(1, 1, 8, Palette(4), 300, Bytes{0, 0, 0, 0}), "more than 256 colours");
  // Colours-used 0 with only a partial palette in the file.
  ExpectFails("bmp", f::Bmp(1, 1, 8, Palette(16), 0, Bytes{0, 0, 0, 0}), "missing palette");
}

TEST(BmpReaderTest, TwentyFourAndThirtyTwoBits) {
  // 3 pixels wide: rows of 12 bytes, the 3 padding bytes dropped.
  Bytes rows;
  for (int y = 0; y < 2; ++y) {
    for (int i = 0; i < 9; ++i) f::U8(rows, y * 10 + i);
    for (int i = 0; i < 3; ++i) f::U8(rows, 0xEE);
  }
  VImage image;
  ASSERT_TRUE(Decode("bmp", f::Bmp(3, 2, 24, {}, 0, rows), image));
  EXPECT_EQ(image.GetLayout(), VImage::kLayoutBGR);
  EXPECT_EQ(Pixel(image, 2, 0), (Bytes{6, 7, 8}));
  EXPECT_EQ(Pixel(image, 0, 1), (Bytes{10, 11, 12}));
  // The stride comes from the image-size field when it is set.
  Bytes wide;
  for (int y = 0; y < 2; ++y) {
    for (int i = 0; i < 16; ++i) f::U8(wide, y * 50 + i);
  }
  ASSERT_TRUE(Decode("bmp", f::Bmp(3, 2, 24, {}, 0, wide, 32), image));
  EXPECT_EQ(Pixel(image, 0, 1), (Bytes{50, 51, 52}));
  // Unpadded rows (stride = width x 3) are read in one piece.
  ASSERT_TRUE(Decode("bmp", f::Bmp(3, 2, 24, {}, 0, Bytes(18, 4), 18), image));
  EXPECT_EQ(Pixel(image, 2, 1), (Bytes{4, 4, 4}));
  ExpectFails("bmp", f::Bmp(3, 2, 24, {}, 0, Bytes(18, 4), 10), "stride below the row");

  ASSERT_TRUE(Decode("bmp", f::Bmp(1, 2, 32, {}, 0, Bytes{1, 2, 3, 4, 5, 6, 7, 8}), image));
  EXPECT_EQ(image.GetLayout(), VImage::kLayoutBGRA);
  EXPECT_EQ(Pixel(image, 0, 1), (Bytes{5, 6, 7, 8}));
}

TEST(BmpReaderTest, RefusesUnsupportedAndHostileHeaders) {
  const Bytes valid8 = f::Bmp(3, 2, 8, Palette(3), 3, Bytes{0, 1, 2, 0, 2, 1, 0, 0});
  ExpectPrefixesFail("bmp", valid8, 1);  // the last row's padding may be missing
  ExpectPrefixesFail("bmp", f::Bmp(3, 2, 24, {}, 0, Bytes(24, 1)), 3);
  ExpectPrefixesFail("bmp", f::Bmp(2, 2, 32, {}, 0, Bytes(16, 1)));
  for (int bits : {1, 4, 16, 0, 48}) ExpectFails("bmp", f::Bmp(2, 2, bits, Palette(2), 2, Bytes(64, 0)), "bits");
  ExpectFails("bmp", f::Bmp(2, 2, 24, {}, 0, Bytes(16, 0), 0, 1), "compressed");
  Bytes header = f::Bmp(2, 2, 24, {}, 0, Bytes(16, 0));
  header[14] = 108;
  ExpectFails("bmp", header, "header size");
  ExpectFails("bmp", f::Bmp(2, -2, 24, {}, 0, Bytes(16, 0)), "negative height");
  ExpectFails("bmp", f::Bmp(-2, 2, 24, {}, 0, Bytes(16, 0)), "negative width");
  ExpectFails("bmp", f::Bmp(0x7FFFFFFF, 0x7FFFFFFF, 24, {}, 0, Bytes(16, 0)), "overflowing sides");
  ExpectFails("bmp", f::Bmp(0x40000000, 4, 32, {}, 0, Bytes(16, 0)), "width x 4 past 32 bits");
  ExpectFails("bmp", f::Bmp(2, 2, 24, {}, 0, Bytes(16, 0), 0xFFFFFFFF), "image size past the file");
}

}  // namespace
