// zyn render on the sample scene: the JSON report, the PNG (upright, of the
// requested size), cameras by name, and failures that leave no file behind.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/png_image.h"
#include "support/temp_dir.h"

namespace {

using testing_support::CountDeviatingPixels;
using testing_support::ReadFileBytes;
using testing_support::ReadPNGFile;
using testing_support::RgbaImage;
using testing_support::RunCommand;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// As the renderer's reference-image tests compare frames.
constexpr int kChannelTolerance = 8;
constexpr double kDeviatingShare = 0.005;

struct Result {
  int code = 0;
  std::string out;
  std::string err;
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class ZynRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    scene_ = dir_.File("sample.zyn");
    Result demo = Zyn("demo " + Quoted(scene_));
    ASSERT_EQ(demo.code, 0) << demo.err;
    // A machine without any OpenGL context cannot render at all.
    Result probe = Render("probe.png", "--size 8x8");
    if (probe.code == 1 && Has(probe.err, "OpenGL context")) GTEST_SKIP() << probe.err;
    ASSERT_EQ(probe.code, 0) << probe.err;
  }

  Result Zyn(const std::string& args) {
    Result r;
    const std::string err_file = dir_.File("stderr");
    r.code = RunCommand(std::string(ZYN_PROGRAM) + " " + args + " 2>" + err_file, &r.out);
    r.err = ReadFileBytes(err_file);
    return r;
  }
  // Renders the sample scene into `name` in the test's folder.
  Result Render(const std::string& name, const std::string& options) {
    return Zyn("render " + Quoted(scene_) + " -o " + Quoted(dir_.File(name)) + " " + options);
  }
  RgbaImage Png(const std::string& name) {
    RgbaImage image;
    std::string message;
    EXPECT_TRUE(ReadPNGFile(dir_.File(name), &image, &message)) << name << ": " << message;
    return image;
  }
  // True when nothing in the folder starts with `name` (the output, or a
  // temporary file beside it).
  bool NothingNamed(const std::string& name) const {
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
      if (entry.path().filename().string().rfind(name, 0) == 0) return false;
    return true;
  }

  TempDir dir_;
  std::string scene_;
};

TEST_F(ZynRenderTest, ReportsTheRendererAndWritesAnUprightFrame) {
  // The approved frame of the renderer's own tests: the scene's default
  // camera at 1.25 s, 160 x 120, checked upright when it was approved.
  const char* data = std::getenv("QTZYN_TEST_DATA");
  ASSERT_TRUE(data && *data) << "QTZYN_TEST_DATA names the tests' data folder (ctest sets it)";
  RgbaImage reference;
  std::string message;
  ASSERT_TRUE(ReadPNGFile(std::string(data) + "/render/reference/sample_default.png", &reference, &message))
      << message;
  const int allowed = static_cast<int>(kDeviatingShare * reference.width * reference.height);

  // {"renderer":"...","offscreen":"pbuffer"|"software","ms":NUMBER}, one line.
  auto offscreen_of = [](const std::string& out) -> std::string {
    const std::string head = "{\"renderer\":\"";
    const std::size_t kind = out.find("\",\"offscreen\":\"");
    const std::size_t ms = out.find("\",\"ms\":");
    if (out.compare(0, head.size(), head) != 0 || kind == std::string::npos || ms == std::string::npos ||
        kind <= head.size() || out.size() < 3 || out.compare(out.size() - 2, 2, "}\n") != 0)
      return "";
    const std::size_t start = kind + 15;
    const std::string number = out.substr(ms + 7, out.size() - 2 - (ms + 7));
    char* end = nullptr;
    std::strtod(number.c_str(), &end);
    if (number.empty() || *end != '\0') return "";
    return out.substr(start, ms - start);
  };
  for (const char* context : {"", "--software"}) {
    SCOPED_TRACE(context);
    Result r = Render("frame.png", std::string("--size 160x120 --seconds 1.25 ") + context);
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string kind = offscreen_of(r.out);
    ASSERT_TRUE(kind == "pbuffer" || kind == "software") << r.out;
    if (*context) {
      EXPECT_EQ(kind, "software");
    }
    const RgbaImage frame = Png("frame.png");
    ASSERT_EQ(frame.width, 160);
    ASSERT_EQ(frame.height, 120);
    EXPECT_LE(CountDeviatingPixels(frame, reference, kChannelTolerance), allowed);
    // The ground fills the lower half: a frame written bottom row first
    // differs in most rows.
    EXPECT_GT(CountDeviatingPixels(testing_support::Mirrored(frame), reference, kChannelTolerance), 20 * allowed);
  }

  // Odd sizes, wider and taller than high: rows are not padded or swapped.
  for (const char* size : {"37x23", "23x37", "1x1"}) {
    SCOPED_TRACE(size);
    Result r = Render("odd.png", std::string("--size ") + size);
    ASSERT_EQ(r.code, 0) << r.err;
    const RgbaImage frame = Png("odd.png");
    EXPECT_EQ(std::to_string(frame.width) + "x" + std::to_string(frame.height), size);
  }
}

