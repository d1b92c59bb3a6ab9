#pragma once
// Named object with typed properties (in creation order, found by name) and
// owned sub-objects. An object owns its properties and sub-objects; both are
// owned plugs of the object, so their broadcasts reach it, and the object
// hands them on to its own listeners.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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
  int GetPropertyCount() const { return static_cast<int>(mProperties.size()); }
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
  int KeptCount() const override { return static_cast<int>(mProperties.size()); }
  VPlug* Kept(int index) const override { return mProperties[static_cast<std::size_t>(index)].get(); }

 private:
  friend class VProperty;
  using NameIndex = std::unordered_map<std::string, VProperty*>;

  void PropertyRenamed(VProperty* property, const std::string& oldName);
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
  std::vector<std::unique_ptr<VProperty>> mProperties;
  // The first mLayout->Count() properties are those of the shared layout
  // (found through its index); the others, if any, are in mOwnIndex.
  const VPropertyLayout* mLayout = VPropertyLayout::Root();
  std::unique_ptr<NameIndex> mOwnIndex;
  std::vector<std::unique_ptr<VObject>> mSubObjects;
  VObject* mParent = nullptr;
};
