#include "core/object.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/class_registry.h"
#include "core/named_event.h"

namespace {

class Model : public VObject {
 public:
  explicit Model(const std::string& name) : VObject("ObjectTestModel", name) {
    mTranslationProperty = AddPropertyT<VPropertyDouble3>("Lcl Translation", kPropertyTypeVector3d,
                                                          kPropertyDefAnimatable);
    SetAcceptsDynamicProperties(true);
  }
  std::string GetTypeName() const override { return "Model"; }
  VPropertyDouble3* mTranslationProperty;
};

TEST(ObjectTest, PropertiesInCreationOrderFoundByName) {
  VObject o("ObjectTestThing", "Thing");
  VProperty* b = o.CreateProperty("B", kPropertyTypeInt);
  VProperty* a = o.CreateProperty("A", kPropertyTypeDouble);
  EXPECT_EQ(o.GetPropertyCount(), 2);
  EXPECT_EQ(o.GetProperty(0), b);
  EXPECT_EQ(o.GetProperty(1), a);
  EXPECT_EQ(o.GetProperty(2), nullptr);
  EXPECT_EQ(o.FindProperty("A"), a);
  EXPECT_EQ(o.FindProperty("a"), nullptr);
  EXPECT_EQ(a->GetOwnerObject(), &o);
  EXPECT_EQ(a->GetOwner(), &o);
  // Names stay unique.
  EXPECT_EQ(o.CreateProperty("A", kPropertyTypeInt), nullptr);
  EXPECT_EQ(o.GetPropertyCount(), 2);

  EXPECT_TRUE(o.RemoveProperty(b));
  EXPECT_EQ(o.FindProperty("B"), nullptr);
  EXPECT_EQ(o.GetProperty(0), a);
  EXPECT_FALSE(o.RemoveProperty(b));
  auto detached = o.DetachProperty(a);
  ASSERT_NE(detached, nullptr);
  EXPECT_EQ(detached->GetOwner(), nullptr);
  EXPECT_EQ(o.GetPropertyCount(), 0);
}

TEST(ObjectTest, DynamicAndUserProperties) {
  Model m("Cube");
  EXPECT_EQ(m.FindProperty("Lcl Translation"), m.mTranslationProperty);
  EXPECT_EQ(m.FindOrCreateProperty("Lcl Translation", kPropertyTypeVector3d, false),
            m.mTranslationProperty);
  VProperty* user = m.FindOrCreateProperty("Weight", kPropertyTypeDouble, true);
  ASSERT_NE(user, nullptr);
  EXPECT_TRUE(user->IsUserProperty());
  user->SetMinMax(0, 1);
  user->GetEnumItems().push_back("kept with the property");

  m.SetAcceptsDynamicProperties(false);
  EXPECT_EQ(m.CreateDynamicProperty("Other", kPropertyTypeInt, true), nullptr);
}

TEST(ObjectTest, NamesAndFullNames) {
  Model m("Cube");
  EXPECT_EQ(m.GetFullName(), "Model::Cube");
  std::string type, name;
  EXPECT_TRUE(VObject::SplitFullName("Model::Producer Perspective", type, name));
  EXPECT_EQ(type, "Model");
  EXPECT_EQ(name, "Producer Perspective");
  EXPECT_FALSE(VObject::SplitFullName("NoSeparator", type, name));
  EXPECT_EQ(VObject::MakeFullName("Material", "Red"), "Material::Red");

  VObject parent("ObjectTestThing", "Scene");
  VObject* a = parent.AddSubObject(std::make_unique<Model>("A"));
  VObject* b = parent.AddSubObject(std::make_unique<Model>("B"));
  EXPECT_EQ(parent.GetSubObjectCount(), 2);
  EXPECT_EQ(parent.GetSubObject(1), b);
  EXPECT_EQ(b->GetParentObject(), &parent);
  EXPECT_TRUE(b->SetName("A", true));
  EXPECT_EQ(b->GetName(), "A1");
  EXPECT_EQ(parent.FindSubObject("A"), a);
  EXPECT_TRUE(parent.RemoveSubObject(a));
  EXPECT_EQ(parent.GetSubObjectCount(), 1);
  EXPECT_EQ(parent.AddSubObject(nullptr), nullptr);
}

TEST(ObjectTest, OwnedPropertyBroadcastsReachObjectListeners) {
  struct Listener : VPlug {
    bool PlugNotify(int code, VPlug* origin, void*) override {
      codes.push_back(code);
      origins.push_back(origin);
      return true;
    }
    std::vector<int> codes;
    std::vector<VPlug*> origins;
  } listener;
  Model m("Cube");
  m.AddListener(&listener);
  m.mTranslationProperty->Set({1, 2, 3});
  ASSERT_EQ(listener.codes, (std::vector<int>{kPlugNotifyValueChanged}));
  EXPECT_EQ(listener.origins[0], m.mTranslationProperty);
}

TEST(ObjectTest, ConnectionsBetweenObjectsAndPropertiesDieWithThem) {
  Model target("Target");
  {
    Model source("Source");
    EXPECT_TRUE(target.mTranslationProperty->ConnectSrc(source.mTranslationProperty));
    EXPECT_TRUE(target.ConnectSrc(&source));
  }
  EXPECT_EQ(target.mTranslationProperty->GetSrcCount(), 0);
  EXPECT_EQ(target.GetSrcCount(), 0);
}

TEST(ClassRegistryTest, IdsPerNameAndCreation) {
  VClassRegistry& registry = VClassRegistry::Instance();
  const int id = registry.Register("ObjectTestModel");
  EXPECT_GT(id, 0);
  EXPECT_EQ(registry.Register("ObjectTestModel"), id);
  EXPECT_EQ(registry.GetClassNameOfId(id), "ObjectTestModel");
  EXPECT_EQ(registry.GetClassNameOfId(-3), "");
  EXPECT_EQ(registry.GetClassId("ObjectTestNeverSeen"), 0);
  EXPECT_NE(registry.Register("ObjectTestOther"), id);

  EXPECT_EQ(registry.Create("ZynStorable/ObjectTestModel", "X"), nullptr);
  registry.RegisterCreator("ZynStorable/ObjectTestModel",
                           [](const std::string& name, const std::string&) {
                             return std::unique_ptr<VObject>(new Model(name));
                           });
  EXPECT_TRUE(registry.HasCreator("ZynStorable/ObjectTestModel"));
  std::unique_ptr<VObject> made = registry.Create("ZynStorable/ObjectTestModel", "Made");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetFullName(), "Model::Made");
  EXPECT_EQ(made->GetClassId(), id);
}

