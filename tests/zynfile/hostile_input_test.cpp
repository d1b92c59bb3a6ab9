// Damaged and hostile files. Every one must end in a clean failure (an error
// code with a message) or a readable tree: never a crash, a hang or a read
// outside the bytes given. Inputs are held in allocations of exactly their
// size so that the address sanitizer sees any overread.

#include <gtest/gtest.h>

#include <random>

#include "zyn_test_util.h"

namespace {

using zyn_test::BinaryBuilder;
using zyn_test::Bytes;
using zyn_test::ExactBytes;
using zyn_test::GetU32;
using zyn_test::PutU32;
using zyn_test::RecordOffset;
using zyn_test::WriteMemory;

struct Outcome {
  bool opened = false;
  int code = kZynErrorNone;
  std::string message;
  std::string tree;
};

// Opens the bytes and walks every section the way a dump does.
Outcome Probe(const Bytes& bytes, bool check_header = true) {
  ExactBytes exact(bytes);
  Outcome o;
  VZynFile f;
  o.opened = f.OpenFromMemory(exact.data(), exact.size(), check_header, true, false);
  if (o.opened) {
    for (int s = 0; s <= f.SectionCount() && !f.HasError(); ++s) {
      if (!f.OpenSection(s)) break;
      o.tree += zyn_test::Tree(f);
      f.CloseSection();
    }
  }
  o.code = f.GetErrorCode();
  o.message = f.GetErrorMessage();
  return o;
}

// A failure is clean when it carries a code of the reading side and a message.
void ExpectCleanFailure(const Outcome& o, const std::string& what) {
  EXPECT_TRUE(o.code == kZynErrorCorrupted || o.code == kZynErrorRead) << what << ": code " << o.code;
  EXPECT_FALSE(o.message.empty()) << what;
}

void ExpectCleanIfFailed(const Outcome& o, const std::string& what) {
  if (o.code == kZynErrorNone) return;
  EXPECT_TRUE(o.code == kZynErrorCorrupted || o.code == kZynErrorRead || o.code == kZynErrorVersionNotYet ||
              o.code == kZynErrorCrc)
      << what << ": code " << o.code << " " << o.message;
  EXPECT_FALSE(o.message.empty()) << what;
}

// Header, then "A" with an int and a string, then "Outer" { "Inner": D }.
Bytes Base() {
  BinaryBuilder w;
  w.Field("A").I(1).S("text");
  w.Field("Outer").Begin().Field("Inner").D(2.5).End();
  w.Field("Z").C('Y');
  return w.Finish();
}

TEST(ZynHostileInputTest, BaseFileIsReadable) {
  Outcome o = Probe(Base());
  ASSERT_TRUE(o.opened) << o.message;
  EXPECT_EQ(o.code, kZynErrorNone) << o.message;
  EXPECT_EQ(o.tree, "A: [1] [text]\nOuter:\n  Inner: [2.5]\nZ: [Y]\n");
}

TEST(ZynHostileInputTest, DamagedRecordsFailCleanly) {
  const Bytes base = Base();
  const size_t a = RecordOffset(base, "A");
  const size_t outer = RecordOffset(base, "Outer");
  const size_t inner = RecordOffset(base, "Inner");
  const size_t a_values = a + 14;
  const uint32_t size = static_cast<uint32_t>(base.size());
  const struct { const char* what; size_t at; uint32_t value; bool byte; } rows[] = {
      {"end offset pointing backwards", a, static_cast<uint32_t>(a - 1), false},
      {"end offset at its own start", a, static_cast<uint32_t>(a), false},
      {"end offset inside its own header", a, static_cast<uint32_t>(a + 5), false},
      {"end offset inside its value list", a, static_cast<uint32_t>(a + 20), false},
      {"end offset past the end", a, size + 100, false},
      {"end offset at the end", a, size, false},
      {"end offset of all ones", a, 0xFFFFFFFFu, false},
      {"value count beyond the list", a + 4, 3, false},
      {"value count of all ones", a + 4, 0xFFFFFFFFu, false},
      {"value list longer than the record", a + 8, 1000, false},
      {"value list length of all ones", a + 8, 0xFFFFFFFFu, false},
      {"string length beyond the record", a_values + 6, 1000, false},
      {"string length of all ones", a_values + 6, 0xFFFFFFFFu, false},
      {"unknown value type", a_values, 'Q', true},
      {"zero value type", a_values + 5, 0, true},
      {"name length beyond the record", a + 12, 255, true},
      {"NUL in a name", a + 13, 0, true},
      {"block span past the end", outer, size + 50, false},
      {"child ending past its parent block", inner, size - 13, false},
      {"child ending before it starts", inner, 1, false},
      {"child value list too long", inner + 8, 100, false},
      {"child value type unknown", inner + 18, 0xFF, true},
  };
  for (const auto& r : rows) {
    Bytes m = base;
    if (r.byte) {
      m[r.at] = static_cast<char>(r.value);
    } else {
      PutU32(&m, r.at, r.value);
    }
    Outcome o = Probe(m);
    EXPECT_NE(o.code, kZynErrorNone) << r.what << " was accepted: " << o.tree;
    ExpectCleanFailure(o, r.what);
  }
}

TEST(ZynHostileInputTest, DamagedHeaderExtensionFailsCleanly) {
  BinaryBuilder w;
  w.Field("ZYNHeaderExtension").Begin().Field("ZYNHeaderVersion").I(1002).Field("Creator").S("x").End();
  w.Field("A").I(1);
  const Bytes base = w.Finish();
  ASSERT_TRUE(Probe(base).opened);
  const size_t ext = RecordOffset(base, "ZYNHeaderExtension");
  const size_t version = RecordOffset(base, "ZYNHeaderVersion");
  const struct { const char* what; size_t at; uint32_t value; } rows[] = {
      {"end offset before the record", ext, 3},
      {"end offset past the end", ext, 1u << 30},
      {"value list past the end offset", ext + 8, 5000},
      {"child end offset past the block", version, 1u << 20},
      {"child value count too large", version + 4, 9},
  };
  for (const auto& r : rows) {
    Bytes m = base;
    PutU32(&m, r.at, r.value);
    Outcome o = Probe(m);
    EXPECT_FALSE(o.opened) << r.what;
    ExpectCleanFailure(o, r.what);
  }
}

TEST(ZynHostileInputTest, EmptyAndHeaderOnlyInputs) {
  const struct { const char* what; Bytes bytes; } rows[] = {
      {"nothing", Bytes()},
      {"header only", Bytes("Morvane ZYN Binary  \0\x1a\0\x70\x17\0\0", 27)},
      {"header and a partial record", Bytes("Morvane ZYN Binary  \0\x1a\0\x70\x17\0\0\5\0", 29)},
      {"magic alone", Bytes("Morvane ZYN Binary  ", 20)},
      {"NUL bytes", Bytes(100, '\0')},
  };
  for (const auto& r : rows) {
    Outcome o = Probe(r.bytes);
    EXPECT_FALSE(o.opened && o.code == kZynErrorNone && !o.tree.empty()) << r.what;
    if (!o.opened) ExpectCleanFailure(o, r.what);
  }
  // Without the header check any bytes are read as ASCII.
  for (const auto& r : rows) ExpectCleanIfFailed(Probe(r.bytes, false), r.what);
}

// Nesting is limited: a file 5,000 levels deep is walked down to the limit
// and then refused, in both forms.
TEST(ZynHostileInputTest, DeepNestingStopsAtTheLimit) {
  const int kLevels = 5000;
  BinaryBuilder w;
  for (int i = 0; i < kLevels; ++i) w.Field("N").I(i).Begin();
  Bytes binary = w.Finish();
  Bytes ascii = "; ZYN 6.0.0 project file\n";
  for (int i = 0; i < kLevels; ++i) ascii += "N: " + std::to_string(i) + " {\n";
  for (int i = 0; i < kLevels; ++i) ascii += "}\n";

  for (const Bytes* bytes : {&binary, &ascii}) {
    ExactBytes exact(*bytes);
    VZynFile f;
    ASSERT_TRUE(f.OpenFromMemory(exact.data(), exact.size())) << f.GetErrorMessage();
    int depth = 0;
    while (f.FieldReadBegin("N") && f.FieldReadIsBlock()) {
      ASSERT_EQ(f.FieldReadI(), depth);
      if (!f.FieldReadBlockBegin()) break;
      ++depth;
    }
    EXPECT_EQ(depth, VZynFile::kMaxDepth);
    EXPECT_EQ(f.FieldReadDepth(), VZynFile::kMaxDepth);
    EXPECT_EQ(f.GetErrorCode(), kZynErrorCorrupted);
    EXPECT_NE(f.GetErrorMessage().find("nested too deeply"), std::string::npos);
    // The dump-style walk stops at the same place.
    Outcome o = Probe(*bytes);
    ExpectCleanFailure(o, f.IsBinary() ? "binary" : "ascii");
  }
}

// Every prefix of a small valid file, in both forms.
TEST(ZynHostileInputTest, EveryTruncationFailsCleanly) {
  auto body = [](VZynFile& f) {
    f.FieldWriteI("Int", 5);
    f.FieldWriteC("Name", "Model::Cube");
    f.FieldWriteBlockBegin("Block");
    f.FieldWriteD("D", 0.5);
    f.FieldWriteBlockBegin("Deeper");
    f.FieldWriteLL("L", -1);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
  for (bool binary : {true, false}) {
    Bytes full = WriteMemory(binary, body);
    std::string full_tree = Probe(full).tree;
    ASSERT_FALSE(full_tree.empty());
    int complete = 0;
    for (size_t n = 0; n < full.size(); ++n) {
      Outcome o = Probe(full.substr(0, n));
      ExpectCleanIfFailed(o, (binary ? "binary prefix " : "ascii prefix ") + std::to_string(n));
      if (o.code == kZynErrorNone && o.tree == full_tree) ++complete;
    }
    // Only cuts in the footer (binary) or the last line's end (ASCII) keep the whole tree.
    EXPECT_LE(complete, binary ? 176 : 2);
  }
}

TEST(ZynHostileInputTest, AsciiStructureErrorsFailCleanly) {
  const struct { const char* what; const char* body; bool top_level_fails; } rows[] = {
      {"unterminated quote", "A: \"open\nB: 1\n", true},
      {"unterminated quote in a block", "A: {\n  B: \"x\n}\n", true},
      {"unterminated quote in the last line", "A: 1, \"x", true},
      {"unclosed brace", "A: {\n  B: 1\n", true},
      {"unclosed nested brace", "A: {\n  B: {\n  }\n", true},
      {"stray closing brace", "A: 1\n}\nB: 2\n", true},
      {"quoted closing brace only", "A: {\n  B: \"}\"\n", true},
  };
  for (const auto& r : rows) {
    Bytes text = std::string("; ZYN 6.0.0 project file\n") + r.body;
    Outcome o = Probe(text);
    EXPECT_NE(o.code, kZynErrorNone) << r.what << " was accepted: " << o.tree;
    EXPECT_EQ(o.opened, !r.top_level_fails) << r.what;
    ExpectCleanFailure(o, r.what);
  }
}

TEST(ZynHostileInputTest, OddAsciiTextIsReadWithoutHarm) {
  const struct { const char* what; Bytes body; } rows[] = {
      {"values before any name", Bytes(", 1, 2\nA: 3\n")},
      {"a block without a name", Bytes("{\n  B: 1\n}\nA: 3\n")},
      {"an at sign", Bytes("A: 3@ 12@\n")},
      {"NUL bytes in names and values", Bytes("A\0B: 1\0 2\nA: 3\n", 15)},
      {"CR line ends only", Bytes("A: 3\rB: 4\r")},
      {"a very long line", Bytes("A: 3\nLong: ") + Bytes(200000, '7') + "\n"},
      {"many empty values", Bytes("A: 3\nE: ,,,,,,,,,,,,\n")},
  };
  for (const auto& r : rows) {
    Outcome o = Probe(Bytes("; ZYN 6.0.0 project file\n") + r.body);
    ExpectCleanIfFailed(o, r.what);
    EXPECT_TRUE(o.opened) << r.what << ": " << o.message;
  }
}

// Seeded random damage to valid files: a few hundred mutations per form.
TEST(ZynHostileInputTest, RandomByteFlipsFailCleanly) {
  auto body = [](VZynFile& f) {
    f.FieldWriteI("Int", 5);
    f.FieldWriteC("Name", "Model::Cube");
    f.FieldWriteBlockBegin("Block");
    f.FieldWriteBegin("Values");
    f.FieldWriteD(0.5);
    f.FieldWriteF(1.5f);
    f.FieldWriteCH('Y');
    f.FieldWriteLL(-7);
    f.FieldWriteEnd();
    f.FieldWriteBlockBegin("Deeper");
    f.FieldWriteC("S", "a { b");
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
  std::mt19937 random(20041028);
  for (bool binary : {true, false}) {
    const Bytes full = WriteMemory(binary, body);
    std::uniform_int_distribution<size_t> where(0, full.size() - 1);
    std::uniform_int_distribution<int> flips(1, 4), byte(0, 255);
    const char interesting[] = {'\0', '\xff', '{', '}', '"', ':', ',', '\n', 'S', 'R', 'D'};
    int failed = 0;
    for (int i = 0; i < 400; ++i) {
      Bytes m = full;
      for (int k = flips(random); k > 0; --k) {
        size_t at = where(random);
        int b = byte(random);
        m[at] = b < 64 ? interesting[static_cast<size_t>(b) % sizeof interesting] : static_cast<char>(b);
      }
      Outcome o = Probe(m);
      ExpectCleanIfFailed(o, (binary ? "binary mutation " : "ascii mutation ") + std::to_string(i));
      failed += o.code != kZynErrorNone;
    }
    EXPECT_GT(failed, 0) << binary;
  }
}

}  // namespace
