// zyn demo, info, eval and convert on the sample scene.

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::TempDir;

struct Result {
  int code = 0;
  std::string out;
  std::string err;
};

class ZynSceneCommandsTest : public ::testing::Test {
 protected:
  Result Zyn(const std::string& args) {
    Result r;
    std::string err_file = dir_.File("stderr");
    r.code = RunCommand(std::string(ZYN_PROGRAM) + " " + args + " 2>" + err_file, &r.out);
    r.err = ReadFileBytes(err_file);
    return r;
  }
  std::string Demo(const std::string& name, bool ascii = false) {
    std::string path = dir_.File(name);
    Result r = Zyn("demo " + path + (ascii ? " --ascii" : ""));
    EXPECT_EQ(r.code, 0) << r.err;
    return path;
  }
  TempDir dir_;
};

constexpr long long kFrame = 1539538600;  // 30 frames per second

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(ZynSceneCommandsTest, DemoWritesBothForms) {
  std::string binary = Demo("b.zyn");
  std::string ascii = Demo("a.zyn", true);
  EXPECT_TRUE(Has(ReadFileBytes(ascii), "Take 002"));
  // Each scene gets its checker image beside it, named after it and
  // referenced by both names: a 64 x 64 uncompressed 24-bit TGA.
  for (const char* stem : {"a", "b"}) {
    const std::string image = ReadFileBytes(dir_.File(std::string(stem) + "_checker.tga"));
    ASSERT_EQ(image.size(), 18u + 64 * 64 * 3) << stem;
    EXPECT_EQ(image[2], 2);
    EXPECT_EQ(static_cast<unsigned char>(image[12]) | static_cast<unsigned char>(image[13]) << 8, 64);
    EXPECT_EQ(static_cast<unsigned char>(image[14]) | static_cast<unsigned char>(image[15]) << 8, 64);
    EXPECT_EQ(image[16], 24);
  }
  const std::string text = ReadFileBytes(ascii);
  EXPECT_TRUE(Has(text, "\"" + dir_.File("a_checker.tga") + "\"")) << "absolute FileName";
  EXPECT_TRUE(Has(text, "RelativeFilename: \"a_checker.tga\"")) << "RelativeFilename";
  // And its tone: one second of 16-bit mono PCM at 44100 Hz, which the
  // scene's audio clip names by both paths and starts half a second in.
  for (const char* stem : {"a", "b"}) {
    const std::string wave = ReadFileBytes(dir_.File(std::string(stem) + "_tone.wav"));
    ASSERT_EQ(wave.size(), 44u + 2 * 44100) << stem;
    EXPECT_EQ(wave.substr(0, 4), "RIFF");
    EXPECT_EQ(wave.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(wave.substr(36, 4), "data");
  }
  EXPECT_TRUE(Has(text, "AudioFile: \"Tone\" {")) << "AudioFile";
  EXPECT_TRUE(Has(text, "Filename: \"" + dir_.File("a_tone.wav") + "\"")) << "Filename";
  EXPECT_TRUE(Has(text, "Slip: 0.5")) << "Slip";
  EXPECT_TRUE(Has(text, "RelativeFilename: \"a_tone.wav\"")) << "RelativeFilename";
  Result bad = Zyn("demo");
  EXPECT_EQ(bad.code, 2);
  EXPECT_TRUE(Has(bad.err, "zyn: usage:")) << bad.err;
}

TEST_F(ZynSceneCommandsTest, InfoListsTheTakes) {
  Result r = Zyn("info " + Demo("s.zyn"));
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string take1 = "{\"name\":\"Take 001\",\"localStart\":0,\"localStop\":" + std::to_string(120 * kFrame);
  const std::string take2 = "{\"name\":\"Take 002\",\"localStart\":0,\"localStop\":" + std::to_string(60 * kFrame);
  EXPECT_TRUE(Has(r.out, take1)) << r.out;
  EXPECT_TRUE(Has(r.out, take2)) << r.out;
  EXPECT_TRUE(Has(r.out, "\"currentTake\":\"Take 001\"")) << r.out;
  // Seven producer cameras, four models, three cameras and an interest, a
  // camera switcher, three lights, the tube with its three bones, the flag
  // and the ground.
  EXPECT_TRUE(Has(r.out, "\"Model\":25")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"Material\":4")) << r.out;  // the tube's, the flag's two, the ground's
  EXPECT_TRUE(Has(r.out, "\"Texture\":1")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"Deformer\":4")) << r.out;  // the tube's skin and clusters
  EXPECT_TRUE(Has(r.out, "\"Shader\":2")) << r.out;
  // The tone, from half a second on.
  EXPECT_TRUE(Has(r.out, "\"audioClips\":[{\"name\":\"Tone\",\"path\":\"" + dir_.File("s_tone.wav") +
                             "\",\"relativePath\":\"s_tone.wav\",\"start\":" + std::to_string(15 * kFrame) + "}]"))
      << r.out;
}

