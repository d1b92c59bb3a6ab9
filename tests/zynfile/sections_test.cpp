// Sections: extension sections, the footer walk, and the identification
// check of each section.

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "zyn_test_util.h"
#include "zynfile/file_id.h"

namespace {

using zyn_test::BinaryBuilder;
using zyn_test::Bytes;
using zyn_test::GetU32;
using zyn_test::PutU32;
using zyn_test::WriteMemory;

void WriteMain(const std::string& path) {
  VZynFile f;
  ASSERT_TRUE(f.CreateFile(path, true));
  f.FieldWriteC("Main", "main data");
  ASSERT_TRUE(f.CloseFile()) << f.GetErrorMessage();
}

void AppendSection(const std::string& path, bool overwrite_last, const std::string& text) {
  VZynFile f;
  ASSERT_TRUE(f.OpenFile(path)) << f.GetErrorMessage();
  ASSERT_EQ(f.OpenMode(), 2);
  ASSERT_TRUE(f.CreateSection(overwrite_last)) << f.GetErrorMessage();
  f.FieldWriteBlockBegin("Summary");
  f.FieldWriteC("Title", text);
  f.FieldWriteBlockEnd();
  f.FieldWriteEnd();
  ASSERT_TRUE(f.CloseFile()) << f.GetErrorMessage();
}

// The "Title" of each extension section, in file order.
std::vector<std::string> Titles(const std::string& path) {
  std::vector<std::string> titles;
  VZynFile f;
  EXPECT_TRUE(f.OpenFile(path)) << f.GetErrorMessage();
  EXPECT_EQ(f.FieldReadC("Main", ""), "main data");
  EXPECT_EQ(f.SectionCheck(), kZynSectionVerified);
  EXPECT_TRUE(f.CloseSection());
  for (int s = 1; s <= f.SectionCount(); ++s) {
    EXPECT_TRUE(f.OpenSection(s)) << s;
    EXPECT_EQ(f.OpenSectionIndex(), s);
    EXPECT_EQ(f.SectionCheck(), kZynSectionVerified) << s;
    EXPECT_EQ(f.SectionVersion(s), 6000);
    EXPECT_FALSE(f.FieldReadBegin("Main"));
    if (f.FieldReadBegin("Summary") && f.FieldReadBlockBegin()) titles.push_back(f.FieldReadC("Title", "?"));
    f.CloseSection();
  }
  return titles;
}

TEST(ZynSectionsTest, ExtensionSectionsAppendAndOverwrite) {
  testing_support::TempDir dir;
  std::string path = dir.File("scene.zyn");
  WriteMain(path);
  EXPECT_TRUE(Titles(path).empty());

  const struct { bool overwrite; const char* text; std::vector<std::string> titles; } steps[] = {
      {true, "first", {"first"}},  // nothing to overwrite yet: appended
      {false, "second", {"first", "second"}},
      {true, "third", {"first", "third"}},
      {true, "fourth", {"first", "fourth"}},
      {false, "fifth", {"first", "fourth", "fifth"}},
  };
  for (const auto& step : steps) {
    AppendSection(path, step.overwrite, step.text);
    EXPECT_EQ(Titles(path), step.titles) << step.text;
    Bytes b = testing_support::ReadFileBytes(path);
    ASSERT_EQ(b.size() % 16, 0u);
    // The last footer points back at its section's start.
    size_t block = b.size() - 144;
    uint32_t back = GetU32(b, block);
    ASSERT_GT(back, 0u);
    EXPECT_EQ(b.compare(block - back + 13, 6, "FileId"), 0);
  }
}

TEST(ZynSectionsTest, OpenSectionErrors) {
  testing_support::TempDir dir;
  std::string path = dir.File("scene.zyn");
  WriteMain(path);
  AppendSection(path, false, "one");
  for (int bad : {-1, 2, 100}) {
    VZynFile f;
    ASSERT_TRUE(f.OpenFile(path, true, true, false));
    EXPECT_EQ(f.SectionCount(), 1);
    EXPECT_EQ(f.OpenSectionIndex(), -1);
    EXPECT_FALSE(f.OpenSection(bad));
    EXPECT_EQ(f.GetErrorCode(), kZynErrorNoSection);
    EXPECT_EQ(f.GetErrorMessage(), "Section does not exist");
  }
  VZynFile f;
  ASSERT_TRUE(f.OpenFile(path));
  EXPECT_FALSE(f.OpenSection(1));  // one is open already: no error
  EXPECT_FALSE(f.HasError());
  EXPECT_TRUE(f.CloseSection());
  EXPECT_FALSE(f.CloseSection());
  EXPECT_TRUE(f.OpenNextSection());
  EXPECT_EQ(f.OpenSectionIndex(), 1);
}

TEST(ZynSectionsTest, CreateSectionNeedsAWritableBinaryFile) {
  Bytes binary = WriteMemory(true, [](VZynFile& f) { f.FieldWriteI("A", 1); });
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(binary.data(), binary.size()));
  EXPECT_FALSE(f.CreateSection(false));  // opened read-only

