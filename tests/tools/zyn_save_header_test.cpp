// A scene saved by the engine carries its default camera's resolution in
// the file's header, and what `zyn info` reads there is what the importer
// sizes the track from. The scenes are the sample's ASCII form with the
// default camera's resolution edited, stored again through the scene model
// (`zyn convert` loads and saves).

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "tools/program_output.h"

namespace {

using tool_test::Result;
using tool_test::RunProgram;
using tool_test::ValueOf;

// Replaces the value of the first line after `from` that holds `field`
// (the text after the line's last comma, or after its ": ").
bool SetValue(std::string* text, std::size_t from, const std::string& field, const std::string& value) {
  const std::size_t at = text->find(field, from);
  if (at == std::string::npos) return false;
  const std::size_t end = text->find('\n', at);
  const std::size_t comma = text->rfind(',', end);
  const std::size_t start = comma != std::string::npos && comma > at ? comma + 1 : text->find(": ", at) + 2;
  text->replace(start, end - start, value);
  return true;
}

class ZynSaveHeader : public ::testing::Test {
 protected:
  void SetUp() override {
    sample_ = dir_.File("sample.zyn");
    const Result r = RunProgram(ZYN_PROGRAM, "demo --ascii " + sample_);
    ASSERT_EQ(r.code, 0) << r.out;
    text_ = testing_support::ReadFileBytes(sample_);
    orbit_ = text_.find("Model: \"Model::Camera Orbit\"");
    ASSERT_NE(orbit_, std::string::npos);
  }

  // The sample with its default camera's resolution changed, saved again
  // by the engine (binary or ASCII); the saved file's path.
  std::string Saved(const std::string& name, int mode, const std::string& w, const std::string& h, bool binary) {
    std::string text = text_;
    EXPECT_TRUE(SetValue(&text, orbit_, "\"ResolutionMode\"", std::to_string(mode)));
    EXPECT_TRUE(SetValue(&text, orbit_, "\"AspectW\"", w));
    EXPECT_TRUE(SetValue(&text, orbit_, "\"AspectH\"", h));
    return Convert(name, text, binary);
  }

  std::string Convert(const std::string& name, const std::string& text, bool binary) {
    const std::string edited = dir_.File(name + "_in.zyn");
    EXPECT_TRUE(testing_support::WriteFileBytes(edited, text));
    const std::string out = dir_.File(name + ".zyn");
    const Result r = RunProgram(ZYN_PROGRAM, "convert " + edited + " " + out + (binary ? " --binary" : " --ascii"));
    EXPECT_EQ(r.code, 0) << r.out;
    return out;
  }

  testing_support::TempDir dir_;
  std::string sample_, text_;
  std::size_t orbit_ = 0;
};

TEST_F(ZynSaveHeader, TheHeaderCarriesTheDefaultCamerasResolutionAndTheTrackFollowsIt) {
  struct Case {
    int mode;
    const char* name;
    const char* w;
    const char* h;
    const char* width;  // the track, as the importer's table makes it
    const char* height;
  };
  const Case cases[] = {
      {0, "Window Size", "320", "200", "500", "280"},
      {1, "Fixed Ratio", "1.5", "0.5", "750", "140"},
      {2, "Fixed Resolution", "800", "450", "800", "450"},
      {3, "Fixed Width Resolution", "320", "0.75", "320", "240"},
      {4, "Fixed Height Resolution", "1.5", "200", "300", "200"},
  };
  for (const Case& c : cases) {
    for (bool binary : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (binary ? " binary" : " ascii"));
      const std::string path = Saved("mode" + std::to_string(c.mode), c.mode, c.w, c.h, binary);
      const Result info = RunProgram(ZYN_PROGRAM, "info " + path);
      ASSERT_EQ(info.code, 0) << info.out;
      EXPECT_EQ(ValueOf(info.out, "cameraName"), "Model::Camera Orbit");
      EXPECT_EQ(ValueOf(info.out, "resolutionMode"), c.name);
      EXPECT_EQ(std::stod(ValueOf(info.out, "resolutionW")), std::stod(c.w));
      EXPECT_EQ(std::stod(ValueOf(info.out, "resolutionH")), std::stod(c.h));
      const Result import = RunProgram(ZYNPLAY_PROGRAM, "--import-info " + path);
      ASSERT_EQ(import.code, 0) << import.out;
      EXPECT_EQ(ValueOf(import.out, "width"), c.width);
      EXPECT_EQ(ValueOf(import.out, "height"), c.height);
    }
  }
}

// The sample as `zyn demo` writes it asks for 640 x 480 through its header.
TEST_F(ZynSaveHeader, TheSampleSceneImportsAtItsCamerasSize) {
  const Result info = RunProgram(ZYN_PROGRAM, "info " + sample_);
  EXPECT_EQ(ValueOf(info.out, "resolutionMode"), "Fixed Resolution") << info.out;
  const Result import = RunProgram(ZYNPLAY_PROGRAM, "--import-info " + sample_);
  EXPECT_EQ(ValueOf(import.out, "width"), "640") << import.out;
  EXPECT_EQ(ValueOf(import.out, "height"), "480");
}

// A default camera that is no camera (the switcher, or a name nothing
// answers) has no resolution: the header names none, and the importer,
// reading the scene for it, keeps its window size.
TEST_F(ZynSaveHeader, ADefaultCameraThatIsNoCameraLeavesTheHeaderWithoutOne) {
  for (const char* camera : {"Model::Camera Switcher", "Model::Nobody"}) {
    SCOPED_TRACE(camera);
    std::string text = text_;
    ASSERT_TRUE(SetValue(&text, 0, "DefaultCamera:", std::string("\"") + camera + "\""));
    const std::string path = Convert("nocamera", text, true);
    const Result info = RunProgram(ZYN_PROGRAM, "info " + path);
    ASSERT_EQ(info.code, 0) << info.out;
    EXPECT_EQ(ValueOf(info.out, "cameraName"), "null");
    EXPECT_EQ(ValueOf(info.out, "resolutionMode"), "null");
    const Result import = RunProgram(ZYNPLAY_PROGRAM, "--import-info " + path);
    EXPECT_EQ(ValueOf(import.out, "width"), "500") << import.out;
    EXPECT_EQ(ValueOf(import.out, "height"), "280");
  }
}

}  // namespace
