// zynplay --import-info: the importer found by the file's extension, the
// track and its sample description as JSON.

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "tools/program_output.h"

namespace {

using tool_test::Result;
using tool_test::RunProgram;
using tool_test::ValueOf;

TEST(ZynplayImportInfo, DescribesTheTrackAndItsSampleDescription) {
  testing_support::TempDir dir;
  const std::string scene = dir.File("scene.zyn");
  ASSERT_EQ(RunProgram(ZYN_PROGRAM, "demo " + scene).code, 0);
  const std::string size = std::to_string(testing_support::ReadFileBytes(scene).size());
  const Result info = RunProgram(ZYN_PROGRAM, "info " + scene);
  ASSERT_EQ(info.code, 0) << info.out;
  const Result r = RunProgram(ZYNPLAY_PROGRAM, "--import-info " + scene);
  ASSERT_EQ(r.code, 0) << r.out;
  // The track's size as the header gives it (a "Fixed Resolution" header
  // is the size itself).
  const std::string width = ValueOf(r.out, "width"), height = ValueOf(r.out, "height");
  if (ValueOf(info.out, "resolutionMode") == "Fixed Resolution") {
    EXPECT_EQ(width, ValueOf(info.out, "resolutionW"));
    EXPECT_EQ(height, ValueOf(info.out, "resolutionH"));
  }
  // The sample scene's longest take lasts 4 s: 241 units of 1/60 s.
  const std::string want = R"({"width":)" + width + R"(,"height":)" + height +
                           R"(,"duration":241,"timeScale":60,"dataSize":)" + size +
                           R"(,"description":{"description size":86,"data format":"vzyn","data reference index":0,)"
                           R"("version":0,"revision level":0,"vendor":0,"temporal quality":0,"spatial quality":0,)"
                           R"("width":)" + width + R"(,"height":)" + height +
                           R"(,"horizontal resolution":72.0,"vertical resolution":72.0,"data size":)" + size +
                           R"(,"frame count":241,"name":"","depth":32,"colour table id":-1}})" + "\n";
  EXPECT_EQ(r.out, want);
}

TEST(ZynplayImportInfo, AFileThatIsNoSceneImportsWithTheDefaults) {
  testing_support::TempDir dir;
  const std::string text = dir.File("notes.ZYN");  // the extension in any case
  ASSERT_TRUE(testing_support::WriteFileBytes(text, "not a scene\n"));
  const Result r = RunProgram(ZYNPLAY_PROGRAM, "--import-info " + text);
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(r.out.rfind(R"({"width":500,"height":280,"duration":1,"timeScale":60,"dataSize":12,)", 0), 0u) << r.out;
}

TEST(ZynplayImportInfo, FailuresAndUsageErrors) {
  testing_support::TempDir dir;
  Result r = RunProgram(ZYNPLAY_PROGRAM, "--import-info " + dir.File("missing.zyn"));
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "zynplay: Unable to open file " + dir.File("missing.zyn") + "\n");
  const std::string other = dir.File("picture.png");
  ASSERT_TRUE(testing_support::WriteFileBytes(other, "png"));
  r = RunProgram(ZYNPLAY_PROGRAM, "--import-info " + other);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out.rfind("zynplay: ", 0), 0u);
  EXPECT_EQ(RunProgram(ZYNPLAY_PROGRAM, "--import-info").code, 2);
  EXPECT_EQ(RunProgram(ZYNPLAY_PROGRAM, "--import-info " + other + " extra.zyn").code, 2);
}

}  // namespace
