// "Properties60" blocks: every value type read into existing and new
// properties, user properties with their ranges and items, and what the
// writer leaves out.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/zyn_memory.h"
#include "core/object.h"
#include "core/property.h"
#include "core/property_definition.h"
#include "core/property_type.h"
#include "zynfile/memory_stream.h"
#include "zynfile/property_block.h"
#include "zynfile/zyn_file.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Body = std::function<void(VZynFile&)>;

Bytes Write(bool binary, const Body& body) { return testing_support::WriteZynToMemory(binary, body); }

void ReadInto(const Bytes& bytes, VObject& object) {
  VZynFile g;
  ASSERT_TRUE(g.OpenFromMemory(bytes.data(), bytes.size())) << g.GetErrorMessage();
  EXPECT_TRUE(VZynReadPropertyBlock(g, object));
}

// One "Property" record: name, type name, flags, then the values.
Body Record(const char* name, const char* type, const char* flags, const Body& values) {
  return [=](VZynFile& f) {
    f.FieldWriteBegin("Property");
    f.FieldWriteC(name);
    f.FieldWriteC(type);
    f.FieldWriteC(flags);
    values(f);
    f.FieldWriteEnd();
  };
}

Body Block(const std::vector<Body>& records) {
  return [=](VZynFile& f) {
    f.FieldWriteBlockBegin("Properties60");
    for (const Body& r : records) r(f);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
}

Body Ds(std::vector<double> values) {
  return [=](VZynFile& f) {
    for (double v : values) f.FieldWriteD(v);
  };
}

std::vector<double> Doubles(const VProperty& p) {
  std::vector<double> v(static_cast<size_t>(p.GetDoubleCount()));
  if (!v.empty()) p.GetDoubles(v.data(), static_cast<int>(v.size()));
  return v;
}

TEST(PropertyBlockTest, EveryTypeIsReadIntoANewProperty) {
  struct Case {
    const char* name;
    const char* type;
    const char* flags;
    Body values;
    int expect_type;
    std::function<void(const VProperty&)> check;
  };
  const Case cases[] = {
      {"Count", "int", "", [](VZynFile& f) { f.FieldWriteI(-42); }, kPropertyTypeInt,
       [](const VProperty& p) { EXPECT_EQ(p.GetIntValue(), -42); }},
      {"Mode", "enum", "", [](VZynFile& f) { f.FieldWriteI(2); }, kPropertyTypeEnum,
       [](const VProperty& p) { EXPECT_EQ(p.GetIntValue(), 2); }},
      {"On", "bool", "", [](VZynFile& f) { f.FieldWriteI(7); }, kPropertyTypeBool,
       [](const VProperty& p) { EXPECT_EQ(p.GetIntValue(), 1); }},
      {"Off", "bool", "", [](VZynFile& f) { f.FieldWriteI(0); }, kPropertyTypeBool,
       [](const VProperty& p) { EXPECT_EQ(p.GetIntValue(), 0); }},
      {"Size", "double", "", Ds({-2.5}), kPropertyTypeDouble,
       [](const VProperty& p) { EXPECT_EQ(p.GetDoubleValue(), -2.5); }},
      {"Label", "VString", "", [](VZynFile& f) { f.FieldWriteC("a, b: c"); }, kPropertyTypeString,
       [](const VProperty& p) { EXPECT_EQ(p.GetText(), "a, b: c"); }},
      {"Path", "charptr", "", [](VZynFile& f) { f.FieldWriteC("x/y"); }, kPropertyTypeCharPtr,
       [](const VProperty& p) { EXPECT_EQ(p.GetText(), "x/y"); }},
      {"When", "VTime", "", [](VZynFile& f) { f.FieldWriteT(VTime(46186158000)); }, kPropertyTypeTime,
       [](const VProperty& p) {
         int64_t ticks = 0;
         p.GetData(&ticks, sizeof ticks);
         EXPECT_EQ(ticks, 46186158000);
       }},
      {"Offset", "Vector3D", "", Ds({1, -2, 3.5}), kPropertyTypeVector3d,
       [](const VProperty& p) { EXPECT_EQ(Doubles(p), (std::vector<double>{1, -2, 3.5})); }},
      {"Tint", "ColorRGB", "", Ds({0.25, 0.5, 0.75}), kPropertyTypeColorRGB,
       [](const VProperty& p) { EXPECT_EQ(Doubles(p), (std::vector<double>{0.25, 0.5, 0.75})); }},
      {"Fill", "ColorRGBA", "", Ds({0.1, 0.2, 0.3, 0.4}), kPropertyTypeColorRGBA,
       [](const VProperty& p) { EXPECT_EQ(Doubles(p), (std::vector<double>{0.1, 0.2, 0.3, 0.4})); }},
      {"Plane", "Vector4D", "", Ds({1, 2, 3, 4}), kPropertyTypeVector4d,
       [](const VProperty& p) { EXPECT_EQ(Doubles(p), (std::vector<double>{1, 2, 3, 4})); }},
      // Animatable records name their data type; "Number" holds one double.
      {"Weight", "Number", "A", Ds({0.5}), kPropertyTypeDouble,
       [](const VProperty& p) {
         EXPECT_TRUE(p.IsAnimatable());
         EXPECT_EQ(Doubles(p), (std::vector<double>{0.5}));
       }},
      {"Glow", "Color", "A+", Ds({1, 0, 0}), kPropertyTypeColorRGB,
       [](const VProperty& p) {
         EXPECT_TRUE(p.IsAnimatable());
         EXPECT_FALSE(p.IsUserProperty());
         EXPECT_EQ(Doubles(p), (std::vector<double>{1, 0, 0}));
       }},
      // User properties: a range after a value, items after an enum.
      {"Gain", "double", "U", Ds({3, -10, 10}), kPropertyTypeDouble,
       [](const VProperty& p) {
         EXPECT_TRUE(p.IsUserProperty());
         EXPECT_FALSE(p.IsAnimatable());
         EXPECT_EQ(p.GetDoubleValue(), 3);
         EXPECT_EQ(p.GetMin(), -10);
         EXPECT_EQ(p.GetMax(), 10);
       }},
      {"Shape", "enum", "U", [](VZynFile& f) { f.FieldWriteI(1); f.FieldWriteC("Box~Ball~Cone"); },
       kPropertyTypeEnum,
       [](const VProperty& p) {
         EXPECT_TRUE(p.IsUserProperty());
         ASSERT_EQ(p.GetEnumItemCount(), 3);
         EXPECT_EQ(p.GetEnumItem(2), "Cone");
         EXPECT_EQ(p.GetText(), "Ball");
       }},
      {"Lift", "Vector", "A+U", Ds({1, 2, 3, 0, 100}), kPropertyTypeVector3d,
       [](const VProperty& p) {
         EXPECT_TRUE(p.IsAnimatable());
         EXPECT_TRUE(p.IsUserProperty());
         EXPECT_EQ(Doubles(p), (std::vector<double>{1, 2, 3}));
         EXPECT_EQ(p.GetMin(), 0);
         EXPECT_EQ(p.GetMax(), 100);
       }},
  };
  for (bool binary : {true, false}) {
    std::vector<Body> records;
    for (const Case& c : cases) records.push_back(Record(c.name, c.type, c.flags, c.values));
    // Records that make nothing: unknown type names, and no name.
    records.push_back(Record("Strange", "quaternion", "", Ds({1, 2, 3, 4})));
    records.push_back(Record("", "int", "", [](VZynFile& f) { f.FieldWriteI(1); }));
    VObject object("Thing", "T");
    ReadInto(Write(binary, Block(records)), object);
    EXPECT_EQ(object.GetPropertyCount(), static_cast<int>(sizeof cases / sizeof cases[0]));
    EXPECT_EQ(object.FindProperty("Strange"), nullptr);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (binary ? " binary" : " ascii"));
      const VProperty* p = object.FindProperty(c.name);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->GetType(), c.expect_type);
      c.check(*p);
    }
  }
}

