// Writing fields and reading them back, in both forms and through every
// kind of stream.

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "zyn_test_util.h"
#include "zynfile/field_copy.h"
#include "zynfile/file_stream.h"

namespace {

using zyn_test::Bytes;
using zyn_test::Tree;
using zyn_test::WriteMemory;

const VTime kTime(69279237000);  // 1.5 s
const VTime kStop(-46186158000);
const uint8_t kRaw[] = {0, 1, 2, 255, 0};

void WriteSample(VZynFile& f) {
  f.FieldWriteCH("Char", 'Y');
  f.FieldWriteI("Int", -42);
  f.FieldWriteLL("Long", int64_t{1} << 40);
  f.FieldWriteF("Float", 0.25f);
  f.FieldWriteD("Double", -1234.5678901234);
  f.FieldWriteC("String", "hello world");
  f.FieldWriteObjectReference("Ref", "Model::Cube");
  if (f.IsBinary()) {
    f.FieldWriteBegin("Raw");
    f.FieldWriteR(kRaw, sizeof kRaw);
    f.FieldWriteEnd();
  }
  f.FieldWriteBegin("Multi");
  f.FieldWriteI(1);
  f.FieldWriteD(2.5);
  f.FieldWriteC("three");
  f.FieldWriteCH('N');
  f.FieldWriteEnd();
  f.FieldWriteBegin("Empty");
  f.FieldWriteEnd();
  for (int k = 0; k < 3; ++k) {
    f.FieldWriteBegin("Take");
    f.FieldWriteC("take" + std::to_string(k));
    f.FieldWriteBlockBegin();
    f.FieldWriteI("Index", k);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  }
  f.FieldWriteBlockBegin("Outer");
  f.FieldWriteBlockBegin("Middle");
  f.FieldWriteI("Inner", 7);
  f.FieldWriteBlockEnd();
  f.FieldWriteEnd();
  f.FieldWriteI("After", 8);
  f.FieldWriteBlockEnd();
  f.FieldWriteEnd();
  f.FieldWriteT("Time", kTime);
  f.FieldWriteBegin("Span");
  f.FieldWriteTS(kTime, kStop);
  f.FieldWriteEnd();
  const double vec[] = {1.0, -2.5, 3.25};
  f.FieldWriteBegin("Vec");
  f.FieldWriteDn(vec, 3);
  f.FieldWriteEnd();
}

void CheckSample(VZynFile& f) {
  SCOPED_TRACE(f.IsBinary() ? "binary" : "ascii");
  EXPECT_EQ(f.FieldReadCH("Char", 0), 'Y');
  EXPECT_EQ(f.FieldReadI("Int", 0), -42);
  EXPECT_EQ(f.FieldReadLL("Long", 0), int64_t{1} << 40);
  EXPECT_EQ(f.FieldReadF("Float", 0), 0.25f);
  EXPECT_EQ(f.FieldReadD("Double", 0), -1234.5678901234);
  EXPECT_EQ(f.FieldReadC("String", ""), "hello world");
  EXPECT_EQ(f.FieldReadC("Ref", ""), "Model::Cube");
  if (f.IsBinary()) {
    ASSERT_TRUE(f.FieldReadBegin("Raw"));
    EXPECT_EQ(f.FieldReadGetType(), 'R');
    uint32_t size = 0;
    const uint8_t* raw = f.FieldReadR(&size);
    ASSERT_EQ(size, sizeof kRaw);
    EXPECT_EQ(Bytes(reinterpret_cast<const char*>(raw), size), Bytes(reinterpret_cast<const char*>(kRaw), size));
    f.FieldReadEnd();
  }
  ASSERT_TRUE(f.FieldReadBegin("Multi"));
  EXPECT_EQ(f.FieldReadGetCount(), 4);
  EXPECT_EQ(f.FieldReadI(), 1);
  EXPECT_EQ(f.FieldReadD(), 2.5);
  EXPECT_EQ(f.FieldReadC(), "three");
  EXPECT_EQ(f.FieldReadCH(), 'N');
  EXPECT_EQ(f.FieldReadGetRemain(), 0);
  EXPECT_EQ(f.FieldReadI(), 0);  // past the end
  f.FieldReadEnd();
  ASSERT_TRUE(f.FieldReadBegin("Empty"));
  EXPECT_EQ(f.FieldReadGetCount(), 0);
  EXPECT_FALSE(f.FieldReadIsBlock());
  EXPECT_FALSE(f.FieldReadBlockBegin());
  f.FieldReadEnd();

  // Occurrences: in order with Begin/End, or by index.
  int takes = 0;
  while (f.FieldReadBegin("Take")) {
    EXPECT_EQ(f.FieldReadC(), "take" + std::to_string(takes));
    ASSERT_TRUE(f.FieldReadIsBlock());
    ASSERT_TRUE(f.FieldReadBlockBegin());
    EXPECT_EQ(f.FieldReadDepth(), 1);
    EXPECT_EQ(f.FieldReadI("Index", -1), takes);
    EXPECT_TRUE(f.FieldReadBlockEnd());
    f.FieldReadEnd();
    ++takes;
  }
  EXPECT_EQ(takes, 3);
  ASSERT_TRUE(f.FieldReadBegin("Take", 1));
  EXPECT_EQ(f.FieldReadC(), "take1");
  EXPECT_FALSE(f.FieldReadBegin("Take", 3));
  EXPECT_FALSE(f.FieldReadBegin("Take", -1));

  ASSERT_TRUE(f.FieldReadBegin("Outer"));
  ASSERT_TRUE(f.FieldReadBlockBegin());
  ASSERT_TRUE(f.FieldReadBegin("Middle"));
  ASSERT_TRUE(f.FieldReadBlockBegin());
  EXPECT_EQ(f.FieldReadDepth(), 2);
  EXPECT_EQ(f.FieldReadI("Inner", 0), 7);
  EXPECT_EQ(f.FieldReadI("After", -1), -1);
  f.FieldReadBlockEnd();
  f.FieldReadEnd();
  EXPECT_EQ(f.FieldReadI("After", 0), 8);
  f.FieldReadBlockEnd();
  f.FieldReadEnd();
  EXPECT_EQ(f.FieldReadDepth(), 0);
  EXPECT_FALSE(f.FieldReadBlockEnd());  // the top level stays

  EXPECT_EQ(f.FieldReadT("Time", VTime(0)).GetTicks(), kTime.GetTicks());
  ASSERT_TRUE(f.FieldReadBegin("Span"));
  VTime a, b;
  f.FieldReadTS(&a, &b);
  EXPECT_EQ(a.GetTicks(), kTime.GetTicks());
  EXPECT_EQ(b.GetTicks(), kStop.GetTicks());
  f.FieldReadEnd();

  double vec[4] = {9, 9, 9, 9};
  f.FieldReadFn("Vec", vec, 4, nullptr);
  EXPECT_EQ(vec[0], 1.0);
  EXPECT_EQ(vec[1], -2.5);
  EXPECT_EQ(vec[2], 3.25);
  EXPECT_EQ(vec[3], 0.0);  // the field has only three

  // Named reads of missing fields give the caller's default.
  EXPECT_EQ(f.FieldReadCH("Missing", 'z'), 'z');
  EXPECT_EQ(f.FieldReadI("Missing", 9), 9);
  EXPECT_EQ(f.FieldReadLL("Missing", -9), -9);
  EXPECT_EQ(f.FieldReadF("Missing", 1.5f), 1.5f);
  EXPECT_EQ(f.FieldReadD("Missing", 2.5), 2.5);
  EXPECT_EQ(f.FieldReadC("Missing", "dflt"), "dflt");
  EXPECT_EQ(f.FieldReadT("Missing", kStop).GetTicks(), kStop.GetTicks());
  const double fallback[3] = {4, 5, 6};
  f.FieldReadFn("Missing", vec, 3, fallback);
  EXPECT_EQ(vec[0], 4.0);
  EXPECT_EQ(vec[2], 6.0);
  EXPECT_FALSE(f.HasError()) << f.GetErrorMessage();
}

TEST(ZynRoundTripTest, EveryValueTypeThroughEveryStream) {
  testing_support::TempDir dir;
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    // Written into memory.
    Bytes mem = WriteMemory(binary, WriteSample, 6000, "Producer Perspective");
    // Written to disk.
    std::string path = dir.File(binary ? "sample_b.zyn" : "sample_a.zyn");
    {
      VZynFile f;
      f.SetHeaderCamera("Fixed Ratio", 1024, 576);
      ASSERT_TRUE(f.CreateFile(path, binary, false, "Producer Perspective"));
      WriteSample(f);
      ASSERT_TRUE(f.CloseFile()) << f.GetErrorMessage();
    }
    Bytes disk = testing_support::ReadFileBytes(path);

    {
      VZynFile f;
      ASSERT_TRUE(f.OpenFromMemory(mem.data(), mem.size())) << f.GetErrorMessage();
      EXPECT_EQ(f.IsBinary(), binary);
      EXPECT_EQ(f.OpenMode(), 0);
      CheckSample(f);
    }
    {
      VZynFile f;
      ASSERT_TRUE(f.OpenFile(path)) << f.GetErrorMessage();
      EXPECT_EQ(f.OpenMode(), 2);
      CheckSample(f);
      const VZynHeaderInfo& h = f.Header();
      EXPECT_EQ(h.header_version, 1002);
      EXPECT_TRUE(h.has_camera);
      EXPECT_EQ(h.camera_name, "Producer Perspective");
      EXPECT_EQ(h.resolution_mode, "Fixed Ratio");
      EXPECT_EQ(h.resolution_w, 1024.0);
      EXPECT_EQ(h.resolution_h, 576.0);
      EXPECT_TRUE(h.has_creation_time);
      EXPECT_GE(h.creation_time.year, 2020);
      EXPECT_EQ(h.creator, kVZynCreator);
      EXPECT_EQ(f.SectionCheck(), binary ? kZynSectionVerified : kZynSectionUnidentified);
      EXPECT_GE(f.SectionCreationTime().year, 2020);
      EXPECT_EQ(f.GetFullFilePath("media/a.wav"), dir.path() + "/media/a.wav");
      EXPECT_EQ(f.GetFullFilePath("/abs/a.wav"), "/abs/a.wav");
    }
    {
      // Without the extension, ".zyn" is added.
      VZynFile f;
      std::string stem = path.substr(0, path.size() - 4);
      ASSERT_TRUE(f.OpenFile(stem)) << f.GetErrorMessage();
      EXPECT_EQ(f.Path(), path);
    }
    {
      VFileStream stream;
      ASSERT_TRUE(stream.Open(path, kVStreamRead));
      VZynFile f;
      ASSERT_TRUE(f.OpenFromStream(&stream)) << f.GetErrorMessage();
      CheckSample(f);
    }
    // Memory and disk differ only in times and ids, so in nothing else.
    EXPECT_NEAR(static_cast<double>(mem.size()), static_cast<double>(disk.size()), binary ? 0 : 64);
  }
}