  testing_support::TempDir dir;
  std::string path = dir.File("text.zyn");
  {
    VZynFile w;
    ASSERT_TRUE(w.CreateFile(path, false));
    ASSERT_TRUE(w.CloseFile());
  }
  VZynFile a;
  ASSERT_TRUE(a.OpenFile(path));
  EXPECT_FALSE(a.CreateSection(false));
  EXPECT_EQ(a.SectionCount(), 0);
}

// The footer walk reads section versions from the footers: 0 reads as 4000
// in an extension section, and the main footer's version is the main section's.
TEST(ZynSectionsTest, FooterVersions) {
  testing_support::TempDir dir;
  std::string path = dir.File("scene.zyn");
  WriteMain(path);
  Bytes main_only = testing_support::ReadFileBytes(path);
  AppendSection(path, false, "one");
  Bytes b = testing_support::ReadFileBytes(path);
  PutU32(&b, main_only.size() - 144 + 4, 2001);
  PutU32(&b, b.size() - 144 + 4, 0);
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size()));
  EXPECT_EQ(f.SectionCount(), 1);
  EXPECT_EQ(f.GetVersion(), 6000);
  EXPECT_EQ(f.SectionVersion(0), 2001);
  EXPECT_EQ(f.SectionVersion(1), 4000);

  // A back offset that does not lead backwards ends the walk.
  for (uint32_t back : {0xFFFFFFFFu, 1u, 144u}) {
    Bytes m = b;
    PutU32(&m, m.size() - 144, back);
    VZynFile g;
    ASSERT_TRUE(g.OpenFromMemory(m.data(), m.size())) << back;
    EXPECT_LE(g.SectionCount(), 1) << back;
    for (int s = 0; s <= g.SectionCount(); ++s) {
      if (g.OpenSectionIndex() < 0) g.OpenSection(s);
      zyn_test::Tree(g);
      g.CloseSection();
    }
  }
}

TEST(ZynSectionsTest, AlteredIdentificationRefusesTheSection) {
  Bytes b = WriteMemory(true, [](VZynFile& f) { f.FieldWriteI("Data", 5); });
  VZynFile probe;
  ASSERT_TRUE(probe.OpenFromMemory(b.data(), b.size()));
  ASSERT_EQ(probe.SectionCheck(), kZynSectionVerified);
  ASSERT_TRUE(probe.FieldReadBegin("FileId", 0));
  uint32_t size = 0;
  const uint8_t* id = probe.FieldReadR(&size);
  ASSERT_EQ(size, 16u);
  uint8_t footer_id[16];
  VZynMakeFooterId(probe.SectionCreationTime(), id, footer_id);
  size_t footer_at = b.find(Bytes(reinterpret_cast<const char*>(footer_id), 16));
  size_t id_at = b.find(Bytes(reinterpret_cast<const char*>(id), 16));
  size_t time_at = b.find(std::to_string(probe.SectionCreationTime().year) + "-");
  ASSERT_NE(footer_at, Bytes::npos);
  ASSERT_NE(id_at, Bytes::npos);
  ASSERT_NE(time_at, Bytes::npos);

  const struct { const char* what; size_t at; } rows[] = {
      {"footer id", footer_at}, {"footer id end", footer_at + 15}, {"file id", id_at}, {"creation time", time_at + 2},
  };
  for (const auto& r : rows) {
    Bytes m = b;
    m[r.at] = static_cast<char>(m[r.at] ^ 0x04);
    VZynFile f;
    ASSERT_TRUE(f.OpenFromMemory(m.data(), m.size(), true, true, false)) << r.what;
    EXPECT_FALSE(f.OpenSection(0)) << r.what;
    EXPECT_EQ(f.GetErrorCode(), kZynErrorCorrupted) << r.what;
    EXPECT_EQ(f.SectionCheck(), kZynSectionForeign) << r.what;
    EXPECT_EQ(f.OpenSectionIndex(), -1) << r.what;
    EXPECT_FALSE(f.FieldReadBegin("Data")) << r.what;
    VZynFile g;
    EXPECT_FALSE(g.OpenFromMemory(m.data(), m.size())) << r.what;  // opening the main section at once
  }
  // Files that end right after the section (no footer id at all).
  Bytes cut = b.substr(0, footer_at);
  VZynFile f;
  EXPECT_FALSE(f.OpenFromMemory(cut.data(), cut.size()));
  EXPECT_EQ(f.GetErrorCode(), kZynErrorCorrupted);
  EXPECT_EQ(f.SectionCheck(), kZynSectionForeign);
}

