// The ASCII form: first line, names, values, wrapping, braces and comments.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "zyn_test_util.h"

namespace {

using zyn_test::Bytes;
using zyn_test::WriteMemory;

std::vector<std::string> Lines(const Bytes& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The line that begins (after indentation) with prefix.
std::string LineOf(const Bytes& text, const std::string& prefix) {
  for (const std::string& line : Lines(text)) {
    size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos && line.compare(first, prefix.size(), prefix) == 0) return line;
  }
  return "<none>";
}

TEST(ZynAsciiFormatTest, FirstLineGivesTheVersion) {
  const struct { const char* line; int version; } rows[] = {
      {"; Zentrax 2.7 project file", 2001},
      {"; Zentrax 1.5 project file", 1000},
      {"; Zentrax 4.5 project file", 4050},
      {"; Zentrax 5.2 project file", 5200},  // not in the old product's table
      {"; Other 2.7 project file", 2700},
      {"; ZYN 5.0.1 project file", 5001},
      {"; ZYN 6.0.0 PROJECT File", 6000},
      {"; ZYN 4.12.345 project file", 4245},  // minor and revision keep their last digits
      {";ZYN 3.0.0 project file", 3000},      // a blank in the pattern matches none too
      {"; ZYN 6.0.0 project files", -1},
      {"# ZYN 6.0.0 project file", -1},
      {"; ZYN 6,0,0 project file", -1},
      {"; ZYN 6.0.0 project", -1},
      {"", -1},
  };
  for (const auto& r : rows) {
    Bytes text = std::string(r.line) + "\nValue: 12\n";
    VZynFile f;
    bool ok = f.OpenFromMemory(text.data(), text.size());
    if (r.version < 0) {
      EXPECT_FALSE(ok) << r.line;
      EXPECT_EQ(f.GetErrorCode(), kZynErrorCorrupted) << r.line;
      // Without the header check the text is read as version 1000.
      VZynFile lenient;
      ASSERT_TRUE(lenient.OpenFromMemory(text.data(), text.size(), false)) << r.line;
      EXPECT_EQ(lenient.GetVersion(), 1000);
      EXPECT_EQ(lenient.FieldReadI("Value", 0), 12) << r.line;
      continue;
    }
    ASSERT_TRUE(ok) << r.line << ": " << f.GetErrorMessage();
    EXPECT_FALSE(f.IsBinary());
    EXPECT_EQ(f.GetVersion(), r.version) << r.line;
    EXPECT_EQ(f.FieldReadI("Value", 0), 12) << r.line;
  }
}

TEST(ZynAsciiFormatTest, WriterHeaderLines) {
  Bytes text = WriteMemory(false, [](VZynFile&) {}, 5102);
  std::vector<std::string> lines = Lines(text);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0], "; ZYN 5.1.2 project file");
  EXPECT_EQ(lines[1][0], ';');
  EXPECT_EQ(lines[2][0], ';');
  EXPECT_EQ(lines[3], "; " + std::string(52, '-'));
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5], "ZYNHeaderExtension:  {");
  EXPECT_EQ(LineOf(text, "ZYNHeaderVersion"), "    ZYNHeaderVersion: 1002");
  EXPECT_EQ(LineOf(text, "EncryptionType"), "<none>");
}

