// zynplay --events: scripts driving the media handler, read back through
// --trace and the snapped frames.

#include <gtest/gtest.h>

#include <string>

#include "support/png_image.h"
#include "support/temp_dir.h"
#include "tools/zynplay_test_support.h"

namespace {

using zynplay_test::AnyHas;
using zynplay_test::Has;
using zynplay_test::Trace;
using zynplay_test::Zynplay;

class ZynplayEvents : public ::testing::Test {
 protected:
  void SetUp() override { scene_ = zynplay_test::WriteSampleScene(dir_); }

  // Runs the script on `file` (default: the sample scene); snaps go to the
  // temporary folder.
  zynplay_test::Run RunScript(const std::string& script, const std::string& file = "") {
    testing_support::WriteFileBytes(dir_.File("script.txt"), script);
    return Zynplay((file.empty() ? scene_ : file) + " --events " + dir_.File("script.txt") + " --trace " +
                   dir_.File("trace.json") + " --frames " + dir_.path() + " --size 320x240");
  }
  Trace ReadTrace() const { return Trace(dir_.File("trace.json")); }

  testing_support::TempDir dir_;
  std::string scene_;
};

// The `drew` value of each idle line from line `from` on.
std::vector<bool> DrawsFrom(const Trace& trace, std::size_t from) {
  std::vector<bool> drew;
  for (std::size_t i = from; i < trace.lines.size(); ++i) {
    if (Has(trace.lines[i], "\"call\":\"idle\"")) drew.push_back(Has(trace.lines[i], "\"drew\":true"));
  }
  return drew;
}

TEST_F(ZynplayEvents, APausedMovieDrawsThreeMoreTimesAfterAClickThenStops) {
  const auto r = RunScript(
      "wait-loaded\n"
      "idle 30\nidle 30\nidle 30\nidle 30\nidle 30\nidle 30\n"
      "# the click and its end\n"
      "click 100 100\n"
      "release 100 100\n"
      "idle 30\nidle 30\nidle 30\nidle 30\nidle 30\nidle 30\n");
  ASSERT_EQ(r.code, 0) << r.out;
  const Trace trace = ReadTrace();
  const auto clicks = trace.Find("\"kind\":\"clik\"");
  const auto ends = trace.Find("\"kind\":\"cend\"");
  ASSERT_EQ(clicks.size(), 1u);
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_TRUE(Has(trace.lines[ends[0]], "\"result\":-2129")) << trace.lines[ends[0]];
  // Before the click the paused movie has stopped drawing.
  ASSERT_TRUE(Has(trace.lines[clicks[0] - 1], "\"call\":\"idle\",\"time\":30"));
  EXPECT_TRUE(Has(trace.lines[clicks[0] - 1], "\"drew\":false")) << trace.lines[clicks[0] - 1];
  const std::vector<bool> after = DrawsFrom(trace, ends[0]);
  EXPECT_EQ(after, (std::vector<bool>{true, true, true, false, false, false}));
  // The idle line is written after the texts of its call: every idle line
  // that drew on the loaded scene follows its focus prompt.
  const auto texts = trace.TextsOfLastDraw(trace.lines.size());
  EXPECT_TRUE(AnyHas(texts, "<Click here to get interaction focus>"));
}

TEST_F(ZynplayEvents, DisplayModeKeysFollowTheModifiersAndSkipDefault) {
  const auto r = RunScript(
      "wait-loaded\n"
      "key i\nidle 30\nsnap before.png\n"
      "key D 0x200\nidle 30\nsnap shift.png\n"  // Shift: not a hot key
      "key D 0x400\nidle 30\nsnap caps.png\n"   // Caps Lock: wire frame
      "key d\nkey d\nkey d\nidle 30\n"          // textured
      "key d\nidle 30\n");                      // wire frame again, never Default
  ASSERT_EQ(r.code, 0) << r.out;
  const Trace trace = ReadTrace();
  const auto keys = trace.Find("\"kind\":\"key \"");
  ASSERT_EQ(keys.size(), 7u);
  EXPECT_TRUE(Has(trace.lines[keys[1]], "\"result\":0,")) << "Shift-D is not handled: " << trace.lines[keys[1]];
  EXPECT_TRUE(Has(trace.lines[keys[2]], "\"result\":-2129,")) << trace.lines[keys[2]];
  const auto modeAfter = [&](std::size_t key) {
    for (const std::string& t : trace.TextsOfLastDraw(key == keys.size() ? trace.lines.size() : keys[key])) {
      const std::size_t at = t.find("Display mode: ");
      if (at != std::string::npos) return t.substr(at + 14, t.find('"', at) - at - 14);
    }
    return std::string("(none)");
  };
  EXPECT_EQ(modeAfter(1), "Default");     // after 'i'
  EXPECT_EQ(modeAfter(2), "Default");     // after Shift-D
  EXPECT_EQ(modeAfter(3), "Wire Frame");  // after Caps Lock D
  EXPECT_EQ(modeAfter(6), "Textured");
  EXPECT_EQ(modeAfter(7), "Wire Frame");

  testing_support::RgbaImage before, shift, caps;
  std::string message;
  ASSERT_TRUE(testing_support::ReadPNGFile(dir_.File("before.png"), &before, &message)) << message;
  ASSERT_TRUE(testing_support::ReadPNGFile(dir_.File("shift.png"), &shift, &message)) << message;
  ASSERT_TRUE(testing_support::ReadPNGFile(dir_.File("caps.png"), &caps, &message)) << message;
  EXPECT_EQ(before.width, 320);
  EXPECT_EQ(before.height, 240);
  EXPECT_EQ(before.pixels, shift.pixels);
  EXPECT_NE(before.pixels, caps.pixels);
}

TEST_F(ZynplayEvents, ASecondInstanceShowsItsNoticeAndPlaysOnceTheFirstCloses) {
  const auto r = RunScript("wait-loaded\nidle 0\nopen " + scene_ +
                           "\nidle 0\nsnap second.png\n"
                           "close 1\nselect 2\nidle 1\nwait-loaded\nidle 2\n");
  ASSERT_EQ(r.code, 0) << r.out;
  const Trace trace = ReadTrace();
  const auto second = trace.Find("\"call\":\"idle\",\"time\":0,\"flags\":0,\"result\":0,\"drew\":true,\"instance\":2");
  ASSERT_FALSE(second.empty());
  const auto texts = trace.TextsOfLastDraw(second[0] + 1);
  EXPECT_TRUE(AnyHas(texts, "\"text\":\"ZYN\""));
  EXPECT_TRUE(AnyHas(texts, "\"text\":\"Preview not available.\""));
  EXPECT_TRUE(AnyHas(texts, "\"text\":\"Only one file at a time.\""));
  EXPECT_FALSE(AnyHas(texts, "Press 'H' for help"));
  // Once the first is closed, the second loads its own file.
  EXPECT_TRUE(AnyHas(trace.TextsOfLastDraw(trace.lines.size()), "<Click here to get interaction focus>"));
}

TEST_F(ZynplayEvents, WhileTheSceneLoadsIdleCallsDrawTheLoadingScreenAndCloseEndsIt) {
  // The data handler hands the file over in small pieces, so the scene stays
  // loading; the idle calls go on drawing and closing ends the load.
  testing_support::WriteFileBytes(dir_.File("script.txt"), "idle 0\nidle 1\nidle 2\nidle 3\nclose 1\n");
  const auto r = Zynplay(scene_ + " --events " + dir_.File("script.txt") + " --trace " + dir_.File("trace.json"),
                         "QTZYN_DATA_PIECE_SIZE=512");
  ASSERT_EQ(r.code, 0) << r.out;
  const Trace trace = ReadTrace();
  const auto idles = trace.Find("\"call\":\"idle\"");
  ASSERT_EQ(idles.size(), 4u);
  for (std::size_t i : idles) {
    EXPECT_TRUE(Has(trace.lines[i], "\"result\":0,\"drew\":true")) << trace.lines[i];
    EXPECT_TRUE(AnyHas(trace.TextsOfLastDraw(i + 1), "Press 'H' for help"));
  }
}

TEST_F(ZynplayEvents, AFileThatIsNotASceneShowsTheFailureScreen) {
  const std::string junk = dir_.File("junk.zyn");
  testing_support::WriteFileBytes(junk, std::string(4096, 'x'));
  const auto r = RunScript("wait-loaded\nidle 1\nsnap failed.png\n", junk);
  ASSERT_EQ(r.code, 0) << r.out;
  const Trace trace = ReadTrace();
  const auto texts = trace.TextsOfLastDraw(trace.lines.size());
  EXPECT_TRUE(AnyHas(texts, "\"text\":\"Error loading ZYN file!\""));
  EXPECT_TRUE(AnyHas(texts, "\"text\":\"Invalid or corrupted file.\""));
  testing_support::RgbaImage image;
  std::string message;
  ASSERT_TRUE(testing_support::ReadPNGFile(dir_.File("failed.png"), &image, &message)) << message;
  long dark = 0;
  for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
    dark += image.pixels[i] < 16 && image.pixels[i + 1] < 16 && image.pixels[i + 2] < 16;
  }
  EXPECT_GT(dark, 320L * 240 * 9 / 10) << "the failure screen is black but for its text";
}

TEST_F(ZynplayEvents, ScriptFaultsNameTheirLineAndRunNothing) {
  auto r = RunScript("idle 0\n\n  # a comment\nwobble 3\n");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.out, "zynplay: " + dir_.File("script.txt") + ":4: unknown command wobble")) << r.out;
  EXPECT_TRUE(zynplay_test::ReadLines(dir_.File("trace.json")).empty()) << "nothing ran";
  for (const char* bad : {"key\n", "key ab\n", "key #300\n", "click 1\n", "move 1 2 3\n", "focus maybe\n",
                          "snap ../x.png\n", "select 0\n", "idle x\n", "wait-loaded now\n"}) {
    r = RunScript(bad);
    EXPECT_EQ(r.code, 1) << bad;
    EXPECT_TRUE(Has(r.out, ":1: ")) << bad << r.out;
  }
  r = RunScript("select 2\n");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.out, ":1: no open instance 2")) << r.out;
  r = RunScript("close 1\nidle 0\n");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.out, ":2: instance 1 is closed")) << r.out;
}

}  // namespace
