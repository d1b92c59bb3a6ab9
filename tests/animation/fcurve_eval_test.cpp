// Curve evaluation: interpolations, tangent modes, weighted tangents and the
// key search with its cache.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "animation/fcurve.h"
#include "fcurve_test_util.h"

namespace {

using namespace fcurve_test;

TEST(FCurveEval, NoKeysGivesDefaultOneKeyGivesItsValueEverywhere) {
  VFCurve c(2.5f);
  for (VTime t : {VTime(INT64_MIN), S(-1), S(0), S(7), VTime(INT64_MAX)}) {
    EXPECT_EQ(c.Evaluate(t), 2.5);
    EXPECT_EQ(c.KeySearch(t), -1.0);
  }
  Fill(c, {Key(1, 4.0f)});
  for (int type : {1, 2, 3, 4, 0}) {
    c.SetPreExtrapolation(type, -1);
    c.SetPostExtrapolation(type, -1);
    for (VTime t : {VTime(INT64_MIN), S(-1), S(1), S(7), VTime(INT64_MAX)}) EXPECT_EQ(c.Evaluate(t), 4.0) << type;
  }
}

// Two keys (0 s, 0) and (1 s, 10) under each interpolation of the first key.
TEST(FCurveEval, SegmentInterpolationsAroundTheKeys) {
  const double tick = 1.0 / static_cast<double>(kVTimeTicksPerSecond);
  struct Row {
    VTime t;
    double linear, constant, constant_next;
  };
  const Row rows[] = {
      {S(-1), 0, 0, 0},                                  // before the start
      {S(0) - kTick, 0, 0, 0},                           // one tick before the first key
      {S(0), 0, 0, 0},                                   // exactly on the first key
      {S(0) + kTick, 10 * tick, 0, 10},                  // one tick after it
      {S(0.25), 2.5, 0, 10},                             // inside
      {S(1) - kTick, 10 - 10 * tick, 0, 10},             // one tick before the last key
      {S(1), 10, 10, 10},                                // exactly on the last key
      {S(1) + kTick, 10, 10, 10},                        // past the end
      {S(100), 10, 10, 10},
  };
  VFCurve linear, constant, constant_next;
  Fill(linear, {Key(0, 0, kLinear), Key(1, 10, kLinear)});
  Fill(constant, {Key(0, 0, kConstant), Key(1, 10, kConstant)});
  Fill(constant_next, {Key(0, 0, kConstantNext), Key(1, 10, kConstant)});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.t.GetTicks());
    EXPECT_NEAR(linear.Evaluate(r.t), r.linear, 1e-9);
    EXPECT_EQ(constant.Evaluate(r.t), r.constant);
    EXPECT_EQ(constant_next.Evaluate(r.t), r.constant_next);
  }
  // Backwards through the same times: the cache walks down.
  for (auto it = std::rbegin(rows); it != std::rend(rows); ++it) {
    EXPECT_NEAR(linear.Evaluate(it->t), it->linear, 1e-9);
  }
}

TEST(FCurveEval, ATimeOnAKeyGivesItsValueWhateverTheInterpolation) {
  for (uint32_t flags : {kConstant, kConstantNext, kLinear, kAuto, kTcb, kUser, kBreak}) {
    VFCurve c;
    Fill(c, {Key(0, 1, flags), Key(0.5, -3, flags), Key(2, 8, flags), Key(3, 8.5f, flags)});
    c.KeySetUser(1, 40, -17);  // wild tangents must not matter on the key
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c.Evaluate(c.KeyGetTime(i)), c.KeyGetValue(i)) << flags;
  }
}

