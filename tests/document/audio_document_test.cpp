// Audio clips in scene documents: every field of every clip read back in
// both forms, the block's place inside "Version5", the older block and
// record names and places, damaged blocks that keep what is sound, and the
// sample scene's tone.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "document/audio_media.h"
#include "scene/audio_clip.h"
#include "scene/scene.h"
#include "support/scene_memory.h"
#include "support/temp_dir.h"
#include "support/zyn_memory.h"
#include "tools/zyn/demo_audio.h"
#include "tools/zyn/demo_scene.h"
#include "zynfile/zyn_file.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Body = std::function<void(VZynFile&)>;

constexpr int64_t kSecond = 46186158000;
constexpr int64_t kFrame = 1539538600;  // one frame at 30 frames per second

Bytes WriteScene(const VScene& scene, bool binary) { return testing_support::WriteSceneToMemory(scene, binary); }

bool ReadScene(const Bytes& bytes, VScene& scene, std::string* message) {
  return testing_support::ReadSceneFromMemory(bytes, scene, message);
}

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Two clips that use every field, none at its default.
std::vector<VAudioClip> FullClips() {
  VAudioClip a;
  a.name = "Voice";
  a.file_name = "/media/sounds/voice take 2.wav";
  a.relative_file_name = "sounds\\voice take 2.wav";
  a.start = VTime(3 * kSecond + kFrame / 3);  // not a whole number of anything
  a.scrub = 1;
  a.output = "Line Out";
  a.mark_in = 0.125;
  a.mark_out = 2.75;
  a.access_mode = 2;
  a.use_channel = 1;
  a.content = {'R', 'I', 'F', 'F', 0, 1, 2, 0xff, 0x80};
  VAudioClip b;
  b.name = "Music";
  b.file_name = "C:\\Scores\\theme.aif";
  b.start = VTime(-kSecond / 4);  // starts before the scene does
  b.mark_in = -1.5;
  b.access_mode = -7;
  b.use_channel = 0;
  return {a, b};
}

TEST(AudioDocumentTest, EveryFieldOfEveryClipReadsBack) {
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VScene original;
    original.audio_clips() = FullClips();
    original.settings().audio_playback_delay = 0.04;
    Bytes bytes = WriteScene(original, binary);
    VScene read;
    std::string message;
    ASSERT_TRUE(ReadScene(bytes, read, &message)) << message;
    EXPECT_EQ(read.settings().audio_playback_delay, 0.04);
    std::vector<VAudioClip> want = FullClips();
    // The ASCII form has no raw values: the sound's bytes stay behind.
    if (!binary) want[0].content.clear();
    ASSERT_EQ(read.audio_clips().size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      const VAudioClip& got = read.audio_clips()[i];
      SCOPED_TRACE(want[i].name);
      EXPECT_EQ(got.name, want[i].name);
      EXPECT_EQ(got.file_name, want[i].file_name);
      EXPECT_EQ(got.relative_file_name, want[i].relative_file_name);
      EXPECT_EQ(got.start.GetTicks(), want[i].start.GetTicks());
      EXPECT_EQ(got.scrub, want[i].scrub);
      EXPECT_EQ(got.output, want[i].output);
      EXPECT_EQ(got.mark_in, want[i].mark_in);
      EXPECT_EQ(got.mark_out, want[i].mark_out);
      EXPECT_EQ(got.access_mode, want[i].access_mode);
      EXPECT_EQ(got.use_channel, want[i].use_channel);
      EXPECT_EQ(got.content, want[i].content);
      EXPECT_TRUE(got == want[i]);
    }
    // A second trip changes nothing.
    VScene again;
    ASSERT_TRUE(ReadScene(WriteScene(read, binary), again, &message)) << message;
    EXPECT_TRUE(again.audio_clips() == read.audio_clips());
  }
}