TEST_F(ZynRenderTest, RendersThroughANamedCameraSwitcherOrProducerCamera) {
  // At 2 s the switcher has cut to its second camera, the top view.
  Result r = Render("switcher.png", "--size 64x48 --seconds 2 --camera 'Model::Camera Switcher'");
  ASSERT_EQ(r.code, 0) << r.err;
  r = Render("top.png", "--size 64x48 --seconds 2 --camera 'Model::Camera Top'");
  ASSERT_EQ(r.code, 0) << r.err;
  r = Render("orbit.png", "--size 64x48 --seconds 2 --camera 'Model::Camera Orbit'");
  ASSERT_EQ(r.code, 0) << r.err;
  r = Render("producer.png", "--size 64x48 --seconds 2 --camera 'Model::Producer Front'");
  ASSERT_EQ(r.code, 0) << r.err;
  const RgbaImage switcher = Png("switcher.png");
  EXPECT_EQ(CountDeviatingPixels(switcher, Png("top.png"), 0), 0);
  EXPECT_GT(CountDeviatingPixels(switcher, Png("orbit.png"), kChannelTolerance), 64 * 48 / 10);
  EXPECT_GT(CountDeviatingPixels(Png("producer.png"), Png("orbit.png"), kChannelTolerance), 64 * 48 / 10);
}

TEST_F(ZynRenderTest, FailuresExitOneWithTheMessageAndLeaveNoFile) {
  const std::string missing = dir_.File("missing.zyn");
  const std::string junk = dir_.File("junk.zyn");
  ASSERT_TRUE(WriteFileBytes(junk, "not a scene file, only some text"));
  const std::string truncated = dir_.File("truncated.zyn");
  ASSERT_TRUE(WriteFileBytes(truncated, ReadFileBytes(scene_).substr(0, 2000)));
  const std::string out = dir_.File("out.png");
  const struct {
    std::string args;
    std::string message;  // the start of the line after "zyn: "
  } cases[] = {
      {Quoted(scene_) + " -o " + Quoted(out) + " --camera 'Model::No Such Camera'", "No camera named Model::No Such Camera"},
      {Quoted(missing) + " -o " + Quoted(out), "Unable to open file " + missing},
      {Quoted(junk) + " -o " + Quoted(out), "File is corrupted " + junk},
      {Quoted(truncated) + " -o " + Quoted(out), "File is corrupted " + truncated},
      {Quoted(scene_) + " -o " + Quoted(out) + " --size 0x0", "Invalid frame size 0x0"},
      {Quoted(scene_) + " -o " + Quoted(out) + " --size 100000x100000", "Invalid frame size 100000x100000"},
      // Refused before anything is drawn: more than an image may hold.
      {Quoted(scene_) + " -o " + Quoted(out) + " --size 16384x16384", "Frame size 16384x16384"},
      {Quoted(scene_) + " -o " + Quoted(out) + " --size 65536x65536", "Frame size 65536x65536"},
      {Quoted(scene_) + " -o " + Quoted(dir_.File("no folder/out.png")), "Unable to write file"},
      // A folder where the file should go.
      {Quoted(scene_) + " -o " + Quoted(dir_.path()), "Unable to write file " + dir_.path()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    Result r = Zyn("render " + c.args);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("zyn: " + c.message, 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(NothingNamed("out.png"));
    EXPECT_FALSE(std::filesystem::exists(dir_.File("no folder")));
  }
}

TEST_F(ZynRenderTest, UsageErrorsExitTwoAndHelpExitsZero) {
  const std::string out = dir_.File("out.png");
  for (const std::string& args :
       {"-o " + Quoted(out) + " --size 12", "-o " + Quoted(out) + " --size 12x", "-o " + Quoted(out) + " --size x12",
        "-o " + Quoted(out) + " --display-mode 9", "-o " + Quoted(out) + " --display-mode -1",
        "-o " + Quoted(out) + " --viewing-mode 3", "-o " + Quoted(out) + " --seconds 1 --ticks 5",
        std::string("--size 16x16")}) {
    SCOPED_TRACE(args);
    Result r = Zyn("render " + Quoted(scene_) + " " + args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind("zyn: usage: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    EXPECT_TRUE(NothingNamed("out.png"));
  }
  Result help = Zyn("render --help");
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(Has(help.out, "zyn render FILE -o OUT.png")) << help.out;
}

}  // namespace
