// SGI: verbatim and run-length files, channel counts and hostile tables.
#include <gtest/gtest.h>

#include "tests/image/test_util.h"

namespace {

using image_test::Bytes;
using image_test::Decode;
using image_test::ExpectFails;
using image_test::ExpectPrefixesFail;
using image_test::Pixel;
namespace f = image_files;

TEST(SgiReaderTest, VerbatimChannels) {
  VImage image;
  // Grey: R = G = B, A = 255; bottom row first.
  ASSERT_TRUE(Decode("sgi", f::SgiVerbatim(2, 2, {Bytes{10, 20, 30, 40}}), image));
  EXPECT_EQ(image.GetLayout(), VImage::kLayoutRGBA);
  EXPECT_EQ(Pixel(image, 1, 0), (Bytes{20, 20, 20, 255}));
  EXPECT_EQ(Pixel(image, 0, 1), (Bytes{30, 30, 30, 255}));
  // Three channels keep alpha 255; four fill it.
  ASSERT_TRUE(Decode("rgb", f::SgiVerbatim(1, 1, {Bytes{1}, Bytes{2}, Bytes{3}}), image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{1, 2, 3, 255}));
  ASSERT_TRUE(Decode("rgba", f::SgiVerbatim(1, 1, {Bytes{1}, Bytes{2}, Bytes{3}, Bytes{4}}), image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{1, 2, 3, 4}));
  // Two bytes per channel: the high byte.
  Bytes two = f::SgiHeader(0, 2, 2, 2, 1, 1);
  for (unsigned v : {0x1234u, 0xABCDu}) f::U16BE(two, v);
  ASSERT_TRUE(Decode("sgi", two, image));
  EXPECT_EQ(Pixel(image, 1, 0), (Bytes{0xAB, 0xAB, 0xAB, 255}));
  // Dimension 1 forces one row and one channel.
  Bytes line = f::SgiHeader(0, 1, 1, 3, 9, 4);
  for (int v : {5, 6, 7}) f::U8(line, v);
  ASSERT_TRUE(Decode("sgi", line, image));
  EXPECT_EQ(image.GetHeight(), 1);
  EXPECT_EQ(Pixel(image, 2, 0), (Bytes{7, 7, 7, 255}));
}

TEST(SgiReaderTest, RunLengthRows) {
  const Bytes r0 = {1, 1, 1, 1, 2, 3}, r1 = {9, 8, 7, 7, 7, 7};
  std::vector<Bytes> rows;
  for (int z = 0; z < 3; ++z) {
    for (const Bytes& r : {r0, r1}) {
      Bytes shifted = r;
      for (uint8_t& v : shifted) v = static_cast<uint8_t>(v + 100 * z);
      rows.push_back(f::SgiEncodeRow(shifted));
    }
  }
  VImage image;
  ASSERT_TRUE(Decode("sgi", f::SgiRunLength(6, 2, 3, rows), image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{1, 101, 201, 255}));
  EXPECT_EQ(Pixel(image, 5, 0), (Bytes{3, 103, 203, 255}));
  EXPECT_EQ(Pixel(image, 1, 1), (Bytes{8, 108, 208, 255}));
  EXPECT_EQ(Pixel(image, 5, 1), (Bytes{7, 107, 207, 255}));
  // A row that ends early keeps the 255 fill.
  std::vector<Bytes> shortRows = {Bytes{0x82, 4, 5, 0}};
  ASSERT_TRUE(Decode("sgi", f::SgiRunLength(4, 1, 1, shortRows), image));
  EXPECT_EQ(Pixel(image, 1, 0), (Bytes{5, 5, 5, 255}));
  EXPECT_EQ(Pixel(image, 3, 0), (Bytes{255, 255, 255, 255}));
}

TEST(SgiReaderTest, RefusesHostileFiles) {
  std::vector<Bytes> rows = {f::SgiEncodeRow(Bytes{1, 2, 3, 3, 3, 3})};
  const Bytes rle = f::SgiRunLength(6, 1, 1, rows);
  ExpectPrefixesFail("sgi", rle);
  ExpectPrefixesFail("sgi", f::SgiVerbatim(3, 2, {Bytes(6, 1), Bytes(6, 2), Bytes(6, 3)}));

  Bytes magic = rle;
  magic[1] = 0;
  ExpectFails("sgi", magic, "magic");
  for (int z : {0, 2, 5}) ExpectFails("sgi", f::SgiHeader(0, 1, 3, 1, 1, z), "channels");
  ExpectFails("sgi", f::SgiHeader(2, 1, 3, 1, 1, 1), "storage");
  ExpectFails("sgi", f::SgiHeader(0, 3, 3, 1, 1, 1), "bytes per channel");
  ExpectFails("sgi", f::SgiHeader(0, 1, 3, 0, 1, 1), "zero width");
  ExpectFails("sgi", f::SgiHeader(1, 1, 3, 65535, 65535, 4), "huge run-length image without a table");

  // A repeat run past the row, a literal run past the file, a missing end
  // marker, start offsets inside the table and past the end.
  ExpectFails("sgi", f::SgiRunLength(4, 1, 1, {Bytes{5, 9, 0}}), "repeat past the row");
  ExpectFails("sgi", f::SgiRunLength(4, 1, 1, {Bytes{0x84, 1, 2}}), "literal past the file");
  ExpectFails("sgi", f::SgiRunLength(4, 1, 1, {Bytes{2, 9}}), "no end marker");
  Bytes inside = rle;
  inside[515] = 0;  // start offset 0, inside the header
  inside[514] = 0;
  ExpectFails("sgi", inside, "start inside the table");
  Bytes past = rle;
  past[512] = 0x7F;
  ExpectFails("sgi", past, "start past the end");

  // Every row pointing at the same data is allowed, but the image size stays
  // bounded: a small file cannot ask for more than the image limit.
  Bytes shared = f::SgiHeader(1, 1, 3, 65535, 65535, 1);
  ExpectFails("sgi", shared, "table shorter than the rows");
}

}  // namespace