TEST(FCurveEval, CubicUserTangents) {
  VFCurve c;
  Fill(c, {Key(0, 0, kUser), Key(1, 1, kUser)});
  // Derivatives 0 at both ends: a symmetric ease, 3u^2 - 2u^3.
  EXPECT_DOUBLE_EQ(c.Evaluate(S(0.5)), 0.5);
  EXPECT_DOUBLE_EQ(c.Evaluate(S(0.25)), 0.15625);
  EXPECT_DOUBLE_EQ(c.Evaluate(S(0.75)), 0.84375);
  // Right 2, next left 4 over one second: control values 0, 2/3, -1/3, 1.
  c.KeySetUser(0, 2, 4);
  EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(0), 2);
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 4);
  EXPECT_NEAR(c.Evaluate(S(0.5)), 0.25, 1e-12);
  // The last key's right derivative is its left one; the first key's left
  // derivative is its right one.
  EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(1), 4);
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(0), 2);
  // Tangents scale over a longer segment: derivatives are per second.
  VFCurve longer;
  Fill(longer, {Key(0, 0, kUser), Key(2, 1, kUser)});
  longer.KeySetUser(0, 1, 1);  // control values 0, 2/3, 1/3, 1
  EXPECT_NEAR(longer.Evaluate(S(1)), 0.5, 1e-12);
  EXPECT_NEAR(longer.Evaluate(S(0.5)), 0.34375, 1e-12);  // 3r^2u 2/3 + 3ru^2 1/3 + u^3, u = 1/4
}

TEST(FCurveEval, AutoTangentsAndBalance) {
  VFCurve c;
  Fill(c, {Key(0, 0), Key(1, 10), Key(3, 10)});
  // The middle key: the mean of the chord slopes 10 and 0.
  EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(1), 5);
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 5);
  // End keys take their one chord slope.
  EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(0), 10);
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(2), 0);
  // Control values 0, 10/3, 10 - 5/3, 10.
  EXPECT_NEAR(c.Evaluate(S(0.5)), 5.625, 1e-12);

  struct Row {
    float balance;
    double right;
  };
  // The middle key's right balance: s- = 10, s+ = 0.
  const Row rows[] = {{100, 0}, {-100, 10}, {50, 2.5}, {-50, 7.5}, {500, -20}, {1000, -20}, {-1000, 30}, {NAN, 5}};
  for (const Row& r : rows) {
    c.KeySetAuto(1, r.balance, 0);
    EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(1), r.right) << r.balance;
    EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 5) << "the left side keeps its own balance";
  }
  // The left balance of key 1 lives on key 0.
  c.KeySetAuto(1, 0, 0);
  c.KeySetAuto(0, 0, -100);
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 10);
  EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(1), 5);
  // Auto with break evaluates as auto.
  c.KeySetAuto(1, 50, 0, true);
  EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(1), 2.5);
}

TEST(FCurveEval, TcbTangents) {
  VFCurve c;
  Fill(c, {Key(0, 0, kTcb), Key(1, 10, kTcb), Key(3, 14, kTcb)});  // s- = 10, s+ = 2 at key 1
  struct Row {
    float t, k, b;
    double out, in;
  };
  const Row rows[] = {
      {0, 0, 0, 6, 6},       // Catmull-Rom: the mean
      {0.5f, 0, 0, 3, 3},    // tension flattens
      {1, 0, 0, 0, 0},
      {0, 0.5f, 0, 0.5 * (1.5 * 10 + 0.5 * 2), 0.5 * (0.5 * 10 + 1.5 * 2)},
      {0, 0, 0.5f, 0.5 * (1.5 * 10 + 0.5 * 2), 0.5 * (1.5 * 10 + 0.5 * 2)},
      {0, 0, -0.5f, 0.5 * (0.5 * 10 + 1.5 * 2), 0.5 * (0.5 * 10 + 1.5 * 2)},
  };
  for (const Row& r : rows) {
    c.KeySetTCB(1, r.t, r.k, r.b);
    EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(1), r.out) << r.t << " " << r.k << " " << r.b;
    EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), r.in) << r.t << " " << r.k << " " << r.b;
  }
  // End keys: one-sided forms.
  c.KeySetTCB(0, 0.5f, 0, 0);
  EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(0), 5);
  c.KeySetTCB(2, 0, 0, 0.5f);
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(2), 3);
  EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(2), 3);
}