TEST(ZynRoundTripTest, CloseFileResetsTheObject) {
  Bytes b = WriteMemory(true, WriteSample, 5000);
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size()));
  EXPECT_EQ(f.GetVersion(), 5000);
  EXPECT_TRUE(f.CloseFile());
  EXPECT_EQ(f.GetVersion(), 6000);
  EXPECT_FALSE(f.IsBinary());
  EXPECT_EQ(f.OpenSectionIndex(), -1);
  EXPECT_FALSE(f.FieldReadBegin("Int"));
  EXPECT_EQ(f.FieldReadI("Int", 3), 3);
}

TEST(ZynRoundTripTest, VersionSetBeforeCreateFileIsWritten) {
  testing_support::TempDir dir;
  for (bool binary : {true, false}) {
    std::string path = dir.File("v.zyn");
    VZynFile w;
    w.SetVersion(5001);
    ASSERT_TRUE(w.CreateFile(path, binary));
    EXPECT_EQ(w.GetVersion(), 5001);
    w.FieldWriteT("When", kTime);
    ASSERT_TRUE(w.CloseFile());
    VZynFile f;
    ASSERT_TRUE(f.OpenFile(path)) << f.GetErrorMessage();
    EXPECT_EQ(f.GetVersion(), 5001) << binary;
    EXPECT_EQ(f.FieldReadT("When", VTime(0)).GetTicks(), kTime.GetTicks());
  }
}