TEST(ZynAsciiFormatTest, ValueTextForms) {
  const double third = 1.0 / 3.0;
  Bytes text = WriteMemory(false, [&](VZynFile& f) {
    f.FieldWriteF("F1", 1.5f);
    f.FieldWriteF("F2", 2.0f);
    f.FieldWriteF("F3", 0.1f);
    f.FieldWriteF("F4", -0.0f);
    f.FieldWriteF("F5", 1e10f);
    f.FieldWriteF("F6", 1e-7f);
    f.FieldWriteD("D1", 0.1);
    f.FieldWriteD("D2", 1e300);
    f.FieldWriteD("D3", third);
    f.FieldWriteD("D4", 100.0);
    f.FieldWriteI("I1", std::numeric_limits<int32_t>::min());
    f.FieldWriteLL("L1", std::numeric_limits<int64_t>::min());
    f.FieldWriteCH("C1", 'Y');
    f.FieldWriteC("S1", "text, with: marks");
    f.FieldWriteBegin("Many");
    f.FieldWriteI(1);
    f.FieldWriteC("two");
    f.FieldWriteC("three");
    f.FieldWriteEnd();
  });
  const struct { const char* line; } rows[] = {
      {"F1: 1.5"},
      {"F2: 2"},
      {"F3: 0.1"},
      {"F4: -0"},
      {"F5: 10000000000"},
      {"F6: 0"},
      {"D1: 0.1"},
      {"D2: 1e+300"},
      {"D3: 0.3333333333333333"},  // every double reads back exactly
      {"D4: 100"},
      {"I1: -2147483648"},
      {"L1: -9223372036854775808"},
      {"C1: Y"},
      {"S1: \"text, with: marks\""},
      {"Many: 1, \"two\", \"three\""},
  };
  for (const auto& r : rows) {
    std::string prefix = std::string(r.line).substr(0, std::string(r.line).find(':') + 1);
    EXPECT_EQ(LineOf(text, prefix), r.line);
  }
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(text.data(), text.size())) << f.GetErrorMessage();
  EXPECT_EQ(f.FieldReadF("F1", 0), 1.5f);
  EXPECT_EQ(f.FieldReadF("F3", 0), 0.1f);
  EXPECT_EQ(f.FieldReadD("D1", 0), 0.1);
  EXPECT_EQ(f.FieldReadD("D2", 0), 1e300);
  EXPECT_EQ(f.FieldReadD("D3", 0), third);
  EXPECT_EQ(f.FieldReadI("I1", 0), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(f.FieldReadLL("L1", 0), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(f.FieldReadCH("C1", 0), 'Y');
  EXPECT_EQ(f.FieldReadC("S1", ""), "text, with: marks");
  ASSERT_TRUE(f.FieldReadBegin("Many"));
  EXPECT_EQ(f.FieldReadGetCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(f.FieldReadGetType(), 'S');  // every ASCII value is text
    EXPECT_EQ(f.FieldReadGetRemain(), 3 - i);
    f.FieldReadC();
  }
  EXPECT_EQ(f.FieldReadGetType(), 'S');  // and past the end
  EXPECT_EQ(f.FieldReadI(), 0);
  EXPECT_EQ(f.FieldReadC(), "");
}

TEST(ZynAsciiFormatTest, TextConversionsOnReading) {
  Bytes text =
      "; ZYN 6.0.0 project file\n"
      "Tiny: 1e-39, 1e-30, 3.4e39, -7.5x, +12, \"  42\", abc\n";
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(text.data(), text.size()));
  ASSERT_TRUE(f.FieldReadBegin("Tiny"));
  EXPECT_EQ(f.FieldReadF(), 0.0f);  // below the float exponent range: zero
  EXPECT_EQ(f.FieldReadF(), 1e-30f);
  EXPECT_TRUE(std::isinf(f.FieldReadF()));
  EXPECT_EQ(f.FieldReadD(), -7.5);  // the longest number is taken
  EXPECT_EQ(f.FieldReadI(), 12);
  EXPECT_EQ(f.FieldReadI(), 42);
  EXPECT_EQ(f.FieldReadD(), 0.0);
  ASSERT_TRUE(f.FieldReadBegin("Tiny", 0));
  EXPECT_EQ(f.FieldReadD(), 1e-39);
}

// A line longer than 120 columns goes on after depth * depth + 4 blanks.
TEST(ZynAsciiFormatTest, LongLinesWrapAndReadBackIdentically) {
  for (int depth : {0, 1, 2, 3, 5}) {
    std::vector<double> values;
    for (int i = 0; i < 60; ++i) values.push_back(1000.125 + i);  // 8 characters each
    Bytes text = WriteMemory(false, [&](VZynFile& f) {
      for (int d = 0; d < depth; ++d) f.FieldWriteBlockBegin("Level");
      f.FieldWriteBegin("Long");
      f.FieldWriteDn(values.data(), values.size());
      f.FieldWriteEnd();
      for (int d = 0; d < depth; ++d) {
        f.FieldWriteBlockEnd();
        f.FieldWriteEnd();
      }
    });
    const size_t indent = static_cast<size_t>(depth * depth + 4);
    size_t per_line = 0;
    while (indent + 8 * per_line <= 120) ++per_line;  // values until the column passes 120
    std::vector<std::string> lines = Lines(text);
    size_t first = 0;
    while (first < lines.size() && lines[first].find("Long: ") == std::string::npos) ++first;
    ASSERT_LT(first, lines.size());
    EXPECT_EQ(lines[first].compare(0, depth * 4 + 6, std::string(depth * 4, ' ') + "Long: "), 0);
    size_t seen = static_cast<size_t>(std::count(lines[first].begin(), lines[first].end(), ',')) + 1;
    EXPECT_EQ(seen, per_line) << depth;
    for (size_t l = first + 1; seen < values.size(); ++l) {
      ASSERT_LT(l, lines.size());
      const std::string& line = lines[l];
      EXPECT_EQ(line.find_first_not_of(' '), indent) << depth << ": " << line;
      EXPECT_EQ(line[indent], ',') << depth;
      size_t here = static_cast<size_t>(std::count(line.begin(), line.end(), ','));
      EXPECT_LE(here, per_line) << depth;
      seen += here;
    }
    EXPECT_EQ(seen, values.size());

    VZynFile f;
    ASSERT_TRUE(f.OpenFromMemory(text.data(), text.size())) << f.GetErrorMessage();
    for (int d = 0; d < depth; ++d) {
      ASSERT_TRUE(f.FieldReadBegin("Level"));
      ASSERT_TRUE(f.FieldReadBlockBegin());
    }
    std::vector<double> got(values.size());
    f.FieldReadFn("Long", got.data(), static_cast<int>(got.size()), nullptr);
    EXPECT_EQ(got, values) << depth;
  }
}