TEST(FCurveEval, LeftDerivativeFollowsTheKeyBefore) {
  VFCurve c;
  // Key 1: user after TCB takes its own right derivative.
  Fill(c, {Key(0, 0, kTcb), Key(1, 10, kUser), Key(3, 14, kUser)});
  c.KeySetTCB(0, 0.5f, 0, 0);
  c.KeySetUser(1, 7, 9);
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 7);
  // ... and 0 as the last key.
  Fill(c, {Key(0, 0, kTcb), Key(1, 10, kUser)});
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 0);
  // Break after TCB: the incoming TCB tangent with the previous key's
  // parameters (tension 0.5): 0.5 * 0.5 * (10 + 2).
  Fill(c, {Key(0, 0, kTcb), Key(1, 10, kBreak), Key(3, 14, kUser)});
  c.KeySetTCB(0, 0.5f, 0, 0);
  c.KeySetUser(1, 7, 9, true);
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 3);
  // A user key after a user key: the previous key's next-left word.
  Fill(c, {Key(0, 0, kUser), Key(1, 10, kUser), Key(3, 14, kUser)});
  c.KeySetUser(0, 1, -6);
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), -6);

  // Linear and constant keys after a cubic key follow its mode.
  Fill(c, {Key(0, 0, kUser), Key(1, 10, kLinear), Key(3, 14, kLinear)});
  c.KeySetUser(0, 1, -6);
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), -6);
  Fill(c, {Key(0, 0, kAuto), Key(1, 10, kLinear), Key(3, 14, kLinear)});
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 6);
  Fill(c, {Key(0, 0, kTcb), Key(1, 10, kLinear), Key(3, 14, kLinear)});
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 2);  // its right derivative: the next chord
  Fill(c, {Key(0, 0, kTcb), Key(1, 10, kConstant), Key(3, 14, kLinear)});
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 0);
  Fill(c, {Key(0, 0, kTcb), Key(1, 10, kLinear)});
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 0);  // linear but last

  // After constant and linear segments.
  Fill(c, {Key(0, 0, kConstant), Key(1, 10, kUser), Key(3, 14, kUser)});
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 0);
  EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(0), 0);
  Fill(c, {Key(0, 0, kLinear), Key(1, 10, kUser), Key(3, 14, kUser)});
  EXPECT_DOUBLE_EQ(c.KeyGetLeftDerivative(1), 10);
  EXPECT_DOUBLE_EQ(c.KeyGetRightDerivative(0), 10);
  // Out of range: 0.
  EXPECT_EQ(c.KeyGetLeftDerivative(-1), 0);
  EXPECT_EQ(c.KeyGetRightDerivative(3), 0);
}

// A reference for weighted segments: bisection on the time curve.
double WeightedReference(double y1, double y2, double d1, double d2, double dt, double w1, double w2, double u) {
  auto bez = [](double a, double b, double c, double d, double s) {
    const double r = 1 - s;
    return r * r * r * a + 3 * r * r * s * b + 3 * r * s * s * c + s * s * s * d;
  };
  double lo = 0, hi = 1;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    (bez(0, w1, 1 - w2, 1, mid) < u ? lo : hi) = mid;
  }
  return bez(y1, y1 + d1 * dt * w1, y2 - d2 * dt * w2, y2, 0.5 * (lo + hi));
}