// Times are seconds (doubles) in sections older than 2001, ticks after.
TEST(ZynRoundTripTest, TimesFollowTheSectionVersion) {
  const struct { int version; bool ticks; } rows[] = {{1000, false}, {2000, false}, {2001, true}, {6000, true}};
  for (bool binary : {true, false}) {
    for (const auto& r : rows) {
      SCOPED_TRACE(std::to_string(r.version) + (binary ? " binary" : " ascii"));
      Bytes b = WriteMemory(binary, [](VZynFile& f) { f.FieldWriteT("When", kTime); }, r.version);
      VZynFile f;
      ASSERT_TRUE(f.OpenFromMemory(b.data(), b.size())) << f.GetErrorMessage();
      EXPECT_EQ(f.GetVersion(), r.version);
      EXPECT_EQ(f.SectionVersion(0), r.version);
      ASSERT_TRUE(f.FieldReadBegin("When"));
      if (binary) {
        EXPECT_EQ(f.FieldReadGetType(), r.ticks ? 'L' : 'D');
      } else {
        EXPECT_EQ(f.FieldReadC(), r.ticks ? "69279237000" : "1.5");
        ASSERT_TRUE(f.FieldReadBegin("When"));
      }
      EXPECT_EQ(f.FieldReadT().GetTicks(), kTime.GetTicks());
    }
  }
}