TEST_F(ZynSceneCommandsTest, EvalInTheSecondTake) {
  std::string path = Demo("s.zyn");
  Result r = Zyn("eval " + path + " --take \"Take 002\" --seconds 0.5 --object Model::Root --object Model::Arm");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "\"take\":\"Take 002\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"ticks\":" + std::to_string(15 * kFrame))) << r.out;
  // Root rises linearly from 0 to 5 over two seconds; the arm's Y rotation
  // reaches 30 degrees at frame 30 and mirrors back.
  EXPECT_TRUE(Has(r.out, "\"Lcl Translation\":[0,1.25,0]")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"Lcl Rotation\":[0,0,0]")) << r.out;
  Result first = Zyn("eval " + path + " --seconds 0.5 --object Model::Root");
  ASSERT_EQ(first.code, 0) << first.err;
  EXPECT_TRUE(Has(first.out, "\"take\":\"Take 001\"")) << first.out;
  EXPECT_TRUE(Has(first.out, "\"Lcl Translation\":[2,0,0]")) << first.out;  // held at frame 15
}

TEST_F(ZynSceneCommandsTest, EvalGivesTheHierarchysMatrices) {
  std::string path = Demo("m.zyn");
  Result r = Zyn("eval " + path + " --take \"Take 002\" --ticks 0 --object Model::Arm --object Model::Hand");
  ASSERT_EQ(r.code, 0) << r.err;
  // The arm turns -30 degrees about Y at time 0 and sits 2 above the root;
  // the hand sits 1.5 along the arm's turned Y axis (Y is the turn's axis,
  // so it stays straight above). Rows are written in memory order.
  EXPECT_TRUE(Has(r.out, "\"Model::Hand\":{\"local\":[1,0,0,0,0,1,0,0,0,0,1,0,0,1.5,0,1]")) << r.out;
  EXPECT_TRUE(Has(r.out, ",0,3.5,0,1],\"globalGeometric\"")) << r.out;
  Result camera = Zyn("eval " + path + " --object \"Model::Camera Switcher\" --size 200x100");
  ASSERT_EQ(camera.code, 0) << camera.err;
  EXPECT_TRUE(Has(camera.out, "\"currentCamera\":\"Model::Camera Orbit\",\"projection\":[")) << camera.out;
  EXPECT_TRUE(Has(camera.out, "],\"view\":[")) << camera.out;
  // Deformed points only when asked for, and they move with the bones.
  Result still = Zyn("eval " + path + " --object Model::Tube --vertices --seconds 0");
  Result bent = Zyn("eval " + path + " --object Model::Tube --vertices --seconds 1");
  ASSERT_EQ(bent.code, 0) << bent.err;
  EXPECT_TRUE(Has(bent.out, "\"vertices\":[[")) << bent.out;
  EXPECT_NE(still.out.substr(still.out.find("\"vertices\"")), bent.out.substr(bent.out.find("\"vertices\"")));
  EXPECT_FALSE(Has(Zyn("eval " + path + " --object Model::Tube").out, "vertices"));
  Result bad = Zyn("eval " + path + " --size 0x10");
  EXPECT_EQ(bad.code, 2);
}

TEST_F(ZynSceneCommandsTest, ConvertedFilesEvaluateTheSame) {
  std::string source = Demo("s.zyn");
  std::string ascii = dir_.File("a.zyn");
  std::string binary = dir_.File("b.zyn");
  Result r = Zyn("convert " + source + " " + ascii + " --ascii");
  ASSERT_EQ(r.code, 0) << r.err;
  r = Zyn("convert " + ascii + " " + binary + " --binary");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(ReadFileBytes(ascii), "; ZYN"));
  for (const char* take : {"Take 001", "Take 002"}) {
    for (long long frame : {0LL, 7LL, 15LL, 22LL, 30LL, 45LL, 52LL, 60LL, 90LL, 100LL, 120LL, 135LL}) {
      for (long long extra : {0LL, kFrame / 2}) {
        std::string args = std::string(" --take \"") + take + "\" --ticks " + std::to_string(frame * kFrame + extra);
        Result a = Zyn("eval " + ascii + args);
        Result b = Zyn("eval " + binary + args);
        Result s = Zyn("eval " + source + args);
        ASSERT_EQ(a.code, 0) << a.err;
        ASSERT_EQ(b.code, 0) << b.err;
        EXPECT_EQ(a.out, b.out) << take << " frame " << frame;
        EXPECT_EQ(s.out, b.out) << take << " frame " << frame;
      }
    }
  }
}

TEST_F(ZynSceneCommandsTest, ErrorsExitOneWithTheMessage) {
  std::string path = Demo("s.zyn");
  struct Case {
    std::string args;
    std::string message;
  };
  const Case cases[] = {
      {"eval " + path + " --take Nope", "zyn: No take named Nope\n"},
      {"eval " + path + " --object Model::Nobody", "zyn: No object named Model::Nobody\n"},
      {"eval " + dir_.File("missing.zyn"), "zyn: Unable to open file " + dir_.File("missing.zyn") + "\n"},
      {"info " + dir_.File("missing.zyn"), "zyn: Unable to open file " + dir_.File("missing.zyn") + "\n"},
      {"convert " + dir_.File("missing.zyn") + " " + dir_.File("out.zyn"),
       "zyn: Unable to open file " + dir_.File("missing.zyn") + "\n"},
  };
  for (const Case& c : cases) {
    Result r = Zyn(c.args);
    EXPECT_EQ(r.code, 1) << c.args;
    EXPECT_EQ(r.err, c.message) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
  }
  EXPECT_EQ(ReadFileBytes(dir_.File("out.zyn")), "");
}

}  // namespace