TEST(FCurveEval, WeightedTangents) {
  VFCurve plain, weighted;
  Fill(plain, {Key(0, 0, kUser), Key(2, 3, kUser)});
  plain.KeySetUser(0, 1.5f, -2);
  weighted.CopyFrom(plain);
  // Both sides weighted at one third: the unweighted curve (to the weight
  // unit's precision).
  ASSERT_TRUE(weighted.KeySetWeighted(0, true, true));
  EXPECT_EQ(VFCurveRightWeightBits(weighted.KeyGetTangentData(0).word[2]), 3333);
  for (double s : {0.1, 0.5, 1.0, 1.7}) {
    EXPECT_NEAR(weighted.Evaluate(S(s)), plain.Evaluate(S(s)), 1e-4) << s;
  }
  struct Row {
    double w1, w2;
    bool right, left;
  };
  const Row rows[] = {{0.8, 0.1, true, true}, {0.05, 0.9, true, true}, {0.6, 0, true, false}, {0, 0.6, false, true}};
  for (const Row& r : rows) {
    weighted.KeySetWeighted(0, r.right, r.left);
    weighted.KeySetWeights(0, r.right ? r.w1 : 0.2, r.left ? r.w2 : 0.2);
    const double w1 = r.right ? weighted.KeyGetRightWeight(0) : 1.0 / 3;
    const double w2 = r.left ? weighted.KeyGetNextLeftWeight(0) : 1.0 / 3;
    for (double s : {0.1, 0.5, 1.0, 1.9}) {
      EXPECT_NEAR(weighted.Evaluate(S(s)), WeightedReference(0, 3, 1.5, -2, 2, w1, w2, s / 2), 1e-5)
          << r.w1 << " " << r.w2 << " at " << s;
    }
  }
  // Hostile weights keep the value finite and the parameter on the segment.
  weighted.KeySetWeighted(0, true, true);
  weighted.KeySetWeights(0, -3, 3);
  for (double s : {0.1, 0.5, 1.9}) EXPECT_TRUE(std::isfinite(weighted.Evaluate(S(s))));
}

TEST(FCurveEval, WeightsOnlyOnCubicKeysThatAreNotTcb) {
  VFCurve c;
  Fill(c, {Key(0, 0, kTcb), Key(1, 1, kLinear), Key(2, 2, kAuto)});
  EXPECT_FALSE(c.KeySetWeighted(0, true, false));
  EXPECT_FALSE(c.KeySetWeighted(1, true, false));
  EXPECT_TRUE(c.KeySetWeighted(2, false, true));
  EXPECT_EQ(c.KeyGetFlags(2) & kFCurveWeightedMask, kFCurveWeightedNextLeft);
  // Flags that claim weights where none apply lose them.
  ASSERT_TRUE(c.KeySetFlags(0, kTcb | kFCurveWeightedMask));
  EXPECT_EQ(c.KeyGetFlags(0), kTcb);
}

TEST(FCurveEval, ScaleTangentsOnlyOnUserAndBreakKeys) {
  VFCurve c;
  Fill(c, {Key(0, 0, kUser), Key(1, 1, kBreak), Key(2, 2, kAuto)});
  c.KeySetUser(0, 2, -3);
  c.KeySetUser(1, 4, 5, true);
  EXPECT_TRUE(c.KeyScaleTangents(0, 0.5f));
  EXPECT_TRUE(c.KeyScaleTangents(1, 2));
  EXPECT_FALSE(c.KeyScaleTangents(2, 2));
  EXPECT_EQ(VFCurveWordFloat(c.KeyGetTangentData(0).word[0]), 1.0f);
  EXPECT_EQ(VFCurveWordFloat(c.KeyGetTangentData(0).word[1]), -1.5f);
  EXPECT_EQ(VFCurveWordFloat(c.KeyGetTangentData(1).word[0]), 8.0f);
  EXPECT_EQ(VFCurveWordFloat(c.KeyGetTangentData(1).word[1]), 10.0f);
}

