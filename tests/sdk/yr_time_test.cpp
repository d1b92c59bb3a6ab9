#include "sdk/yr_time.h"

#include <gtest/gtest.h>

#include "core/time_mode.h"

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

}  // namespace