TEST(ClassRegistryTest, ConcurrentRegistrationGivesOneIdPerName) {
  std::vector<int> ids(8, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&ids, t] {
      for (int i = 0; i < 200; ++i) VClassRegistry::Instance().Register("Concurrent" + std::to_string(i));
      ids[static_cast<std::size_t>(t)] = VClassRegistry::Instance().Register("Concurrent7");
    });
  for (auto& th : threads) th.join();
  for (int id : ids) EXPECT_EQ(id, ids[0]);
}

void Count(void* user, int a, int b) { *static_cast<int*>(user) += a + b; }

TEST(NamedEventTest, FiresRegisteredCallbacksOnly) {
  int total = 0;
  EXPECT_FALSE(VNamedEventFire("ObjectTestUnknownEvent", 1, 2));
  VNamedEventAdd("ObjectTestEvent", &Count, &total);
  EXPECT_TRUE(VNamedEventFire("ObjectTestEvent", 1, 2));
  EXPECT_EQ(total, 3);
  EXPECT_TRUE(VNamedEventRemove("ObjectTestEvent", &Count, &total));
  EXPECT_FALSE(VNamedEventRemove("ObjectTestEvent", &Count, &total));
  VNamedEventFire("ObjectTestEvent", 1, 2);
  EXPECT_EQ(total, 3);
}

int gSecondCalls = 0;
void Second(void*, int, int) { ++gSecondCalls; }
void RemoveSecond(void*, int, int) { VNamedEventRemove("ObjectTestReentrant", &Second, nullptr); }

TEST(NamedEventTest, CallbackRemovedDuringFiringIsNotCalled) {
  VNamedEventAdd("ObjectTestReentrant", &RemoveSecond, nullptr);
  VNamedEventAdd("ObjectTestReentrant", &Second, nullptr);
  EXPECT_TRUE(VNamedEventFire("ObjectTestReentrant", 0, 0));
  EXPECT_EQ(gSecondCalls, 0);
}

}  // namespace