TEST(FCurveSearch, PositionsAndCache) {
  VFCurve c;
  Fill(c, {Key(0, 0), Key(1, 1), Key(3, 3)});
  struct Row {
    int start;
    VTime t;
    double position;
    int cache_after;
  };
  const Row rows[] = {
      {0, S(-1), -0.5, 0},  {2, S(-1), -0.5, 0},  {1, S(0), 0, 0},      {0, S(2), 1.5, 2},
      {2, S(2), 1.5, 1},    {0, S(3), 2, 2},      {0, S(4), 2.5, 3},    {2, S(4), 2.5, 3},
      {100, S(4), 2.5, 3},  {100, S(0.5), 0.5, 0}, {-7, S(0.5), 0.5, 1}, {1, S(1), 1, 1},
  };
  for (const Row& r : rows) {
    int cache = r.start;
    EXPECT_DOUBLE_EQ(c.KeySearch(r.t, &cache), r.position) << r.start << " " << r.t.GetTicks();
    EXPECT_EQ(cache, r.cache_after) << r.start << " " << r.t.GetTicks();
  }
  // Without a cache the curve's own moves.
  c.KeySearch(S(2));
  EXPECT_EQ(c.GetLastKeyCache(), 2);
}

// Position of a time by a plain scan from the first key.
double ScanPosition(const VFCurve& c, VTime t) {
  const int n = c.KeyGetCount();
  if (t < c.KeyGetTime(0)) return -0.5;
  for (int i = 0; i < n; ++i) {
    if (t == c.KeyGetTime(i)) return i;
    if (i + 1 < n && t < c.KeyGetTime(i + 1)) {
      return i + (t - c.KeyGetTime(i)).GetSecondDouble() / (c.KeyGetTime(i + 1) - c.KeyGetTime(i)).GetSecondDouble();
    }
  }
  return n - 0.5;
}

TEST(FCurveSearch, CachedSearchEqualsAPlainScan) {
  std::mt19937_64 rng(1234);
  VFCurve c;
  c.EditBegin();
  int64_t t = -1000000;
  for (int i = 0; i < 700; ++i) {
    t += 1 + static_cast<int64_t>(rng() % 50000000000ULL);
    c.KeyAdd(VTime(t), static_cast<float>(rng() % 1000) / 10.0f);
  }
  c.EditEnd();
  const int64_t lo = c.KeyGetTime(0).GetTicks() - 100000000000LL;
  const int64_t hi = c.KeyGetTime(699).GetTicks() + 100000000000LL;
  std::uniform_int_distribution<int64_t> pick(lo, hi);
  int cache = 0;
  for (int i = 0; i < 20000; ++i) {
    // Random jumps, keys exactly, and short steps forward and backward.
    VTime x(pick(rng));
    if (i % 5 == 1) x = c.KeyGetTime(static_cast<int>(rng() % 700));
    if (i % 5 == 2) x = VTime(x.GetTicks() + static_cast<int64_t>(rng() % 3) - 1);
    const double expected = ScanPosition(c, x);
    ASSERT_EQ(c.KeySearch(x, &cache), expected) << i;
    int fresh = static_cast<int>(rng() % 800) - 50;
    ASSERT_EQ(c.KeySearch(x, &fresh), expected) << i;
    ASSERT_EQ(c.Evaluate(x, &cache), c.ValueAtPosition(expected)) << i;
  }
  // Playback order: one frame per call.
  int play = 0;
  for (int64_t x = lo; x < hi; x += kVTimeTicksPerSecond / 30) {
    ASSERT_EQ(c.KeySearch(VTime(x), &play), ScanPosition(c, VTime(x)));
  }
}

TEST(FCurveSearch, ValueAtPositionBounds) {
  VFCurve c(9);
  EXPECT_EQ(c.ValueAtPosition(0.5), 9);
  Fill(c, {Key(0, 1, kLinear), Key(1, 3, kLinear), Key(2, 7, kLinear)});
  EXPECT_EQ(c.ValueAtPosition(-0.5), 1);
  EXPECT_EQ(c.ValueAtPosition(NAN), 1);
  EXPECT_EQ(c.ValueAtPosition(1), 3);
  EXPECT_EQ(c.ValueAtPosition(1.5), 5);
  EXPECT_EQ(c.ValueAtPosition(2.5), 7);
  EXPECT_EQ(c.ValueAtPosition(1e300), 7);
}

}  // namespace
