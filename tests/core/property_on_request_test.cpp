// Properties a class makes on request: present for every caller from the
// start, made only when asked for, read from the class's layout until then.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/object.h"

namespace {

const std::vector<std::string> kModes = {"Off", "On", "Auto"};

class Lazy : public VObject {
 public:
  explicit Lazy(const std::string& name) : VObject("OnRequestTestLazy", name) {
    AddPropertyOnRequest<double>("Weight", kPropertyTypeDouble, kPropertyDefAnimatable, nullptr, 2.5);
    AddPropertyOnRequest<VDouble3>("Place", kPropertyTypeVector3d, 0, nullptr, VDouble3{1, 2, 3});
    AddPropertyOnRequest<std::int32_t>("Mode", kPropertyTypeEnum, 0, &kModes, 2);
    AddPropertyOnRequestEmpty<VPropertyObject>("Target", kPropertyTypeObject);
    AddPropertyOnRequest<std::uint8_t>("Shown", kPropertyTypeBool, 0, nullptr, 1);
    PinProperties(2);  // Weight and Place are reached by position
  }
};

// Counts the value notices an object hands on.
class Counter : public VPlug {
 public:
  bool PlugNotify(int code, VPlug*, void*) override {
    if (code == kPlugNotifyValueChanged) ++values;
    if (code == kPlugNotifyListChanged) ++lists;
    return true;
  }
  int values = 0;
  int lists = 0;
};

int MadeCount(const VObject& o) {
  int made = 0;
  for (int i = 0; i < o.GetPropertyCount(); ++i) made += o.GetPropertyIfMade(i) != nullptr;
  return made;
}

TEST(PropertyOnRequestTest, PropertiesExistForEveryCallerButAreMadeOnlyWhenAskedFor) {
  Lazy a("A");
  EXPECT_EQ(a.GetPropertyCount(), 5);
  EXPECT_EQ(MadeCount(a), 0);
  // Values read without making anything.
  EXPECT_EQ(a.GetValueAt<double>(0), 2.5);
  EXPECT_EQ(a.GetValueAt<VDouble3>(1), (VDouble3{1, 2, 3}));
  EXPECT_EQ(a.GetValueAt<std::int32_t>(2), 2);
  EXPECT_EQ(MadeCount(a), 0);

  // Made by name or by position, once, with the class's definition and value.
  auto* mode = static_cast<VPropertyInt*>(a.FindProperty("Mode"));
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(a.GetProperty(2), mode);
  EXPECT_EQ(MadeCount(a), 1);
  EXPECT_EQ(mode->Get(), 2);
  EXPECT_EQ(mode->GetText(), "Auto");
  EXPECT_EQ(mode->GetOwnerObject(), &a);
  EXPECT_TRUE(mode->HasSharedDefinition());
  EXPECT_EQ(&mode->GetDefinition(), &Lazy("B").FindProperty("Mode")->GetDefinition());
  EXPECT_TRUE(a.GetProperty(0)->IsAnimatable());
  EXPECT_EQ(a.FindProperty("Target")->GetType(), kPropertyTypeObject);
  EXPECT_EQ(a.FindProperty("Nothing"), nullptr);

  // Each object's values are its own.
  Lazy b("B");
  static_cast<VPropertyDouble*>(a.GetProperty(0))->Set(7.0);
  EXPECT_EQ(a.GetValueAt<double>(0), 7.0);
  EXPECT_EQ(b.GetValueAt<double>(0), 2.5);
  EXPECT_EQ(MadeCount(b), 0);
}

TEST(PropertyOnRequestTest, MakingChangesNothingAndNotifiesNobodyButChangesDo) {
  Lazy a("A");
  Counter counter;
  a.AddListener(&counter);
  auto* weight = static_cast<VPropertyDouble*>(a.GetProperty(0));
  EXPECT_EQ(a.GetOwnedCount(), 5);
  for (int i = 0; i < a.GetOwnedCount(); ++i) EXPECT_EQ(a.GetOwned(i), a.GetProperty(i));
  EXPECT_EQ(counter.values, 0);
  EXPECT_EQ(counter.lists, 0);
  weight->Set(3.0);
  EXPECT_EQ(counter.values, 1);
  // A connection's index notices do not make the properties.
  Lazy b("B");
  VPlug source;
  ASSERT_TRUE(b.ConnectSrc(&source));
  EXPECT_EQ(MadeCount(b), 0);
  a.RemoveListener(&counter);
}

TEST(PropertyOnRequestTest, RenamesAndRemovalsKeepEveryPropertyAndItsPlace) {
  Lazy a("A");
  static_cast<VPropertyDouble3*>(a.GetProperty(1))->Set({4, 5, 6});
  // A rename leaves the class's layout: every property is made, in place.
  VProperty* shown = a.FindProperty("Shown");
  ASSERT_TRUE(shown->SetName("Visible"));
  EXPECT_EQ(MadeCount(a), 5);
  EXPECT_EQ(a.FindProperty("Visible"), shown);
  EXPECT_EQ(a.FindProperty("Shown"), nullptr);
  EXPECT_EQ(a.GetProperty(4), shown);
  EXPECT_EQ(a.GetValueAt<VDouble3>(1), (VDouble3{4, 5, 6}));
  EXPECT_EQ(a.GetValueAt<double>(0), 2.5);
  EXPECT_EQ(Lazy("B").FindProperty("Shown")->GetName(), "Shown");

  // Pinned positions are refused to removal; the others go.
  Lazy c("C");
  EXPECT_EQ(c.DetachProperty(c.GetProperty(0)), nullptr);
  EXPECT_FALSE(c.RemoveProperty(c.GetProperty(1)));
  std::unique_ptr<VProperty> mode = c.DetachProperty(c.FindProperty("Mode"));
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode->GetIntValue(), 2);
  EXPECT_EQ(c.GetPropertyCount(), 4);
  EXPECT_EQ(c.GetProperty(2)->GetName(), "Target");
  EXPECT_EQ(c.GetValueAt<double>(0), 2.5);
}

TEST(PropertyOnRequestTest, AnObjectOffItsLayoutMakesThemAtOnce) {
  // A property of its own before the class's: no layout step to share.
  VObject o("OnRequestTestOwnFirst");
  ASSERT_NE(o.CreateProperty("Own", kPropertyTypeInt), nullptr);
  const int position = o.AddPropertyOnRequest<double>("Weight", kPropertyTypeDouble, 0, nullptr, 4.0);
  ASSERT_EQ(position, 1);
  ASSERT_NE(o.GetPropertyIfMade(position), nullptr);
  EXPECT_EQ(o.GetValueAt<double>(position), 4.0);
  EXPECT_EQ(o.AddPropertyOnRequest<double>("Weight", kPropertyTypeDouble), -1);
}

}  // namespace
