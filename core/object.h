#pragma once
// Named object with typed properties (in creation order, found by name) and
// owned sub-objects. An object owns its properties and sub-objects; both are
// owned plugs of the object, so their broadcasts reach it, and the object
// hands them on to its own listeners.
//
// A class may have some of its fixed properties made on request
// (AddPropertyOnRequest): such a property exists from the start for every
// caller (it is counted, found and listed), but is only made when first
// asked for; until then its value is read from the class's layout. Making
// it changes no value and notifies nobody. Like the evaluation caches, this
// is not safe from two threads at once on one object.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "core/plug.h"
#include "core/property.h"
#include "core/property_layout.h"

class VObject : public VPlug {
 public:
  // The class name is registered with the class registry for the class id.
  explicit VObject(const std::string& className, const std::string& name = std::string());
  ~VObject() override;

  int GetClassId() const override { return mClassId; }
  const std::string& GetRegisteredClassName() const { return mClassName; }
  // Type name used in full names ("Model"); the class name unless overridden.
  virtual std::string GetTypeName() const { return mClassName; }

  // --- names ------------------------------------------------------------------
  const std::string& GetName() const { return mName; }
  // Broadcasts 25 (refusable) then 26. With makeUnique a number is appended
  // until no sibling (sub-object of the same parent) has the name.
  bool SetName(const std::string& name, bool makeUnique = false);
  // Type name + "::" + name, e.g. "Model::Cube".
  std::string GetFullName() const { return MakeFullName(GetTypeName(), mName); }
  static std::string MakeFullName(const std::string& typeName, const std::string& name);
  // Splits at the first "::"; false (outputs untouched) when there is none.
  static bool SplitFullName(const std::string& fullName, std::string& typeName, std::string& name);

  // --- properties -------------------------------------------------------------
  int GetPropertyCount() const { return mLayout->Count() + static_cast<int>(mBeyond.size()); }
  VProperty* GetProperty(int index) const;
  // Hash lookup by exact name; null when absent.
  VProperty* FindProperty(const std::string& name) const;
  // Takes the property; null (the property is destroyed) when the name is
  // taken or the property already belongs to an object.
  VProperty* AddProperty(std::unique_ptr<VProperty> property);
  // Makes and adds a property of the type (see VProperty::Create).
  VProperty* CreateProperty(const std::string& name, int type, std::uint32_t definitionFlags = 0);
  // Typed creation, e.g. AddPropertyT<VPropertyDouble3>("Lcl Translation",
  // kPropertyTypeVector3d, kPropertyDefAnimatable). For the fixed properties
  // of a class: their definitions are shared by every object of the class
  // (see VPropertyLayout); an enum's items may come with them.
  template <class P>
  P* AddPropertyT(std::string_view name, int type, std::uint32_t definitionFlags = 0,
                  const std::vector<std::string>* items = nullptr) {
    std::unique_ptr<P> property;
    if (const VPropertyDefinition* shared = SharedDefinition(name, type, definitionFlags, items)) {
      property = std::make_unique<P>(shared);
    } else {
      property = std::make_unique<P>(std::string(name), type, definitionFlags);
      if (items) property->SetEnumItems(*items);
    }
    P* raw = property.get();
    return AddProperty(std::move(property)) ? raw : nullptr;
  }
  // Made on request (see above), with this initial value; answers the
  // property's position, or -1 when the name is taken. An object that has
  // left its class's layout makes the property at once.
  template <class T>
  int AddPropertyOnRequest(std::string_view name, int type, std::uint32_t definitionFlags = 0,
                           const std::vector<std::string>* items = nullptr, const T& initial = T{}) {
    static_assert(sizeof(T) <= VPropertyOnRequest::kMaxInitialSize, "the initial value fits the layout");
    VPropertyOnRequest made{&MakeOnRequest<VPropertyT<T>>, sizeof(T), &initial};
    return AddOnRequest(name, type, definitionFlags, items, made);
  }
  // For classes whose value is not a plain one (object properties): made
  // with their class's empty value.
  template <class P>
  int AddPropertyOnRequestEmpty(std::string_view name, int type, std::uint32_t definitionFlags = 0) {
    VPropertyOnRequest made{&MakeOnRequest<P>, 0, nullptr};
    return AddOnRequest(name, type, definitionFlags, nullptr, made);
  }
  // The value of the plain property at `position` (made with
  // AddPropertyOnRequest<T>), read without making it.
  template <class T>
  T GetValueAt(int position) const {
    if (const VProperty* made = GetPropertyIfMade(position)) return static_cast<const VPropertyT<T>*>(made)->Get();
    T value;
    std::memcpy(&value, mLayout->At(position)->InitialValue(), sizeof(T));
    return value;
  }
  // The property at `position` if it has been made; null otherwise.
  VProperty* GetPropertyIfMade(int position) const;
  // The property at `position` to read without making it: the object's
  // own when made, else one made in `scratch` from the class's layout (not
  // the object's, with no owner; valid while scratch holds it). For
  // walking every property (writing a file) at no cost in memory.
  const VProperty* ReadPropertyAt(int position, std::unique_ptr<VProperty>& scratch) const;
  // The properties before `count` keep their positions for good: they are
  // refused to RemoveProperty and DetachProperty (a class reaches them by
  // position).
  void PinProperties(int count) { mPinned = count; }

