#include "core/time_mode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/named_event.h"

namespace {

TEST(TimeModeTest, ModeOfRate) {
  const struct { double rate, tolerance; int mode; } rows[] = {
      {30.0, 0.01, 6},     {29.97, 0.01, 8},  {1000.0, 0.01, 0}, {24.0, 0.01, 11},
      {23.976, 0.001, 13}, {23.9, 0.01, 0},   {120.0, 0.0, 1},   {48.0, 0.5, 5},
      {25.0, 0.0, 10},     {NAN, 1.0, 0},     {60.0, -1.0, 0},
  };
  for (const auto& r : rows) EXPECT_EQ(VTimeModeOfRate(r.rate, r.tolerance), r.mode) << r.rate;
}

TEST(TimeModeTest, ModeOfName) {
  const struct { const char* name; int mode; } rows[] = {
      {"PAL", 10},        {"25", 10},      {"25 fps", 6},      {"30 Drop", 7},     {"29.97 drop", 8},
      {"NTSC Drop", 8},   {"ntsc drop", 6}, {"NTSC Full", 9},  {"23.976", 13},     {"23.976 fps", 13},
      {"120 fps", 1},     {"48", 5},       {"", 6},            {"24", 11},
  };
  for (const auto& r : rows) EXPECT_EQ(VTimeModeOfName(r.name), r.mode) << r.name;
}

TEST(TimeModeTest, NamesRatesAndPublicNumbers) {
  // Public numbers 1..11 in the public order: 24, 25, 30, NTSC drop, 50, 60,
  // 100, 120, NTSC full, 30 drop, 23.976.
  const int public_to_mode[] = {0, 11, 10, 6, 8, 4, 3, 2, 1, 9, 7, 13};
  for (int p = 1; p <= 11; ++p) {
    EXPECT_EQ(VTimeModeOfPublicNumber(p), public_to_mode[p]) << p;
    EXPECT_EQ(VTimeModePublicNumber(public_to_mode[p]), p) << p;
  }
  for (int p : {0, -1, 12, 100}) EXPECT_EQ(VTimeModeOfPublicNumber(p), 6);
  EXPECT_EQ(VTimeModePublicNumber(5), 3);   // 48 fps has no public number
  EXPECT_EQ(VTimeModePublicNumber(12), 3);  // no row

  EXPECT_STREQ(VTimeModeShortName(8), "29.97 drop");
  EXPECT_STREQ(VTimeModeLongName(8), "NTSC Drop");
  EXPECT_STREQ(VTimeModeLongName(10), "PAL");
  EXPECT_STREQ(VTimeModeShortName(12), "");
  EXPECT_STREQ(VTimeModeLongName(99), "");

  VTimeSetDefaultMode(6);
  EXPECT_DOUBLE_EQ(VTimeModeRate(0), 30.0);
  EXPECT_DOUBLE_EQ(VTimeModeRate(13), 23.976);
  EXPECT_DOUBLE_EQ(VTimeModeRate(9), 29.97002617);
  EXPECT_DOUBLE_EQ(VTimeModeRate(12), 30.0);
  EXPECT_DOUBLE_EQ(VTimeModeRate(-4), 30.0);
  VTimeSetDefaultMode(10);
  EXPECT_DOUBLE_EQ(VTimeModeRate(0), 25.0);
  VTimeSetDefaultMode(6);
}

TEST(TimeModeTest, EveryRowNamesItsOwnMode) {
  for (int mode = 1; mode <= 13; ++mode) {
    if (mode == 12) continue;
    EXPECT_EQ(VTimeModeOfName(VTimeModeLongName(mode)), mode);
    EXPECT_EQ(VTimeModeOfName(VTimeModeShortName(mode)), mode);
  }
}

struct Recorder {
  std::vector<std::pair<int, int>> calls;
  static void Callback(void* user, int a, int b) { static_cast<Recorder*>(user)->calls.push_back({a, b}); }
};

TEST(TimeModeTest, DefaultsFireEventsOnlyOnChange) {
  VTimeSetDefaultMode(6);
  VTimeSetDefaultFormat(1);
  Recorder mode_events, format_events;
  VNamedEventAdd("TimeMode", Recorder::Callback, &mode_events);
  VNamedEventAdd("TimeFormat", Recorder::Callback, &format_events);

  VTimeSetDefaultMode(6);
  VTimeSetDefaultFormat(1);
  EXPECT_TRUE(mode_events.calls.empty());
  EXPECT_TRUE(format_events.calls.empty());

  VTimeSetDefaultMode(8);
  VTimeSetDefaultMode(8);
  VTimeSetDefaultFormat(0);
  VTimeSetDefaultFormat(0);
  EXPECT_EQ(VTimeGetDefaultMode(), 8);
  EXPECT_EQ(VTimeGetDefaultFormat(), 0);
  ASSERT_EQ(mode_events.calls.size(), 1u);
  EXPECT_EQ(mode_events.calls[0], std::make_pair(8, 6));
  ASSERT_EQ(format_events.calls.size(), 1u);
  EXPECT_EQ(format_events.calls[0], std::make_pair(0, 1));

  VTimeSetDefaultMode(6);
  VTimeSetDefaultFormat(1);
  EXPECT_EQ(mode_events.calls.size(), 2u);
  EXPECT_EQ(format_events.calls.size(), 2u);
  VNamedEventRemove("TimeMode", Recorder::Callback, &mode_events);
  VNamedEventRemove("TimeFormat", Recorder::Callback, &format_events);
}

TEST(TimeModeTest, DefaultModeZeroOrInvalidMakesModeZeroInvalid) {
  VTimeSetDefaultMode(0);
  EXPECT_EQ(VTimeModeGetInfo(0), nullptr);
  EXPECT_DOUBLE_EQ(VTimeModeRate(0), 30.0);
  VTimeSetDefaultMode(6);
  ASSERT_NE(VTimeModeGetInfo(0), nullptr);
  EXPECT_EQ(VTimeModeGetInfo(0)->frame_ticks, 1539538600);
}

}  // namespace
