#include "core/property.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/object.h"

namespace {

// Listens to one object's broadcasts.
class Listener : public VPlug {
 public:
  bool PlugNotify(int code, VPlug*, void*) override {
    codes.push_back(code);
    return code != refuse;
  }
  std::vector<int> codes;
  int refuse = -1;
};

struct PropertyTest : ::testing::Test {
  VObject object{"PropertyTestObject", "Holder"};
  Listener listener;
  void SetUp() override { object.AddListener(&listener); }
  VProperty* make(const char* name, int type, std::uint32_t flags = 0) {
    return object.CreateProperty(name, type, flags);
  }
};

TEST_F(PropertyTest, IntBoolEnumActionConversions) {
  VProperty* i = make("I", kPropertyTypeInt);
  EXPECT_TRUE(i->SetDouble(-2.9));
  EXPECT_EQ(i->GetIntValue(), -2);  // truncated toward zero
  EXPECT_EQ(i->GetText(), "-2");
  EXPECT_DOUBLE_EQ(i->GetDoubleValue(), -2.0);
  EXPECT_TRUE(i->SetDouble(1e300));  // saturates instead of overflowing
  EXPECT_EQ(i->GetIntValue(), 2147483647);
  EXPECT_FALSE(i->SetText("5"));

  VProperty* b = make("B", kPropertyTypeBool);
  EXPECT_TRUE(b->SetDouble(0.7));
  EXPECT_EQ(b->GetIntValue(), 0);
  EXPECT_EQ(b->GetText(), "False");
  EXPECT_TRUE(b->SetInt(-5));
  std::uint8_t byte = 9;
  EXPECT_TRUE(b->GetData(&byte, 1));
  EXPECT_EQ(byte, 1);
  EXPECT_EQ(b->GetText(), "True");

  VProperty* e = make("E", kPropertyTypeEnum);
  e->SetEnumItems({"Off", "On"});
  EXPECT_TRUE(e->SetInt(1));
  EXPECT_EQ(e->GetText(), "On");
  EXPECT_EQ(e->FindEnumItem("Off"), 0);
  EXPECT_EQ(e->FindEnumItem("Dim"), -1);
  EXPECT_EQ(e->GetEnumItem(5), "");
  // The engine takes text only for strings: neither an item's text nor one
  // outside the items changes the index.
  const std::size_t heard = listener.codes.size();
  EXPECT_FALSE(e->SetText("Dim"));
  EXPECT_FALSE(e->SetText("Off"));
  EXPECT_FALSE(e->SetText(""));
  EXPECT_EQ(e->GetIntValue(), 1);
  EXPECT_EQ(e->GetText(), "On");
  EXPECT_EQ(listener.codes.size(), heard);

  VProperty* a = make("A", kPropertyTypeAction);
  EXPECT_TRUE(a->SetDouble(3.0));
  EXPECT_EQ(a->GetText(), "True");
}

TEST_F(PropertyTest, FloatDoubleAndUnsupportedTypes) {
  VProperty* f = make("F", kPropertyTypeFloat);
  EXPECT_TRUE(f->SetDouble(0.5));
  EXPECT_EQ(f->GetText(), "0.500000");
  int ignored = 3;
  EXPECT_FALSE(f->GetInt(ignored));  // integers are not a float's form
  EXPECT_EQ(ignored, 0);
  EXPECT_FALSE(f->SetInt(2));
  VProperty* d = make("D", kPropertyTypeDouble);
  EXPECT_TRUE(d->SetDouble(2.25));
  EXPECT_EQ(d->GetText(), "2.250000");

  VProperty* ev = make("Ev", kPropertyTypeEvent);
  VProperty* list = make("L", kPropertyTypeStringList);
  VProperty* ref = make("R", kPropertyTypeReference);
  VProperty* elem = make("VE", kPropertyTypeVectorElement);
  VProperty* odd = make("X", 99);
  for (VProperty* p : {ev, list, ref, elem, odd}) {
    EXPECT_EQ(p->GetText(), "?") << p->GetName();
    EXPECT_FALSE(p->SetDouble(1.0));
    EXPECT_FALSE(p->SetInt(1));
    double v = 5;
    EXPECT_FALSE(p->GetDouble(v));
    EXPECT_EQ(v, 0.0);
  }
}

TEST_F(PropertyTest, TextVectorAndColourForms) {
  VProperty* s = make("S", kPropertyTypeString);
  EXPECT_TRUE(s->SetText("hello world"));
  EXPECT_EQ(s->GetText(), "hello world");
  char buffer[4];
  EXPECT_FALSE(s->GetData(buffer, sizeof buffer));  // does not fit
  EXPECT_TRUE(s->SetData("abc\0def", 7));
  EXPECT_EQ(s->GetText(), "abc");

  EXPECT_EQ(make("V4", kPropertyTypeVector4d)->GetText(), "{0.000000,0.000000,0.000000,1.000000}");
  EXPECT_EQ(make("C4", kPropertyTypeColorRGBA)->GetText(), "{0.000000,0.000000,0.000000,0.000000}");
  auto* rgb = static_cast<VPropertyDouble3*>(make("C3", kPropertyTypeColorRGB));
  rgb->Set({0.25, 0.5, 1.0});
  EXPECT_EQ(rgb->GetText(), "{0.250000,0.500000,1.000000,1.000000}");
  auto* v3 = static_cast<VPropertyDouble3*>(make("V3", kPropertyTypeVector3d));
  v3->Set({1, -2, 3.5});
  EXPECT_EQ(v3->GetText(), "{1.000000,-2.000000,3.500000}");
  EXPECT_FALSE(v3->SetDouble(1.0));
  EXPECT_FALSE(v3->SetText("{1,2,3}"));
}

TEST_F(PropertyTest, ObjectPropertiesNameTheirObject) {
  auto* single = static_cast<VPropertyObject*>(make("O", kPropertyTypeObject));
  auto* list = static_cast<VPropertyObject*>(make("OL", kPropertyTypeObject, kPropertyDefObjectList));
  EXPECT_EQ(single->GetText(), "Object!");
  EXPECT_EQ(list->GetText(), "ObjectList!");
  {
    VObject a("PropertyTestObject", "Alpha"), b("PropertyTestObject", "Beta");
    EXPECT_TRUE(single->SetObjectValue(&a));
    EXPECT_TRUE(single->SetObjectValue(&b));
    EXPECT_EQ(single->GetObjectCount(), 1);
    EXPECT_EQ(single->GetText(), "Beta");
    EXPECT_TRUE(list->AddObjectValue(&a));
    EXPECT_TRUE(list->AddObjectValue(&b));
    EXPECT_EQ(list->GetObjectCount(), 2);
    EXPECT_EQ(list->GetText(), "Alpha");
  }
  // Destroyed objects leave no dangling values.
  EXPECT_EQ(single->GetText(), "Object!");
  EXPECT_EQ(list->GetObjectCount(), 0);
}

TEST_F(PropertyTest, TimeUsesFrameCountText) {
  auto* t = static_cast<VPropertyTime*>(make("T", kPropertyTypeTime));
  // 1.5 s at the default 30 fps, frame-count format: frame 45.
  t->Set(46186158000LL * 3 / 2);
  EXPECT_EQ(t->GetText(), "45");
  EXPECT_FALSE(t->SetDouble(1.0));
}

TEST_F(PropertyTest, EqualValuesNotifyNothingChangesDo) {
  VProperty* d = make("D", kPropertyTypeDouble);
  listener.codes.clear();
  d->SetDouble(0.0);
  EXPECT_TRUE(listener.codes.empty());
  d->SetDouble(1.0);
  EXPECT_EQ(listener.codes, (std::vector<int>{kPlugNotifyValueChanged}));

  listener.codes.clear();
  d->SetMin(0.0);  // current value
  d->SetMinMax(0.0, 0.0);
  EXPECT_TRUE(listener.codes.empty());
  d->SetMax(10.0);
  EXPECT_EQ(d->GetMax(), 10.0);
  d->SetMinMax(-1.0, 10.0);
  d->SetEnumItems({});
  EXPECT_EQ(listener.codes,
            (std::vector<int>{kPlugNotifyDefinitionChanged, kPlugNotifyDefinitionChanged}));
}

TEST_F(PropertyTest, RenameAsksThenAnnouncesAndKeepsNamesUnique) {
  VProperty* p = make("Size", kPropertyTypeDouble);
  make("Other", kPropertyTypeDouble);
  listener.codes.clear();
  EXPECT_TRUE(p->SetName("Width"));
  EXPECT_EQ(listener.codes, (std::vector<int>{kPlugNotifyRenameRequest, kPlugNotifyRenameDone}));
  EXPECT_EQ(object.FindProperty("Width"), p);
  EXPECT_EQ(object.FindProperty("Size"), nullptr);

  listener.refuse = kPlugNotifyRenameRequest;
  EXPECT_FALSE(p->SetName("Height"));
  EXPECT_EQ(p->GetName(), "Width");
  listener.refuse = -1;

  EXPECT_FALSE(p->SetName("Other"));
  EXPECT_TRUE(p->SetName("Other", true));
  EXPECT_EQ(p->GetName(), "Other1");
  EXPECT_EQ(object.FindProperty("Other1"), p);
}

TEST_F(PropertyTest, FlagsAndDefinitionBits) {
  VProperty* p = make("P", kPropertyTypeDouble, kPropertyDefList | 128);
  EXPECT_TRUE(p->IsList());
  EXPECT_FALSE(p->IsAnimatable());
  EXPECT_TRUE(p->TestDefinitionFlag(128));
  p->SetFlag(kPropertyReadOnly, true);
  p->SetFlag(kPropertyInstanceBit8, true);
  EXPECT_TRUE(p->IsReadOnly());
  EXPECT_EQ(p->GetFlags(), 40u);
  p->SetFlag(kPropertyReadOnly, false);
  EXPECT_FALSE(p->TestFlag(kPropertyReadOnly));
  p->SetFlags(0);
  EXPECT_EQ(p->GetFlags(), 0u);
  EXPECT_TRUE(make("R", kPropertyTypeReference)->IsReference());
  EXPECT_EQ(p->GetEnumItemCount(), 0);
  p->GetEnumItems().push_back("x");
  EXPECT_EQ(p->GetEnumItem(0), "x");
}

class FixedNode : public VAnimationSource {
 public:
  bool ReadAnimatedValues(double* out, int count) const override {
    for (int i = 0; i < count; ++i) out[i] = 10.0 + i;
    return true;
  }
};

TEST_F(PropertyTest, AnimatablePropertiesExchangeDoubles) {
  auto* t = object.AddPropertyT<VPropertyDouble3>("Lcl Translation", kPropertyTypeVector3d,
                                                   kPropertyDefAnimatable);
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->SetDouble(4.5));
  EXPECT_EQ(t->Get(), (VDouble3{4.5, 0, 0}));
  EXPECT_EQ(t->GetIntValue(), 4);
  EXPECT_TRUE(t->Set({1, 2, 3}));
  EXPECT_EQ(t->GetText(), "{1.000000,2.000000,3.000000}");

