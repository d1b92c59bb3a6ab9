// The take list: numbering, creation rules, the current take and the
// notifications its changes send.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "animation/take_list.h"
#include "core/object.h"
#include "core/property.h"
#include "core/property_definition.h"
#include "core/property_type.h"

namespace {

// Records every OnTakeChange as (kind, take name).
struct Recorder {
  std::vector<std::pair<int, std::string>> events;
  void On(int kind, VEventData* data, std::intptr_t) {
    auto* change = static_cast<VTakeChangeData*>(data);
    events.emplace_back(kind, change && change->take ? change->take->GetName() : std::string("<none>"));
  }
};

TEST(TakeListTest, NextTakeNumberReadsOnlyTakeBlankNumberNames) {
  struct Case {
    std::vector<std::string> names;
    int next;
  };
  const Case cases[] = {
      {{}, 2},
      {{"Take 001"}, 2},
      {{"Take 001", "Take 7", "Take X"}, 8},
      {{"Take007"}, 2},
      {{"take 9", "Take  5"}, 6},  // case matters; leading blanks of the number are read
      {{"Take 12abc", "Take -40"}, 13},
      {{"Walk", "Take 3", "Run"}, 4},
      {{"Take 99999999999999"}, 2},  // beyond an int: ignored, not wrapped
  };
  for (const Case& c : cases) {
    VTakeList list;
    for (const std::string& name : c.names) ASSERT_NE(list.Create(name), nullptr) << name;
    EXPECT_EQ(list.GetNextTakeNumber(), c.next) << ::testing::PrintToString(c.names);
  }
}

TEST(TakeListTest, LookupByIndexAndExactName) {
  VTakeList list;
  VTake* a = list.Create("Walk");
  VTake* b = list.Create("Run");
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.First(), a);
  EXPECT_EQ(list.Get(1), b);
  EXPECT_EQ(list.Get(2), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);
  EXPECT_EQ(list.Find("Run"), b);
  EXPECT_EQ(list.Find("run"), nullptr);
  EXPECT_EQ(list.Find("Run "), nullptr);
  EXPECT_EQ(list.IndexOf(b), 1);
}

TEST(TakeListTest, CurrentTakeIsCreatedOnlyOnRequestOfAnEmptyList) {
  VTakeList list;
  EXPECT_EQ(list.GetCurrent(false), nullptr);
  EXPECT_EQ(list.GetCount(), 0);
  VTake* made = list.GetCurrent(true);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetName(), "Take 001");
  EXPECT_EQ(list.Current(), made);
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetCurrent(true), made);  // no second one
  EXPECT_EQ(list.GetCount(), 1);

  // A list with takes but none current stays without one.
  VTakeList other;
  other.Create("Walk");
  EXPECT_EQ(other.GetCurrent(true), nullptr);
  EXPECT_EQ(other.GetCount(), 1);
}

TEST(TakeListTest, SingleTakeModeAllowsOnlyTheDefaultTakeAsSecond) {
  VTakeList list;
  list.SetAllowSeveral(false);
  ASSERT_NE(list.Create("Walk"), nullptr);  // the first is always allowed
  EXPECT_EQ(list.Create("Run"), nullptr);
  EXPECT_EQ(list.Create(""), nullptr);
  EXPECT_EQ(list.Create("default take"), nullptr);
  VTake* def = list.GetDefaultTake(true);
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(def->GetName(), "Default take");
  EXPECT_EQ(list.GetDefaultTake(true), def);
  EXPECT_EQ(list.GetCount(), 2);

  VTakeList empty;
  EXPECT_EQ(empty.GetDefaultTake(false), nullptr);
  EXPECT_EQ(empty.GetCount(), 0);
}

TEST(TakeListTest, ChangingTheCurrentTakeClosesThenOpens) {
  VTakeList list;
  Recorder rec;
  list.OnTakeChange().Add<Recorder, &Recorder::On>(&rec);
  VTake* a = list.Create("A");
  VTake* b = list.Create("B");
  using E = std::vector<std::pair<int, std::string>>;
  EXPECT_EQ(rec.events, (E{{kVTakeChangeAdded, "A"}, {kVTakeChangeAdded, "B"}}));

  rec.events.clear();
  list.SetCurrent(a);
  list.SetCurrent(a);  // again: nothing at all
  list.SetCurrent(b);
  list.SetCurrent(nullptr);
  EXPECT_EQ(rec.events, (E{{kVTakeChangeOpened, "A"},
                           {kVTakeChangeClosed, "A"},
                           {kVTakeChangeOpened, "B"},
                           {kVTakeChangeClosed, "B"}}));
  EXPECT_EQ(list.Current(), nullptr);

  // A take of another list is not made current.
  rec.events.clear();
  VTakeList other;
  list.SetCurrent(other.Create("C"));
  EXPECT_EQ(list.Current(), nullptr);
  EXPECT_TRUE(rec.events.empty());

  // Removing the current take closes it first.
  list.SetCurrent(b);
  rec.events.clear();
  EXPECT_TRUE(list.Remove(b));
  EXPECT_EQ(rec.events, (E{{kVTakeChangeClosed, "B"}, {kVTakeChangeRemoved, "B"}}));
  EXPECT_EQ(list.Current(), nullptr);
  EXPECT_FALSE(list.Remove(b));
  list.OnTakeChange().Remove<Recorder, &Recorder::On>(&rec);
}