std::string TreeOfMainSection(const Bytes& b) {
  VZynFile f;
  EXPECT_TRUE(f.OpenFromMemory(b.data(), b.size())) << f.GetErrorMessage();
  return Tree(f, {"ZYNHeaderExtension", "FileId", "CreationTime", "Creator"});
}

Bytes Copy(const Bytes& in_bytes, bool binary) {
  static const char* const kSkip[] = {"ZYNHeaderExtension", "FileId", "Source", "CreationTime", "Creator", nullptr};
  VZynFile in;
  EXPECT_TRUE(in.OpenFromMemory(in_bytes.data(), in_bytes.size()));
  return WriteMemory(binary, [&](VZynFile& out) { EXPECT_TRUE(VZynCopyBlock(in, out, kSkip)); });
}

TEST(ZynRoundTripTest, BinaryToAsciiToBinaryKeepsTheTree) {
  // Values whose text form reads back exactly.
  Bytes original = WriteMemory(true, [](VZynFile& f) {
    WriteSample(f);
    f.FieldWriteBegin("Odd Name: with marks");
    f.FieldWriteC("quoted, text {with} braces");
    f.FieldWriteLL(-5);
    f.FieldWriteEnd();
    f.FieldWriteBlockBegin("EmptyBlock");
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  });
  // The raw value is the one thing the text form cannot carry.
  Bytes ascii = Copy(original, false);
  Bytes back = Copy(ascii, true);
  auto without_raw = [](std::string tree) {
    size_t raw = tree.find("Raw:");
    if (raw != std::string::npos) tree.erase(raw, tree.find('\n', raw) - raw + 1);
    return tree;
  };
  std::string expected = TreeOfMainSection(original);
  ASSERT_NE(expected.find("Raw:"), std::string::npos);
  EXPECT_EQ(without_raw(TreeOfMainSection(back)), without_raw(expected));
  // The ASCII copy tells numbers from texts by their quotes.
  VZynFile f;
  ASSERT_TRUE(f.OpenFromMemory(back.data(), back.size()));
  ASSERT_TRUE(f.FieldReadBegin("Multi"));
  EXPECT_EQ(f.FieldReadGetType(), 'I');
  f.FieldReadI();
  EXPECT_EQ(f.FieldReadGetType(), 'D');
  f.FieldReadD();
  EXPECT_EQ(f.FieldReadGetType(), 'S');
  f.FieldReadC();
  EXPECT_EQ(f.FieldReadGetType(), 'C');
  EXPECT_EQ(f.FieldReadLL("Long", 0), int64_t{1} << 40);
}

TEST(ZynRoundTripTest, AsciiValueTypes) {
  const struct { const char* text; bool quoted; char type; } rows[] = {
      {"12", false, 'I'},          {"-2147483648", false, 'I'}, {"2147483648", false, 'L'},
      {"1.5", false, 'D'},         {"1e5", false, 'D'},         {"Y", false, 'C'},
      {"-", false, 'C'},           {"12", true, 'S'},           {"", false, 'S'},
      {"abc", false, 'S'},         {"12abc", false, 'S'},
  };
  for (const auto& r : rows) EXPECT_EQ(VZynAsciiValueType(r.text, r.quoted), r.type) << r.text;
}

TEST(ZynRoundTripTest, WriterMisuseIsReported) {
  VMemoryStream stream;
  stream.OpenBuffer();
  VZynFile f;
  ASSERT_TRUE(f.CreateInStream(&stream, true));
  EXPECT_FALSE(f.FieldWriteI(1));  // no field open
  EXPECT_EQ(f.GetErrorCode(), kZynErrorInvalidData);
  EXPECT_EQ(f.GetErrorMessage(), "Write field error : Field not opened");
  f.ClearError();
  ASSERT_TRUE(f.FieldWriteBegin("A"));
  EXPECT_FALSE(f.FieldWriteBegin("B"));
  EXPECT_EQ(f.GetErrorMessage(), "Begin Field error last field not closed");
  f.ClearError();
  EXPECT_FALSE(f.FieldWriteC(static_cast<const char*>(nullptr)));
  EXPECT_EQ(f.GetErrorMessage(), "Write field error : V_NULL value");
  // After an error nothing more is written.
  EXPECT_FALSE(f.FieldWriteI(2));
  EXPECT_FALSE(f.CloseFile());

  VZynFile bad;
  EXPECT_FALSE(bad.CreateFile("/nonexistent-folder/x.zyn", true));
  EXPECT_EQ(bad.GetErrorCode(), kZynErrorNotCreated);
  EXPECT_EQ(bad.GetErrorMessage(), "Unable to create file /nonexistent-folder/x.zyn");
}

}  // namespace