TEST(AudioDocumentTest, StartTimesReadBackToTheTick) {
  // Seconds are what the file holds; the reader rounds to the nearest tick.
  const int64_t ticks[] = {0, 1, -1, kFrame / 3, kSecond / 2, -kSecond * 3601 - 7, kSecond * 36000 + 12345};
  for (bool binary : {true, false}) {
    VScene original;
    for (int64_t t : ticks) {
      VAudioClip clip;
      clip.name = "at " + std::to_string(t);
      clip.file_name = "/a.wav";
      clip.start = VTime(t);
      original.audio_clips().push_back(clip);
    }
    VScene read;
    std::string message;
    ASSERT_TRUE(ReadScene(WriteScene(original, binary), read, &message)) << message;
    ASSERT_EQ(read.audio_clips().size(), std::size(ticks));
    for (size_t i = 0; i < std::size(ticks); ++i) {
      EXPECT_EQ(read.audio_clips()[i].start.GetTicks(), ticks[i]) << (binary ? "binary " : "ascii ") << ticks[i];
    }
  }
}

TEST(AudioDocumentTest, SecondsBecomeTicksRoundedAndClamped) {
  struct Case {
    double seconds;
    int64_t ticks;
  };
  const Case cases[] = {
      {0.5, kSecond / 2},
      {-0.5, -kSecond / 2},
      {1.0 / 3.0, kSecond / 3},
      // Products a hair below a whole tick count: truncating would lose one.
      {std::nextafter(2.0, 0.0), 2 * kSecond},
      {0.7, 32330310600},
      {-2.3, -106228163400},
      {1e300, INT64_MAX},
      {-1e300, INT64_MIN},
      {std::numeric_limits<double>::infinity(), INT64_MAX},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(VAudioClipSecondsToTime(c.seconds).GetTicks(), c.ticks) << c.seconds;
}

// Where the block is: inside "Version5", after "Settings" and before "Takes".
TEST(AudioDocumentTest, TheBlockFollowsTheSettings) {
  for (bool binary : {true, false}) {
    VScene scene;
    scene.audio_clips() = FullClips();
    Bytes bytes = WriteScene(scene, binary);
    VZynFile file;
    ASSERT_TRUE(file.OpenFromMemory(bytes.data(), bytes.size()));
    EXPECT_FALSE(file.FieldReadBegin("AudioMedia"));  // not at the top level
    ASSERT_TRUE(file.FieldReadBegin("Version5"));
    ASSERT_TRUE(file.FieldReadBlockBegin());
    std::vector<std::string> order;
    for (int k = 0; file.FieldReadBeginOccurrence(k); ++k) order.push_back(file.FieldReadGetName());
    auto at = [&order](const char* name) { return std::find(order.begin(), order.end(), name) - order.begin(); };
    ASSERT_LT(at("AudioMedia"), static_cast<std::ptrdiff_t>(order.size()));
    EXPECT_EQ(at("AudioMedia"), at("Settings") + 1) << (binary ? "binary" : "ascii");
    EXPECT_EQ(at("Takes"), at("AudioMedia") + 1);
    // The block: the delay, then the clips in order.
    ASSERT_TRUE(file.FieldReadBegin("AudioMedia"));
    ASSERT_TRUE(file.FieldReadBlockBegin());
    EXPECT_EQ(file.FieldReadD("PlaybackDelay", -1), 0.0);
    ASSERT_TRUE(file.FieldReadBegin("AudioFile", 1));
    EXPECT_EQ(file.FieldReadC(), "Music");
    ASSERT_TRUE(file.FieldReadBlockBegin());
    // No relative name and no sound: neither field is written.
    EXPECT_FALSE(file.FieldReadBegin("RelativeFilename"));
    EXPECT_FALSE(file.FieldReadBegin("Content"));
    EXPECT_EQ(file.FieldReadD("Slip", 0), -0.25);
  }
}

// A scene without clips writes no block: the document stays as it was.
TEST(AudioDocumentTest, NoClipsNoBlock) {
  VScene scene;
  zyn_tool::BuildDemoScene(scene);
  scene.audio_clips().clear();
  for (bool binary : {true, false}) {
    Bytes bytes = WriteScene(scene, binary);
    EXPECT_EQ(Text(bytes).find("AudioMedia"), std::string::npos);
    EXPECT_EQ(Text(bytes).find("PlaybackDelay"), std::string::npos);
  }
  // A delay alone is kept.
  scene.settings().audio_playback_delay = 1.5;
  VScene read;
  std::string message;
  ASSERT_TRUE(ReadScene(WriteScene(scene, false), read, &message)) << message;
  EXPECT_EQ(read.settings().audio_playback_delay, 1.5);
  EXPECT_TRUE(read.audio_clips().empty());
}

TEST(AudioDocumentTest, ClearEmptiesTheClips) {
  VScene scene;
  scene.audio_clips() = FullClips();
  scene.settings().audio_playback_delay = 2;
  scene.Clear();
  EXPECT_TRUE(scene.audio_clips().empty());
  EXPECT_EQ(scene.settings().audio_playback_delay, 0.0);
}

// --- hand-written documents -------------------------------------------------

Body Block(const char* name, const std::vector<Body>& fields) {
  return [=](VZynFile& f) {
    f.FieldWriteBlockBegin(name);
    for (const Body& b : fields) b(f);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
}

Body Clip(const char* record, const char* name, const char* file, double slip, const Body& more = nullptr) {
  return [=](VZynFile& f) {
    f.FieldWriteBegin(record);
    f.FieldWriteC(name);
    f.FieldWriteBlockBegin();
    f.FieldWriteC("Filename", file);
    f.FieldWriteD("Slip", slip);
    if (more) more(f);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
}

Body Definitions() {
  return Block("Definitions", {[](VZynFile& f) { f.FieldWriteI("Count", 0); }});
}

Body Doc(const std::vector<Body>& sections) {
  return [=](VZynFile& f) {
    for (const Body& s : sections) s(f);
  };
}

std::vector<std::string> Names(const VScene& scene) {
  std::vector<std::string> names;
  for (const VAudioClip& clip : scene.audio_clips()) names.push_back(clip.name);
  return names;
}

TEST(AudioDocumentTest, OlderNamesAndPlacesAreRead) {
  const Body older = Block("Audio Media", {[](VZynFile& f) { f.FieldWriteD("PlaybackDelay", 0.25); },
                                           Clip("Audio File", "Old", "/old.wav", 1.0),
                                           Clip("AudioFile", "New", "/new.wav", 2.0),
                                           Clip("Audio File", "Older", "/older.wav", 3.0)});
  struct Case {
    const char* what;
    Body doc;
  };
  const Case cases[] = {
      {"inside Version5", Doc({Definitions(), Block("Version5", {Block("Settings", {}), older})})},
      {"at the top level", Doc({Definitions(), older, Block("Version5", {})})},
      {"in the version 5 layout", Doc({Block("Settings", {}), older})},
  };
  for (const Case& c : cases) {
    for (bool binary : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (binary ? " binary" : " ascii"));
      VScene scene;
      std::string message;
      ASSERT_TRUE(ReadScene(testing_support::WriteZynToMemory(binary, c.doc), scene, &message)) << message;
      // Both record names, in the file's order.
      EXPECT_EQ(Names(scene), (std::vector<std::string>{"Old", "New", "Older"}));
      EXPECT_EQ(scene.settings().audio_playback_delay, 0.25);
      ASSERT_EQ(scene.audio_clips().size(), 3u);
      EXPECT_EQ(scene.audio_clips()[2].file_name, "/older.wav");
      EXPECT_EQ(scene.audio_clips()[2].start.GetTicks(), 3 * kSecond);
      EXPECT_EQ(scene.audio_clips()[2].mark_out, kVAudioClipNoMarkOut);
      EXPECT_EQ(scene.audio_clips()[2].use_channel, -1);
    }
  }
  // A file that lists its clips at the top level and again in "Version5"
  // has them once; a clip that differs is added.
  VScene scene;
  std::string message;
  Bytes both = testing_support::WriteZynToMemory(
      true, Doc({Definitions(), older,
                 Block("Version5", {Block("AudioMedia", {Clip("AudioFile", "New", "/new.wav", 2.0),
                                                         Clip("AudioFile", "New", "/new.wav", 2.5)})})}));
  ASSERT_TRUE(ReadScene(both, scene, &message)) << message;
  EXPECT_EQ(Names(scene), (std::vector<std::string>{"Old", "New", "Older", "New"}));
  EXPECT_EQ(scene.audio_clips()[3].start.GetTicks(), 5 * kSecond / 2);
}

TEST(AudioDocumentTest, DamagedBlocksKeepWhatIsSound) {
  const Body good = Clip("AudioFile", "Good", "/good.wav", 1.0);
  struct Case {
    const char* what;
    std::vector<Body> fields;
    std::vector<std::string> names;  // the clips kept
  };
  const Case cases[] = {
      {"a delay that is no number",
       {[](VZynFile& f) { f.FieldWriteC("PlaybackDelay", "soon"); }, good},
       {"Good"}},
      {"missing fields and values",
       {[](VZynFile& f) {
          f.FieldWriteBegin("AudioFile");  // no name, no block
          f.FieldWriteEnd();
        },
        [](VZynFile& f) {
          f.FieldWriteBegin("AudioFile");
          f.FieldWriteC("Nothing to play");
          f.FieldWriteBlockBegin();
          f.FieldWriteD("Slip", 4);
          f.FieldWriteBlockEnd();
          f.FieldWriteEnd();
        },
        [](VZynFile& f) {
          f.FieldWriteBegin("AudioFile");
          f.FieldWriteC("Empty values");
          f.FieldWriteBlockBegin();
          f.FieldWriteBegin("Filename");
          f.FieldWriteEnd();
          f.FieldWriteBegin("Slip");
          f.FieldWriteEnd();
          f.FieldWriteC("RelativeFilename", "only/relative.wav");
          f.FieldWriteBlockEnd();
          f.FieldWriteEnd();
        },
        good},
       {"Empty values", "Good"}},
      {"numbers out of range",
       {Clip("AudioFile", "Far", "/far.wav", 1e300,
             [](VZynFile& f) {
               f.FieldWriteD("MarkIn", std::numeric_limits<double>::infinity());
               f.FieldWriteD("MarkOut", std::numeric_limits<double>::quiet_NaN());
               f.FieldWriteD("Scrub", 1e20);
               f.FieldWriteLL("UseChannel", int64_t{1} << 40);
             }),
        Clip("AudioFile", "Not a number", "/nan.wav", std::numeric_limits<double>::quiet_NaN()), good},
       {"Far", "Not a number", "Good"}},
      {"records in the wrong place",
       {[](VZynFile& f) {
          f.FieldWriteC("Filename", "/stray.wav");  // a clip's field in the block itself
          f.FieldWriteBegin("AudioFile");
          f.FieldWriteC("Nested");
          f.FieldWriteBlockBegin();
          Clip("AudioFile", "Inner", "/inner.wav", 0)(f);  // a clip inside a clip is not one
          f.FieldWriteBlockEnd();
          f.FieldWriteEnd();
        },
        good},
       {"Good"}},
  };
  for (const Case& c : cases) {
    for (bool binary : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (binary ? " binary" : " ascii"));
      Bytes bytes = testing_support::WriteZynToMemory(
          binary, Doc({Definitions(), Block("Version5", {Block("AudioMedia", c.fields)})}));
      VScene scene;
      std::string message;
      EXPECT_TRUE(ReadScene(bytes, scene, &message)) << message;
      EXPECT_EQ(Names(scene), c.names);
      EXPECT_EQ(scene.settings().audio_playback_delay, 0.0);
      ASSERT_FALSE(scene.audio_clips().empty());
      const VAudioClip& last = scene.audio_clips().back();
      EXPECT_EQ(last.file_name, "/good.wav");
      EXPECT_EQ(last.start.GetTicks(), kSecond);
    }
  }
}

TEST(AudioDocumentTest, DamagedValuesKeepTheirDefaults) {
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    Bytes bytes = testing_support::WriteZynToMemory(binary, [](VZynFile& f) {
      f.FieldWriteBlockBegin("AudioMedia");
      f.FieldWriteBegin("AudioFile");
      f.FieldWriteI(42);
      f.FieldWriteBlockBegin();
      f.FieldWriteI("Filename", 7);
      f.FieldWriteC("RelativeFilename", "sounds/typed.wav");
      f.FieldWriteC("Slip", "later");
      f.FieldWriteC("Scrub", "yes");
      f.FieldWriteI("Output", 3);
      f.FieldWriteC("MarkIn", "x");
      f.FieldWriteD("MarkOut", std::numeric_limits<double>::quiet_NaN());
      f.FieldWriteC("AccessMode", "z");
      f.FieldWriteC("UseChannel", "left");
      f.FieldWriteC("Content", "not bytes");
      f.FieldWriteBlockEnd();
      f.FieldWriteEnd();
      f.FieldWriteBlockEnd();
      f.FieldWriteEnd();
    }, 5000);
    VScene scene;
    std::string message;
    ASSERT_TRUE(ReadScene(bytes, scene, &message)) << message;
    ASSERT_EQ(scene.audio_clips().size(), 1u);
    const VAudioClip& clip = scene.audio_clips()[0];
    VAudioClip defaults;
    // An ASCII file does not say which values were texts; its name reads as
    // the digits, its file name as "7".
    EXPECT_EQ(clip.name, binary ? "typed.wav" : "42");
    EXPECT_EQ(clip.file_name, binary ? "" : "7");
    EXPECT_EQ(clip.relative_file_name, "sounds/typed.wav");
    EXPECT_EQ(clip.start.GetTicks(), 0);
    EXPECT_EQ(clip.scrub, defaults.scrub);
    EXPECT_EQ(clip.output, binary ? "" : "3");
    EXPECT_EQ(clip.mark_in, defaults.mark_in);
    EXPECT_EQ(clip.mark_out, kVAudioClipNoMarkOut);
    EXPECT_EQ(clip.access_mode, defaults.access_mode);
    EXPECT_EQ(clip.use_channel, defaults.use_channel);
    EXPECT_TRUE(clip.content.empty());
  }
}

