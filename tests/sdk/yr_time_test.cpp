#include "sdk/yr_time.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "core/time.h"
#include "core/time_mode.h"
#include "core/time_span.h"

namespace {

using namespace YrSDK;

class YrTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VTimeSetDefaultMode(6);
    VTimeSetDefaultFormat(1);
  }
  void TearDown() override { SetUp(); }
};

TEST_F(YrTimeTest, PublicModeNumbers) {
  // {public number, frames per second of its mode, engine mode}
  const struct { int public_mode; double rate; int engine_mode; } rows[] = {
      {1, 24.0, 11},        {2, 25.0, 10},  {3, 30.0, 6},   {4, 29.97002617, 8}, {5, 50.0, 4},
      {6, 60.0, 3},         {7, 100.0, 2},  {8, 120.0, 1},  {9, 29.97002617, 9}, {10, 30.0, 7},
      {11, 23.976, 13},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(YrTimeModeToEngine(r.public_mode), r.engine_mode) << r.public_mode;
    EXPECT_DOUBLE_EQ(VTimeModeRate(YrTimeModeToEngine(r.public_mode)), r.rate) << r.public_mode;
  }
  for (int other : {0, -1, 12, 13, 1000}) EXPECT_EQ(YrTimeModeToEngine(other), 0) << other;

  YrTime one_frame;
  ASSERT_TRUE(one_frame.SetTime(0, 0, 0, 1, 0, kYrTimeMode60));
  EXPECT_EQ(one_frame.Get(), 769769300);
  ASSERT_TRUE(one_frame.SetTime(0, 0, 0, 1, 0, kYrTimeMode23976));
  EXPECT_EQ(one_frame.Get(), 1926349600);
  // Unknown public numbers use the default mode (30 fps here).
  ASSERT_TRUE(one_frame.SetTime(0, 0, 0, 1, 0, static_cast<YrTimeMode>(42)));
  EXPECT_EQ(one_frame.Get(), 1539538600);
}

TEST_F(YrTimeTest, StringsUseDefaultsAtDetailFive) {
  YrTime t(1539538600LL * 45 + 1539538600LL / 3);
  EXPECT_EQ(t.GetTimeString(), "45*");
  VTimeSetDefaultFormat(0);
  EXPECT_EQ(t.GetTimeString(), "000:00:01.15*");
  EXPECT_TRUE(t.SetTimeString("1:12.5"));
  EXPECT_EQ(t.Get(), 72 * kVTimeTicksPerSecond + 5 * 1539538600LL);
  VTimeSetDefaultFormat(1);
  EXPECT_TRUE(t.SetTimeString("(50)"));
  EXPECT_EQ(t.Get(), 769769300);
  EXPECT_FALSE(t.SetTimeString(""));
  EXPECT_EQ(t.Get(), 769769300);
}

TEST_F(YrTimeTest, LabelsAndArithmeticPassThrough) {
  YrTime t;
  t.SetSecondDouble(1.5);
  EXPECT_EQ(t.GetFrame(true, kYrTimeMode30), 45);
  EXPECT_EQ(t.GetFrame(false, kYrTimeMode30), 15);
  EXPECT_EQ(t.GetSeconds(false, kYrTimeMode30), 1);
  EXPECT_EQ(t.GetHundredths(kYrTimeMode30), 0);
  int64_t h, m, s, f, fd, hh;
  ASSERT_TRUE(t.GetTime(h, m, s, f, fd, hh, kYrTimeModePAL));
  EXPECT_EQ(s, 1);
  EXPECT_EQ(f, 12);
  EXPECT_EQ(fd, 1);
  EXPECT_EQ((t + YrTime(1)).Get(), t.Get() + 1);
  EXPECT_EQ((t * 2.0).Get(), 2 * t.Get());
  EXPECT_TRUE(YrTime::MinusInfinity() < YrTime::Zero());

  YrTimeSpan a(YrTime(0), YrTime(100)), b(YrTime(50), YrTime(200));
  EXPECT_EQ((a & b), YrTimeSpan(YrTime(50), YrTime(100)));
  EXPECT_EQ(YrTimeSpan(YrTime(10), YrTime(0)).GetDirection(), -1);
  EXPECT_EQ(YrTimeSpan(YrTime(10), YrTime(0)).GetDuration().Get(), 10);
  EXPECT_TRUE(a.IsInside(YrTime(0)));
  EXPECT_FALSE(a.IsInside(YrTime(100)));
}

