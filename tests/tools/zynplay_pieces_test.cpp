// The player's pieces in-process: the sound mix, the movie clock, the event
// script reader, the controller strip's slider and the PNG frame writer.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/png_image.h"
#include "support/temp_dir.h"
#include "tools/zynplay/controller_strip.h"
#include "tools/zynplay/event_script.h"
#include "tools/zynplay/playback_clock.h"
#include "tools/zynplay/png_frame_writer.h"
#include "tools/zynplay/sound_mix.h"

namespace {

using namespace zynplay;

std::shared_ptr<SoundFrames> Ramp(int channels, int rate, long frames) {
  auto s = std::make_shared<SoundFrames>();
  s->channels = channels;
  s->sampleRate = rate;
  for (long f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) s->samples.push_back(static_cast<float>(f) / 1000.0f * (c == 0 ? 1 : -1));
  }
  return s;
}

TEST(ZynplaySoundMix, ClipsPlayAtTheirPlaceResampledAndMixed) {
  SoundMix mix;
  PlacedSound mono;
  mono.sound = Ramp(1, 24000, 100);  // half the output rate: two output frames per source frame
  mono.outStart = 10;
  mono.outEnd = 210;
  mono.sourceStep = 0.5;
  mix.Add(mono);
  PlacedSound stereo;
  stereo.sound = Ramp(2, 48000, 50);
  stereo.outStart = 100;
  stereo.outEnd = 150;
  stereo.sourceStart = 5;  // starts 5 frames into the clip
  stereo.gain = 0.5f;
  mix.Add(stereo);
  EXPECT_EQ(mix.end(), 210);

  std::vector<float> out(2 * 300, 99.0f);  // garbage that must be overwritten
  mix.Render(0, 300, out.data());
  EXPECT_EQ(out[2 * 9], 0.0f) << "silence before the first clip";
  EXPECT_FLOAT_EQ(out[2 * 10], 0.0f);
  EXPECT_FLOAT_EQ(out[2 * 11], 0.0005f) << "halfway between source frames 0 and 1";
  EXPECT_FLOAT_EQ(out[2 * 11 + 1], 0.0005f) << "mono plays on both sides";
  // Frame 120: mono at source 55, stereo at source 25 with half gain.
  EXPECT_FLOAT_EQ(out[2 * 120], 0.055f + 0.5f * 0.025f);
  EXPECT_FLOAT_EQ(out[2 * 120 + 1], 0.055f - 0.5f * 0.025f);
  EXPECT_EQ(out[2 * 250], 0.0f) << "silence after the last clip";

  // A window in the middle gives the same samples as the whole.
  std::vector<float> part(2 * 7);
  mix.Render(117, 7, part.data());
  EXPECT_EQ(std::vector<float>(out.begin() + 2 * 117, out.begin() + 2 * 124), part);
}

TEST(ZynplaySoundMix, LoudMixesAreClampedAndShortSourcesEndEarly) {
  SoundMix mix;
  auto loud = std::make_shared<SoundFrames>();
  loud->channels = 1;
  loud->sampleRate = 48000;
  loud->samples.assign(4, 0.9f);
  for (int i = 0; i < 2; ++i) {
    PlacedSound p;
    p.sound = loud;
    p.outEnd = 100;  // longer than the 4 source frames
    mix.Add(p);
  }
  std::vector<float> out(2 * 10);
  mix.Render(0, 10, out.data());
  EXPECT_EQ(out[0], 1.0f);
  EXPECT_EQ(out[2 * 3], 1.0f);
  EXPECT_EQ(out[2 * 4], 0.0f) << "nothing is read past the source's end";
}

TEST(ZynplayClock, PlaysInRealTimeScrubsAndStopsAtTheEnd) {
  using namespace std::chrono;
  PlaybackClock clock(120);
  const auto t0 = steady_clock::time_point{} + seconds(100);
  EXPECT_EQ(clock.MediaTime(t0), 0);
  clock.Play(t0);
  EXPECT_EQ(clock.MediaTime(t0 + milliseconds(500)), 30);
  clock.Pause(t0 + milliseconds(1000));
  EXPECT_EQ(clock.MediaTime(t0 + seconds(50)), 60) << "a paused clock holds";
  clock.Seek(100, t0 + seconds(50));
  EXPECT_EQ(clock.MediaTime(t0 + seconds(60)), 100);
  clock.Seek(-5, t0 + seconds(60));
  EXPECT_EQ(clock.MediaTime(t0 + seconds(60)), 0);
  clock.Play(t0 + seconds(60));
  EXPECT_EQ(clock.MediaTime(t0 + seconds(70)), 119) << "at the end the clock stops on the last frame";
  EXPECT_FALSE(clock.playing());
  clock.Play(t0 + seconds(80));
  EXPECT_EQ(clock.MediaTime(t0 + seconds(80)), 0) << "playing at the end starts again";
}