TEST(AudioDocumentTest, HugeListsReadInBoundedTime) {
  // Many records, all listed twice (at the top level and in "Version5"),
  // and one record with a very long value list.
  constexpr int kClips = 20000;
  Body records = [](VZynFile& f) {
    f.FieldWriteBlockBegin("AudioMedia");
    for (int i = 0; i < kClips; ++i) {
      f.FieldWriteBegin("AudioFile");
      f.FieldWriteC("c" + std::to_string(i));
      f.FieldWriteBlockBegin();
      f.FieldWriteC("Filename", "/s.wav");
      f.FieldWriteBlockEnd();
      f.FieldWriteEnd();
    }
    f.FieldWriteBegin("AudioFile");
    for (int i = 0; i < 100000; ++i) f.FieldWriteI(i);
    f.FieldWriteEnd();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    Bytes bytes = testing_support::WriteZynToMemory(binary, Doc({Definitions(), records, Block("Version5", {records})}));
    auto begin = std::chrono::steady_clock::now();
    VScene scene;
    std::string message;
    ASSERT_TRUE(ReadScene(bytes, scene, &message)) << message;
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(20));
    ASSERT_EQ(scene.audio_clips().size(), static_cast<size_t>(kClips));
    EXPECT_EQ(scene.audio_clips().back().name, "c" + std::to_string(kClips - 1));
  }
}

