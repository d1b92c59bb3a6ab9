// zyn image: JSON summary, PNG header, errors and no partial output.
#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// An uncompressed 32-bit TGA of width x height.
std::string Tga(int width, int height, int depth) {
  std::string b(18, '\0');
  b[2] = 2;
  b[12] = static_cast<char>(width & 0xFF);
  b[13] = static_cast<char>(width >> 8);
  b[14] = static_cast<char>(height & 0xFF);
  b[15] = static_cast<char>(height >> 8);
  b[16] = static_cast<char>(depth);
  b.append(static_cast<size_t>(width) * height * depth / 8, '\x40');
  return b;
}

uint32_t BigEndian(const std::string& s, size_t at) {
  return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
         (uint32_t(uint8_t(s[at + 2])) << 8) | uint32_t(uint8_t(s[at + 3]));
}

int Zyn(const std::string& args, std::string* out) {
  return RunCommand(std::string(ZYN_PROGRAM) + " image " + args, out);
}

TEST(ZynImageTest, WritesPngAndPrintsSummary) {
  TempDir dir;
  for (int depth : {32, 24}) {
    ASSERT_TRUE(WriteFileBytes(dir.File("a.TGA"), Tga(5, 3, depth)));
    std::string out;
    ASSERT_EQ(Zyn(dir.File("a.TGA") + " -o " + dir.File("a.png") + " 2>/dev/null", &out), 0);
    EXPECT_EQ(out, std::string("{\"width\":5,\"height\":3,\"layout\":") + (depth == 32 ? "4" : "5") +
                       ",\"frames\":1}\n");
    const std::string png = ReadFileBytes(dir.File("a.png"));
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(BigEndian(png, 16), 5u);
    EXPECT_EQ(BigEndian(png, 20), 3u);
    EXPECT_EQ(png[24], 8);                       // bit depth
    EXPECT_EQ(png[25], depth == 32 ? 6 : 2);     // RGBA or RGB
  }
}

TEST(ZynImageTest, ErrorsLeaveNoOutput) {
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("bad.tga"), Tga(5, 3, 8)));
  ASSERT_TRUE(WriteFileBytes(dir.File("x.xyz"), "abc"));
  const struct { std::string args; int code; std::string message; } cases[] = {
      {dir.File("bad.tga") + " -o " + dir.File("o.png"), 1, "zyn: Unable to read image " + dir.File("bad.tga")},
      {dir.File("none.tga") + " -o " + dir.File("o.png"), 1, "zyn: Unable to open file " + dir.File("none.tga")},
      {dir.File("x.xyz") + " -o " + dir.File("o.png"), 1, "zyn: No image reader for file " + dir.File("x.xyz")},
      {dir.File("bad.tga"), 2, "zyn: usage: zyn image FILE -o OUT.png"},
      {"-o " + dir.File("o.png"), 2, "zyn: usage: zyn image FILE -o OUT.png"},
      {dir.File("bad.tga") + " -o " + dir.File("o.png") + " --what", 2, "zyn: usage: zyn image FILE -o OUT.png"},
  };
  for (const auto& c : cases) {
    std::string err;
    EXPECT_EQ(Zyn(c.args + " 2>&1 >/dev/null", &err), c.code) << c.args;
    EXPECT_EQ(err, c.message + "\n") << c.args;
    EXPECT_TRUE(ReadFileBytes(dir.File("o.png")).empty()) << c.args;
  }
  // An unwritable output names the file.
  ASSERT_TRUE(WriteFileBytes(dir.File("ok.tga"), Tga(1, 1, 24)));
  std::string err;
  EXPECT_EQ(Zyn(dir.File("ok.tga") + " -o " + dir.File("no/dir.png") + " 2>&1 >/dev/null", &err), 1);
  EXPECT_EQ(err, "zyn: Unable to write file " + dir.File("no/dir.png") + "\n");
  std::string help;
  EXPECT_EQ(Zyn("--help", &help), 0);
  EXPECT_NE(help.find("zyn image FILE -o OUT.png"), std::string::npos);
}

}  // namespace
