// VImage sizing and conversions, the stream registry, PNG output.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdint>
#include <limits>

#include "render/image/png_writer.h"
#include "render/image/tga_reader.h"
#include "support/temp_dir.h"
#include "tests/image/test_util.h"

namespace {

using image_test::Bytes;

TEST(VImageTest, AllocateRefusesBadAndOverflowingSizes) {
  VImage image;
  ASSERT_TRUE(image.Allocate(3, 2, VImage::kLayoutRGB, 2));
  EXPECT_EQ(image.GetRowBytes(), 9u);
  EXPECT_EQ(image.GetFrameBytes(), 18u);
  EXPECT_EQ(image.GetDataSize(), 36u);
  EXPECT_EQ(image.GetRow(1, 1) - image.GetData(), 27);

  const struct { int w, h, layout, frames; } bad[] = {
      {0, 5, 2, 1}, {5, 0, 2, 1}, {-1, 5, 2, 1}, {5, 5, 1, 1}, {5, 5, 6, 1}, {5, 5, 2, 0},
      {INT32_MAX, INT32_MAX, 2, 1}, {65536, 65536, 2, 1}, {1 << 20, 1 << 20, 4, INT32_MAX},
  };
  for (const auto& b : bad) {
    EXPECT_FALSE(image.Allocate(b.w, b.h, b.layout, b.frames)) << b.w << "x" << b.h;
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.GetLayout(), VImage::kLayoutNone);
  }
  size_t bytes = 0;
  EXPECT_FALSE(VImage::ComputeSize(INT64_MAX, INT64_MAX, 2, INT64_MAX, &bytes));
  EXPECT_FALSE(VImage::ComputeSize(1LL << 40, 1LL << 40, 2, 1, &bytes));

  const size_t old = VImage::GetMaxBytes();
  VImage::SetMaxBytes(100);
  EXPECT_TRUE(image.Allocate(5, 5, VImage::kLayoutRGBA));
  EXPECT_FALSE(image.Allocate(5, 6, VImage::kLayoutRGBA));
  VImage::SetMaxBytes(old);
}

TEST(VImageTest, ConvertAndFlip) {
  const uint8_t bgra[] = {1, 2, 3, 4, 5, 6, 7, 8};
  uint8_t out[8] = {};
  ASSERT_TRUE(VImage::ConvertPixels(bgra, VImage::kLayoutBGRA, 2, out, VImage::kLayoutRGB));
  EXPECT_EQ(Bytes(out, out + 6), (Bytes{3, 2, 1, 7, 6, 5}));
  const uint8_t rgb[] = {9, 8, 7};
  ASSERT_TRUE(VImage::ConvertPixels(rgb, VImage::kLayoutRGB, 1, out, VImage::kLayoutBGRA));
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{7, 8, 9, 255}));
  EXPECT_FALSE(VImage::ConvertPixels(rgb, 7, 1, out, VImage::kLayoutRGB));

  VImage image;
  ASSERT_TRUE(image.Allocate(1, 3, VImage::kLayoutRGB, 2));
  for (size_t i = 0; i < image.GetDataSize(); ++i) image.GetData()[i] = static_cast<uint8_t>(i);
  image.FlipRows();
  EXPECT_EQ(image_test::Pixel(image, 0, 0), (Bytes{6, 7, 8}));
  EXPECT_EQ(image_test::Pixel(image, 0, 1), (Bytes{3, 4, 5}));
  EXPECT_EQ(image_test::Pixel(image, 0, 2, 1), (Bytes{9, 10, 11}));
}

TEST(ImageRegistryTest, KeysClassesAndOrder) {
  const VImageRegistry& registry = VImageRegistry::Instance();
  std::vector<std::string> readers, writers;
  for (const VImageStreamEntry& e : registry.GetEntries(kImageReaderPath)) {
    readers.push_back(e.key);
    EXPECT_EQ(e.description, VImageRegistry::DescriptionOf(e.key));
  }
  for (const VImageStreamEntry& e : registry.GetEntries(kImageWriterPath)) writers.push_back(e.key);
  EXPECT_EQ(readers, (std::vector<std::string>{"dds", "sgi", "rgb", "rgba", "yuv", "bmp", "iff", "pic", "tga",
                                               "jpeg", "jpg", "tiff", "tif"}));
  EXPECT_EQ(writers, (std::vector<std::string>{"yuv", "tga", "tiff", "tif"}));
  EXPECT_EQ(VImageRegistry::DescriptionOf("tiff"), "TIFF reader/writer");
  EXPECT_STREQ(kImageReaderPath, "Stream/Reader/Image");
  EXPECT_STREQ(kImageWriterPath, "Stream/Writer/Image");

  const struct { const char* ext; const char* cls; } classes[] = {
      {"dds", "VImageStreamDDS"}, {"SGI", "VImageStreamsgi"}, {".rgba", "VImageStreamsgi"},
      {"yuv", "VImageStreamyuv"}, {"bmp", "VImageStreambmp"}, {"iff", "VImageStreamiff"},
      {"pic", "VImageStreampict"}, {"Tga", "VImageStreamtga"}, {"jpg", "VImageStreamJPG"},
      {"tif", "VImageStreamTIFF"},
  };
  for (const auto& c : classes) {
    auto stream = registry.CreateReader(c.ext);
    ASSERT_TRUE(stream) << c.ext;
    EXPECT_STREQ(stream->GetClassName(), c.cls);
  }
  EXPECT_FALSE(registry.CreateReader("png"));
  EXPECT_FALSE(registry.CreateWriter("bmp"));
  EXPECT_TRUE(registry.CreateWriter("TGA")->CanWrite());
  EXPECT_FALSE(registry.CreateReader("bmp")->CanWrite());

  EXPECT_EQ(VImageRegistry::ExtensionOf("/a.b/c.TGA"), "tga");
  EXPECT_EQ(VImageRegistry::ExtensionOf("/a.b/noext"), "");
  EXPECT_EQ(VImageRegistry::ExtensionOf("x."), "");
}

