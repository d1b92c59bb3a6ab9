// Transform nodes: local matrices with pivots, limits and pre/post rotation,
// the three inherit types, look-at, geometric offsets, the caches, and
// hostile hierarchies (cycles, very deep chains, non-finite values).

#include <gtest/gtest.h>
#include <pthread.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "animation/player_control.h"
#include "core/evaluation_serial.h"
#include "scene/matrix_functions.h"
#include "scene/model.h"
#include "support/matrix_expect.h"
#include "scene/scene.h"
#include "tools/zyn/demo_support.h"

namespace {

using namespace YrSDK;
using testing_support::AllFinite;
using testing_support::MatrixNear;
using V3 = YrVector3<double>;
using V4 = YrVector4<double>;

V3 Apply(const YrMatrix& m, V3 p) {
  V4 out;
  YrVectorMatrixMult(out, m, V4{p.x, p.y, p.z, 1.0});
  return {out.x, out.y, out.z};
}

void ExpectNear(V3 a, V3 b, double tolerance = 1e-9) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

std::unique_ptr<VModel> Node(const char* name, VDouble3 t = {0, 0, 0}, VDouble3 r = {0, 0, 0},
                             VDouble3 s = {1, 1, 1}) {
  auto node = std::make_unique<VModel>(name, "Null");
  node->TranslationProperty()->Set(t);
  node->RotationProperty()->Set(r);
  node->ScalingProperty()->Set(s);
  return node;
}

YrMatrix TRS(V3 t, V3 r, V3 s) {
  YrMatrix m;
  YrTRSToMatrix(m, V4{t.x, t.y, t.z, 1.0}, r, s);
  return m;
}

TEST(VTransformNodeTest, PropertiesComeInTheirOrderWithTheirDefaults) {
  VModel node("N", "Null");
  ASSERT_EQ(node.GetProperty(0)->GetName(), "QuaternionInterpolate");
  EXPECT_EQ(node.GetProperty(1)->GetName(), "Visibility");
  EXPECT_EQ(node.GetProperty(2)->GetName(), "Lcl Translation");
  EXPECT_EQ(node.FindProperty("AxisLen")->GetDoubleValue(), 10.0);
  EXPECT_EQ(node.FindProperty("ReferentialSize")->GetDoubleValue(), 12.0);
  EXPECT_EQ(node.FindProperty("PivotsVisibility")->GetIntValue(), 1);
  EXPECT_EQ(node.FindProperty("PivotsVisibility")->GetEnumItem(1), "Visible when Selected");
  EXPECT_EQ(node.FindProperty("RotationOrder")->GetEnumItem(6), "Spheric XYZ");
  EXPECT_EQ(node.FindProperty("InheritType")->GetEnumItem(1), "Parent (RSrs)");
  EXPECT_EQ(node.FindProperty("CullingMode")->GetEnumItem(2), "Inner (Clockwise)");
  EXPECT_EQ(node.GetProperty(node.GetPropertyCount() - 1)->GetName(), "ShowTrajectories");
  EXPECT_TRUE(node.FindProperty("Lcl Rotation")->IsAnimatable());
  EXPECT_FALSE(node.FindProperty("PreRotation")->IsAnimatable());
  EXPECT_TRUE(MatrixNear(node.GetMatrix(kVSpaceLocal), YrMatrix{}, 0.0));
  EXPECT_TRUE(MatrixNear(node.GetMatrix(kVSpaceGlobal), YrMatrix{}, 0.0));
  EXPECT_TRUE(node.IsVisible());
}

TEST(VTransformNodeTest, EachPositionHoldsItsPropertyAndEvaluationMakesNone) {
  VModel node("N", "Null");
  VModel parent("P", "Null");
  ASSERT_EQ(node.GetPropertyCount(), VTransformNode::kTransformPropertyCount);
  auto made = [](const VObject& o) {
    int count = 0;
    for (int i = 0; i < o.GetPropertyCount(); ++i) count += o.GetPropertyIfMade(i) != nullptr;
    return count;
  };
  parent.TranslationProperty()->Set({0, 5, 0});
  ASSERT_TRUE(node.SetParent(&parent));
  EXPECT_TRUE(node.IsVisible());
  EXPECT_EQ(node.GetRotationOrder(), kYrEulerXYZ);
  EXPECT_EQ(node.GetInheritType(), kVInheritRrSs);
  EXPECT_EQ(node.GetLimit(1).flags, 0u);
  EXPECT_EQ(node.GetMatrix(kVSpaceGlobal)[13], 5.0);
  EXPECT_EQ(made(node), 0);
  EXPECT_EQ(made(parent), 1);

  // The positions the node reads name the properties they should.
  const std::pair<VProperty*, const char*> expected[] = {
      {node.VisibilityProperty(), "Visibility"},
      {node.ScalingProperty(), "Lcl Scaling"},
      {node.ScalingPivotProperty(), "ScalingPivot"},
      {node.RotationOrderProperty(), "RotationOrder"},
      {node.RotationSpaceForLimitOnlyProperty(), "RotationSpaceForLimitOnly"},
      {node.PostRotationProperty(), "PostRotation"},
      {node.InheritTypeProperty(), "InheritType"},
      {node.GeometricScalingProperty(), "GeometricScaling"},
      {node.LookAtProperty(), "LookAtProperty"},
      {node.UpVectorProperty(), "UpVectorProperty"},
      {node.ShowProperty(), "Show"},
      {node.LimitActiveProperty(0), "TranslationActive"},
      {node.LimitMaxProperty(1), "RotationMax"},
      {node.LimitEnableProperty(1, 0), "RotationMinX"},
      {node.LimitEnableProperty(2, 5), "ScalingMaxZ"},
  };
  for (const auto& [property, name] : expected) EXPECT_EQ(property->GetName(), name);
  // Values set on made properties are what evaluation reads.
  node.RotationOrderProperty()->Set(kYrEulerZYX);
  node.ShowProperty()->Set(0);
  EXPECT_EQ(node.GetRotationOrder(), kYrEulerZYX);
  EXPECT_FALSE(node.IsVisible());
  // The class's properties keep their places: they cannot be removed.
  EXPECT_FALSE(node.RemoveProperty(node.ShowProperty()));
}

TEST(VTransformNodeTest, LocalMatrixIsScalingThenRotationThenTranslation) {
  auto node = Node("N", {1, 2, 3}, {10, 20, 30}, {2, 3, 4});
  EXPECT_TRUE(MatrixNear(node->GetMatrix(kVSpaceLocal), TRS({1, 2, 3}, {10, 20, 30}, {2, 3, 4})));
  node->RotationOrderProperty()->Set(kYrEulerZYX);
  YrMatrix r;
  YrEulerToMatrix(r, {10, 20, 30}, kYrEulerZYX);
  EXPECT_TRUE(MatrixNear(node->GetRotationMatrix(kVSpaceLocal), r));
  ExpectNear(node->GetRotation(kVSpaceLocal), {10, 20, 30});
}

TEST(VTransformNodeTest, PivotsStayInPlace) {
  // A point at the rotation pivot does not move when the node turns about it.
  auto node = Node("N", {0, 0, 0}, {0, 0, 90});
  node->RotationPivotProperty()->Set({1, 0, 0});
  ExpectNear(Apply(node->GetMatrix(kVSpaceLocal), {1, 0, 0}), {1, 0, 0});
  // The same for a scaling about its pivot; offsets add as translations.
  auto scaled = Node("S", {0, 0, 0}, {0, 0, 0}, {2, 2, 2});
  scaled->ScalingPivotProperty()->Set({1, 1, 1});
  ExpectNear(Apply(scaled->GetMatrix(kVSpaceLocal), {1, 1, 1}), {1, 1, 1});
  ExpectNear(Apply(scaled->GetMatrix(kVSpaceLocal), {0, 0, 0}), {-1, -1, -1});
  scaled->RotationOffsetProperty()->Set({5, 0, 0});
  scaled->ScalingOffsetProperty()->Set({0, 7, 0});
  ExpectNear(Apply(scaled->GetMatrix(kVSpaceLocal), {1, 1, 1}), {6, 8, 1});
  EXPECT_EQ(scaled->GetPivots().flags, unsigned{kVPivotRotationOffset | kVPivotScalingOffset | kVPivotScalingPivot});
  // Setting a translation that includes the pivots takes them off again.
  node->SetTranslation(kVSpaceLocal, V4{3, 4, 5, 1});
  const YrMatrix& m = node->GetMatrix(kVSpaceLocal);
  ExpectNear({m[12], m[13], m[14]}, {3, 4, 5});
  ExpectNear({node->TranslationProperty()->Get()[0], node->TranslationProperty()->Get()[1], 5}, {2, 5, 5});
}

TEST(VTransformNodeTest, LimitsClampAxisByAxisAndMaximumWins) {
  auto node = Node("N", {-5, 50, 3}, {0, 0, 0}, {1, 1, 1});
  node->LimitMinProperty(0)->Set({10, 0, 0});
  node->LimitMaxProperty(0)->Set({0, 20, 0});
  node->LimitEnableProperty(0, 0)->Set(1);  // MinX
  node->LimitEnableProperty(0, 3)->Set(1);  // MaxX
  node->LimitEnableProperty(0, 4)->Set(1);  // MaxY
  const YrMatrix& off = node->GetMatrix(kVSpaceLocal);
  EXPECT_EQ(off[12], -5.0);  // not active yet
  node->LimitActiveProperty(0)->Set(1);
  const YrMatrix& m = node->GetMatrix(kVSpaceLocal);
  EXPECT_EQ(m[12], 0.0);  // min 10 then max 0: the maximum wins
  EXPECT_EQ(m[13], 20.0);
  EXPECT_EQ(m[14], 3.0);

  // Rotation limits clamp the angles directly.
  auto turning = Node("R", {0, 0, 0}, {0, 0, 75});
  turning->LimitMaxProperty(1)->Set({0, 0, 45});
  turning->LimitEnableProperty(1, 5)->Set(1);
  turning->LimitActiveProperty(1)->Set(1);
  ExpectNear(turning->GetRotation(kVSpaceLocal), {0, 0, 45});
}

TEST(VTransformNodeTest, PreAndPostRotationWrapTheAnimatedRotation) {
  auto node = Node("N", {0, 0, 0}, {0, 30, 0});
  node->PreRotationProperty()->Set({90, 0, 0});
  node->PostRotationProperty()->Set({0, 0, 20});
  YrMatrix plain;
  YrEulerToMatrix(plain, {0, 30, 0}, kYrEulerXYZ);
  EXPECT_TRUE(MatrixNear(node->GetRotationMatrix(kVSpaceLocal), plain));  // inactive: plain Euler
  node->LimitActiveProperty(1)->Set(1);
  YrMatrix pre, post, post_inverse, expected;
  YrRotationToMatrix(pre, {90, 0, 0});
  YrRotationToMatrix(post, {0, 0, 20});
  YrMatrixTranspose(post_inverse, post);
  YrMatrixMult(expected, post_inverse, plain);
  YrMatrixMult(expected, expected, pre);
  EXPECT_TRUE(MatrixNear(node->GetRotationMatrix(kVSpaceLocal), expected));
  // Only as the limits' space: the rotation itself stays plain.
  node->FindProperty("RotationSpaceForLimitOnly")->SetInt(1);
  EXPECT_TRUE(MatrixNear(node->GetRotationMatrix(kVSpaceLocal), plain));
}

TEST(VTransformNodeTest, InheritTypesComposeAsTheirNamesSay) {
  auto parent = Node("P", {10, 0, 0}, {0, 0, 90}, {2, 1, 1});
  auto child = Node("C", {1, 0, 0}, {0, 30, 0}, {1, 3, 1});
  ASSERT_TRUE(child->SetParent(parent.get()));
  EXPECT_EQ(child->GetParent(), parent.get());
  EXPECT_EQ(parent->GetChildCount(), 1);
  EXPECT_EQ(parent->GetChild(0), child.get());

  // The child's origin always lands where the parent's matrix takes it.
  ExpectNear({child->GetMatrix(kVSpaceGlobal)[12], child->GetMatrix(kVSpaceGlobal)[13], 0}, {10, 2, 0});

  // "Local (RrSs)": rotations chain, scalings multiply per axis, no shear.
  ExpectNear(child->GetScaling(kVSpaceGlobal), {2, 3, 1});
  YrMatrix rotation;
  YrMatrixMult(rotation, child->GetRotationMatrix(kVSpaceLocal), parent->GetRotationMatrix(kVSpaceGlobal));
  rotation[12] = rotation[13] = rotation[14] = 0;
  EXPECT_TRUE(MatrixNear(child->GetRotationMatrix(kVSpaceGlobal), rotation));

  // "Parent (RSrs)": the full product.
  child->InheritTypeProperty()->Set(kVInheritRSrs);
  YrMatrix product;
  YrMatrixMult(product, child->GetMatrix(kVSpaceLocal), parent->GetMatrix(kVSpaceGlobal));
  EXPECT_TRUE(MatrixNear(child->GetMatrix(kVSpaceGlobal), product));

  // "None (Rrs)": the parent's scaling does not reach the child.
  child->InheritTypeProperty()->Set(kVInheritRrs);
  parent->ScalingProperty()->Set({2, 2, 2});
  ExpectNear(child->GetScaling(kVSpaceGlobal), {1, 3, 1});

  // Unparenting makes global equal local again.
  ASSERT_TRUE(child->SetParent(nullptr));
  EXPECT_TRUE(MatrixNear(child->GetMatrix(kVSpaceGlobal), child->GetMatrix(kVSpaceLocal), 0.0));
  EXPECT_FALSE(parent->SetParent(parent.get()));
}

TEST(VTransformNodeTest, SettingGlobalValuesWorksBackThroughTheParent) {
  auto parent = Node("P", {4, -2, 1}, {20, 40, 60}, {2, 2, 2});
  auto child = Node("C");
  child->SetParent(parent.get());
  child->RotationPivotProperty()->Set({0.5, 0, 0});
  child->RotationProperty()->Set({0, 0, 30});
  child->SetTranslation(kVSpaceGlobal, V4{7, 8, 9, 1});
  const V4& t = child->GetTranslation(kVSpaceGlobal);
  ExpectNear({t.x, t.y, t.z}, {7, 8, 9});
  child->SetRotation(kVSpaceGlobal, {10, -20, 35});
  ExpectNear(child->GetRotation(kVSpaceGlobal), {10, -20, 35}, 1e-7);
}

TEST(VTransformNodeTest, GeometricOffsetMovesOnlyTheDrawnGeometry) {
  auto parent = Node("P", {1, 0, 0});
  auto child = Node("C", {0, 1, 0});
  child->SetParent(parent.get());
  EXPECT_EQ(&parent->GetGlobalGeometricMatrix(), &parent->GetMatrix(kVSpaceGlobal));
  parent->GeometricTranslationProperty()->Set({0, 0, 5});
  parent->GeometricScalingProperty()->Set({3, 3, 3});
  EXPECT_TRUE(parent->HasGeometricOffset());
  YrMatrix expected;
  YrMatrixMult(expected, TRS({0, 0, 5}, {0, 0, 0}, {3, 3, 3}), parent->GetMatrix(kVSpaceGlobal));
  EXPECT_TRUE(MatrixNear(parent->GetGlobalGeometricMatrix(), expected));
  ExpectNear({child->GetMatrix(kVSpaceGlobal)[12], child->GetMatrix(kVSpaceGlobal)[13],
              child->GetMatrix(kVSpaceGlobal)[14]},
             {1, 1, 0});
}

TEST(VTransformNodeTest, LookAtAimsTheXAxis) {
  auto node = Node("Eye", {1, 1, 1});
  auto target = Node("Target", {1, 11, 1});
  node->LookAtProperty()->SetObjectValue(target.get());
  const YrMatrix& r = node->GetRotationMatrix(kVSpaceGlobal);
  ExpectNear({r[0], r[1], r[2]}, {0, 1, 0});
  // Every row stays a unit vector, the frame right-handed.
  for (int row = 0; row < 3; ++row) {
    EXPECT_NEAR(std::hypot(r(row, 0), r(row, 1), r(row, 2)), 1.0, 1e-12);
  }
  // A target at the node's own place aims along X; an up node decides the roll.
  target->TranslationProperty()->Set({1, 1, 1});
  ExpectNear({node->GetRotationMatrix(kVSpaceGlobal)[0], node->GetRotationMatrix(kVSpaceGlobal)[1], 0}, {1, 0, 0});
  target->TranslationProperty()->Set({5, 1, 1});
  auto up = Node("Up", {1, 1, 9});
  node->UpVectorProperty()->SetObjectValue(up.get());
  const YrMatrix& rolled = node->GetRotationMatrix(kVSpaceGlobal);
  ExpectNear({rolled(1, 0), rolled(1, 1), rolled(1, 2)}, {0, 0, 1});
  EXPECT_TRUE(AllFinite(node->GetMatrix(kVSpaceGlobal)));
  // Two nodes aiming at each other terminate with finite matrices.
  target->LookAtProperty()->SetObjectValue(node.get());
  EXPECT_TRUE(AllFinite(node->GetMatrix(kVSpaceGlobal)));
  EXPECT_TRUE(AllFinite(target->GetMatrix(kVSpaceGlobal)));
}

TEST(VTransformNodeTest, CachesFollowTimePropertiesAndConnections) {
  auto parent = Node("P", {1, 0, 0});
  auto child = Node("C", {0, 1, 0});
  child->SetParent(parent.get());
  const YrMatrix* first = &child->GetMatrix(kVSpaceGlobal);
  EXPECT_EQ((*first)[12], 1.0);
  parent->TranslationProperty()->Set({5, 0, 0});
  EXPECT_EQ(child->GetMatrix(kVSpaceGlobal)[12], 5.0);
  auto other = Node("O", {0, 0, 7});
  child->SetParent(other.get());
  EXPECT_EQ(child->GetMatrix(kVSpaceGlobal)[12], 0.0);
  EXPECT_EQ(child->GetMatrix(kVSpaceGlobal)[14], 7.0);
  // The player's time is part of the evaluation.
  VPlayerControl player;
  const std::uint64_t before = VEvaluationSerial();
  player.Goto(VTime(1000));
  EXPECT_GT(VEvaluationSerial(), before);
  // A second context keeps a slot of its own.
  VEvaluateInfo alternate;
  alternate.slot = 1;
  alternate.alternate = true;
  child->SetAlternateEvaluation(true);
  EXPECT_NE(&child->GetMatrix(kVSpaceGlobal, alternate), &child->GetMatrix(kVSpaceGlobal));
  EXPECT_TRUE(MatrixNear(child->GetMatrix(kVSpaceGlobal, alternate), child->GetMatrix(kVSpaceGlobal), 0.0));
}

TEST(VTransformNodeTest, AnimatedValuesFollowTheTakeTheTimeAndKeyEdits) {
  VScene scene;
  auto* node = zyn_tool::AddModel(scene, "Animated", "Null", nullptr);
  VTake* first = scene.takes().Create("One");
  VTake* second = scene.takes().Create("Two");
  VFCurveNode *t, *r, *s;
  first->AddModel(node->GetFullName())->channels.push_back(zyn_tool::TransformChannel(*node, &t, &r, &s));
  VFCurve& x = zyn_tool::Axis(*t, 0);
  x.KeyAdd(zyn_tool::Frame(0), 0.0f);
  x.KeyAdd(zyn_tool::Frame(10), 10.0f);
  x.KeySetInterpolation(0, kFCurveInterpolationLinear);
  scene.takes().SetCurrent(first);
  scene.player().Goto(zyn_tool::Frame(5));
  EXPECT_DOUBLE_EQ(node->GetMatrix(kVSpaceGlobal)[12], 5.0);
  scene.player().Goto(zyn_tool::Frame(10));
  EXPECT_DOUBLE_EQ(node->GetMatrix(kVSpaceGlobal)[12], 10.0);
  x.KeySetValue(1, 20.0f);
  EXPECT_DOUBLE_EQ(node->GetMatrix(kVSpaceGlobal)[12], 20.0);
  // Curves without keys hold one value; editing them is seen at once.
  VFCurve& sx = zyn_tool::Axis(*s, 0);
  EXPECT_DOUBLE_EQ(node->GetScaling(kVSpaceLocal).x, 1.0);
  sx.SetDefaultValue(2.0f);
  EXPECT_DOUBLE_EQ(node->GetScaling(kVSpaceLocal).x, 2.0);
  sx.KeyAdd(zyn_tool::Frame(0), 1.0f);
  sx.KeyAdd(zyn_tool::Frame(20), 3.0f);
  sx.KeySetInterpolation(0, kFCurveInterpolationLinear);
  EXPECT_DOUBLE_EQ(node->GetScaling(kVSpaceLocal).x, 2.0);  // frame 10
  scene.player().Goto(zyn_tool::Frame(15));
  EXPECT_DOUBLE_EQ(node->GetScaling(kVSpaceLocal).x, 2.5);
  scene.takes().SetCurrent(second);  // no curves there: the stored value
  EXPECT_DOUBLE_EQ(node->GetMatrix(kVSpaceGlobal)[12], 0.0);
}

TEST(VTransformNodeTest, HostileHierarchiesGiveFiniteResults) {
  // Parents in a cycle (a file can connect them so): evaluation terminates.
  auto a = Node("A", {1, 0, 0});
  auto b = Node("B", {0, 1, 0});
  ASSERT_TRUE(b->ConnectSrc(a.get()));
  ASSERT_TRUE(a->ConnectSrc(b.get()));
  EXPECT_TRUE(AllFinite(a->GetMatrix(kVSpaceGlobal)));
  EXPECT_TRUE(AllFinite(b->GetMatrix(kVSpaceGlobal)));
  EXPECT_FALSE(a->SetParent(b.get()) && b->SetParent(a.get()));

  // A chain evaluated on a small stack: the walk up the parents must not
  // recurse on the depth of the hierarchy.
  constexpr int kDepth = 5000;
  std::vector<std::unique_ptr<VModel>> chain;
  for (int i = 0; i < kDepth; ++i) {
    chain.push_back(Node("J", {0, 1, 0}));
    if (i > 0) chain[i]->ConnectDst(chain[i - 1].get());
  }
  struct Job {
    const VModel* leaf;
    double y = 0;
  } job{chain.back().get()};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 256 * 1024);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attributes,
                           [](void* data) -> void* {
                             auto* j = static_cast<Job*>(data);
                             j->y = j->leaf->GetMatrix(kVSpaceGlobal)[13];
                             return nullptr;
                           },
                           &job),
            0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  EXPECT_DOUBLE_EQ(job.y, kDepth);

  // NaN and infinity in the values do not spread.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  auto bad = Node("Bad", {nan, 1, inf}, {inf, nan, 0}, {nan, 0, -inf});
  bad->RotationPivotProperty()->Set({nan, 0, 0});
  bad->GeometricRotationProperty()->Set({inf, 0, 0});
  EXPECT_TRUE(AllFinite(bad->GetMatrix(kVSpaceGlobal)));
  EXPECT_TRUE(AllFinite(bad->GetGlobalGeometricMatrix()));
  auto below = Node("Below", {1, 1, 1});
  below->SetParent(bad.get());
  EXPECT_TRUE(AllFinite(below->GetMatrix(kVSpaceGlobal)));
}

}  // namespace