TEST(PropertyBlockTest, ValuesGoIntoExistingPropertiesThroughTheirConversions) {
  VObject object("Model", "Cube");
  object.SetAcceptsDynamicProperties(false);
  auto* translation = static_cast<VPropertyDouble3*>(
      object.CreateProperty("Lcl Translation", kPropertyTypeVector3d, kPropertyDefAnimatable));
  auto* visibility =
      static_cast<VPropertyDouble*>(object.CreateProperty("Visibility", kPropertyTypeDouble, kPropertyDefAnimatable));
  VProperty* count = object.CreateProperty("Count", kPropertyTypeInt);
  VProperty* ratio = object.CreateProperty("Ratio", kPropertyTypeDouble);
  VProperty* label = object.CreateProperty("Label", kPropertyTypeString);
  label->SetText("kept");
  Bytes bytes = Write(true, Block({
                                Record("Lcl Translation", "Lcl Translation", "A+", Ds({1, 2, 3})),
                                // The table's names are accepted on animatable properties too.
                                Record("Visibility", "double", "A", Ds({0.25})),
                                Record("Count", "double", "", Ds({7.9})),
                                Record("Ratio", "int", "", [](VZynFile& f) { f.FieldWriteI(4); }),
                                Record("Label", "unknown", "", [](VZynFile& f) { f.FieldWriteC("x"); }),
                                Record("Extra", "int", "U", [](VZynFile& f) { f.FieldWriteI(1); }),
                            }));
  ReadInto(bytes, object);
  EXPECT_EQ(translation->Get(), (VDouble3{1, 2, 3}));
  EXPECT_EQ(visibility->Get(), 0.25);
  EXPECT_EQ(count->GetIntValue(), 7);  // a double into an int truncates
  EXPECT_EQ(ratio->GetDoubleValue(), 4.0);
  EXPECT_EQ(label->GetText(), "kept");
  EXPECT_EQ(object.FindProperty("Extra"), nullptr);  // the object takes no new ones
  EXPECT_EQ(object.GetPropertyCount(), 5);
}