  bool RemoveProperty(VProperty* property);
  std::unique_ptr<VProperty> DetachProperty(VProperty* property);

  // Whether properties unknown to the class may be created (default true).
  bool AcceptsDynamicProperties() const { return mAcceptsDynamic; }
  void SetAcceptsDynamicProperties(bool accepts) { mAcceptsDynamic = accepts; }
  // A property made on request (e.g. from a file record); `user` marks it a
  // user property (definition bit 64). Null when the object accepts none or
  // the name is taken.
  VProperty* CreateDynamicProperty(const std::string& name, int type, bool user,
                                   std::uint32_t definitionFlags = 0);
  // The existing property of that name, else a dynamic one.
  VProperty* FindOrCreateProperty(const std::string& name, int type, bool user,
                                  std::uint32_t definitionFlags = 0);

  // --- sub-objects --------------------------------------------------------------
  int GetSubObjectCount() const { return static_cast<int>(mSubObjects.size()); }
  VObject* GetSubObject(int index) const;
  VObject* FindSubObject(const std::string& name) const;
  VObject* GetParentObject() const { return mParent; }
  VObject* AddSubObject(std::unique_ptr<VObject> object);
  bool RemoveSubObject(VObject* object);
  std::unique_ptr<VObject> DetachSubObject(VObject* object);

  // Broadcasts of owned plugs are handed on to this object's listeners.
  bool PlugNotify(int code, VPlug* partner, void* data) override;

 protected:
  // The properties are the object's first owned plugs, listed once.
  int KeptCount() const override { return GetPropertyCount(); }
  VPlug* Kept(int index) const override { return GetProperty(index); }
  int MadeKeptCount() const override { return static_cast<int>(mMade.size() + mBeyond.size()); }
  VPlug* MadeKept(int index) const override {
    const auto i = static_cast<std::size_t>(index);
    return i < mMade.size() ? mMade[i].property : mBeyond[i - mMade.size()];
  }

 private:
  friend class VProperty;
  using NameIndex = std::unordered_map<std::string, VProperty*>;

  void PropertyRenamed(VProperty* property, const std::string& oldName);
  template <class P>
  static VProperty* MakeOnRequest(const VPropertyDefinition* shared, const void* initial) {
    if constexpr (std::is_base_of_v<VPropertyObject, P>) {
      return new P(shared);
    } else {
      auto* p = new P(shared);
      p->InitialiseValue(initial);
      return p;
    }
  }
  int AddOnRequest(std::string_view name, int type, std::uint32_t flags, const std::vector<std::string>* items,
                   const VPropertyOnRequest& made);
  // Makes the property at `position` that was to be made on request.
  VProperty* MakeAt(int position) const;
  void MakeAll() const;
  // The shared definition of the next property on this object's layout;
  // null once the object has left its class's layout.
  const VPropertyDefinition* SharedDefinition(std::string_view name, int type, std::uint32_t flags,
                                              const std::vector<std::string>* items);
  // The object keeps its own index of every property from now on.
  void LeaveLayout();

  std::string mClassName;
  int mClassId;
  std::string mName;
  bool mAcceptsDynamic = true;
  // The properties at the layout's positions that have been made, by
  // position (the others are made on request), then those beyond the
  // layout in their order. Both own their properties.
  struct MadeProperty {
    int position;
    VProperty* property;
  };
  mutable std::vector<MadeProperty> mMade;
  std::vector<VProperty*> mBeyond;
  // Where a made property of the layout is in mMade (or would go).
  std::vector<MadeProperty>::iterator MadeSlot(int position) const;
  // Position of the property; -1 when it is not one of this object's.
  int PositionOf(const VProperty* property) const;
  // The first mLayout->Count() properties are those of the shared layout
  // (found through its index); the others, if any, are in mOwnIndex.
  const VPropertyLayout* mLayout = VPropertyLayout::Root();
  std::unique_ptr<NameIndex> mOwnIndex;
  int mPinned = 0;
  std::vector<std::unique_ptr<VObject>> mSubObjects;
  VObject* mParent = nullptr;
};