// The facade computes with plain ticks and hands arithmetic to the engine's
// time rules: at the boundaries (the infinities, the 64-bit ends, zero,
// one tick) every result equals the engine's own.
TEST_F(YrTimeTest, ArithmeticAndSpansFollowTheEngineAtTheBoundaries) {
  const int64_t ticks[] = {0, 1, -1, 46186158000LL, -46186158000LL, INT64_MAX, -INT64_MAX, INT64_MIN,
                           INT64_MAX - 1, 3};
  const double factors[] = {0.0, 0.5, -2.0, 1e300};
  for (int64_t x : ticks) {
    const YrTime a(x);
    const VTime va(x);
    EXPECT_EQ(a.GetFramedTime().Get(), va.GetFramedTime(false).GetTicks()) << x;
    EXPECT_EQ(a.GetFramedTime(true).Get(), va.GetFramedTime(true).GetTicks()) << x;
    EXPECT_EQ(a.GetMilliSeconds(), va.GetMilliSeconds()) << x;
    EXPECT_DOUBLE_EQ(a.GetSecondDouble(), va.GetSecondDouble()) << x;
    for (double d : factors) {
      EXPECT_EQ((a * d).Get(), (va * d).GetTicks()) << x << " * " << d;
      if (d != 0.0) {
        EXPECT_EQ((a / d).Get(), (va / d).GetTicks()) << x << " / " << d;
      }
    }
    for (int64_t y : ticks) {
      const YrTime b(y);
      const VTime vb(y);
      EXPECT_EQ((a + b).Get(), (va + vb).GetTicks()) << x << " + " << y;
      EXPECT_EQ((a - b).Get(), (va - vb).GetTicks()) << x << " - " << y;
      EXPECT_EQ((a * b).Get(), (va * vb).GetTicks()) << x << " * " << y;
      if (y != 0) {
        EXPECT_EQ((a / b).Get(), (va / vb).GetTicks()) << x << " / " << y;
      }
      YrTime sum = a;
      sum += b;
      EXPECT_EQ(sum, a + b) << x << " += " << y;
      YrTime difference = a;
      difference -= b;
      EXPECT_EQ(difference, a - b) << x << " -= " << y;
      EXPECT_EQ(a < b, va < vb) << x << " < " << y;

      const YrTimeSpan span(a, b);
      const VTimeSpan vspan(va, vb);
      EXPECT_EQ(span.GetDuration().Get(), vspan.GetDuration().GetTicks()) << x << ", " << y;
      EXPECT_EQ(span.GetSignedDuration().Get(), vspan.GetSignedDuration().GetTicks()) << x << ", " << y;
      EXPECT_EQ(span.GetDirection(), vspan.GetDirection()) << x << ", " << y;
      for (int64_t t : ticks) EXPECT_EQ(span.IsInside(YrTime(t)), vspan.IsInside(VTime(t))) << t;
      const YrTimeSpan overlap = span & YrTimeSpan(YrTime(0), YrTime(46186158000LL));
      const VTimeSpan voverlap = vspan & VTimeSpan(VTime(0), VTime(46186158000LL));
      EXPECT_EQ(overlap.GetStart().Get(), voverlap.GetStart().GetTicks()) << x << ", " << y;
      EXPECT_EQ(overlap.GetStop().Get(), voverlap.GetStop().GetTicks()) << x << ", " << y;
    }
  }
  EXPECT_EQ(YrTime::Infinity().Get(), VTime::Infinite().GetTicks());
  EXPECT_EQ(YrTime::MinusInfinity().Get(), VTime::MinusInfinite().GetTicks());
}

// Setters that parse or convert leave the time as the engine would, and a
// text that is not read leaves it unchanged.
TEST_F(YrTimeTest, SettersMatchTheEngineAndKeepTheTimeOnFailure) {
  YrTime t;
  VTime vt;
  t.SetSecondDouble(1.25);
  vt.SetSecondDouble(1.25);
  EXPECT_EQ(t.Get(), vt.GetTicks());
  t.SetMilliSeconds(-7);
  vt.SetMilliSeconds(-7);
  EXPECT_EQ(t.Get(), vt.GetTicks());
  ASSERT_TRUE(t.SetTime(0, 0, 2, 3, 0, kYrTimeMode30));
  ASSERT_TRUE(vt.SetTime(0, 0, 2, 3, 0, YrTimeModeToEngine(kYrTimeMode30)));
  EXPECT_EQ(t.Get(), vt.GetTicks());
  const YrTime before = t;
  EXPECT_FALSE(t.SetTimeString("not a time"));
  EXPECT_EQ(t, before);
  ASSERT_TRUE(t.SetTimeString(YrTime(46186158000LL).GetTimeString()));
  EXPECT_EQ(t.GetFrame(), YrTime(46186158000LL).GetFrame());
}

}  // namespace
