// Bound channels: what a property reads through during playback must be the
// curve's own value to the last bit, forwards, backwards and at random
// times, and must follow edits made after binding.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>

#include "animation/bound_channel.h"
#include "fcurve_test_util.h"

namespace {

using namespace fcurve_test;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Three curves that between them use every interpolation, tangent mode and
// extrapolation; keys placed off whole frames so segments end mid-frame.
std::unique_ptr<VFCurveNode> MixedNode() {
  auto node = std::make_unique<VFCurveNode>("T");
  const char* axes[] = {"X", "Y", "Z"};
  for (const char* axis : axes) node->AddChild(std::make_unique<VFCurveNode>(axis))->MakeCurve();
  VFCurve& x = *node->GetChild(0)->GetCurve();
  Fill(x, {Key(0, 0, kConstant), Key(0.3, 2, kConstantNext), Key(0.61, 4, kLinear), Key(1.0, -1, kAuto),
           Key(1.7, 3, kTcb), Key(2.2, 1, kUser), Key(2.9, 5, kBreak), Key(3.4, 0)});
  x.SetPreExtrapolation(kFCurveExtrapolationConstant, 0);
  x.SetPostExtrapolation(kFCurveExtrapolationConstant, 0);
  VFCurve& y = *node->GetChild(1)->GetCurve();
  Fill(y, {Key(0.1, 1, kAuto), Key(0.9, 3, kAuto), Key(1.6, -2, kLinear), Key(2.5, 0)});
  y.KeySetWeighted(1, true, true);
  y.KeySetWeights(1, 0.6, 0.2);
  y.SetPreExtrapolation(kFCurveExtrapolationMirrorRepetition, kFCurveRepetitionUnlimited);
  y.SetPostExtrapolation(kFCurveExtrapolationKeepSlope, 0);
  VFCurve& z = *node->GetChild(2)->GetCurve();
  Fill(z, {Key(0.5, 7)});  // one key: the same value everywhere
  return node;
}

void ExpectSameAsCurves(const VFCurveNode& node, const VBoundChannel& channel, VTime& clock, VTime at) {
  clock = at;
  double read[3];
  ASSERT_TRUE(channel.ReadAnimatedValues(read, 3));
  for (int i = 0; i < 3; ++i) {
    const double expected = node.GetChild(i)->GetCurve()->Evaluate(at);
    ASSERT_TRUE(SameBits(read[i], expected)) << "curve " << i << " at " << at.GetTicks() << ": " << read[i]
                                             << " vs " << expected;
  }
}

TEST(VBoundChannelTest, PlaybackReadsTheCurvesValuesExactly) {
  auto node = MixedNode();
  ASSERT_TRUE(VBoundChannel::CanFlatten(*node));
  VTime clock;
  VBoundChannel channel(node.get(), &clock);
  const int64_t frame = 1539538600;  // 30 frames per second
  for (int64_t f = -40; f <= 150; ++f) ExpectSameAsCurves(*node, channel, clock, VTime(f * frame + f % 7));
  for (int64_t f = 150; f >= -40; --f) ExpectSameAsCurves(*node, channel, clock, VTime(f * frame / 3));
  // Exactly on keys and one tick to either side.
  for (double key : {0.0, 0.3, 0.61, 1.0, 1.7, 2.2, 2.9, 3.4}) {
    for (int64_t d : {-1, 0, 1}) ExpectSameAsCurves(*node, channel, clock, VTime(S(key).GetTicks() + d));
  }
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int64_t> ticks(-S(2).GetTicks(), S(6).GetTicks());
  for (int i = 0; i < 2000; ++i) ExpectSameAsCurves(*node, channel, clock, VTime(ticks(random)));
}

TEST(VBoundChannelTest, EditsAfterBindingAreFollowed) {
  auto node = MixedNode();
  VTime clock(S(1.2).GetTicks());
  VBoundChannel channel(node.get(), &clock);
  double before[3], after[3];
  ASSERT_TRUE(channel.ReadAnimatedValues(before, 3));
  node->GetChild(0)->GetCurve()->KeySetValue(4, 30.0f);  // the key ending the current segment
  ASSERT_TRUE(channel.ReadAnimatedValues(after, 3));
  EXPECT_NE(before[0], after[0]);
  EXPECT_TRUE(SameBits(after[0], node->GetChild(0)->GetCurve()->Evaluate(clock)));
  // A count that does not match the curves is refused.
  double two[2];
  EXPECT_FALSE(channel.ReadAnimatedValues(two, 2));
  // A time warp added later sends the reads through the node again.
  node->GetChild(1)->SetTimeWarp(VTime(S(0.5).GetTicks()), 1.0);
  double warped[3];
  ASSERT_TRUE(channel.ReadAnimatedValues(warped, 3));
  double expected[3];
  ASSERT_EQ(node->Evaluate(clock, expected, 3), 3);
  EXPECT_TRUE(SameBits(warped[1], expected[1]));
  EXPECT_FALSE(VBoundChannel::CanFlatten(*node));
}

}  // namespace
