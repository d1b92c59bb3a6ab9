// IFF ILBM and Softimage PIC: planes, byte runs, channel packets, hostile
// chunks and runs.
#include <gtest/gtest.h>

#include <string>

#include "render/image/pic_reader.h"
#include "support/temp_dir.h"
#include "tests/image/test_util.h"

namespace {

using image_test::Bytes;
using image_test::Decode;
using image_test::ExpectFails;
using image_test::ExpectPrefixesFail;
using image_test::Pixel;
namespace f = image_files;

Bytes ColorMap(int colors) {
  Bytes m;
  for (int i = 0; i < colors; ++i) {
    f::U8(m, i * 10);
    f::U8(m, i * 10 + 1);
    f::U8(m, i * 10 + 2);
  }
  return m;
}

// 17 x 2 with indices 0..7 (3 planes): plane rows of 4 bytes.
std::vector<Bytes> IndexRows() {
  Bytes top, bottom;
  for (int x = 0; x < 17; ++x) {
    top.push_back(static_cast<uint8_t>(x % 8));
    bottom.push_back(static_cast<uint8_t>(x < 9 ? 5 : 2));
  }
  return {top, bottom};
}

TEST(IffReaderTest, PlanesColourMapAndRowOrder) {
  for (int compression : {0, 1}) {
    for (bool mask : {false, true}) {
      VImage image;
      ASSERT_TRUE(Decode("iff", f::Iff(17, IndexRows(), 3, ColorMap(8), compression, mask), image))
          << compression << mask;
      EXPECT_EQ(image.GetLayout(), VImage::kLayoutRGBA);
      EXPECT_EQ(image.GetWidth(), 17);
      // The file's top row is the buffer's last row.
      EXPECT_EQ(Pixel(image, 3, 1), (Bytes{30, 31, 32, 255}));
      EXPECT_EQ(Pixel(image, 16, 1), (Bytes{0, 1, 2, 255}));
      EXPECT_EQ(Pixel(image, 8, 0), (Bytes{50, 51, 52, 255}));
      EXPECT_EQ(Pixel(image, 9, 0), (Bytes{20, 21, 22, 255}));
    }
  }
}

TEST(IffReaderTest, RefusesHostileChunksAndRuns) {
  const Bytes valid = f::Iff(17, IndexRows(), 3, ColorMap(8), 1);
  ExpectPrefixesFail("iff", valid, 1);  // the body's pad byte may be missing
  ExpectPrefixesFail("iff", f::Iff(17, IndexRows(), 3, ColorMap(8), 0), 1);

  ExpectFails("iff", f::Iff(17, IndexRows(), 3, ColorMap(5), 0), "colour map shorter than the indices");
  ExpectFails("iff", f::Iff(17, IndexRows(), 3, ColorMap(8), 2), "unknown compression");
  Bytes form = valid;
  form[8] = 'P';
  ExpectFails("iff", form, "not ILBM");

  // A chunk length past the end of the file.
  Bytes b;
  f::Text(b, "FORM");
  f::U32BE(b, 100);
  f::Text(b, "ILBM");
  Bytes longChunk = b;
  f::Text(longChunk, "BMHD");
  f::U32BE(longChunk, 0xFFFFFFF0);
  ExpectFails("iff", longChunk, "chunk past the end");

  // A colour map before the header, a body before the colour map.
  Bytes noHeader = b;
  f::Chunk(noHeader, "CMAP", ColorMap(2));
  f::Chunk(noHeader, "BODY", Bytes(8, 0));
  ExpectFails("iff", noHeader, "CMAP without BMHD");
  Bytes noMap = b;
  f::Chunk(noMap, "BMHD", f::IffBitmapHeader(1, 1, 1, 0));
  f::Chunk(noMap, "BODY", Bytes(2, 0));
  ExpectFails("iff", noMap, "BODY without CMAP");

  // Byte runs past a row of planes: a repeat of 128 bytes into a 2-byte row.
  Bytes runs = b;
  f::Chunk(runs, "BMHD", f::IffBitmapHeader(1, 2, 1, 1));
  f::Chunk(runs, "CMAP", ColorMap(2));
  f::Chunk(runs, "BODY", Bytes{0x81, 0});
  ExpectFails("iff", runs, "repeat past the row");
  Bytes literal = b;
  f::Chunk(literal, "BMHD", f::IffBitmapHeader(1, 1, 1, 1));
  f::Chunk(literal, "CMAP", ColorMap(2));
  f::Chunk(literal, "BODY", Bytes{5, 0, 0});
  ExpectFails("iff", literal, "literal past the row");
  // Huge sides with a tiny body, zero sides and too many planes.
  for (const Bytes& header : {f::IffBitmapHeader(65535, 65535, 8, 1), f::IffBitmapHeader(0, 4, 1, 0),
                              f::IffBitmapHeader(4, 4, 9, 0), f::IffBitmapHeader(4, 4, 0, 0)}) {
    Bytes h = b;
    f::Chunk(h, "BMHD", header);
    f::Chunk(h, "CMAP", ColorMap(256));
    f::Chunk(h, "BODY", Bytes{0x81, 0, 0x81, 0});
    ExpectFails("iff", h, "header");
  }
  // A colour map longer than 256 entries is cut to 768 bytes.
  Bytes longMap = b;
  f::Chunk(longMap, "BMHD", f::IffBitmapHeader(1, 1, 1, 0));
  Bytes map = ColorMap(2);
  map.resize(1000, 9);
  f::Chunk(longMap, "CMAP", map);
  f::Chunk(longMap, "BODY", Bytes{0x80, 0});
  VImage image;
  ASSERT_TRUE(Decode("iff", longMap, image));
  EXPECT_EQ(Pixel(image, 0, 0), (Bytes{10, 11, 12, 255}));
}

// A PIC file of the given rows (top first) of RGBA pixels; packets: RGB
// (with the encoding) then alpha uncompressed when withAlpha.
Bytes Pic(const std::vector<std::vector<Bytes>>& rows, int encoding, bool withAlpha, bool shortHeader = false,
          float version = 3.0f) {
  const int width = static_cast<int>(rows[0].size());
  Bytes b = f::PicHeader(width, static_cast<int>(rows.size()), version, shortHeader);
  f::PicPacket(b, withAlpha, encoding, 0xE0);
  if (withAlpha) f::PicPacket(b, false, 0, 0x10);
  for (const auto& row : rows) {
    std::vector<Bytes> rgb;
    for (const Bytes& p : row) rgb.push_back(Bytes(p.begin(), p.begin() + 3));
    if (encoding == 0) {
      for (const Bytes& p : rgb) f::Append(b, p);
    } else if (encoding == 1) {
      for (size_t i = 0; i < rgb.size();) {
        size_t run = 1;
        while (i + run < rgb.size() && run < 255 && rgb[i + run] == rgb[i]) ++run;
        f::U8(b, static_cast<unsigned>(run));
        f::Append(b, rgb[i]);
        i += run;
      }
    } else {
      f::Append(b, f::PicMixedRow(rgb));
    }
    if (withAlpha) {
      for (const Bytes& p : row) f::U8(b, p[3]);
    }
  }
  return b;
}

std::vector<std::vector<Bytes>> PicRows() {
  const Bytes red = {255, 0, 0, 10}, blue = {0, 0, 255, 20}, grey = {7, 7, 7, 30};
  std::vector<Bytes> top(200, red);
  top[0] = blue;
  top[1] = grey;
  std::vector<Bytes> bottom(200, grey);
  for (int i = 50; i < 60; ++i) bottom[i] = (i & 1) ? red : blue;
  return {top, bottom};
}

TEST(PicReaderTest, EncodingsAndRowOrder) {
  for (int encoding : {0, 1, 2}) {
    for (bool alpha : {false, true}) {
      for (bool shortHeader : {false, true}) {
        VImage image;
        ASSERT_TRUE(Decode("pic", Pic(PicRows(), encoding, alpha, shortHeader), image)) << encoding << alpha;
        EXPECT_EQ(image.GetLayout(), VImage::kLayoutRGBA);
        // The file's first row is the buffer's last row.
        EXPECT_EQ(Pixel(image, 0, 1), (Bytes{0, 0, 255, static_cast<uint8_t>(alpha ? 20 : 255)}));
        EXPECT_EQ(Pixel(image, 1, 1), (Bytes{7, 7, 7, static_cast<uint8_t>(alpha ? 30 : 255)}));
        EXPECT_EQ(Pixel(image, 199, 1), (Bytes{255, 0, 0, static_cast<uint8_t>(alpha ? 10 : 255)}));
        EXPECT_EQ(Pixel(image, 51, 0), (Bytes{255, 0, 0, static_cast<uint8_t>(alpha ? 10 : 255)}));
        EXPECT_EQ(Pixel(image, 52, 0), (Bytes{0, 0, 255, static_cast<uint8_t>(alpha ? 20 : 255)}));
        EXPECT_EQ(Pixel(image, 60, 0), (Bytes{7, 7, 7, static_cast<uint8_t>(alpha ? 30 : 255)}));
      }
    }
  }
}

std::string gTrace;
void CollectTrace(const char* text) { gTrace += text; }

TEST(PicReaderTest, LaterVersionWarnsAndReads) {
  gTrace.clear();
  VImageSetTraceFunction(CollectTrace);
  VImage image;
  EXPECT_TRUE(Decode("pic", Pic(PicRows(), 2, false, false, 9.5f), image));
  VImageSetTraceFunction(nullptr);
  EXPECT_EQ(gTrace,
            "Warning, file version 9.5 is later than DKit release version 3.71\n"
            "Attempt to read: An error may occur...\n");
}

TEST(PicReaderTest, AppendsTheExtensionToTheName) {
  testing_support::TempDir dir;
  const Bytes bytes = Pic(PicRows(), 1, true);
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("shot.pic"), std::string(bytes.begin(), bytes.end())));
  VImageStreampict stream;
  VImage image;
  stream.SetFileName(dir.File("shot"));
  EXPECT_TRUE(stream.Read(image));
  stream.SetFileName(dir.File("shot.pic"));
  EXPECT_TRUE(stream.Read(image));
  stream.SetFileName(dir.File("other"));
  EXPECT_FALSE(stream.Read(image));
  EXPECT_TRUE(image.IsEmpty());
}

