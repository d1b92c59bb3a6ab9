// Small valid files of every format. Each must decode; with the environment
// variable QTZYN_WRITE_SEEDS set to a folder they are also written there as
// the fuzz targets' seed corpus (FOLDER/<format>_image/NAME).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "render/image/jpeg_reader.h"
#include "render/image/tga_reader.h"
#include "render/image/tiff_reader.h"
#include "support/temp_dir.h"
#include "tests/image/test_util.h"

namespace {

using image_test::Bytes;
namespace f = image_files;

struct Seed {
  std::string format;  // the reader's extension
  std::string name;
  Bytes bytes;
};

Bytes Ramp(size_t n, int step = 13) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * step + 7);
  return b;
}

VImage Gradient(int w, int h, int layout) {
  VImage image;
  image.Allocate(w, h, layout);
  for (size_t i = 0; i < image.GetDataSize(); ++i) image.GetData()[i] = static_cast<uint8_t>(i * 5 + (i / 37) * 3);
  return image;
}

std::vector<Seed> Seeds() {
  std::vector<Seed> s;
  s.push_back({"tga", "rgb24", f::Tga(5, 4, 24, Ramp(60))});
  s.push_back({"tga", "rgba32", f::Tga(3, 3, 32, Ramp(36))});
  s.push_back({"tga", "rgb16_id", f::Tga(4, 2, 16, Ramp(16), 3)});

  Bytes palette;
  for (int i = 0; i < 16; ++i) f::Append(palette, Bytes{uint8_t(i * 16), uint8_t(255 - i), uint8_t(i * 3), 0});
  Bytes rows8;
  for (int y = 0; y < 3; ++y) f::Append(rows8, Bytes{uint8_t(y), uint8_t(y + 5), uint8_t(15 - y), 0});
  s.push_back({"bmp", "pal8", f::Bmp(3, 3, 8, palette, 16, rows8)});
  s.push_back({"bmp", "rgb24", f::Bmp(3, 2, 24, {}, 0, Ramp(24))});
  s.push_back({"bmp", "rgba32", f::Bmp(2, 2, 32, {}, 0, Ramp(16))});

  s.push_back({"sgi", "grey", f::SgiVerbatim(4, 3, {Ramp(12)})});
  s.push_back({"sgi", "rgba", f::SgiVerbatim(3, 2, {Ramp(6), Ramp(6, 3), Ramp(6, 5), Ramp(6, 7)})});
  std::vector<Bytes> rle;
  for (int z = 0; z < 3; ++z) {
    for (int y = 0; y < 3; ++y) rle.push_back(f::SgiEncodeRow(Bytes{1, 1, 1, uint8_t(z), uint8_t(y), 9, 9, 9}));
  }
  s.push_back({"sgi", "rle_rgb", f::SgiRunLength(8, 3, 3, rle)});

  std::vector<Bytes> indices;
  for (int y = 0; y < 3; ++y) {
    Bytes row;
    for (int x = 0; x < 19; ++x) row.push_back(static_cast<uint8_t>((x / 3 + y) % 8));
    indices.push_back(row);
  }
  Bytes cmap = Ramp(24, 11);
  s.push_back({"iff", "plain", f::Iff(19, indices, 3, cmap, 0)});
  s.push_back({"iff", "byterun", f::Iff(19, indices, 3, cmap, 1)});
  s.push_back({"iff", "mask", f::Iff(19, indices, 3, cmap, 1, true)});

  for (int encoding : {0, 1, 2}) {
    Bytes pic = f::PicHeader(6, 2);
    f::PicPacket(pic, true, encoding, 0xE0);
    f::PicPacket(pic, false, 0, 0x10);
    for (int y = 0; y < 2; ++y) {
      std::vector<Bytes> px;
      for (int x = 0; x < 6; ++x) px.push_back(Bytes{uint8_t(x < 3 ? 200 : x), uint8_t(y), 9});
      if (encoding == 0) {
        for (const Bytes& p : px) f::Append(pic, p);
      } else if (encoding == 1) {
        f::Append(pic, Bytes{3, 200, uint8_t(y), 9});
        for (int x = 3; x < 6; ++x) f::Append(pic, Bytes{1, uint8_t(x), uint8_t(y), 9});
      } else {
        f::Append(pic, f::PicMixedRow(px));
      }
      f::Append(pic, Bytes{1, 2, 3, 4, 5, 6});
    }
    s.push_back({"pic", "encoding" + std::to_string(encoding), pic});
  }

  // YUV seeds feed the frame builder of the fuzz target: a selector byte
  // and a short pattern.
  s.push_back({"yuv", "pattern", Bytes{1, 0, 128, 235, 128, 16, 90, 82, 240, 82}});

  Bytes bgra = f::DdsHeader(3, 2, 2, 0x41, nullptr, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
  f::Append(bgra, Ramp(24 + 4));
  s.push_back({"dds", "bgra_mips", bgra});
  Bytes r565 = f::DdsHeader(2, 2, 0, 0x40, nullptr, 16, 0xF800, 0x07E0, 0x001F, 0);
  f::Append(r565, Ramp(8));
  s.push_back({"dds", "rgb565", r565});
  for (const char* fourCC : {"DXT1", "DXT3", "DXT5"}) {
    const size_t block = std::string(fourCC) == "DXT1" ? 8 : 16;
    Bytes d = f::DdsHeader(8, 8, 4, 0x4, fourCC, 0, 0, 0, 0, 0);
    f::Append(d, Ramp(block * 7, 29));
    s.push_back({"dds", fourCC, d});
  }
  Bytes cube = f::DdsHeader(4, 4, 0, 0x4, "DXT1", 0, 0, 0, 0, 0, 0xFE00);
  f::Append(cube, Ramp(48, 17));
  s.push_back({"dds", "cube", cube});
  Bytes dx10 = f::DdsHeader(4, 4, 0, 0x4, "DX10", 0, 0, 0, 0, 0);
  for (uint32_t v : {77u, 3u, 0u, 2u, 0u}) f::U32LE(dx10, v);
  f::Append(dx10, Ramp(32, 19));
  s.push_back({"dds", "dx10_bc3_array", dx10});

  std::vector<uint8_t> jpeg;
  VImageStreamJPG::Encode(Gradient(24, 16, VImage::kLayoutRGB), 75, &jpeg);
  s.push_back({"jpeg", "rgb", jpeg});

  testing_support::TempDir dir;
  for (int layout : {VImage::kLayoutRGB, VImage::kLayoutRGBA}) {
    VImageStreamTIFF tiff;
    tiff.SetFileName(dir.File("t.tif"));
    tiff.Write(Gradient(8, 6, layout));
    const std::string bytes = testing_support::ReadFileBytes(dir.File("t.tif"));
    s.push_back({"tiff", layout == VImage::kLayoutRGB ? "rgb" : "rgba", Bytes(bytes.begin(), bytes.end())});
  }
  return s;
}

TEST(SeedCorpusTest, EverySeedDecodes) {
  const char* folder = std::getenv("QTZYN_WRITE_SEEDS");
  for (const Seed& seed : Seeds()) {
    EXPECT_LT(seed.bytes.size(), 4096u) << seed.format << "/" << seed.name;
    if (seed.format != "yuv") {
      VImage image;
      EXPECT_TRUE(image_test::Decode(seed.format, seed.bytes, image)) << seed.format << "/" << seed.name;
    }
    if (folder && *folder) {
      const std::filesystem::path dir = std::filesystem::path(folder) / (seed.format + "_image");
      std::filesystem::create_directories(dir);
      std::ofstream out(dir / seed.name, std::ios::binary);
      out.write(reinterpret_cast<const char*>(seed.bytes.data()), static_cast<std::streamsize>(seed.bytes.size()));
    }
  }
}

}  // namespace
