// The byte layout of the binary form: header, records, object names,
// footers, and the header checks on reading.

#include <gtest/gtest.h>

#include <cctype>

#include "zyn_test_util.h"
#include "zynfile/file_id.h"

namespace {

using zyn_test::BinaryBuilder;
using zyn_test::Bytes;
using zyn_test::GetU32;
using zyn_test::RecordOffset;
using zyn_test::WriteMemory;

void Nothing(VZynFile&) {}

TEST(ZynBinaryFormatTest, HeaderBytesAndStoredVersion) {
  const struct { int version, stored; } rows[] = {{6000, 6000}, {6512, 6512}, {5000, 3000}, {2000, 3000}};
  for (const auto& r : rows) {
    Bytes b = WriteMemory(true, Nothing, r.version);
    ASSERT_GE(b.size(), 27u);
    EXPECT_EQ(b.substr(0, 20), "Morvane ZYN Binary  ");
    EXPECT_EQ(b[20], '\0');
    EXPECT_EQ(b[21], '\x1a');
    EXPECT_EQ(b[22], '\0');
    EXPECT_EQ(GetU32(b, 23), static_cast<uint32_t>(r.stored)) << r.version;
    // The header extension comes right behind and gives the real version.
    EXPECT_EQ(b.substr(27 + 13, 18), "ZYNHeaderExtension");
    VZynFile f;
    ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size())) << f.GetErrorMessage();
    EXPECT_EQ(f.GetVersion(), r.version);
    EXPECT_EQ(f.TimesAsTicks(), r.version >= 2000);
  }
}

TEST(ZynBinaryFormatTest, RecordEndOffsetsAndCounts) {
  Bytes b = WriteMemory(true, [](VZynFile& f) {
    f.FieldWriteBegin("Rec");
    f.FieldWriteI(7);
    f.FieldWriteC("ab");
    f.FieldWriteEnd();
    f.FieldWriteBlockBegin("Blk");
    f.FieldWriteD("Inner", 2.5);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  });
  size_t rec = RecordOffset(b, "Rec");
  EXPECT_EQ(GetU32(b, rec), rec + 13 + 3 + 12);  // 'I' + 4, 'S' + 4 + 2
  EXPECT_EQ(GetU32(b, rec + 4), 2u);
  EXPECT_EQ(GetU32(b, rec + 8), 12u);
  // The next record starts where this one ends.
  size_t blk = RecordOffset(b, "Blk");
  EXPECT_EQ(blk, GetU32(b, rec));
  // A block-only record: no values, its child right behind its name, and
  // the child block's null record just before its end offset.
  EXPECT_EQ(GetU32(b, blk + 4), 0u);
  EXPECT_EQ(GetU32(b, blk + 8), 0u);
  size_t inner = RecordOffset(b, "Inner");
  EXPECT_EQ(inner, blk + 13 + 3);
  EXPECT_EQ(GetU32(b, inner), inner + 13 + 5 + 9);
  uint32_t blk_end = GetU32(b, blk);
  EXPECT_EQ(blk_end, GetU32(b, inner) + 13);
  EXPECT_EQ(b.substr(blk_end - 13, 13), Bytes(13, '\0'));
}

TEST(ZynBinaryFormatTest, ObjectNamesStoreTheClassBehind) {
  const struct { const char* text; Bytes stored; } rows[] = {
      {"Model::Cube", Bytes("Cube\0\1Model", 11)},
      {"A::B::C", Bytes("B::C\0\1A", 7)},
      {"::Name", Bytes("Name\0\1", 6)},
      {"Plain", Bytes("Plain")},
  };
  for (const auto& r : rows) {
    Bytes b = WriteMemory(true, [&](VZynFile& f) { f.FieldWriteC("Obj", r.text); });
    size_t rec = RecordOffset(b, "Obj");
    Bytes value = b.substr(rec + 16, 5 + r.stored.size());
    EXPECT_EQ(value[0], 'S') << r.text;
    EXPECT_EQ(GetU32(value, 1), r.stored.size()) << r.text;
    EXPECT_EQ(value.substr(5), r.stored) << r.text;
    VZynFile f;
    ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size()));
    EXPECT_EQ(f.FieldReadC("Obj", "?"), r.text);
  }
}

// The footer: footer id, zero padding to the next multiple of 16 (a whole
// 16 bytes when already aligned), the 128-byte block and the signature.
TEST(ZynBinaryFormatTest, FooterPaddingCoversEveryAlignment) {
  bool seen[17] = {};
  for (size_t pad = 0; pad < 16; ++pad) {
    Bytes b = WriteMemory(true, [&](VZynFile& f) { f.FieldWriteC("Pad", std::string(pad, 'x')); });
    ASSERT_EQ(b.size() % 16, 0u);
    size_t block = b.size() - 144;
    EXPECT_EQ(GetU32(b, block), 0u);  // main section: no back offset
    EXPECT_EQ(GetU32(b, block + 4), 6000u);
    EXPECT_EQ(b.substr(block + 8, 120), Bytes(120, '\0'));
    EXPECT_EQ(b.substr(block + 128), Bytes(reinterpret_cast<const char*>(kVZynFooterSignature), 16));

    VZynFile f;
    ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size()));
    ASSERT_TRUE(f.FieldReadBegin("FileId", 0));
    uint32_t size = 0;
    const uint8_t* id = f.FieldReadR(&size);
    ASSERT_EQ(size, 16u);
    uint8_t footer_id[16];
    VZynMakeFooterId(f.SectionCreationTime(), id, footer_id);
    size_t at = b.rfind(Bytes(reinterpret_cast<const char*>(footer_id), 16), block);
    ASSERT_NE(at, Bytes::npos);
    size_t zeros = block - (at + 16);
    EXPECT_EQ(zeros, 16 - (at + 16) % 16) << pad;
    EXPECT_EQ(b.substr(at + 16, zeros), Bytes(zeros, '\0'));
    // The footer id follows the section's closing null record.
    EXPECT_EQ(b.substr(at - 13, 13), Bytes(13, '\0'));
    seen[zeros] = true;
  }
  EXPECT_TRUE(seen[16]);
  EXPECT_TRUE(seen[1]);
}