TEST(PropertyBlockTest, ABlockWithoutPropertyFieldsTakesEachFieldAsOne) {
  Bytes bytes = Write(false, [](VZynFile& f) {
    f.FieldWriteBlockBegin("Properties60");
    f.FieldWriteBegin("P");
    f.FieldWriteC("Count");
    f.FieldWriteC("int");
    f.FieldWriteC("");
    f.FieldWriteI(5);
    f.FieldWriteEnd();
    f.FieldWriteBegin("Q");
    f.FieldWriteC("Size");
    f.FieldWriteC("double");
    f.FieldWriteC("");
    f.FieldWriteD(1.5);
    f.FieldWriteEnd();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  });
  VObject object("Thing", "T");
  ReadInto(bytes, object);
  ASSERT_NE(object.FindProperty("Count"), nullptr);
  EXPECT_EQ(object.FindProperty("Count")->GetIntValue(), 5);
  ASSERT_NE(object.FindProperty("Size"), nullptr);
  EXPECT_EQ(object.FindProperty("Size")->GetDoubleValue(), 1.5);
}

TEST(PropertyBlockTest, WrittenBlocksReadBackIntoAFreshObject) {
  VObject source("Thing", "T");
  source.CreateProperty("Count", kPropertyTypeInt)->SetInt(-3);
  source.CreateProperty("On", kPropertyTypeBool)->SetInt(1);
  source.CreateProperty("Label", kPropertyTypeString)->SetText("hello world");
  VProperty* gain = source.CreateDynamicProperty("Gain", kPropertyTypeDouble, true);
  gain->SetDouble(2.5);
  gain->SetMinMax(-1, 9);
  VProperty* shape = source.CreateDynamicProperty("Shape", kPropertyTypeEnum, true);
  shape->SetEnumItems({"Box", "Ball"});
  shape->SetInt(1);
  auto* lift = static_cast<VPropertyDouble3*>(
      source.CreateDynamicProperty("Lift", kPropertyTypeVector3d, true, kPropertyDefAnimatable));
  lift->Set(VDouble3{4, 5, 6});
  lift->SetMinMax(0, 10);
  // Properties flagged 0x10 are not stored.
  VProperty* hidden = source.CreateProperty("Hidden", kPropertyTypeInt);
  hidden->SetInt(9);
  hidden->SetFlag(0x10, true);

  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VObject copy("Thing", "T");
    ReadInto(Write(binary, [&](VZynFile& f) { VZynWritePropertyBlock(f, source); }), copy);
    EXPECT_EQ(copy.FindProperty("Hidden"), nullptr);
    ASSERT_EQ(copy.GetPropertyCount(), 6);
    EXPECT_EQ(copy.FindProperty("Count")->GetIntValue(), -3);
    EXPECT_EQ(copy.FindProperty("On")->GetIntValue(), 1);
    EXPECT_EQ(copy.FindProperty("Label")->GetText(), "hello world");
    const VProperty& g = *copy.FindProperty("Gain");
    EXPECT_TRUE(g.IsUserProperty());
    EXPECT_EQ(g.GetDoubleValue(), 2.5);
    EXPECT_EQ(g.GetMin(), -1);
    EXPECT_EQ(g.GetMax(), 9);
    EXPECT_EQ(copy.FindProperty("Shape")->GetText(), "Ball");
    const VProperty& l = *copy.FindProperty("Lift");
    EXPECT_TRUE(l.IsAnimatable());
    EXPECT_TRUE(l.IsUserProperty());
    EXPECT_EQ(Doubles(l), (std::vector<double>{4, 5, 6}));
    EXPECT_EQ(l.GetMax(), 10);
  }
}

TEST(PropertyBlockTest, TypeNamesOfTheTable) {
  const char* names[] = {"unknown", "int",      "bool",      "float",    "double",    "charptr", "enum",
                         "VTime",   "VString",  "object",    "event",    "stringlist", "Vector4D", "Vector3D",
                         "ColorRGB", "ColorRGBA", "Action", "Reference", "VectorElement"};
  for (int id = 0; id < 19; ++id) {
    EXPECT_STREQ(VZynPropertyTypeName(id), names[id]);
    EXPECT_EQ(VZynPropertyTypeOfName(names[id]), id);
  }
  EXPECT_STREQ(VZynPropertyTypeName(19), "unknown");
  EXPECT_STREQ(VZynPropertyTypeName(-1), "unknown");
  EXPECT_EQ(VZynPropertyTypeOfName("Int"), 0);
  EXPECT_EQ(VZynAnimationDataTypeSize("Lcl Scaling"), 3);
  EXPECT_EQ(VZynAnimationDataTypeSize("Visibility"), 1);
  EXPECT_EQ(VZynAnimationDataTypeSize("double"), 0);
}

}  // namespace
