#include "core/time.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "core/time_mode.h"
#include "core/time_span.h"

namespace {

constexpr int64_t kFrame30 = 1539538600;
constexpr int64_t kField30 = 769769300;

struct Labels {
  int64_t h, m, s, f, fd, hh;
  bool operator==(const Labels& o) const {
    return h == o.h && m == o.m && s == o.s && f == o.f && fd == o.fd && hh == o.hh;
  }
};

std::ostream& operator<<(std::ostream& os, const Labels& l) {
  return os << l.h << ":" << l.m << ":" << l.s << "." << l.f << " field " << l.fd << " (" << l.hh << ")";
}

Labels Get(int64_t ticks, int mode) {
  Labels l{-7, -7, -7, -7, -7, -7};
  EXPECT_TRUE(VTime(ticks).GetTime(l.h, l.m, l.s, l.f, l.fd, l.hh, mode)) << "mode " << mode;
  return l;
}

TEST(TimeTest, TickConstants) {
  EXPECT_EQ(kVTimeTicksPerSecond, 46186158000LL);
  EXPECT_EQ(kVTimeTicksPerMinute, 2771169480000LL);
  EXPECT_EQ(kVTimeTicksPerHour, 166270168800000LL);
  VTime one_second;
  ASSERT_TRUE(one_second.SetTime(0, 0, 1, 0, 0, 6));
  EXPECT_EQ(one_second.GetTicks(), 46186158000LL);
  EXPECT_DOUBLE_EQ(one_second.GetSecondDouble(), 1.0);
  EXPECT_EQ(one_second.GetMilliSeconds(), 1000);
}

TEST(TimeTest, FrameAndFieldLengthsOfEveryMode) {
  // {mode, frame ticks, field ticks (0: no fields)}
  const struct { int mode; int64_t frame, field; } rows[] = {
      {1, 384884650, 0},          {2, 461861580, 0},           {3, 769769300, 0},
      {4, 923723160, 0},          {5, 962211625, 0},           {6, 1539538600, 769769300},
      {7, 1539538600, 769769300}, {8, 1541078334, 770539167},  {9, 1541078334, 770539167},
      {10, 1847446320, 923723160}, {11, 1924423250, 0},        {12, 46186158, 0},
      {13, 1926349600, 963174800},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.mode);
    VTime t;
    ASSERT_TRUE(t.SetTime(0, 0, 0, 1, 0, r.mode));
    EXPECT_EQ(t.GetTicks(), r.frame);
    ASSERT_TRUE(t.SetTime(0, 0, 0, 0, 1, r.mode));
    EXPECT_EQ(t.GetTicks(), r.field);
    EXPECT_EQ(VTime(r.frame * 7).GetFrame(true, r.mode), 7);
    EXPECT_EQ(VTime(r.frame * 7 - 1).GetFrame(true, r.mode), 6);
  }
}

