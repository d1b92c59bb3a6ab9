// Editing a curve: key order, refused edits, flag checks, brackets and
// change announcements.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "animation/fcurve.h"
#include "fcurve_test_util.h"

namespace {

using namespace fcurve_test;

std::vector<int64_t> Times(const VFCurve& c) {
  std::vector<int64_t> t;
  for (int i = 0; i < c.KeyGetCount(); ++i) t.push_back(c.KeyGetTime(i).GetTicks());
  return t;
}

TEST(FCurveEdit, KeysStayInStrictTimeOrder) {
  VFCurve c;
  EXPECT_EQ(c.KeyAdd(S(2), 2), 0);
  EXPECT_EQ(c.KeyAdd(S(0), 0), 0);
  EXPECT_EQ(c.KeyAdd(S(1), 1), 1);
  EXPECT_EQ(c.KeyAdd(S(3), 3), 3);
  EXPECT_EQ(c.KeyAdd(S(1), 5), 1);  // same time: the value changes
  EXPECT_EQ(c.KeyGetCount(), 4);
  EXPECT_EQ(c.KeyGetValue(1), 5);
  EXPECT_EQ(Times(c), (std::vector<int64_t>{0, S(1).GetTicks(), S(2).GetTicks(), S(3).GetTicks()}));
  // A new key is cubic auto with balances 0 and weights one third.
  EXPECT_EQ(c.KeyGetFlags(1), kAuto);
  EXPECT_EQ(c.KeyGetTangentData(1), VFCurveTangentData{});

  // Moving a key: only strictly between its neighbours.
  EXPECT_FALSE(c.KeySetTime(1, S(2)));
  EXPECT_FALSE(c.KeySetTime(1, S(0)));
  EXPECT_FALSE(c.KeySetTime(2, S(5)));
  EXPECT_TRUE(c.KeySetTime(1, S(1.5)));
  EXPECT_TRUE(c.KeySetTime(0, VTime(INT64_MIN)));
  EXPECT_TRUE(c.KeySetTime(3, VTime(INT64_MAX)));
  // Appending: only after the last key.
  EXPECT_FALSE(c.KeyAppend(Key(0, 1)));
  EXPECT_TRUE(c.KeyRemove(3));
  EXPECT_TRUE(c.KeyAppend(Key(10, 1)));
  EXPECT_FALSE(c.KeyRemove(4));
  EXPECT_FALSE(c.KeyRemove(-1));
  std::vector<int64_t> t = Times(c);
  for (size_t i = 1; i < t.size(); ++i) EXPECT_LT(t[i - 1], t[i]);
}

TEST(FCurveEdit, InsertReplacesAWholeKeyAtTheSameTime) {
  VFCurve c;
  Fill(c, {Key(0, 0), Key(1, 1), Key(2, 2)});
  VFCurveKey k = Key(1, 7, kTcb);
  k.tangent.word[0] = VFCurveFloatWord(0.25f);
  k.extra.word[1] = 99;
  EXPECT_EQ(c.KeyInsert(k), 1);
  EXPECT_EQ(c.KeyGetCount(), 3);
  VFCurveKey got = c.KeyGet(1);
  EXPECT_EQ(got.value, 7);
  EXPECT_EQ(got.flags, kTcb);
  EXPECT_EQ(got.tangent, k.tangent);
  EXPECT_EQ(got.extra, k.extra);
  EXPECT_EQ(c.KeyInsert(Key(0.5, 3)), 1);
  EXPECT_EQ(c.KeyGetCount(), 4);
}

TEST(FCurveEdit, FlagsMustNameAnInterpolationAndATangentMode) {
  VFCurve c;
  Fill(c, {Key(0, 0), Key(1, 1)});
  struct Row {
    uint32_t flags;
    bool valid;
  };
  const Row rows[] = {
      {kConstant, true}, {kConstantNext, true}, {kLinear, true},     {kAuto, true},
      {kAuto | kFCurveTangentBreak, true},      {kTcb, true},        {kUser, true},
      {kBreak, true},    {0, false},            {0x0C, false},       {0x06, false},
      {kFCurveInterpolationCubic, false},       {kFCurveInterpolationCubic | 0x300, false},
      {kFCurveInterpolationCubic | kFCurveTangentBreak, false},     {0x01, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(VFCurveKeyFlagsValid(r.flags), r.valid) << std::hex << r.flags;
    EXPECT_EQ(c.KeySetFlags(0, r.flags), r.valid) << std::hex << r.flags;
    VFCurveKey k = Key(5, 1, r.flags);
    EXPECT_EQ(c.KeyInsert(k) >= 0, r.valid);
    c.KeyRemove(2);
  }
  // A side that becomes weighted starts at one third.
  ASSERT_TRUE(c.KeySetFlags(0, kUser));
  ASSERT_TRUE(c.KeySetFlags(0, kUser | kFCurveWeightedRight));
  EXPECT_NEAR(c.KeyGetRightWeight(0), 1.0 / 3, 1e-4);
  ASSERT_TRUE(c.KeySetWeights(0, 0.75, 0.1));
  ASSERT_TRUE(c.KeySetFlags(0, kUser | kFCurveWeightedMask));
  EXPECT_NEAR(c.KeyGetRightWeight(0), 0.75, 1e-4);  // kept: it was weighted already
  EXPECT_NEAR(c.KeyGetNextLeftWeight(0), 1.0 / 3, 1e-4);
  // Linear keys carry no weights.
  ASSERT_TRUE(c.KeySetFlags(0, kLinear | kFCurveWeightedMask));
  EXPECT_EQ(c.KeyGetFlags(0), kLinear);
}

TEST(FCurveEdit, AKeyMadeConstantHoldsItsOwnValue) {
  VFCurve curve;
  int k = curve.KeyAdd(VTime(0), 1.0f);  // added as cubic auto
  curve.KeyAdd(VTime(1000), 5.0f);
  ASSERT_TRUE(curve.KeySetInterpolation(k, kFCurveInterpolationConstant));
  EXPECT_EQ(curve.Evaluate(VTime(500)), 1.0);
  ASSERT_TRUE(curve.KeySetConstantMode(k, true));
  EXPECT_EQ(curve.Evaluate(VTime(500)), 5.0);
  // Setting constant again keeps the chosen mode.
  ASSERT_TRUE(curve.KeySetInterpolation(k, kFCurveInterpolationConstant));
  EXPECT_EQ(curve.Evaluate(VTime(500)), 5.0);
}

TEST(FCurveEdit, WeightsRoundToNearest) {
  struct Row {
    double weight;
    int bits;
  };
  const Row rows[] = {{0.25, 2500},     {1.0 / 3, 3333}, {0.0, 0},          {-0.25, -2500},
                      {1e9, 32767},     {-1e9, -32768},  {NAN, 3333},       {0.00005, 0},
                      {0.00015, 1},     {3333 * kFCurveWeightUnit, 3333}};
  for (const Row& r : rows) EXPECT_EQ(VFCurveWeightFromDouble(r.weight), r.bits) << r.weight;
}

TEST(FCurveEdit, OutOfRangeIndicesAreNeutral) {
  VFCurve c;
  Fill(c, {Key(1, 4)});
  for (int i : {-1, 1, 1000}) {
    EXPECT_EQ(c.KeyGetTime(i), VTime(0));
    EXPECT_EQ(c.KeyGetValue(i), 0);
    EXPECT_EQ(c.KeyGetFlags(i), 0u);
    EXPECT_FALSE(c.KeySetValue(i, 1));
    EXPECT_FALSE(c.KeySetTime(i, S(3)));
    EXPECT_FALSE(c.KeySetFlags(i, kLinear));
    EXPECT_FALSE(c.KeySetUser(i, 1, 1));
    EXPECT_FALSE(c.KeySetAuto(i, 1, 1));
    EXPECT_FALSE(c.KeySetTCB(i, 1, 1, 1));
    EXPECT_FALSE(c.KeySetWeighted(i, true, true));
    EXPECT_FALSE(c.KeySetWeights(i, 0.5, 0.5));
    EXPECT_FALSE(c.KeyScaleTangents(i, 2));
    EXPECT_FALSE(c.KeySetConstantMode(i, true));
  }
  EXPECT_EQ(c.KeyGetCount(), 1);
}

struct Counter {
  int fired = 0;
  void OnChange(int, VEventData*, std::intptr_t) { ++fired; }
};

TEST(FCurveEdit, ChangesAreAnnouncedOncePerBracket) {
  VFCurve c;
  Counter counter;
  c.OnChange().Add<Counter, &Counter::OnChange>(&counter);
  c.KeyAdd(S(0), 1);
  EXPECT_EQ(counter.fired, 1);
  c.KeySetValue(0, 1);  // unchanged: nothing
  c.SetDefaultValue(0);
  c.SetPreExtrapolation(kFCurveExtrapolationConstant, 0);
  EXPECT_EQ(counter.fired, 1);

  c.EditBegin();
  c.EditBegin();
  for (int i = 1; i < 50; ++i) c.KeyAdd(S(i), static_cast<float>(i));
  c.EditEnd();
  EXPECT_EQ(counter.fired, 1) << "inner bracket ends: still editing";
  c.SetPostExtrapolation(kFCurveExtrapolationRepetition, -1);
  c.EditEnd();
  EXPECT_EQ(counter.fired, 2);
  c.EditEnd();  // unmatched: ignored
  EXPECT_FALSE(c.IsEditing());

  c.EditBegin();
  c.EditEnd();  // nothing changed: nothing announced
  EXPECT_EQ(counter.fired, 2);
  c.EditClear();
  EXPECT_EQ(counter.fired, 3);
  EXPECT_EQ(c.KeyGetCount(), 0);
  c.EditClear();
  EXPECT_EQ(counter.fired, 3);
  EXPECT_EQ(c.GetChangeCount(), 3u);
}

TEST(FCurveEdit, CopyTakesKeysAndSettings) {
  VFCurve a(3), b;
  Fill(a, {Key(0, 1, kTcb), Key(1, 2, kUser)});
  a.KeySetTCB(0, 0.1f, 0.2f, 0.3f);
  a.SetPreExtrapolation(3, 4);
  a.SetPostExtrapolation(4, -1);
  a.SetColor(0x11223344);
  b.CopyFrom(a);
  ASSERT_EQ(b.KeyGetCount(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(b.KeyGetTime(i), a.KeyGetTime(i));
    EXPECT_EQ(b.KeyGetFlags(i), a.KeyGetFlags(i));
    EXPECT_EQ(b.KeyGetTangentData(i), a.KeyGetTangentData(i));
  }
  EXPECT_EQ(b.GetDefaultValue(), 3);
  EXPECT_EQ(b.GetPreExtrapolation(), 3);
  EXPECT_EQ(b.GetPreExtrapolationCount(), 4);
  EXPECT_EQ(b.GetPostExtrapolation(), 4);
  EXPECT_EQ(b.GetPostExtrapolationCount(), -1);
  EXPECT_EQ(b.GetColor(), 0x11223344u);
}

}  // namespace