  FixedNode node;
  t->SetAnimationNode(&node);
  EXPECT_TRUE(t->IsAnimated());
  EXPECT_EQ(t->Get(), (VDouble3{10, 11, 12}));
  t->SetAnimationNode(nullptr);
  EXPECT_EQ(t->Get(), (VDouble3{1, 2, 3}));

  // An animatable bool keeps its double as written.
  VProperty* vis = make("Visibility", kPropertyTypeBool, kPropertyDefAnimatable);
  EXPECT_TRUE(vis->SetDouble(0.7));
  EXPECT_DOUBLE_EQ(vis->GetDoubleValue(), 0.7);
  EXPECT_EQ(vis->GetDataSize(), sizeof(double));
  // An animatable Vector4d starts as (0, 0, 0, 1).
  EXPECT_EQ(make("Q", kPropertyTypeVector4d, kPropertyDefAnimatable)->GetText(),
            "{0.000000,0.000000,0.000000,1.000000}");
}

TEST(PropertyTypeTest, NamesRoundTrip) {
  EXPECT_STREQ(VPropertyTypeName(kPropertyTypeInt), "int");
  EXPECT_STREQ(VPropertyTypeName(kPropertyTypeVectorElement), "VectorElement");
  EXPECT_STREQ(VPropertyTypeName(0), "");
  EXPECT_STREQ(VPropertyTypeName(19), "");
  for (int id = 1; id < kPropertyTypeCount; ++id)
    EXPECT_EQ(VPropertyTypeFromName(VPropertyTypeName(id)), id);
  EXPECT_EQ(VPropertyTypeFromName("Vector4D"), 0);
}

}  // namespace
