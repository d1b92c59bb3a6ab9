#include "core/property_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/object.h"
#include "core/plug_memory.h"

namespace {

const std::vector<std::string> kOrders = {"First", "Second", "Third"};

// A class with fixed properties, made the same way for every instance.
class Thing : public VObject {
 public:
  explicit Thing(const std::string& name) : VObject("LayoutTestThing", name) {
    mSize = AddPropertyT<VPropertyDouble>("Size", kPropertyTypeDouble);
    mOrder = AddPropertyT<VPropertyInt>("Order", kPropertyTypeEnum, 0, &kOrders);
    mPlace = AddPropertyT<VPropertyDouble3>("Place", kPropertyTypeVector3d, kPropertyDefAnimatable);
  }
  VPropertyDouble* mSize;
  VPropertyInt* mOrder;
  VPropertyDouble3* mPlace;
};

TEST(PropertyLayoutTest, ObjectsOfAClassShareDefinitionsAndFindTheirOwnProperties) {
  Thing a("A");
  Thing b("B");
  EXPECT_TRUE(a.mSize->HasSharedDefinition());
  EXPECT_EQ(&a.mSize->GetDefinition(), &b.mSize->GetDefinition());
  EXPECT_EQ(&a.mOrder->GetDefinition(), &b.mOrder->GetDefinition());
  EXPECT_EQ(a.FindProperty("Size"), a.mSize);
  EXPECT_EQ(b.FindProperty("Size"), b.mSize);
  EXPECT_EQ(b.FindProperty("Place"), b.mPlace);
  EXPECT_EQ(b.FindProperty("Nothing"), nullptr);
  EXPECT_EQ(a.mOrder->GetEnumItemCount(), 3);
  EXPECT_EQ(a.mOrder->GetEnumItem(2), "Third");
  EXPECT_TRUE(a.mPlace->IsAnimatable());
  // Values are each object's own.
  a.mSize->Set(2.0);
  EXPECT_EQ(b.mSize->Get(), 0.0);
}

TEST(PropertyLayoutTest, ChangingADefinitionCopiesItForThatPropertyOnly) {
  Thing a("A");
  Thing b("B");
  a.mSize->SetMinMax(1.0, 5.0);
  EXPECT_FALSE(a.mSize->HasSharedDefinition());
  EXPECT_EQ(a.mSize->GetMax(), 5.0);
  EXPECT_EQ(b.mSize->GetMax(), 0.0);
  a.mOrder->SetEnumItems({"Only"});
  EXPECT_EQ(a.mOrder->GetEnumItemCount(), 1);
  EXPECT_EQ(b.mOrder->GetEnumItemCount(), 3);
  // Asking for the list to change it makes it the property's own too.
  b.mOrder->GetEnumItems().push_back("Fourth");
  EXPECT_EQ(b.mOrder->GetEnumItemCount(), 4);
  EXPECT_EQ(Thing("C").mOrder->GetEnumItemCount(), 3);
}

TEST(PropertyLayoutTest, RenamesAndRemovalsLeaveOtherObjectsAlone) {
  Thing a("A");
  Thing b("B");
  EXPECT_TRUE(a.mSize->SetName("Width"));
  EXPECT_EQ(a.FindProperty("Width"), a.mSize);
  EXPECT_EQ(a.FindProperty("Size"), nullptr);
  EXPECT_EQ(a.FindProperty("Place"), a.mPlace);
  EXPECT_EQ(b.FindProperty("Size"), b.mSize);
  EXPECT_EQ(b.FindProperty("Width"), nullptr);
  EXPECT_EQ(b.mSize->GetName(), "Size");

  EXPECT_TRUE(b.RemoveProperty(b.mOrder));
  EXPECT_EQ(b.FindProperty("Order"), nullptr);
  EXPECT_EQ(b.FindProperty("Place"), b.mPlace);
  EXPECT_EQ(b.GetProperty(1), b.mPlace);
  // A name freed by a removal may be taken again, by a property of any type.
  VProperty* again = b.CreateProperty("Order", kPropertyTypeInt);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(b.FindProperty("Order"), again);
  EXPECT_EQ(Thing("C").FindProperty("Order")->GetType(), kPropertyTypeEnum);
}

TEST(PropertyLayoutTest, PropertiesBeyondTheClassOnesAreFoundAndStayUnique) {
  Thing a("A");
  VProperty* extra = a.CreateProperty("Extra", kPropertyTypeInt);
  ASSERT_NE(extra, nullptr);
  EXPECT_EQ(a.FindProperty("Extra"), extra);
  EXPECT_EQ(a.FindProperty("Size"), a.mSize);
  EXPECT_EQ(a.CreateProperty("Size", kPropertyTypeInt), nullptr);
  EXPECT_EQ(a.CreateProperty("Extra", kPropertyTypeInt), nullptr);
  // A class property added after an object's own ones is still checked.
  EXPECT_EQ(a.AddPropertyT<VPropertyDouble>("Extra", kPropertyTypeDouble), nullptr);
  EXPECT_EQ(a.GetPropertyCount(), 4);
}

TEST(PropertyLayoutTest, ALayoutRefusesANameItAlreadyHolds) {
  const VPropertyLayout* one = VPropertyLayout::Root()->Next("LayoutTestName", kPropertyTypeInt, 0, nullptr);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one, VPropertyLayout::Root()->Next("LayoutTestName", kPropertyTypeInt, 0, nullptr));
  EXPECT_EQ(one->Next("LayoutTestName", kPropertyTypeDouble, 0, nullptr), nullptr);
  EXPECT_EQ(one->Find("LayoutTestName"), 0);
  EXPECT_EQ(one->Count(), 1);
  // An object whose class repeats a name keeps one property of that name.
  VObject o("LayoutTestRepeat");
  EXPECT_NE(o.AddPropertyT<VPropertyInt>("Twice", kPropertyTypeInt), nullptr);
  EXPECT_EQ(o.AddPropertyT<VPropertyDouble>("Twice", kPropertyTypeDouble), nullptr);
  EXPECT_EQ(o.GetPropertyCount(), 1);
  EXPECT_EQ(o.FindProperty("Twice")->GetType(), kPropertyTypeInt);
}

