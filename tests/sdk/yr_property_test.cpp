#include "sdk/yr_property.h"

#include <gtest/gtest.h>

#include "core/object.h"
#include "sdk/yr_component.h"
#include "sdk/yr_connect.h"

namespace {

using YrSDK::YrComponent;
using YrSDK::YrProperty;

TEST(YrPropertyTest, FacadeOnlyTextForms) {
  YrProperty b = YrProperty::MakeFacade("Flag", kPropertyTypeBool);
  ASSERT_TRUE(b.IsFacadeOnly());
  EXPECT_EQ(b.AsString(), "false");
  EXPECT_TRUE(b.SetString("TRUE"));
  EXPECT_EQ(b.AsString(), "true");
  EXPECT_TRUE(b.SetString("yes"));  // anything but "true" is 0
  EXPECT_EQ(b.AsInt(), 0);
  EXPECT_TRUE(b.SetDouble(0.7));
  EXPECT_EQ(b.AsString(), "false");

  YrProperty i = YrProperty::MakeFacade("Count", kPropertyTypeInt);
  EXPECT_TRUE(i.SetString("-42abc"));
  EXPECT_EQ(i.AsString(), "-42");
  EXPECT_EQ(i.AsDouble(), -42.0);

  YrProperty d = YrProperty::MakeFacade("Size", kPropertyTypeDouble);
  EXPECT_TRUE(d.SetString("2.5"));
  EXPECT_EQ(d.AsString(), "2.500000");
  int ignored = 1;
  EXPECT_FALSE(d.GetInt(ignored));

  YrProperty e = YrProperty::MakeFacade("Mode", kPropertyTypeEnum);
  e.SetEnumItems({"Wire Frame", "Textured"});
  EXPECT_TRUE(e.SetString("Textured"));
  EXPECT_EQ(e.AsInt(), 1);
  EXPECT_FALSE(e.SetString("textured"));  // exact match only
  EXPECT_EQ(e.AsString(), "Textured");

  YrProperty t = YrProperty::MakeFacade("When", kPropertyTypeTime);
  EXPECT_TRUE(t.SetString("45"));
  EXPECT_EQ(t.AsString(), "45");

  EXPECT_FALSE(YrProperty::MakeFacade("V", kPropertyTypeVector3d).IsValid());
}

TEST(YrPropertyTest, EngineBackedUsesEngineForms) {
  VObject object("YrPropertyTestObject", "Camera");
  object.CreateProperty("ShowGrid", kPropertyTypeBool);
  object.CreateProperty("Label", kPropertyTypeString);
  YrComponent component(&object);
  EXPECT_EQ(component.GetPropertyCount(), 2);
  YrProperty grid = component.FindProperty("ShowGrid");
  ASSERT_TRUE(grid.IsValid());
  EXPECT_FALSE(grid.IsFacadeOnly());
  EXPECT_EQ(grid.AsString(), "False");
  EXPECT_FALSE(grid.SetString("true"));  // the engine takes text only for strings
  EXPECT_TRUE(grid.SetInt(1));
  EXPECT_EQ(grid.AsString(), "True");
  EXPECT_STREQ(grid.GetPropertyTypeName(), "bool");
  EXPECT_TRUE(component.GetPropertyAt(1).SetString("hi"));
  EXPECT_EQ(component.GetPropertyAt(1).AsString(), "hi");
  EXPECT_FALSE(component.FindProperty("Missing").IsValid());
  EXPECT_EQ(component.FindProperty("Missing").AsString(), "?");
}

TEST(YrConnectTest, FreeFunctionsAndPlugHandles) {
  VObject a("YrPropertyTestObject", "A"), b("YrPropertyTestObject", "B");
  YrComponent ca(&a), cb(&b);
  EXPECT_TRUE(YrSDK::YrConnect(ca, cb, YrSDK::kYrConnectionTypeSystem));
  EXPECT_EQ(cb.GetSrcCount(), 1);
  EXPECT_TRUE(cb.GetSrc(0) == ca);
  EXPECT_EQ(cb.GetSrcType(0), YrSDK::kYrConnectionTypeSystem);
  EXPECT_EQ(ca.GetDst(0).GetPlug(), &b);
  EXPECT_FALSE(YrSDK::YrConnect(ca, ca));
  EXPECT_TRUE(YrSDK::YrDisconnect(ca, cb));
  EXPECT_EQ(ca.GetDstCount(), 0);
  EXPECT_TRUE(cb.ConnectSrc(ca, YrSDK::kYrConnectionTypeUnidirectional));
  EXPECT_EQ(ca.GetDstCount(), 0);
  EXPECT_TRUE(cb.DisconnectAllSrc());

  VProperty* p = a.CreateProperty("P", kPropertyTypeDouble);
  YrProperty prop(p);
  EXPECT_TRUE(prop.GetOwner() == ca);
  EXPECT_EQ(ca.GetOwnedCount(), 1);

  YrSDK::YrPlug empty;
  EXPECT_FALSE(empty.ConnectSrc(ca));
  EXPECT_EQ(empty.GetSrcCount(), 0);
  EXPECT_FALSE(empty.GetOwner().IsValid());
}

}  // namespace
