#include "core/time_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/time_mode.h"

namespace {

constexpr int64_t kFrame30 = 1539538600;
constexpr int64_t kOneAndHalfSecond = 69279237000LL;

class TimeTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VTimeSetDefaultMode(6);
    VTimeSetDefaultFormat(1);
  }
  void TearDown() override { SetUp(); }
};

TEST_F(TimeTextTest, FrameCountForms) {
  const int64_t third = kFrame30 * 45 + kFrame30 / 3;
  const struct { int64_t ticks; int detail; const char* text; } rows[] = {
      {kOneAndHalfSecond, 5, "45"},
      {third, 5, "45*"},
      {third, 6, "45 (33)"},
      {third, 4, "45"},
      {third, 1, "45"},
      {third, 0, ""},
      {third, 7, ""},
      {third, -3, ""},
      {0, 6, "0 (00)"},
      {-1, 5, "- 0*"},
      {-1, 6, "- 0 (99)"},
      {-1, 3, "- 0"},
      {-kFrame30, 5, "-1"},
      {-kFrame30 * 3 / 2, 5, "- 1*"},
      {-kFrame30 * 3 / 2, 6, "- 1 (50)"},
      {INT64_MAX, 2, "---"},
      {INT64_MAX, 5, "  ---"},
      {INT64_MAX, 6, "  --- (--)"},
      {-INT64_MAX, 4, "---"},
      {-INT64_MAX, 5, "- ---"},
      {INT64_MIN, 5, "- ---"},
      {INT64_MIN, 6, "- --- (--)"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(VTimeGetString(VTime(r.ticks), r.detail, 6, 1), r.text) << r.ticks << " detail " << r.detail;
  }
  // Format 2 and mode 0 take the defaults (frames, 30 fps).
  EXPECT_EQ(VTimeGetString(VTime(third), 5, 0, 2), "45*");
  // An invalid mode counts 0 frames.
  EXPECT_EQ(VTimeGetString(VTime(third), 6, 42, 1), "0 (00)");
}

TEST_F(TimeTextTest, SmpteForms) {
  VTime t;
  ASSERT_TRUE(t.SetTime(1, 2, 3, 4, 0, 6));
  const int64_t between = t.GetTicks() + kFrame30 / 4;
  const struct { int64_t ticks; int detail, mode; const char* text; } rows[] = {
      {kOneAndHalfSecond, 4, 6, "000:00:01.15"},
      {t.GetTicks(), 1, 6, "001"},
      {t.GetTicks(), 2, 6, "001:02"},
      {t.GetTicks(), 3, 6, "001:02:03"},
      {t.GetTicks(), 4, 6, "001:02:03.04"},
      {t.GetTicks(), 5, 6, "001:02:03.04"},
      {between, 5, 6, "001:02:03.04*"},
      {between, 6, 6, "001:02:03.04 (25)"},
      {between, 7, 6, ""},
      {between, 0, 6, ""},
      {between, 5, 14, ""},
      {INT64_MAX, 5, 6, "---:--:--.--"},
      {INT64_MAX, 6, 6, "---:--:--.-- (--)"},
      {INT64_MIN, 5, 6, "- ---:--:--.--"},
      {-INT64_MAX, 6, 6, "- ---:--:--.-- (--)"},
      // Negative: floor-split labels, first character overwritten by "-".
      {-1, 4, 6, "-01:59:59.29"},
      {-kVTimeTicksPerHour * 12, 1, 6, "-12"},
      {-kVTimeTicksPerHour * 123, 2, 6, "-123:00"},
      {1799 * 1541078334LL, 4, 8, "000:00:59.29"},
      {1800 * 1541078334LL, 4, 8, "000:01:00.02"},
      {999 * kVTimeTicksPerMillisecond, 4, 12, "000:00:00.999"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(VTimeGetString(VTime(r.ticks), r.detail, r.mode, 0), r.text)
        << r.ticks << " detail " << r.detail << " mode " << r.mode;
  }
}

TEST_F(TimeTextTest, ParseFrameCount) {
  const struct { const char* text; int64_t ticks; } rows[] = {
      {"45", 45 * kFrame30},
      {"(50)", 769769300},
      {".5", 769769300},
      {"12.5", 12 * kFrame30 + kFrame30 / 2},
      {"12.25", 12 * kFrame30 + (25 * kFrame30 + 99) / 100},
      {"12.123", 12 * kFrame30 + (12 * kFrame30 + 99) / 100},
      {"12(5)", 12 * kFrame30 + (5 * kFrame30 + 99) / 100},
      {"45 (33)", 45 * kFrame30 + (33 * kFrame30 + 99) / 100},
      {"-3", -3 * kFrame30},
      {"  7xyz", 7 * kFrame30},
      {"-0.5", -kFrame30 / 2},
      {"-0.25", -(75 * kFrame30 + 0) / 100},
      {"-0", 0},
      {"-0(0)", 0},
      {"12.", 12 * kFrame30},
      {"999999999999999999", VTimeWrapMul(999999999999999999LL, kFrame30)},
  };
  for (const auto& r : rows) {
    VTime t(123);
    EXPECT_TRUE(VTimeSetString(&t, r.text, 6, 1)) << r.text;
    EXPECT_EQ(t.GetTicks(), r.ticks) << r.text;
  }
}

TEST_F(TimeTextTest, ParseSmpte) {
  const int64_t s = kVTimeTicksPerSecond;
  const struct { const char* text; int mode; int64_t ticks; } rows[] = {
      {"12", 6, 12 * s},
      {"12.5", 6, 12 * s + 5 * kFrame30},
      {"1:12.5", 6, 72 * s + 5 * kFrame30},
      {"001:02:03.04", 6, 3723 * s + 4 * kFrame30},
      {"1;2;3.4", 6, 3723 * s + 4 * kFrame30},
      {".5", 6, 5 * kFrame30},
      {"1.2.3", 6, s + 2 * kFrame30 + (30 * kFrame30 + 99) / 100},
      {"0.0 (50)", 6, kFrame30 / 2},
      {"1.2.34(10)", 6, s + 2 * kFrame30 + (44 * kFrame30 + 99) / 100},
      {"00:01:00.00", 8, 1800 * 1541078334LL},
      {"00:10:00.00", 8, 17982 * 1541078334LL},
      {"x", 6, 0},
      {"000:00:01.15", 0, s * 3 / 2},
  };
  for (const auto& r : rows) {
    VTime t(123);
    EXPECT_TRUE(VTimeSetString(&t, r.text, r.mode, 0)) << r.text;
    EXPECT_EQ(t.GetTicks(), r.ticks) << r.text;
  }
}

TEST_F(TimeTextTest, RejectedTextsLeaveTimeUnchanged) {
  const struct { std::string text; int mode, format; } rows[] = {
      {"", 6, 0},
      {"", 6, 1},
      {"1234567890123456789", 6, 0},  // 19 characters
      {"1234567890123456789", 6, 1},
      {"abc", 6, 1},
      {"-", 6, 1},
      {"- 5", 6, 1},
      {"12", 14, 0},
      {"12", 14, 1},
      {"12", -1, 2},
      {std::string("\0" "12", 3), 6, 1},
  };
  for (const auto& r : rows) {
    VTime t(123);
    EXPECT_FALSE(VTimeSetString(&t, r.text, r.mode, r.format)) << r.text;
    EXPECT_EQ(t.GetTicks(), 123) << r.text;
  }
  EXPECT_FALSE(VTimeSetString(nullptr, "12", 6, 1));
  VTime t;
  EXPECT_TRUE(VTimeSetString(&t, "123456789012345678", 6, 0));  // 18 characters
}

// Every label at detail 4 and every frame count reads back to the frame.
TEST_F(TimeTextTest, TextsRoundTripThroughTheParser) {
  for (int mode : {1, 5, 6, 7, 8, 9, 10, 11, 12, 13}) {
    const int64_t d = VTimeModeGetInfo(mode)->frame_ticks;
    for (int64_t i = 0; i < 200000; i += 331) {
      VTime t(i * d), back;
      ASSERT_TRUE(VTimeSetString(&back, VTimeGetString(t, 4, mode, 0), mode, 0));
      ASSERT_EQ(back, t) << VTimeGetString(t, 4, mode, 0) << " mode " << mode;
      ASSERT_TRUE(VTimeSetString(&back, VTimeGetString(t, 5, mode, 1), mode, 1));
      ASSERT_EQ(back, t) << "mode " << mode;
      VTime half(i * d + d / 2);
      ASSERT_TRUE(VTimeSetString(&back, VTimeGetString(half, 6, mode, 1), mode, 1));
      ASSERT_EQ(back.GetFrame(true, mode), i);
      ASSERT_EQ(back.GetHundredths(mode), half.GetHundredths(mode));
    }
  }
}

TEST_F(TimeTextTest, DefaultFormatSwitchesBothDirections) {
  VTimeSetDefaultFormat(0);
  EXPECT_EQ(VTimeGetString(VTime(kOneAndHalfSecond), 4, 0, 2), "000:00:01.15");
  VTime t;
  ASSERT_TRUE(VTimeSetString(&t, "12", 0, 2));
  EXPECT_EQ(t.GetTicks(), 12 * kVTimeTicksPerSecond);
}

}  // namespace
