// The public model handle: hierarchy, transforms through an evaluation
// context, and empty handles that answer neutral values.

#include <gtest/gtest.h>

#include <memory>

#include "scene/model.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/yr_model.h"

namespace {

using namespace YrSDK;

TEST(YrModelTest, HandleAnswersTheNodesTransforms) {
  auto parent = std::make_unique<VModel>("Parent", "Null");
  auto child = std::make_unique<VModel>("Child", "Limb");
  YrModel p(parent.get());
  YrModel c(YrComponent{child.get()});
  ASSERT_TRUE(c.IsValid());
  ASSERT_TRUE(c.SetParent(p));
  EXPECT_TRUE(c.GetParent() == p);
  EXPECT_EQ(p.GetChildCount(), 1);
  p.SetTranslation(kYrLocal, {1, 2, 3, 1});
  c.SetTranslation(kYrGlobal, {4, 4, 4, 1});
  EXPECT_EQ(c.GetTranslation(kYrLocal).x, 3.0);
  EXPECT_EQ(c.GetMatrix(kYrGlobal)[14], 4.0);
  c.SetRotation(kYrLocal, {0, 0, 90});
  EXPECT_NEAR(c.GetRotation(kYrGlobal).z, 90.0, 1e-9);
  c.SetScaling({2, 2, 2});
  EXPECT_EQ(c.GetScaling(kYrGlobal).y, 2.0);
  // A context of its own gives the same values.
  child->SetAlternateEvaluation(true);
  EXPECT_EQ(c.GetMatrix(kYrGlobal, YrEvaluateInfo::Alternate(1)), c.GetMatrix(kYrGlobal));
  EXPECT_EQ(YrEngineHandles::Property(c.FindProperty("Lcl Scaling")), child->FindProperty("Lcl Scaling"));
}

TEST(YrModelTest, EmptyHandlesAreHarmless) {
  YrModel none;
  VObject plain("Material", "M");
  YrModel not_a_model(YrComponent{&plain});
  for (YrModel* m : {&none, &not_a_model}) {
    EXPECT_FALSE(m->IsValid());
    EXPECT_EQ(m->GetMatrix(kYrGlobal), YrMatrix{});
    EXPECT_EQ(m->GetScaling(kYrLocal), (YrSVector{1, 1, 1}));
    EXPECT_FALSE(m->GetParent().IsValid());
    m->SetTranslation(kYrGlobal, {1, 1, 1, 1});
  }
}

}  // namespace