TEST(ZynAsciiFormatTest, NamesWithMarksAreQuoted) {
  const struct { const char* written; const char* in_file; const char* read; } rows[] = {
      {"My Field", "\"My Field\": 1", "My Field"},
      {"a:b", "\"a:b\": 1", "a:b"},
      {"a,b", "\"a,b\": 1", "a,b"},
      {"a@b", "\"a@b\": 1", "a@b"},
      {"a;b", "\"a;b\": 1", "a;b"},
      {"tab\there", "\"tab\there\": 1", "tab\there"},
      {"\"open", "\"open\": 1", "open"},
      {"close\"", "\"close\": 1", "close"},
      {"\"both\"", "\"both\": 1", "both"},
      {"plain", "plain: 1", "plain"},
  };
  for (const auto& r : rows) {
    Bytes text = WriteMemory(false, [&](VZynFile& f) { f.FieldWriteI(r.written, 1); });
    EXPECT_NE(text.find(std::string("\n") + r.in_file + "\n"), Bytes::npos) << r.written;
    VZynFile f;
    ASSERT_TRUE(f.OpenFromMemory(text.data(), text.size())) << r.written;
    EXPECT_EQ(f.FieldReadI(r.read, 0), 1) << r.written;
  }
}

TEST(ZynAsciiFormatTest, HandWrittenTextIsTokenised) {
  Bytes text =
      "; ZYN 6.0.0 project file\r\n"
      "\r\n"
      "  ; a comment { with a brace\r\n"
      "Two Words: x y\r\n"
      "Quoted: \"a { b\", \"}\", \"\"\r\n"
      "Braced: \"{\" {\r\n"
      "    ; } not a close\n"
      "    Child: \"}{\" {\n"
      "        Grand: 3\n"
      "    }\n"
      "    Sibling: 4\n"
      "}\n"
      "After: 5\n";
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(text.data(), text.size())) << f.GetErrorMessage();
  ASSERT_TRUE(f.FieldReadBegin("Two Words"));
  EXPECT_EQ(f.FieldReadGetCount(), 2);
  EXPECT_EQ(f.FieldReadC(), "x");
  EXPECT_EQ(f.FieldReadC(), "y");
  ASSERT_TRUE(f.FieldReadBegin("Quoted"));
  EXPECT_EQ(f.FieldReadGetCount(), 3);  // an empty quoted string is a value
  EXPECT_EQ(f.FieldReadC(), "a { b");
  EXPECT_TRUE(f.FieldReadIsQuoted());
  EXPECT_EQ(f.FieldReadC(), "}");
  EXPECT_EQ(f.FieldReadC(), "");
  EXPECT_FALSE(f.FieldReadIsBlock());
  ASSERT_TRUE(f.FieldReadBegin("Braced"));
  EXPECT_EQ(f.FieldReadC(), "{");
  ASSERT_TRUE(f.FieldReadIsBlock());
  ASSERT_TRUE(f.FieldReadBlockBegin());
  ASSERT_TRUE(f.FieldReadBegin("Child"));
  EXPECT_EQ(f.FieldReadC(), "}{");
  ASSERT_TRUE(f.FieldReadBlockBegin());
  EXPECT_EQ(f.FieldReadI("Grand", 0), 3);
  EXPECT_EQ(f.FieldReadI("Sibling", -1), -1);  // not in this block
  f.FieldReadBlockEnd();
  EXPECT_EQ(f.FieldReadI("Sibling", 0), 4);
  EXPECT_EQ(f.FieldReadI("After", -1), -1);
  f.FieldReadBlockEnd();
  EXPECT_EQ(f.FieldReadI("After", 0), 5);
  EXPECT_EQ(f.FieldReadI("Grand", -1), -1);
}

TEST(ZynAsciiFormatTest, CommentsAreWrittenAtTheBlockDepth) {
  Bytes text = WriteMemory(false, [](VZynFile& f) {
    f.WriteComment(" top");
    f.FieldWriteBlockBegin("Block");
    f.WriteComment(" inside \"quoted\"");
    f.WriteComment("");
    f.FieldWriteI("Inner", 1);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  });
  EXPECT_NE(text.find("\n; top\nBlock:  {\n    ; inside 'quoted'\n    \n    Inner: 1\n}\n"), Bytes::npos) << text;
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(text.data(), text.size()));
  ASSERT_TRUE(f.FieldReadBegin("Block"));
  ASSERT_TRUE(f.FieldReadBlockBegin());
  EXPECT_EQ(f.FieldReadI("Inner", 0), 1);
  // Comments are ASCII only.
  VMemoryStream stream;
  stream.OpenBuffer();
  VZynFile b;
  ASSERT_TRUE(b.CreateInStream(&stream, true));
  EXPECT_FALSE(b.WriteComment("no"));
}

}  // namespace