// A leaf node whose curve is one linear segment from (0 s, a) to (1 s, b).
std::unique_ptr<VFCurveNode> Ramp(const char* name, float a, float b) {
  auto node = std::make_unique<VFCurveNode>(name);
  VFCurve* c = node->MakeCurve();
  int k = c->KeyAdd(VTime(0), a);
  c->KeySetInterpolation(k, kFCurveInterpolationLinear);
  c->KeyAdd(VTime(46186158000), b);
  return node;
}

TEST(TakeListTest, OnlyTheCurrentTakeFeedsTheProperties) {
  VObject model("Model", "Cube");
  auto* translation = static_cast<VPropertyDouble3*>(
      model.CreateProperty("Lcl Translation", kPropertyTypeVector3d, kPropertyDefAnimatable));
  auto* visibility =
      static_cast<VPropertyDouble*>(model.CreateProperty("Visibility", kPropertyTypeDouble, kPropertyDefAnimatable));
  auto* plain = static_cast<VPropertyDouble*>(model.CreateProperty("Plain", kPropertyTypeDouble));
  translation->Set(VDouble3{7, 8, 9});
  visibility->Set(0.25);
  plain->Set(3.0);

  VTime clock(23093079000);  // half a second
  VTakeList list;
  list.SetBinding([&](const std::string& name) -> VObject* { return name == "Model::Cube" ? &model : nullptr; },
                  &clock);
  VTake* walk = list.Create("Walk");
  VTake::ModelAnimation* a = walk->AddModel("Model::Cube");
  auto transform = std::make_unique<VFCurveNode>("Transform");
  VFCurveNode* t = transform->AddChild(std::make_unique<VFCurveNode>("T"));
  t->AddChild(Ramp("X", 0, 10));
  t->AddChild(Ramp("Y", 0, 20));
  t->AddChild(Ramp("Z", 0, 30));
  a->channels.push_back(std::move(transform));
  a->channels.push_back(Ramp("Plain", 0, 100));      // not animatable: ignored
  a->channels.push_back(Ramp("Missing", 0, 100));    // no such property
  walk->AddModel("Model::Gone")->channels.push_back(Ramp("Visibility", 0, 1));

  VTake* run = list.Create("Run");
  run->AddModel("Model::Cube")->channels.push_back(Ramp("Visibility", 1, 0));
  // A vector node with two components does not fit a three-double property.
  auto partial = std::make_unique<VFCurveNode>("Transform");
  VFCurveNode* r = partial->AddChild(std::make_unique<VFCurveNode>("R"));
  r->AddChild(Ramp("X", 0, 1));
  r->AddChild(Ramp("Y", 0, 1));
  run->FindModel("Model::Cube")->channels.push_back(std::move(partial));

  EXPECT_EQ(translation->Get(), (VDouble3{7, 8, 9}));

  list.SetCurrent(walk);
  EXPECT_TRUE(walk->IsBound());
  EXPECT_EQ(translation->Get(), (VDouble3{5, 10, 15}));
  EXPECT_DOUBLE_EQ(visibility->Get(), 0.25);
  EXPECT_DOUBLE_EQ(plain->Get(), 3.0);
  clock = VTime(46186158000);
  EXPECT_EQ(translation->Get(), (VDouble3{10, 20, 30}));

  list.SetCurrent(run);
  EXPECT_FALSE(walk->IsBound());
  EXPECT_EQ(translation->Get(), (VDouble3{7, 8, 9}));
  EXPECT_FALSE(model.FindProperty("Lcl Rotation"));
  EXPECT_DOUBLE_EQ(visibility->Get(), 0.0);
  clock = VTime(0);
  EXPECT_DOUBLE_EQ(visibility->Get(), 1.0);

  list.SetCurrent(nullptr);
  EXPECT_DOUBLE_EQ(visibility->Get(), 0.25);
  EXPECT_FALSE(visibility->IsAnimated());
}

}  // namespace

namespace {

TEST(TakeModelsTest, ManyModelsAreFoundByNameAndAddedOnce) {
  VTake take("Take 001");
  std::vector<VTake::ModelAnimation*> added;
  for (int i = 0; i < 1000; ++i) added.push_back(take.AddModel("Model::M" + std::to_string(i)));
  ASSERT_EQ(take.models().size(), 1000u);
  for (int i = 0; i < 1000; i += 7) {
    const std::string name = "Model::M" + std::to_string(i);
    EXPECT_EQ(take.FindModel(name), added[static_cast<size_t>(i)]) << name;
    EXPECT_EQ(take.AddModel(name), added[static_cast<size_t>(i)]) << name;
  }
  EXPECT_EQ(take.models().size(), 1000u);
  EXPECT_EQ(take.FindModel("Model::M1000"), nullptr);
  EXPECT_EQ(take.FindModel(""), nullptr);
  // In the order they came, whatever the index does.
  EXPECT_EQ(take.models()[999]->model, "Model::M999");
}

}  // namespace