TEST(TimeTest, FieldAndHundredthsAt30) {
  EXPECT_EQ(Get(kFrame30, 6), (Labels{0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(Get(kFrame30 + kField30, 6), (Labels{0, 0, 0, 1, 1, 50}));
  EXPECT_EQ(Get(kFrame30 + kFrame30 / 3, 6), (Labels{0, 0, 0, 1, 0, 33}));
  EXPECT_EQ(Get(kFrame30 - 1, 6), (Labels{0, 0, 0, 0, 1, 99}));
  // 1.5 s
  EXPECT_EQ(Get(kVTimeTicksPerSecond * 3 / 2, 6), (Labels{0, 0, 1, 15, 0, 0}));
  // Modes without fields report field 0.
  EXPECT_EQ(Get(384884650 + 384884650 / 2, 1), (Labels{0, 0, 0, 1, 0, 50}));
}

TEST(TimeTest, NegativeTimesSplitWithFloorHours) {
  EXPECT_EQ(Get(-1, 6), (Labels{-1, 59, 59, 29, 1, 99}));
  EXPECT_EQ(Get(-kVTimeTicksPerHour, 6), (Labels{-1, 0, 0, 0, 0, 0}));
  Labels l = Get(INT64_MIN, 6);
  EXPECT_LT(l.h, 0);
  EXPECT_GE(l.m, 0);
  Get(INT64_MAX, 13);
}

TEST(TimeTest, InvalidModesFailAndLeaveValuesAlone) {
  VTimeSetDefaultMode(6);
  for (int mode : {-1, 14, 99, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(mode);
    VTime t(1234);
    EXPECT_FALSE(t.SetTime(1, 2, 3, 4, 0, mode));
    EXPECT_FALSE(t.SetTime(1, 2, 3, 4, 0, 50, mode));
    EXPECT_EQ(t.GetTicks(), 1234);
    int64_t h = 5, m = 5, s = 5, f = 5, fd = 5, hh = 5;
    EXPECT_FALSE(t.GetTime(h, m, s, f, fd, hh, mode));
    EXPECT_EQ(h + m + s + f + fd + hh, 30);
    EXPECT_EQ(VTime(kFrame30 * 3).GetFrame(true, mode), 0);
    EXPECT_EQ(VTime(kFrame30 * 3).GetFrame(false, mode), 0);
  }
}

TEST(TimeTest, ComposeTable) {
  const struct { int h, m, s, f, fd, hh, mode; int64_t ticks; } rows[] = {
      {0, 0, 1, 0, 0, 0, 6, kVTimeTicksPerSecond},
      {1, 2, 3, 4, 1, 0, 6, kVTimeTicksPerHour + 2 * kVTimeTicksPerMinute + 3 * kVTimeTicksPerSecond +
                                4 * kFrame30 + kField30},
      {0, 0, 0, 1, 1, 0, 1, 384884650},  // no fields: field ignored
      {0, 0, 0, 0, 0, 50, 6, kField30},
      {0, 0, 0, 0, 0, 33, 6, (33 * kFrame30 + 99) / 100},
      {0, 0, 0, 0, 0, -50, 6, -kField30},
      {0, 0, 1, 0, 0, 0, 9, 30 * 1541078334LL},
      {0, 1, 0, 0, 0, 0, 9, 1800 * 1541078334LL},
      {0, 0, 0, 999, 0, 0, 12, 999 * kVTimeTicksPerMillisecond},
      // Drop frame: minute 1 starts at label 2, frame 1800 of the hour.
      {0, 1, 0, 2, 0, 0, 8, 1800 * 1541078334LL},
      {0, 1, 0, 0, 0, 0, 8, 1800 * 1541078334LL},
      {0, 10, 0, 0, 0, 0, 8, 17982 * 1541078334LL},
      {1, 0, 0, 0, 0, 0, 7, 107892 * kFrame30},
      {1, 0, 0, 0, 0, 0, 13, 86292 * 1926349600LL},
      {0, 0, 0, 0, 1, 0, 13, 963174800},
  };
  for (const auto& r : rows) {
    VTime t;
    ASSERT_TRUE(t.SetTime(r.h, r.m, r.s, r.f, r.fd, r.hh, r.mode));
    EXPECT_EQ(t.GetTicks(), r.ticks) << r.h << ":" << r.m << ":" << r.s << "." << r.f << " mode " << r.mode;
  }
}

TEST(TimeTest, ExtremeLabelsWrapInsteadOfOverflowing) {
  for (int mode = 1; mode <= 13; ++mode) {
    VTime t;
    EXPECT_TRUE(t.SetTime(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, mode));
    EXPECT_TRUE(t.SetTime(INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, mode));
  }
}

// Walks every frame of two hours, checking that labels count up one frame at
// a time (skipping the dropped labels) and that composing them gives the
// frame back.
void CheckDropSequence(int mode, int labels) {
  const VTimeModeInfo* info = VTimeModeGetInfo(mode);
  ASSERT_NE(info, nullptr);
  const int64_t frames = 2 * 6 * int64_t{info->block_frames};
  Labels prev{};
  int64_t dropped = 0;
  for (int64_t i = 0; i < frames; ++i) {
    const int64_t ticks = i * info->frame_ticks;
    Labels l = Get(ticks, mode);
    if (i > 0) {
      Labels next = prev;
      if (++next.f == labels) {
        next.f = 0;
        if (++next.s == 60) {
          next.s = 0;
          if (++next.m == 60) {
            next.m = 0;
            ++next.h;
          }
          if (next.m % 10 != 0) {
            next.f = 2;
            ++dropped;
          }
        }
      }
      ASSERT_EQ(l, next) << "frame " << i;
    }
    VTime back;
    ASSERT_TRUE(back.SetTime(static_cast<int>(l.h), static_cast<int>(l.m), static_cast<int>(l.s),
                             static_cast<int>(l.f), 0, mode));
    ASSERT_EQ(back.GetTicks(), ticks) << l;
    // The second field of the frame too.
    ASSERT_TRUE(back.SetTime(static_cast<int>(l.h), static_cast<int>(l.m), static_cast<int>(l.s),
                             static_cast<int>(l.f), 1, mode));
    ASSERT_EQ(Get(back.GetTicks(), mode), (Labels{l.h, l.m, l.s, l.f, 1, 50}));
    prev = l;
  }
  EXPECT_EQ(dropped, 2 * 54);
}

TEST(TimeTest, DropFrameLabelsRoundTrip) {
  CheckDropSequence(7, 30);
  CheckDropSequence(8, 30);
  CheckDropSequence(13, 24);
}

TEST(TimeTest, NtscDropMinuteBoundaries) {
  const int64_t d = 1541078334;
  EXPECT_EQ(Get(1799 * d, 8), (Labels{0, 0, 59, 29, 0, 0}));
  EXPECT_EQ(Get(1800 * d, 8), (Labels{0, 1, 0, 2, 0, 0}));
  VTime ten;
  ASSERT_TRUE(ten.SetTime(0, 10, 0, 0, 0, 8));
  EXPECT_EQ(Get(ten.GetTicks(), 8), (Labels{0, 10, 0, 0, 0, 0}));
  EXPECT_EQ(Get(ten.GetTicks() - d, 8), (Labels{0, 9, 59, 29, 0, 0}));
}

TEST(TimeTest, NonDropModesRoundTrip) {
  for (int mode : {1, 2, 3, 4, 5, 6, 9, 10, 11, 12}) {
    const VTimeModeInfo* info = VTimeModeGetInfo(mode);
    for (int64_t i = -4000; i < 400000; i += 97) {
      const int64_t ticks = i * info->frame_ticks;
      Labels l = Get(ticks, mode);
      VTime back;
      ASSERT_TRUE(back.SetTime(static_cast<int>(l.h), static_cast<int>(l.m), static_cast<int>(l.s),
                               static_cast<int>(l.f), static_cast<int>(l.fd), mode));
      ASSERT_EQ(back.GetTicks(), ticks) << "mode " << mode << " " << l;
    }
  }
}

TEST(TimeTest, CumulativeAndLabelGetters) {
  VTime t;
  ASSERT_TRUE(t.SetTime(2, 3, 4, 5, 0, 6));
  EXPECT_EQ(t.GetHours(true), 2);
  EXPECT_EQ(t.GetMinutes(true), 123);
  EXPECT_EQ(t.GetSeconds(true), 7384);
  EXPECT_EQ(t.GetFrame(true, 6), 7384 * 30 + 5);
  EXPECT_EQ(t.GetHours(false, 6), 2);
  EXPECT_EQ(t.GetMinutes(false, 6), 3);
  EXPECT_EQ(t.GetSeconds(false, 6), 4);
  EXPECT_EQ(t.GetFrame(false, 6), 5);
  EXPECT_EQ(VTime(-kFrame30 - 1).GetFrame(true, 6), -1);  // truncates toward zero
  EXPECT_EQ(VTime(kFrame30 + kFrame30 / 4).GetHundredths(6), 25);
}

TEST(TimeTest, ArithmeticAndConversions) {
  constexpr VTime a(10), b(4);
  static_assert((a + b).GetTicks() == 14 && (a - b).GetTicks() == 6, "");
  static_assert((a * b).GetTicks() == 40 && (a / b).GetTicks() == 2, "");
  static_assert((a * 2.5).GetTicks() == 25 && (VTime(-10) * 0.25).GetTicks() == -2, "");
  static_assert(a > b && b <= a && a != b, "");
  EXPECT_EQ((a / VTime(0)).GetTicks(), 0);
  EXPECT_EQ((VTime(INT64_MIN) / VTime(-1)).GetTicks(), INT64_MIN);
  EXPECT_EQ((VTime::Infinite() + VTime(1)).GetTicks(), INT64_MIN);
  EXPECT_EQ((VTime(5) * 1e300).GetTicks(), INT64_MAX);
  EXPECT_EQ((VTime(5) / 0.0).GetTicks(), 0);
  VTime c(7);
  c += VTime(3);
  c -= VTime(1);
  EXPECT_EQ(c.GetTicks(), 9);

  VTime s;
  s.SetSecondDouble(1.5);
  EXPECT_EQ(s.GetTicks(), 69279237000LL);
  s.SetSecondDouble(-1e-12);  // truncates toward zero
  EXPECT_EQ(s.GetTicks(), 0);
  s.SetSecondDouble(1e300);
  EXPECT_EQ(s.GetTicks(), INT64_MAX);
  s.SetMilliSeconds(-3);
  EXPECT_EQ(s.GetTicks(), -3 * kVTimeTicksPerMillisecond);
  EXPECT_EQ(VTime(kVTimeTicksPerMillisecond * 5 - 1).GetMilliSeconds(), 4);
}

TEST(TimeTest, FramedTime) {
  VTimeSetDefaultMode(6);
  const struct { int64_t ticks; bool nearest; int64_t framed; } rows[] = {
      {0, false, 0},
      {kFrame30 - 1, false, 0},
      {kFrame30 - 1, true, kFrame30},
      {kField30 - 1, true, 0},
      {kField30, true, kFrame30},  // a tie goes to the next frame
      {3 * kFrame30 + 5, true, 3 * kFrame30},
      {-1, false, -kFrame30},  // the frame holding -1 starts one frame earlier
      {-1, true, 0},
      {INT64_MAX, true, INT64_MAX - INT64_MAX % kFrame30},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(VTime(r.ticks).GetFramedTime(r.nearest).GetTicks(), r.framed) << r.ticks << " " << r.nearest;
  }
  EXPECT_EQ(VTime(INT64_MIN).GetFramedTime(false).GetTicks() % kFrame30, 0);
}

TEST(TimeSpanTest, DurationDirectionContains) {
  VTimeSpan fwd(VTime(10), VTime(20)), back(VTime(20), VTime(10)), empty(VTime(5), VTime(5));
  EXPECT_EQ(fwd.GetDuration().GetTicks(), 10);
  EXPECT_EQ(back.GetDuration().GetTicks(), 10);
  EXPECT_EQ(back.GetSignedDuration().GetTicks(), -10);
  EXPECT_EQ(fwd.GetDirection(), 1);
  EXPECT_EQ(back.GetDirection(), -1);
  EXPECT_EQ(empty.GetDirection(), 1);
  const struct { int64_t t; bool in_fwd, in_back; } rows[] = {
      {9, false, false}, {10, true, true}, {15, true, true}, {19, true, true}, {20, false, false}};
  for (const auto& r : rows) {
    EXPECT_EQ(fwd.IsInside(VTime(r.t)), r.in_fwd) << r.t;
    EXPECT_EQ(back.IsInside(VTime(r.t)), r.in_back) << r.t;
  }
  EXPECT_FALSE(empty.IsInside(VTime(5)));
  VTimeSpan all(VTime::MinusInfinite(), VTime::Infinite());
  EXPECT_EQ(all.GetDuration(), VTime::Infinite());
  VTimeSpan all_back(VTime(INT64_MAX), VTime(INT64_MIN));
  EXPECT_EQ(all_back.GetSignedDuration(), VTime::MinusInfinite());
  EXPECT_EQ(all_back.GetDuration(), VTime::Infinite());
}

TEST(TimeSpanTest, Intersection) {
  auto S = [](int64_t a, int64_t b) { return VTimeSpan(VTime(a), VTime(b)); };
  const struct { VTimeSpan a, b, expected; } rows[] = {
      {S(0, 10), S(5, 20), S(5, 10)},
      {S(5, 20), S(0, 10), S(5, 10)},
      {S(0, 10), S(2, 3), S(2, 3)},
      {S(0, 10), S(10, 20), S(0, 0)},  // touching ends do not overlap
      {S(10, 0), S(20, 5), S(10, 5)},  // backward spans stay backward
      {S(10, 0), S(5, 20), S(0, 0)},   // directions differ
      {S(-20, -10), S(-15, 100), S(-15, -10)},
  };
  for (const auto& r : rows) {
    VTimeSpan got = r.a & r.b;
    EXPECT_EQ(got, r.expected) << got.GetStart().GetTicks() << ", " << got.GetStop().GetTicks();
  }
}

}  // namespace