TEST(ZynBinaryFormatTest, MagicIsComparedWithoutCase) {
  Bytes b = WriteMemory(true, [](VZynFile& f) { f.FieldWriteI("Value", 42); });
  const struct { const char* magic; bool binary; } rows[] = {
      {"MORVANE zyn BINARY  ", true},
      {"morvane zyn binary  ", true},
      {"Morvane ZYN Binary_ ", false},
      {"Morvane ZYN Binar   ", false},
  };
  for (const auto& r : rows) {
    Bytes m = b;
    m.replace(0, 20, r.magic);
    VZynFile f;
    bool ok = f.OpenFromMemory(m.data(), m.size());
    EXPECT_EQ(ok, r.binary) << r.magic;
    if (ok) {
      EXPECT_TRUE(f.IsBinary());
      EXPECT_EQ(f.FieldReadI("Value", 0), 42);
    } else {
      EXPECT_EQ(f.GetErrorCode(), kZynErrorCorrupted) << r.magic;
    }
  }
  // The terminator after the magic is part of it.
  Bytes m = b;
  m[20] = 'x';
  VZynFile f;
  EXPECT_FALSE(f.OpenFromMemory(m.data(), m.size()));
}

TEST(ZynBinaryFormatTest, NewerVersionsAreRefused) {
  const struct { int version; const char* message; } rows[] = {
      {7000, "ZYN file version 7.0.0 is not supported in this product"},
      {7123, "ZYN file version 7.1.23 is not supported in this product"},
      {12000, "ZYN file version 12.0.0 is not supported in this product"},
      {6999, nullptr},
  };
  for (bool binary : {true, false}) {
    for (const auto& r : rows) {
      Bytes b = WriteMemory(binary, [](VZynFile& f) { f.FieldWriteI("Value", 1); }, r.version);
      VZynFile f;
      bool ok = f.OpenFromMemory(b.data(), b.size());
      if (!r.message) {
        EXPECT_TRUE(ok) << f.GetErrorMessage();
        continue;
      }
      EXPECT_FALSE(ok);
      EXPECT_EQ(f.GetErrorCode(), kZynErrorVersionNotYet);
      EXPECT_EQ(f.GetErrorMessage(), r.message) << binary;
      EXPECT_FALSE(f.FieldReadBegin("Value"));
    }
  }
}

TEST(ZynBinaryFormatTest, EncryptionTypeOtherThanZeroOrOneIsRefused) {
  Bytes b = WriteMemory(true, [](VZynFile& f) { f.FieldWriteI("Value", 1); });
  size_t rec = RecordOffset(b, "EncryptionType");
  size_t value = rec + 13 + 14;
  ASSERT_EQ(b[value], 'I');
  for (uint32_t type : {2u, 0xFFFFFFFFu}) {
    Bytes m = b;
    zyn_test::PutU32(&m, value + 1, type);
    VZynFile f;
    EXPECT_FALSE(f.OpenFromMemory(m.data(), m.size()));
    EXPECT_EQ(f.GetErrorCode(), kZynErrorVersionNotYet);
    EXPECT_EQ(f.GetErrorMessage(), "Encryption type is not supported");
  }
}

// A file written on a big-endian machine: every 4- and 8-byte value swapped.
TEST(ZynBinaryFormatTest, ByteSwappedFilesRead) {
  for (bool big : {false, true}) {
    BinaryBuilder w(big, 6000);
    w.Field("ZYNHeaderExtension").Begin();
    w.Field("ZYNHeaderVersion").I(1002);
    w.Field("ZYNVersion").I(5001);
    w.Field("Creator").S("someone");
    w.End();
    w.Field("Values").C('Y').I(-123456).F(1.5f).D(-2.25e100).L(-46186158000LL * 3).S("Model::Cube").R("raw");
    w.Begin();
    w.Field("Deep").I(0x01020304);
    w.End();
    Bytes b = w.Finish();

    VZynFile f;
    ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size())) << f.GetErrorMessage();
    EXPECT_EQ(f.IsByteSwapped(), big);
    EXPECT_EQ(f.GetVersion(), 5001);
    EXPECT_EQ(f.Header().creator, "someone");
    EXPECT_EQ(f.SectionCheck(), kZynSectionUnidentified);
    ASSERT_TRUE(f.FieldReadBegin("Values"));
    EXPECT_EQ(f.FieldReadGetCount(), 7);
    EXPECT_EQ(f.FieldReadCH(), 'Y');
    EXPECT_EQ(f.FieldReadI(), -123456);
    EXPECT_EQ(f.FieldReadF(), 1.5f);
    EXPECT_EQ(f.FieldReadD(), -2.25e100);
    EXPECT_EQ(f.FieldReadT().GetTicks(), -46186158000LL * 3);
    EXPECT_EQ(f.FieldReadC(), "Model::Cube");
    uint32_t size = 0;
    const uint8_t* raw = f.FieldReadR(&size);
    ASSERT_EQ(size, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(raw), 3), "raw");
    ASSERT_TRUE(f.FieldReadBlockBegin());
    EXPECT_EQ(f.FieldReadI("Deep", 0), 0x01020304);
  }
}

}  // namespace
