// Extrapolation before the first and after the last key, with repetition
// counts, and the arithmetic at the ends of the time range.

#include <gtest/gtest.h>

#include <cmath>

#include "animation/fcurve.h"
#include "fcurve_test_util.h"

namespace {

using namespace fcurve_test;

// (0 s, 0) to (1 s, 10), linear: the value is 10 per second of local time.
void Ramp(VFCurve& c) { Fill(c, {Key(0, 0, kLinear), Key(1, 10, kLinear)}); }

struct Case {
  int type, count;
  double seconds;
  double value;
};

TEST(FCurveExtrapolation, AfterTheLastKey) {
  const Case cases[] = {
      // Constant, whatever the count.
      {1, 0, 1.5, 10},
      {1, 3, 7, 10},
      // Repetition: 2.25 s after the last key is 0.25 s after the first.
      {2, -1, 3.25, 2.5},
      {2, -1, 1.5, 5},
      {2, -1, 2, 0},  // the start of a repetition is the first key
      {2, 1, 1.5, 5},
      {2, 1, 2, 10},  // at the limit: the last key
      {2, 1, 2.5, 10},
      {2, 3, 3.25, 2.5},
      {2, 0, 1.25, 10},
      {2, -4, 1.25, 10},  // below -1 limits like 0
      // Mirror: the first repetition runs backward.
      {3, -1, 1.25, 7.5},
      {3, -1, 2.25, 2.5},
      {3, -1, 3.25, 7.5},
      {3, 1, 1.75, 2.5},
      {3, 1, 2.25, 10},
      // Keep slope: the last key's left derivative, 10 per second.
      {4, -1, 4, 40},
      {4, 2, 2, 20},
      {4, 2, 4, 30},  // stops two spans after the last key
      {4, 0, 4, 10},
      // Unknown types hold the last key's value.
      {0, -1, 3.25, 10},
      {9, 5, 3.25, 10},
  };
  for (const Case& k : cases) {
    VFCurve c;
    Ramp(c);
    c.SetPostExtrapolation(k.type, k.count);
    EXPECT_NEAR(c.Evaluate(S(k.seconds)), k.value, 1e-9) << k.type << " " << k.count << " at " << k.seconds;
    // Inside the key range the extrapolation plays no part.
    EXPECT_NEAR(c.Evaluate(S(0.5)), 5, 1e-12);
  }
}

TEST(FCurveExtrapolation, BeforeTheFirstKey) {
  const Case cases[] = {
      {1, 0, -0.5, 0},
      {2, -1, -0.25, 7.5},
      {2, -1, -2.25, 7.5},
      {2, -1, -1, 10},  // a whole span back lands on the last key
      {2, 1, -0.75, 2.5},
      {2, 1, -1.5, 0},  // past the limit: the first key
      {2, 0, -0.25, 0},
      {2, -3, -0.25, 0},
      // Mirror: the repetition next to the key range runs backward.
      {3, -1, -0.25, 2.5},
      {3, -1, -1.25, 7.5},
      {3, -1, -2.25, 2.5},
      {3, 2, -1.25, 7.5},
      {3, 2, -2.25, 0},
      // Keep slope with the first key's right derivative.
      {4, -1, -3, -30},
      {4, 2, -1.5, -15},
      {4, 2, -3, -20},  // stops two spans before the first key
      {4, -2, -3, 0},
      {7, -1, -3, 0},
  };
  for (const Case& k : cases) {
    VFCurve c;
    Ramp(c);
    c.SetPreExtrapolation(k.type, k.count);
    EXPECT_NEAR(c.Evaluate(S(k.seconds)), k.value, 1e-9) << k.type << " " << k.count << " at " << k.seconds;
  }
}

TEST(FCurveExtrapolation, KeepSlopeUsesTheEndTangents) {
  VFCurve c;
  Fill(c, {Key(0, 0, kUser), Key(1, 1, kUser)});
  c.KeySetUser(0, 3, -2);
  c.SetPreExtrapolation(kFCurveExtrapolationKeepSlope, kFCurveRepetitionUnlimited);
  c.SetPostExtrapolation(kFCurveExtrapolationKeepSlope, kFCurveRepetitionUnlimited);
  EXPECT_DOUBLE_EQ(c.Evaluate(S(-2)), -6);
  EXPECT_DOUBLE_EQ(c.Evaluate(S(3)), 1 - 4);
  EXPECT_DOUBLE_EQ(c.Evaluate(S(0)), 0);
  EXPECT_DOUBLE_EQ(c.Evaluate(S(1)), 1);
}

TEST(FCurveExtrapolation, RepetitionsFoldOntoTheCurveAndKeepTheCacheUsable) {
  VFCurve c;
  Fill(c, {Key(0, 0), Key(0.5, 4), Key(1, 1), Key(2, 3)});
  VFCurve mirror;
  mirror.CopyFrom(c);
  c.SetPostExtrapolation(kFCurveExtrapolationRepetition, -1);
  c.SetPreExtrapolation(kFCurveExtrapolationRepetition, -1);
  mirror.SetPostExtrapolation(kFCurveExtrapolationMirrorRepetition, -1);
  mirror.SetPreExtrapolation(kFCurveExtrapolationMirrorRepetition, -1);
  const int64_t span = S(2).GetTicks();
  int cache = 0, mirror_cache = 0;
  // Time 0 itself is the first key and, one span on, the last key.
  for (int64_t x = span / 97; x < span; x += span / 97) {
    const double value = c.Evaluate(VTime(x));
    for (int64_t k : {-5, -2, -1, 1, 2, 7}) {
      EXPECT_EQ(c.Evaluate(VTime(x + k * span), &cache), value) << x << " " << k;
      // Mirror: even repetitions run backward.
      const bool backward = (k > 0 ? k - 1 : -k - 1) % 2 == 0;
      const double expected = backward ? mirror.Evaluate(VTime(span - x)) : value;
      EXPECT_EQ(mirror.Evaluate(VTime(x + k * span), &mirror_cache), expected) << x << " " << k;
    }
  }
}

TEST(FCurveExtrapolation, ExtremeTimesAndHugeSpans) {
  for (int type : {1, 2, 3, 4}) {
    for (int count : {-1, 0, 1, 1000000, 2147483647}) {
      VFCurve c;
      Ramp(c);
      c.SetPreExtrapolation(type, count);
      c.SetPostExtrapolation(type, count);
      for (VTime t : {VTime(INT64_MIN), VTime(INT64_MIN + 1), VTime(INT64_MAX - 1), VTime(INT64_MAX)}) {
        const double v = c.Evaluate(t);
        EXPECT_TRUE(std::isfinite(v)) << type << " " << count << " " << t.GetTicks();
        if (type != 4) {
          EXPECT_GE(v, 0);
          EXPECT_LE(v, 10);
        }
      }
    }
  }
  // Unlimited repetition at the largest time: the folded local time.
  VFCurve c;
  Ramp(c);
  c.SetPostExtrapolation(kFCurveExtrapolationRepetition, -1);
  const int64_t span = kVTimeTicksPerSecond;
  const int64_t local = (INT64_MAX - span) % span;
  EXPECT_NEAR(c.Evaluate(VTime(INT64_MAX)), 10.0 * static_cast<double>(local) / static_cast<double>(span), 1e-6);

  // Keys at both ends of the time range: the span overflows 64 bits.
  VFCurve wide;
  VFCurveKey a = Key(0, 0, kLinear), b = Key(0, 10, kLinear);
  a.time = VTime(INT64_MIN + 1);
  b.time = VTime(INT64_MAX - 1);
  wide.KeyAppend(a);
  wide.KeyAppend(b);
  EXPECT_NEAR(wide.Evaluate(VTime(0)), 5, 1e-6);
  for (int type : {2, 3, 4}) {
    wide.SetPreExtrapolation(type, -1);
    wide.SetPostExtrapolation(type, 3);
    for (VTime t : {VTime(INT64_MIN), VTime(INT64_MAX), VTime(0)}) EXPECT_TRUE(std::isfinite(wide.Evaluate(t)));
  }
}

}  // namespace