// Appends a footer closing the section that starts at `start` (0: the main
// section): a footer id, the padding, the block and the signature.
void AppendFooter(Bytes* b, size_t start, const std::string& footer_id = std::string(16, '\x5a')) {
  *b += footer_id;
  b->append(16 - b->size() % 16, '\0');
  size_t block = b->size();
  b->append(128, '\0');
  PutU32(b, block, start ? static_cast<uint32_t>(block - start) : 0u);
  PutU32(b, block + 4, 6000);
  b->append(reinterpret_cast<const char*>(kVZynFooterSignature), 16);
}

// Each section is checked on its own: a section without identification fields
// is refused only when it is the last one and bytes follow its end; a section
// with "Source" instead of "FileId" is not checked; one field alone refuses it.
TEST(ZynSectionsTest, IdentificationIsCheckedPerSection) {
  enum Fields { kNone, kSource, kSourceAndTime, kTimeOnly, kFileIdOnly };
  const struct { const char* what; Fields fields; bool readable; } rows[] = {
      {"no fields, a footer behind", kNone, false},
      {"Source", kSource, true},
      {"Source and CreationTime", kSourceAndTime, true},
      {"CreationTime alone", kTimeOnly, false},
      {"FileId alone", kFileIdOnly, false},
  };
  for (const auto& r : rows) {
    // The main section carries no identification and is followed by an
    // extension section: being not the last, it is readable.
    BinaryBuilder main;
    main.Field("Data").I(5);
    Bytes b = main.Finish();
    AppendFooter(&b, 0);
    const size_t start = b.size();
    BinaryBuilder extension(false, 6000, false);
    extension.Append(b);
    if (r.fields == kSource || r.fields == kSourceAndTime) extension.Field("Source").S("some tool");
    if (r.fields == kFileIdOnly) extension.Field("FileId").R(std::string(16, '\x11'));
    if (r.fields == kSourceAndTime || r.fields == kTimeOnly) {
      extension.Field("CreationTime").S("2004-10-28 12:30:15:250");
    }
    extension.Field("Extra").I(7);
    b = extension.Finish();
    AppendFooter(&b, start);

    VZynFile f;
    ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size(), true, true, false)) << r.what << ": " << f.GetErrorMessage();
    ASSERT_EQ(f.SectionCount(), 1) << r.what;
    ASSERT_TRUE(f.OpenSection(0)) << r.what << ": " << f.GetErrorMessage();
    EXPECT_EQ(f.SectionCheck(), kZynSectionUnidentified) << r.what;
    EXPECT_EQ(f.FieldReadI("Data", 0), 5) << r.what;
    ASSERT_TRUE(f.CloseSection());
    EXPECT_EQ(f.OpenSection(1), r.readable) << r.what;
    EXPECT_EQ(f.FieldReadI("Extra", 0), r.readable ? 7 : 0) << r.what;
    if (r.readable) {
      EXPECT_EQ(f.SectionCheck(), kZynSectionUnidentified) << r.what;
      EXPECT_FALSE(f.HasError()) << r.what;
    } else {
      EXPECT_EQ(f.SectionCheck(), kZynSectionForeign) << r.what;
      EXPECT_EQ(f.GetErrorCode(), kZynErrorCorrupted) << r.what;
    }
  }
  // The main section alone, with nothing of it identified but a footer behind.
  BinaryBuilder main;
  main.Field("Data").I(5);
  Bytes b = main.Finish();
  AppendFooter(&b, 0);
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size(), true, true, false));
  EXPECT_EQ(f.SectionCount(), 0);
  EXPECT_FALSE(f.OpenSection(0));
  EXPECT_EQ(f.GetErrorCode(), kZynErrorCorrupted);
}

TEST(ZynSectionsTest, FilesWithoutIdentificationAreUnidentified) {
  const struct { const char* what; bool header_extension; bool source; } rows[] = {
      {"bare", false, false}, {"with header extension", true, false}, {"older Source field", true, true}};
  for (const auto& r : rows) {
    BinaryBuilder w(false, 4000);
    if (r.header_extension) {
      w.Field("ZYNHeaderExtension").Begin().Field("ZYNHeaderVersion").I(1000).Field("ZYNVersion").I(4001).End();
    }
    if (r.source) w.Field("Source").S("some tool");
    w.Field("NodeId").S("node-7");
    w.Field("Data").I(5);
    Bytes b = w.Finish();
    VZynFile f;
    ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size())) << r.what << ": " << f.GetErrorMessage();
    EXPECT_EQ(f.SectionCheck(), kZynSectionUnidentified) << r.what;
    EXPECT_EQ(f.GetVersion(), r.header_extension ? 4001 : 4000) << r.what;
    EXPECT_EQ(f.SectionCount(), 0);
    EXPECT_EQ(f.SectionNodeId(), "node-7");
    EXPECT_EQ(f.FieldReadI("Data", 0), 5) << r.what;
  }
  // The older "Param2a" also names the node.
  BinaryBuilder w;
  w.Field("Param2a").S("old-node");
  Bytes b = w.Finish();
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size()));
  EXPECT_EQ(f.SectionNodeId(), "old-node");
}

}  // namespace
