// Animation nodes: data sizes, time warps and evaluation through a tree.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "animation/fcurve_node.h"
#include "fcurve_test_util.h"

namespace {

using fcurve_test::S;

std::unique_ptr<VFCurveNode> Leaf(const char* name, bool with_curve = true) {
  auto node = std::make_unique<VFCurveNode>(name);
  if (with_curve) node->MakeCurve();
  return node;
}

// A leaf whose value equals its node time in seconds.
std::unique_ptr<VFCurveNode> Clock(const char* name) {
  auto node = Leaf(name);
  VFCurve* c = node->GetCurve();
  int k = c->KeyAdd(S(0), 0.0f);
  c->KeySetInterpolation(k, kFCurveInterpolationLinear);
  c->KeyAdd(S(100), 100.0f);
  c->SetPreExtrapolation(kFCurveExtrapolationKeepSlope, 0);
  c->SetPostExtrapolation(kFCurveExtrapolationKeepSlope, 0);
  return node;
}

TEST(FCurveNodeTest, DataSizeCountsTheCurvesOfTheLeaves) {
  auto transform = std::make_unique<VFCurveNode>("Transform");
  VFCurveNode* t = transform->AddChild(std::make_unique<VFCurveNode>("T"));
  VFCurveNode* r = transform->AddChild(std::make_unique<VFCurveNode>("R"));
  for (const char* axis : {"X", "Y", "Z"}) {
    t->AddChild(Leaf(axis));
    r->AddChild(Leaf(axis));
  }
  r->AddChild(Leaf("W", false));  // a leaf without a curve reads nothing
  EXPECT_EQ(Leaf("V")->GetDataSize(), 1);
  EXPECT_EQ(Leaf("V", false)->GetDataSize(), 0);
  EXPECT_EQ(t->GetDataSize(), 3);
  EXPECT_EQ(r->GetDataSize(), 3);
  EXPECT_EQ(transform->GetDataSize(), 6);
  EXPECT_EQ(transform->FindChild("R"), r);
  EXPECT_EQ(transform->FindChild("S"), nullptr);
  EXPECT_EQ(transform->GetChild(2), nullptr);
  EXPECT_EQ(transform->AddChild(nullptr), nullptr);
  EXPECT_EQ(transform->GetChildCount(), 2);
}

TEST(FCurveNodeTest, UserNameFallsBackToTheName) {
  VFCurveNode node("T");
  EXPECT_EQ(node.GetUserName(), "T");
  node.SetUserName("Translation");
  EXPECT_EQ(node.GetUserName(), "Translation");
  EXPECT_EQ(node.GetName(), "T");
}

TEST(FCurveNodeTest, TimeWarpConvertsGlobalToNodeTime) {
  struct Case {
    const char* what;
    VTime offset;
    double scale;
    VTime global;
    VTime node;
    int64_t slack = 0;  // ticks of rounding the double division may cost
  };
  const Case cases[] = {
      {"offset only", S(1), 1.0, S(3), S(2)},
      {"half speed", S(1), 2.0, S(3), S(1)},
      {"double speed", S(0), 0.5, S(3), S(6)},
      {"negative scale", S(0), -2.0, S(3), S(-1.5)},
      // A scale of exactly 0 divides by 0.000001.
      {"zero scale", VTime(0), 0.0, S(3), S(3000000), 1000},
      // Ticks are truncated toward zero, not floored.
      {"truncated", VTime(0), 3.0, VTime(-2), VTime(0)},
      {"truncated positive", VTime(0), 3.0, VTime(5), VTime(1)},
      // Scale 1 does no division in doubles, so large times stay exact.
      {"exact", VTime(1), 1.0, VTime((int64_t{1} << 60) + 3), VTime((int64_t{1} << 60) + 2)},
  };
  for (const Case& c : cases) {
    VFCurveNode node("V");
    EXPECT_EQ(node.GlobalToNode(c.global), c.global) << c.what << ": no warp";
    node.SetTimeWarp(c.offset, c.scale);
    EXPECT_TRUE(node.HasTimeWarp());
    int64_t got = node.GlobalToNode(c.global).GetTicks();
    EXPECT_LE(std::llabs(got - c.node.GetTicks()), c.slack) << c.what << ": " << got << " vs " << c.node.GetTicks();
  }
}

TEST(FCurveNodeTest, NodeToGlobalUndoesTheWarp) {
  const double scales[] = {1.0, 2.0, 0.25, -4.0};
  for (double scale : scales) {
    VFCurveNode node("V");
    node.SetTimeWarp(S(1.5), scale);
    for (double seconds : {-2.0, 0.0, 0.5, 10.0}) {
      EXPECT_EQ(node.NodeToGlobal(node.GlobalToNode(S(seconds))).GetTicks(), S(seconds).GetTicks())
          << scale << " " << seconds;
    }
  }
  VFCurveNode exact("V");
  exact.SetTimeWarp(VTime(5), 1.0);
  VTime big((int64_t{1} << 61) + 1);
  EXPECT_EQ(exact.NodeToGlobal(big).GetTicks(), big.GetTicks() + 5);
}

TEST(FCurveNodeTest, ANodeWithoutWarpUsesItsFirstChildsWarp) {
  VFCurveNode vector("T");
  VFCurveNode* x = vector.AddChild(Leaf("X"));
  vector.AddChild(Leaf("Y"))->SetTimeWarp(S(5), 1.0);
  EXPECT_EQ(vector.GlobalToNode(S(2)), S(2));
  x->SetTimeWarp(S(1), 1.0);
  EXPECT_EQ(vector.GlobalToNode(S(2)), S(1));
  EXPECT_EQ(vector.NodeToGlobal(S(1)), S(2));
  vector.SetTimeWarp(S(-1), 1.0);  // its own warp wins
  EXPECT_EQ(vector.GlobalToNode(S(2)), S(3));
}

TEST(FCurveNodeTest, EvaluateAppliesEveryWarpOnThePath) {
  VFCurveNode root("Transform");
  VFCurveNode* t = root.AddChild(std::make_unique<VFCurveNode>("T"));
  VFCurveNode* x = t->AddChild(Clock("X"));
  t->AddChild(Clock("Y"));
  t->AddChild(std::make_unique<VFCurveNode>("Z"))->MakeCurve()->SetDefaultValue(7.0f);
  double out[3] = {0, 0, 0};
  ASSERT_EQ(t->Evaluate(S(4), out, 3), 3);
  EXPECT_DOUBLE_EQ(out[0], 4.0);
  EXPECT_DOUBLE_EQ(out[1], 4.0);
  EXPECT_DOUBLE_EQ(out[2], 7.0);

  // Offsets add along the path; scales divide in turn.
  root.SetTimeWarp(S(1), 1.0);
  t->SetTimeWarp(S(0), 2.0);
  x->SetTimeWarp(S(0.5), 1.0);
  ASSERT_EQ(root.Evaluate(S(9), out, 3), 3);
  EXPECT_NEAR(out[0], 3.5, 1e-6);  // ((9 - 1) / 2) - 0.5
  EXPECT_NEAR(out[1], 4.0, 1e-6);

  // The buffer bounds what is written.
  double one[1] = {0};
  EXPECT_EQ(t->Evaluate(S(0), one, 1), 1);
  EXPECT_EQ(t->Evaluate(S(0), one, 0), 0);
}

TEST(FCurveNodeTest, ReadsAtItsClock) {
  auto node = Clock("V");
  double value = -1;
  EXPECT_FALSE(node->ReadAnimatedValues(&value, 1));  // no clock yet
  VTime clock = S(2.5);
  node->SetClock(&clock);
  ASSERT_TRUE(node->ReadAnimatedValues(&value, 1));
  EXPECT_DOUBLE_EQ(value, 2.5);
  clock = S(1);
  ASSERT_TRUE(node->ReadAnimatedValues(&value, 1));
  EXPECT_DOUBLE_EQ(value, 1.0);
  double two[2];
  EXPECT_FALSE(node->ReadAnimatedValues(two, 2));  // asks for more than the node gives
}

}  // namespace
