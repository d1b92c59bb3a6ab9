#include "sdk/yr_property.h"

#include <gtest/gtest.h>

#include "core/object.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/yr_component.h"
#include "sdk/yr_connect.h"

namespace {

using YrSDK::YrComponent;
using YrSDK::YrProperty;

// A property that lives only in the facade holds an engine property: its
// texts and conversions are the engine's, the same as for a scene's own.
TEST(YrPropertyTest, FacadeOnlyPropertiesUseTheEngineForms) {
  VObject object("YrPropertyTestObject", "Owner");
  const int types[] = {kPropertyTypeInt,  kPropertyTypeBool,   kPropertyTypeFloat,
                       kPropertyTypeDouble, kPropertyTypeCharPtr, kPropertyTypeEnum,
                       kPropertyTypeTime, kPropertyTypeString, kPropertyTypeAction};
  for (int type : types) {
    YrProperty facade = YrProperty::MakeFacade("P", type);
    ASSERT_TRUE(facade.IsFacadeOnly()) << type;
    YrProperty engine(object.CreateProperty("P" + std::to_string(type), type));
    ASSERT_TRUE(engine.IsValid()) << type;
    facade.SetEnumItems({"Wire Frame", "Textured"});
    engine.SetEnumItems({"Wire Frame", "Textured"});
    EXPECT_STREQ(facade.GetPropertyTypeName(), engine.GetPropertyTypeName());
    EXPECT_EQ(facade.AsString(), engine.AsString()) << type;
    for (double value : {0.7, 1.0, -42.5, 3e9}) {
      EXPECT_EQ(facade.SetDouble(value), engine.SetDouble(value)) << type;
      EXPECT_EQ(facade.AsString(), engine.AsString()) << type << " " << value;
      EXPECT_EQ(facade.AsDouble(), engine.AsDouble()) << type << " " << value;
      EXPECT_EQ(facade.AsInt(), engine.AsInt()) << type << " " << value;
    }
    for (const char* text : {"true", "TRUE", "-42abc", "2.5", "Textured", "45", "hi"}) {
      EXPECT_EQ(facade.SetString(text), engine.SetString(text)) << type << " " << text;
      EXPECT_EQ(facade.AsString(), engine.AsString()) << type << " " << text;
    }
  }

  YrProperty b = YrProperty::MakeFacade("Flag", kPropertyTypeBool);
  EXPECT_EQ(b.AsString(), "False");
  EXPECT_FALSE(b.SetString("true"));  // the engine takes text only for strings
  EXPECT_TRUE(b.SetInt(1));
  EXPECT_EQ(b.AsString(), "True");
  EXPECT_TRUE(b.SetDouble(0.7));  // truncated toward zero first
  EXPECT_EQ(b.AsString(), "False");

  YrProperty d = YrProperty::MakeFacade("Size", kPropertyTypeDouble);
  EXPECT_TRUE(d.SetDouble(2.5));
  EXPECT_EQ(d.AsString(), "2.500000");
  int ignored = 1;
  EXPECT_FALSE(d.GetInt(ignored));

  YrProperty e = YrProperty::MakeFacade("Mode", kPropertyTypeEnum);
  e.SetEnumItems({"Wire Frame", "Textured"});
  EXPECT_EQ(e.GetEnumItemCount(), 2);
  EXPECT_TRUE(e.SetInt(1));
  EXPECT_EQ(e.AsString(), "Textured");

  YrProperty s = YrProperty::MakeFacade("Label", kPropertyTypeString);
  EXPECT_TRUE(s.SetString("hi"));
  EXPECT_EQ(s.AsString(), "hi");
  s.SetMinMax(1, 2);
  EXPECT_EQ(s.GetMin(), 1);
  EXPECT_EQ(s.GetMax(), 2);

  // A copy of the handle is the same property.
  YrProperty copy = s;
  EXPECT_TRUE(copy == s);
  EXPECT_TRUE(copy.SetString("there"));
  EXPECT_EQ(s.AsString(), "there");

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
  EXPECT_EQ(YrSDK::YrEngineHandles::Plug(ca.GetDst(0)), &b);
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