TEST(AudioDocumentTest, FilesAreLookedForByBothNames) {
  testing_support::TempDir dir;
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("here.wav"), "RIFF"));
  VAudioClip clip;
  clip.file_name = "/nowhere/moved.wav";
  clip.relative_file_name = "sub\\here.wav";
  EXPECT_EQ(clip.GetFileCandidates(dir.File("scene.zyn")),
            (std::vector<std::string>{"/nowhere/moved.wav", dir.File("sub\\here.wav"), dir.File("sub/here.wav")}));
  EXPECT_EQ(clip.FindFile(dir.File("scene.zyn")), "");  // no sub folder
  clip.relative_file_name = "here.wav";
  EXPECT_EQ(clip.FindFile(dir.File("scene.zyn")), dir.File("here.wav"));
  // The absolute name wins when it exists.
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("absolute.wav"), "RIFF"));
  clip.file_name = dir.File("absolute.wav");
  EXPECT_EQ(clip.FindFile(dir.File("scene.zyn")), dir.File("absolute.wav"));
  // A folder is no sound; a relative name without a scene folder is taken as it is.
  clip.file_name = dir.path();
  clip.relative_file_name = "sub";
  ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0700), 0);
  EXPECT_EQ(clip.FindFile(dir.File("scene.zyn")), "");
  EXPECT_EQ(clip.GetFileCandidates(""), (std::vector<std::string>{dir.path(), "sub"}));
}