TEST(PropertyLayoutTest, AnObjectGoingAwayLeavesNoPartnerOfItsPropertiesBehind) {
  Thing b("B");
  VPlug listener;
  {
    Thing a("A");
    ASSERT_TRUE(b.mSize->ConnectSrc(a.mSize));        // a connected property
    a.mPlace->AddListener(&listener);                  // a listened one
    EXPECT_TRUE(a.mOrder->SetName("Sequence"));        // one with its own definition
    a.mOrder->SetMinMax(0, 2);
    EXPECT_EQ(b.mSize->GetSrcCount(), 1);
    EXPECT_EQ(listener.GetOwnedCount(), 0);
  }
  EXPECT_EQ(b.mSize->GetSrcCount(), 0);
  EXPECT_EQ(b.mSize->GetSrc(0), nullptr);
  // The listener was forgotten too: it can go away and come back safely.
  Thing c("C");
  c.mPlace->AddListener(&listener);
  EXPECT_EQ(c.mPlace->GetListenerCount(), 1);
  EXPECT_TRUE(c.mPlace->RemoveListener(&listener));
}

// A property that hears of the index its object's new partners stand at.
class Watching : public VProperty {
 public:
  using VProperty::VProperty;
  bool PlugNotify(int code, VPlug* partner, void* data) override {
    if (code == kPlugNotifyOwnerSrcIndex) heard = *static_cast<const int*>(data);
    return VProperty::PlugNotify(code, partner, data);
  }
  int heard = -1;
};

TEST(PropertyLayoutTest, AnObjectOwnsItsPropertiesFirstThenItsOtherPlugs) {
  Thing a("A");
  VPlug extra;
  ASSERT_TRUE(extra.SetOwner(&a));
  ASSERT_EQ(a.GetOwnedCount(), 4);
  EXPECT_EQ(a.GetOwned(0), a.mSize);
  EXPECT_EQ(a.GetOwned(2), a.mPlace);
  EXPECT_EQ(a.GetOwned(3), &extra);
  EXPECT_EQ(a.GetOwned(4), nullptr);
  EXPECT_EQ(a.mPlace->GetOwner(), &a);

  std::unique_ptr<VProperty> order = a.DetachProperty(a.mOrder);
  ASSERT_NE(order, nullptr);
  EXPECT_EQ(order->GetOwner(), nullptr);
  EXPECT_EQ(order->GetOwnerObject(), nullptr);
  EXPECT_EQ(a.GetOwnedCount(), 3);
  EXPECT_EQ(a.GetOwned(1), a.mPlace);
  // A detached property may join another object.
  VObject other("LayoutTestOther");
  VProperty* joined = other.AddProperty(std::move(order));
  ASSERT_NE(joined, nullptr);
  EXPECT_EQ(joined->GetOwner(), &other);
  EXPECT_EQ(other.GetOwned(0), joined);
  EXPECT_EQ(other.FindProperty("Order"), joined);
  EXPECT_TRUE(extra.SetOwner(nullptr));
  EXPECT_EQ(a.GetOwnedCount(), 2);
}

TEST(PropertyLayoutTest, PropertiesHearTheIndexOfTheirObjectsNewSources) {
  VObject o("LayoutTestWatched");
  auto* watching = static_cast<Watching*>(o.AddProperty(std::make_unique<Watching>("W", kPropertyTypeEvent)));
  ASSERT_NE(watching, nullptr);
  VPlug first, second;
  ASSERT_TRUE(o.ConnectSrc(&first));
  EXPECT_EQ(watching->heard, 0);
  ASSERT_TRUE(o.ConnectSrcAt(0, &second));
  EXPECT_EQ(watching->heard, 0);
  EXPECT_EQ(o.GetSrc(1), &first);
}

TEST(PlugMemoryTest, PlugsOfEverySizeComeAndGoBackToTheirClass) {
  const VPlugMemoryStats before = VPlugMemoryStatistics();
  std::vector<std::pair<void*, std::size_t>> blocks;
  for (std::size_t size = 8; size <= 600; size += 7) {
    void* memory = VPlugAllocate(size);
    ASSERT_NE(memory, nullptr);
    // Writable across its whole size, and apart from every other block.
    std::memset(memory, static_cast<int>(size & 0xff), size);
    blocks.emplace_back(memory, size);
  }
  for (const auto& block : blocks) {
    const auto* bytes = static_cast<const unsigned char*>(block.first);
    for (std::size_t i = 0; i < block.second; ++i) ASSERT_EQ(bytes[i], block.second & 0xff);
  }
  for (const auto& block : blocks) VPlugFree(block.first, block.second);
  EXPECT_EQ(VPlugMemoryStatistics().inUse, before.inUse);
  // A freed block is handed out again for its class (when the plugs' memory
  // is in use: sanitizer builds take every plug from the heap).
  void* first = VPlugAllocate(40);
  VPlugFree(first, 40);
  void* second = VPlugAllocate(36);
  if (VPlugMemoryStatistics().reserved > 0) {
    EXPECT_EQ(first, second);
  }
  VPlugFree(second, 36);
}

}  // namespace