TEST(ZynplayScript, LinesReadAsTheirCommands) {
  std::vector<ScriptCommand> c;
  std::string message;
  ASSERT_TRUE(ParseEventScript("  # comment\n\nidle -3 0x48\nkey #32\nkey D 0x400\nkey #\nclick 5 -6 0x200\n"
                               "move 7 8\nfocus off\nsnap a.png\nopen b.zyn\nselect 2\n",
                               &c, &message))
      << message;
  ASSERT_EQ(c.size(), 10u);
  EXPECT_EQ(c[0].line, 3);
  EXPECT_EQ(c[0].a, -3);
  EXPECT_EQ(c[0].b, 0x48);
  EXPECT_EQ(c[1].a, 32);
  EXPECT_EQ(c[1].modifiers, 0x80);
  EXPECT_EQ(c[2].a, 'D');
  EXPECT_EQ(c[2].modifiers, 0x400);
  EXPECT_EQ(c[3].a, '#');
  EXPECT_EQ(c[4].verb, ScriptVerb::kClick);
  EXPECT_EQ(c[4].b, -6);
  EXPECT_EQ(c[4].modifiers, 0x200);
  EXPECT_EQ(c[6].a, 0);
  EXPECT_EQ(c[8].text, "b.zyn");
  long v = 0;
  EXPECT_FALSE(ParseCInteger("99999999999999999999999", &v));
  EXPECT_FALSE(ParseCInteger("12abc", &v));
  EXPECT_FALSE(ParseEventScript("click 1 40000\n", &c, &message)) << "a coordinate outside 16 bits";
  EXPECT_EQ(message, "1: bad point 1 40000");
}

TEST(ZynplayStrip, TheSliderSpansTheWholeMovie) {
  const StripLayout l = LayOutStrip(400);
  EXPECT_EQ(StripPartAt(l, 5, 5), StripPart::kPlayButton);
  EXPECT_EQ(StripPartAt(l, l.slider.left + 10, 14), StripPart::kSlider);
  EXPECT_EQ(StripPartAt(l, 10, kStripHeight), StripPart::kNone);
  EXPECT_EQ(SliderTime(l, l.slider.left - 3, 241), 0);
  EXPECT_EQ(SliderTime(l, l.slider.right - 1, 241), 240);
  EXPECT_EQ(SliderTime(l, l.slider.right + 50, 241), 240);
  EXPECT_EQ(SliderTime(LayOutStrip(1), 0, 241), 0) << "a strip too narrow for a slider";
  EXPECT_EQ(TimeText(60 * 3600 + 61), "60:01.01");
}

TEST(ZynplayPngWriter, FramesArriveWholeUnderTheirNamesAndFailuresAreReported) {
  testing_support::TempDir dir;
  const int w = 37, h = 11, rowBytes = w * 4 + 12;  // padded rows
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(rowBytes) * h, 0xEE);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = &pixels[static_cast<std::size_t>(y) * rowBytes + x * 4];
      p[0] = static_cast<std::uint8_t>(x * 7);
      p[1] = static_cast<std::uint8_t>(y * 20);
      p[2] = static_cast<std::uint8_t>(x + y);
      p[3] = 0x10;  // dropped: frames are opaque
    }
  }
  {
    PngFrameWriter writer(2, 2);
    for (int i = 0; i < 5; ++i) writer.Write(dir.File("f" + std::to_string(i) + ".png"), pixels.data(), w, h, rowBytes);
    std::string message;
    ASSERT_TRUE(writer.Finish(&message)) << message;
    EXPECT_EQ(writer.written(), 5);
  }
  testing_support::RgbaImage image;
  std::string message;
  ASSERT_TRUE(testing_support::ReadPNGFile(dir.File("f4.png"), &image, &message)) << message;
  ASSERT_EQ(image.width, w);
  ASSERT_EQ(image.height, h);
  const std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(10) * w + 36) * 4];
  EXPECT_EQ(p[0], 36 * 7);
  EXPECT_EQ(p[1], 200);
  EXPECT_EQ(p[2], 46);
  EXPECT_EQ(p[3], 255);

  PngFrameWriter writer;
  writer.Write(dir.File("no/such/folder/f.png"), pixels.data(), w, h, rowBytes);
  writer.Write(dir.File("after.png"), pixels.data(), w, h, rowBytes);
  EXPECT_FALSE(writer.Finish(&message));
  EXPECT_NE(message.find("no/such/folder/f.png"), std::string::npos) << message;
}

}  // namespace
