// The public curve and key handles: the key properties through every
// tangent mode, the refusals that keep a curve valid, and the animation
// node handle over a take's channels and a bound property.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "animation/fcurve.h"
#include "animation/fcurve_node.h"
#include "animation/take_list.h"
#include "scene/model.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/yr_animation_node.h"
#include "sdk/yr_fcurve.h"

namespace {

using namespace YrSDK;

constexpr std::int64_t kSecond = 46186158000LL;

YrTime Seconds(double s) { return YrTime(static_cast<std::int64_t>(s * kSecond)); }

TEST(YrFCurveTest, UserDerivativesAreStoredWhereEvaluationReadsThem) {
  VFCurve engine;
  YrFCurve curve(&engine);
  ASSERT_EQ(curve.KeyAdd(Seconds(0), 0.0f), 0);
  ASSERT_EQ(curve.KeyAdd(Seconds(1), 1.0f), 1);
  YrFCurveKey first = curve.KeyGet(0), second = curve.KeyGet(1);
  // Auto keys keep balances, not slopes: derivatives cannot be set.
  EXPECT_FALSE(first.SetRightDerivative(3.0f));
  EXPECT_FALSE(second.SetLeftDerivative(3.0f));

  ASSERT_TRUE(first.SetTangentMode(kYrTangentModeUser));
  ASSERT_TRUE(first.SetRightDerivative(0.0f));
  // The second key's own mode decides whether the slope kept for it counts.
  EXPECT_FALSE(second.SetLeftDerivative(0.0f));
  ASSERT_TRUE(second.SetTangentMode(kYrTangentModeUser));
  ASSERT_TRUE(second.SetLeftDerivative(0.0f));  // kept by the first key
  EXPECT_DOUBLE_EQ(curve.Evaluate(Seconds(0.5)), 0.5);  // a symmetric ease
  ASSERT_TRUE(first.SetRightDerivative(3.0f));
  EXPECT_DOUBLE_EQ(first.GetRightDerivative(), 3.0);
  EXPECT_DOUBLE_EQ(second.GetLeftDerivative(), 0.0);
  // Bezier 0, 1, 1, 1 at one half.
  EXPECT_DOUBLE_EQ(curve.Evaluate(Seconds(0.5)), 0.875);
  EXPECT_FALSE(first.SetLeftDerivative(1.0f));  // nothing before the first key keeps it
  EXPECT_EQ(first.GetTangentMode(), kYrTangentModeUser);
  ASSERT_TRUE(first.SetTangentMode(kYrTangentModeUser | kYrTangentModeBreak));
  EXPECT_EQ(first.GetTangentMode(), kYrTangentModeUser | kYrTangentModeBreak);
  EXPECT_DOUBLE_EQ(first.GetRightDerivative(), 3.0);  // the slopes stay
}

TEST(YrFCurveTest, SwitchingTangentModesKeepsTheCurvesShape) {
  VFCurve engine;
  YrFCurve curve(&engine);
  curve.KeyAdd(Seconds(0), 0.0f);
  curve.KeyAdd(Seconds(1), 10.0f);
  curve.KeyAdd(Seconds(3), 10.0f);
  curve.KeyAdd(Seconds(4), 2.0f);
  EXPECT_DOUBLE_EQ(curve.KeyGet(1).GetLeftDerivative(), 5.0);  // the mean of the chords 10 and 0
  std::vector<double> times, before;
  for (double t = -0.5; t <= 4.5; t += 0.125) {
    times.push_back(t);
    before.push_back(curve.Evaluate(Seconds(t)));
  }
  auto expectSameShape = [&](const char* step) {
    for (std::size_t i = 0; i < times.size(); ++i) {
      EXPECT_NEAR(curve.Evaluate(Seconds(times[i])), before[i], 1e-5) << step << " at " << times[i];
    }
  };
  ASSERT_TRUE(curve.KeyGet(1).SetTangentMode(kYrTangentModeUser));
  expectSameShape("key 1 user");
  ASSERT_TRUE(curve.KeyGet(2).SetTangentMode(kYrTangentModeUser | kYrTangentModeBreak));
  expectSameShape("key 2 user with break");
  ASSERT_TRUE(curve.KeyGet(1).SetTangentMode(kYrTangentModeAuto));
  expectSameShape("key 1 auto again");
  ASSERT_TRUE(curve.KeyGet(0).SetTangentMode(kYrTangentModeUser));
  ASSERT_TRUE(curve.KeyGet(3).SetTangentMode(kYrTangentModeUser));
  expectSameShape("the end keys user");
  EXPECT_FALSE(curve.KeyGet(1).SetTangentMode(0x300));  // not a tangent mode
  EXPECT_FALSE(curve.KeyGet(1).SetTangentMode(kYrTangentModeTCB | kYrTangentModeBreak));
}

TEST(YrFCurveTest, TensionContinuityAndBiasBelongToTCBKeys) {
  VFCurve engine;
  YrFCurve curve(&engine);
  curve.KeyAdd(Seconds(0), 0.0f);
  curve.KeyAdd(Seconds(1), 1.0f);
  YrFCurveKey key = curve.KeyGet(0);
  EXPECT_FALSE(key.SetTension(0.5f));
  EXPECT_EQ(key.GetTension(), 0.0f);
  ASSERT_TRUE(key.SetTangentMode(kYrTangentModeTCB));
  ASSERT_TRUE(key.SetTension(0.5f));
  ASSERT_TRUE(key.SetContinuity(-0.25f));
  ASSERT_TRUE(key.SetBias(0.75f));
  EXPECT_EQ(key.GetTension(), 0.5f);
  EXPECT_EQ(key.GetContinuity(), -0.25f);
  EXPECT_EQ(key.GetBias(), 0.75f);
  // The first TCB key leaves with (1 - t)(1 - c)(1 - b) times the chord.
  EXPECT_NEAR(key.GetRightDerivative(), 0.5 * 1.25 * 0.25, 1e-6);
  ASSERT_TRUE(key.SetInterpolation(kYrInterpolationLinear));
  EXPECT_EQ(key.GetTangentMode(), 0);  // only cubic keys have one
  EXPECT_FALSE(key.SetBias(0.1f));
  EXPECT_FALSE(key.SetTangentMode(kYrTangentModeAuto));
}

TEST(YrFCurveTest, KeysKeepTheirOrderAndInterpolationsHold) {
  VFCurve engine;
  YrFCurve curve(&engine);
  curve.EditBegin();
  curve.KeyAdd(Seconds(0), 0.0f);
  curve.KeyAdd(Seconds(1), 10.0f);
  curve.KeyAdd(Seconds(2), 20.0f);
  curve.EditEnd();
  EXPECT_EQ(engine.GetChangeCount(), 1u);
  YrFCurveKey first = curve.KeyGet(0);
  EXPECT_FALSE(curve.KeyGet(1).SetTime(Seconds(2)));  // not strictly between its neighbours
  EXPECT_TRUE(curve.KeyGet(1).SetTime(Seconds(1.5)));
  EXPECT_EQ(curve.KeyGet(1).GetTime().Get(), Seconds(1.5).Get());
  ASSERT_TRUE(first.SetInterpolation(kYrInterpolationConstant));
  EXPECT_EQ(first.GetInterpolation(), kYrInterpolationConstant);
  EXPECT_DOUBLE_EQ(curve.Evaluate(Seconds(1.2)), 0.0);
  ASSERT_TRUE(first.SetInterpolation(kYrInterpolationLinear));
  EXPECT_DOUBLE_EQ(curve.Evaluate(Seconds(0.75)), 5.0);
  EXPECT_TRUE(first.SetValue(4.0f));
  EXPECT_EQ(first.GetValue(), 4.0f);
  EXPECT_TRUE(curve.KeyRemove(0));
  EXPECT_FALSE(curve.KeyGet(2).IsValid());
  EXPECT_FALSE(YrFCurveKey(&engine, 2).SetValue(1.0f));  // past the end now
  curve.EditClear();
  EXPECT_EQ(curve.KeyGetCount(), 0);
  ASSERT_TRUE(curve.SetDefaultValue(7.0f));
  EXPECT_DOUBLE_EQ(curve.Evaluate(Seconds(3)), 7.0);
}

TEST(YrFCurveTest, EmptyHandlesAnswerNeutralValues) {
  YrFCurve none;
  EXPECT_EQ(none.KeyAdd(Seconds(1), 1.0f), -1);
  EXPECT_EQ(none.Evaluate(Seconds(1)), 0.0);
  EXPECT_FALSE(none.KeyGet(0).IsValid());
  none.EditBegin();
  none.EditEnd();
  YrFCurveKey key;
  EXPECT_FALSE(key.SetValue(1.0f));
  EXPECT_FALSE(key.SetTangentMode(kYrTangentModeUser));
  EXPECT_EQ(key.GetTime().Get(), 0);
  EXPECT_EQ(key.GetRightDerivative(), 0.0);
  YrAnimationNode node;
  EXPECT_EQ(node.GetNodeCount(), 0);
  EXPECT_FALSE(node.GetFCurve().IsValid());
  double out = -1;
  EXPECT_EQ(node.ReadData(Seconds(1), &out, 1), 0);
  EXPECT_EQ(out, -1);
  EXPECT_FALSE(YrAnimationNode::OfProperty(YrProperty()).IsValid());
  EXPECT_FALSE(YrAnimationNode::FindChannel(YrTake(), "Model::Cube", "Transform").IsValid());
}

std::unique_ptr<VFCurveNode> Ramp(const std::string& name, float from, float to) {
  auto node = std::make_unique<VFCurveNode>(name);
  VFCurve* curve = node->MakeCurve();
  curve->KeyAdd(VTime(0), from);
  curve->KeyAdd(VTime(kSecond), to);
  curve->KeySetInterpolation(0, kFCurveInterpolationLinear);
  return node;
}

TEST(YrAnimationNodeTest, ReachesATakesChannelsAndTheNodeThatFeedsAProperty) {
  VModel model("Cube", "Null");
  VTime clock(kSecond / 2);
  VTakeList takes;
  takes.SetBinding([&](const std::string& name) -> VObject* { return name == "Model::Cube" ? &model : nullptr; },
                   &clock);
  VTake* walk = takes.Create("Walk");
  auto transform = std::make_unique<VFCurveNode>("Transform");
  VFCurveNode* t = transform->AddChild(std::make_unique<VFCurveNode>("T"));
  t->AddChild(Ramp("X", 0, 10));
  t->AddChild(Ramp("Y", 0, 20));
  t->AddChild(Ramp("Z", 0, 30));
  walk->AddModel("Model::Cube")->channels.push_back(std::move(transform));
  takes.SetCurrent(walk);

  const YrAnimationNode channel = YrAnimationNode::FindChannel(YrTake(walk), "Model::Cube", "Transform");
  ASSERT_TRUE(channel.IsValid());
  const YrAnimationNode translation = channel.FindNode("T");
  EXPECT_EQ(translation.GetNodeCount(), 3);
  EXPECT_EQ(translation.GetDataSize(), 3);
  EXPECT_EQ(translation.GetKeyCount(), 0);  // an inner node has no curve of its own
  EXPECT_EQ(translation.GetNode(1).GetName(), "Y");
  EXPECT_EQ(translation.GetNode(1).GetKeyCount(), 2);
  double values[4] = {-1, -1, -1, -1};
  EXPECT_EQ(translation.ReadData(Seconds(0.5), values, 4), 3);
  EXPECT_DOUBLE_EQ(values[1], 10.0);
  EXPECT_EQ(values[3], -1);

  // The property reads the same node (through its flattened channel).
  const YrAnimationNode fed = YrAnimationNode::OfProperty(YrProperty(model.FindProperty("Lcl Translation")));
  EXPECT_EQ(YrEngineHandles::CurveNode(fed), t);
  // Editing through the handle reaches what the property reads.
  ASSERT_TRUE(fed.GetNode(0).GetFCurve().KeyGet(1).SetValue(100.0f));
  double xyz[3] = {};
  ASSERT_TRUE(model.FindProperty("Lcl Translation")->GetDoubles(xyz, 3));
  EXPECT_DOUBLE_EQ(xyz[0], 50.0);

  t->SetTimeWarp(VTime(kSecond), 2.0);
  EXPECT_EQ(translation.GlobalToNode(Seconds(3)).Get(), kSecond);
  EXPECT_EQ(translation.NodeToGlobal(YrTime(kSecond)).Get(), 3 * kSecond);
  EXPECT_FALSE(YrAnimationNode::FindChannel(YrTake(walk), "Model::Cube", "Visibility").IsValid());
}

}  // namespace