TEST(ImageRegistryTest, ReadAndWriteThroughFiles) {
  testing_support::TempDir dir;
  VImage image;
  ASSERT_TRUE(image.Allocate(2, 1, VImage::kLayoutRGB));
  image.GetData()[0] = 10;
  image.GetData()[5] = 20;
  ASSERT_TRUE(VImageWriteFile(dir.File("a.tga"), image));
  VImage back;
  ASSERT_TRUE(VImageReadFile(dir.File("a.tga"), back));
  EXPECT_EQ(back.GetLayout(), VImage::kLayoutBGR);
  EXPECT_EQ(image_test::Pixel(back, 0, 0), (Bytes{0, 0, 10}));
  EXPECT_EQ(image_test::Pixel(back, 1, 0), (Bytes{20, 0, 0}));

  // Missing files, unknown extensions and writers of read-only formats fail
  // and leave the image empty.
  EXPECT_FALSE(VImageReadFile(dir.File("missing.tga"), back));
  EXPECT_TRUE(back.IsEmpty());
  testing_support::WriteFileBytes(dir.File("a.xyz"), "abc");
  EXPECT_FALSE(VImageReadFile(dir.File("a.xyz"), back));
  EXPECT_FALSE(VImageWriteFile(dir.File("a.bmp"), image));
  EXPECT_FALSE(VImageReadFile(dir.path(), back));  // a folder
  // A failed write leaves nothing under the name.
  EXPECT_FALSE(VImageWriteFile(dir.File("no/such/folder.tga"), image));
}

// Decodes PNG bytes with libpng's simplified reader into RGBA, top row first.
Bytes DecodePng(const std::vector<uint8_t>& png, int* width, int* height, int* channels) {
  png_image info;
  std::memset(&info, 0, sizeof info);
  info.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&info, png.data(), png.size())) return {};
  *width = static_cast<int>(info.width);
  *height = static_cast<int>(info.height);
  *channels = PNG_IMAGE_SAMPLE_CHANNELS(info.format);
  info.format = PNG_FORMAT_RGBA;
  Bytes out(PNG_IMAGE_SIZE(info));
  if (!png_image_finish_read(&info, nullptr, out.data(), 0, nullptr)) return {};
  return out;
}

TEST(PngWriterTest, TopRowFirstAndChannelsByLayout) {
  VImage image;
  ASSERT_TRUE(image.Allocate(2, 2, VImage::kLayoutBGRA, 2));
  // Bottom row: blue, green; top row: red, white (B, G, R, A).
  const uint8_t px[] = {255, 0, 0, 10, 0, 255, 0, 20, 0, 0, 255, 30, 255, 255, 255, 40};
  std::memcpy(image.GetData(), px, sizeof px);
  std::vector<uint8_t> png;
  ASSERT_TRUE(VImageEncodePNG(image, &png));
  int w = 0, h = 0, c = 0;
  Bytes rgba = DecodePng(png, &w, &h, &c);
  ASSERT_EQ(rgba.size(), 16u);
  EXPECT_EQ(w, 2);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(c, 4);
  EXPECT_EQ(rgba, (Bytes{255, 0, 0, 30, 255, 255, 255, 40, 0, 0, 255, 10, 0, 255, 0, 20}));
  EXPECT_TRUE(VImageEncodePNG(image, &png, 1));
  EXPECT_FALSE(VImageEncodePNG(image, &png, 2));
  EXPECT_TRUE(png.empty());

  VImage rgb;
  ASSERT_TRUE(rgb.Allocate(1, 1, VImage::kLayoutBGR));
  rgb.GetData()[0] = 7;
  ASSERT_TRUE(VImageEncodePNG(rgb, &png));
  rgba = DecodePng(png, &w, &h, &c);
  EXPECT_EQ(c, 3);
  EXPECT_EQ(rgba, (Bytes{0, 0, 7, 255}));

  std::vector<uint8_t> none;
  EXPECT_FALSE(VImageEncodePNG(VImage(), &none));
  testing_support::TempDir dir;
  EXPECT_TRUE(VImageWritePNG(rgb, dir.File("x.png")));
  EXPECT_EQ(testing_support::ReadFileBytes(dir.File("x.png")).size(), png.size());
  EXPECT_FALSE(VImageWritePNG(VImage(), dir.File("y.png")));
  EXPECT_TRUE(testing_support::ReadFileBytes(dir.File("y.png")).empty());
}

}  // namespace