TEST(AudioDocumentTest, SampleSceneToneIsWrittenBesideTheScene) {
  VScene scene;
  zyn_tool::BuildDemoScene(scene);
  ASSERT_EQ(scene.audio_clips().size(), 1u);
  EXPECT_EQ(scene.audio_clips()[0].name, "Tone");
  EXPECT_EQ(scene.audio_clips()[0].relative_file_name, "demo_tone.wav");
  EXPECT_EQ(scene.audio_clips()[0].start.GetTicks(), kSecond / 2);

  testing_support::TempDir dir;
  ASSERT_TRUE(zyn_tool::WriteDemoAudio(scene, dir.File("walk.zyn")));
  const VAudioClip& clip = scene.audio_clips()[0];
  EXPECT_EQ(clip.file_name, dir.File("walk_tone.wav"));
  EXPECT_EQ(clip.relative_file_name, "walk_tone.wav");
  EXPECT_EQ(clip.FindFile(dir.File("walk.zyn")), dir.File("walk_tone.wav"));

  // The file: a canonical 16-bit mono PCM WAV of one second at 44100 Hz.
  const std::string wave = testing_support::ReadFileBytes(dir.File("walk_tone.wav"));
  const std::vector<uint8_t> want = zyn_tool::DemoToneWave();
  ASSERT_EQ(wave.size(), 44u + 2 * 44100);
  ASSERT_TRUE(std::equal(want.begin(), want.end(), wave.begin(),
                         [](uint8_t w, char g) { return w == static_cast<uint8_t>(g); }));
  auto u32 = [&want](size_t at) {
    return uint32_t{want[at]} | uint32_t{want[at + 1]} << 8 | uint32_t{want[at + 2]} << 16 | uint32_t{want[at + 3]} << 24;
  };
  auto u16 = [&want](size_t at) { return static_cast<uint32_t>(want[at] | want[at + 1] << 8); };
  EXPECT_EQ(wave.substr(0, 4), "RIFF");
  EXPECT_EQ(u32(4), want.size() - 8);
  EXPECT_EQ(wave.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(u32(16), 16u);
  EXPECT_EQ(u16(20), 1u);      // PCM
  EXPECT_EQ(u16(22), 1u);      // mono
  EXPECT_EQ(u32(24), 44100u);  // samples a second
  EXPECT_EQ(u32(28), 88200u);  // bytes a second
  EXPECT_EQ(u16(32), 2u);
  EXPECT_EQ(u16(34), 16u);
  EXPECT_EQ(wave.substr(36, 4), "data");
  EXPECT_EQ(u32(40), 88200u);
  // A 440 Hz sine: 440 upward zero crossings in the second, peaks at half
  // of full scale, silent at both ends.
  std::vector<int> samples;
  for (size_t at = 44; at < want.size(); at += 2) samples.push_back(static_cast<int16_t>(u16(at)));
  int crossings = 0, peak = 0;
  for (size_t i = 1; i < samples.size(); ++i) {
    crossings += samples[i - 1] < 0 && samples[i] >= 0;
    peak = std::max(peak, std::abs(samples[i]));
  }
  EXPECT_EQ(crossings, 440);
  EXPECT_NEAR(peak, 16384, 2);
  EXPECT_EQ(samples.front(), 0);
  EXPECT_EQ(samples.back(), 0);
  // Samples 50 apart near the middle follow the sine.
  for (int i : {22050, 22100, 30000}) {
    EXPECT_NEAR(samples[static_cast<size_t>(i)], 0.5 * 32767 * std::sin(2 * 3.14159265358979 * 440 * i / 44100), 1.0);
  }

  // Written and read back, the clip keeps both names and its start.
  for (bool binary : {true, false}) {
    VScene read;
    std::string message;
    ASSERT_TRUE(ReadScene(WriteScene(scene, binary), read, &message)) << message;
    ASSERT_EQ(read.audio_clips().size(), 1u);
    EXPECT_TRUE(read.audio_clips()[0] == clip);
  }
  // A folder that does not exist: the tone cannot be written, the names stay.
  EXPECT_FALSE(zyn_tool::WriteDemoAudio(scene, dir.File("missing/walk.zyn")));
  EXPECT_EQ(scene.audio_clips()[0].relative_file_name, "walk_tone.wav");
  VScene empty;
  EXPECT_FALSE(zyn_tool::WriteDemoAudio(empty, dir.File("walk.zyn")));
}

}  // namespace