TEST(PicReaderTest, RefusesHostileHeadersAndRuns) {
  for (int encoding : {0, 1, 2}) ExpectPrefixesFail("pic", Pic(PicRows(), encoding, true));
  Bytes magic = Pic(PicRows(), 0, false);
  magic[0] = 0x54;
  ExpectFails("pic", magic, "magic");
  Bytes id = Pic(PicRows(), 0, false);
  id[88] = 'X';
  ExpectFails("pic", id, "identifier");

  auto withData = [](int width, int height, std::vector<std::vector<int>> packets, const Bytes& data) {
    Bytes b = f::PicHeader(width, height);
    for (const auto& p : packets) f::PicPacket(b, p[0] != 0, p[1], p[2]);
    f::Append(b, data);
    return b;
  };
  ExpectFails("pic", withData(2, 1, {{0, 3, 0xE0}}, Bytes(6, 0)), "unknown encoding");
  ExpectFails("pic", withData(2, 1, {{0, 0, 0x0F}}, Bytes(6, 0)), "no channels");
  ExpectFails("pic", withData(2, 1, {{1, 0, 0x80}, {1, 0, 0x40}, {1, 0, 0x20}, {1, 0, 0x10}, {1, 0, 0x80},
                                     {1, 0, 0x80}, {1, 0, 0x80}, {1, 0, 0x80}, {1, 0, 0x80}},
                                  Bytes(64, 0)),
              "endless packet chain");
  ExpectFails("pic", withData(2, 1, {{0, 1, 0x80}}, Bytes{3, 9}), "pure run past the row");
  ExpectFails("pic", withData(2, 1, {{0, 1, 0x80}}, Bytes{0, 9, 2, 9}), "pure run of 0");
  ExpectFails("pic", withData(2, 1, {{0, 2, 0x80}}, Bytes{130, 9}), "mixed repeat past the row");
  ExpectFails("pic", withData(2, 1, {{0, 2, 0x80}}, Bytes{128, 0xFF, 0xFF, 9}), "long run past the row");
  ExpectFails("pic", withData(2, 1, {{0, 2, 0x80}}, Bytes{128, 0, 0, 9, 128, 0, 2, 9}), "long run of 0");
  ExpectFails("pic", withData(2, 1, {{0, 2, 0x80}}, Bytes{5, 1, 2, 3, 4, 5, 6}), "literals past the row");
  ExpectFails("pic", withData(65535, 65535, {{0, 1, 0xF0}}, Bytes(64, 1)), "huge sides");
  ExpectFails("pic", withData(0, 4, {{0, 1, 0xF0}}, Bytes(64, 1)), "zero width");
}

}  // namespace
