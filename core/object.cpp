#include "core/object.h"

#include <algorithm>

#include "core/class_registry.h"

VObject::VObject(const std::string& className, const std::string& name)
    : mClassName(className), mClassId(VClassRegistry::Instance().Register(className)), mName(name) {}

VObject::~VObject() {
  // Properties first (they may refer to sub-objects), newest first. Most
  // are plain (no connections, a shared definition, a value without
  // destructor): their memory goes back without destroying them, which is
  // most of the cost of clearing a large scene.
  ReleaseOwned();
  mOwnIndex.reset();
  mLayout = VPropertyLayout::Root();
  for (auto it = mProperties.rbegin(); it != mProperties.rend(); ++it) {
    VProperty* p = it->get();
    ReleaseKept(p);
    if (!p->Droppable()) continue;
    it->release();
    VPlugFree(p, std::size_t{p->mPlainSize} * 8);
  }
  while (!mProperties.empty()) mProperties.pop_back();
  while (!mSubObjects.empty()) mSubObjects.pop_back();
}

bool VObject::SetName(const std::string& name, bool makeUnique) {
  if (name == mName) return true;
  std::string candidate = name;
  if (makeUnique && mParent) {
    auto taken = [&](const std::string& n) {
      const VObject* other = mParent->FindSubObject(n);
      return other && other != this;
    };
    for (int n = 1; taken(candidate); ++n) candidate = name + std::to_string(n);
    if (candidate == mName) return true;
  }
  VRenameData data{mName.c_str(), candidate.c_str()};
  if (!Broadcast(kPlugNotifyRenameRequest, &data)) return false;
  const std::string old = mName;
  mName = candidate;
  data.oldName = old.c_str();
  data.newName = mName.c_str();
  Broadcast(kPlugNotifyRenameDone, &data);
  return true;
}

std::string VObject::MakeFullName(const std::string& typeName, const std::string& name) {
  return typeName + "::" + name;
}

bool VObject::SplitFullName(const std::string& fullName, std::string& typeName, std::string& name) {
  const std::size_t at = fullName.find("::");
  if (at == std::string::npos) return false;
  typeName = fullName.substr(0, at);
  name = fullName.substr(at + 2);
  return true;
}

// --- properties ------------------------------------------------------------------

VProperty* VObject::GetProperty(int index) const {
  if (index < 0 || index >= GetPropertyCount()) return nullptr;
  return mProperties[static_cast<std::size_t>(index)].get();
}

VProperty* VObject::FindProperty(const std::string& name) const {
  const int index = mLayout->Find(name);
  if (index >= 0) return mProperties[static_cast<std::size_t>(index)].get();
  if (!mOwnIndex) return nullptr;
  auto it = mOwnIndex->find(name);
  return it == mOwnIndex->end() ? nullptr : it->second;
}

const VPropertyDefinition* VObject::SharedDefinition(std::string_view name, int type, std::uint32_t flags,
                                                     const std::vector<std::string>* items) {
  if (mOwnIndex) return nullptr;
  const VPropertyLayout* next = mLayout->Next(name, type, flags, items);
  return next ? next->Definition() : nullptr;
}

void VObject::LeaveLayout() {
  const int count = mLayout->Count();
  if (!mOwnIndex) mOwnIndex = std::make_unique<NameIndex>();
  for (int i = 0; i < count; ++i) {
    VProperty* p = mProperties[static_cast<std::size_t>(i)].get();
    mOwnIndex->emplace(p->GetName(), p);
  }
  mLayout = VPropertyLayout::Root();
}

VProperty* VObject::AddProperty(std::unique_ptr<VProperty> property) {
  if (!property || property->mInObject || property->GetOwner()) return nullptr;
  // A property that continues the layout has a name no property of the
  // layout has (the layout refuses such a step); an object on its layout
  // has no other property.
  const VPropertyLayout* next =
      !mOwnIndex && property->HasSharedDefinition() ? mLayout->Following(property->mDefinition) : nullptr;
  if (!next && FindProperty(property->GetName())) return nullptr;
  VProperty* raw = property.get();
  if (mProperties.empty() && next) {
    // Room for what objects of this class end up holding.
    const auto expected = static_cast<std::size_t>(next->LongestBelow());
    mProperties.reserve(expected);
  }
  raw->mInObject = true;
  AdoptKept(raw);
  if (next) {
    mLayout = next;
  } else {
    if (!mOwnIndex) mOwnIndex = std::make_unique<NameIndex>();
    mOwnIndex->emplace(raw->GetName(), raw);
  }
  mProperties.push_back(std::move(property));
  Broadcast(kPlugNotifyListChanged);
  return raw;
}

VProperty* VObject::CreateProperty(const std::string& name, int type, std::uint32_t flags) {
  return AddProperty(VProperty::Create(name, type, flags));
}

std::unique_ptr<VProperty> VObject::DetachProperty(VProperty* property) {
  auto it = std::find_if(mProperties.begin(), mProperties.end(),
                         [&](const std::unique_ptr<VProperty>& p) { return p.get() == property; });
  if (it == mProperties.end()) return nullptr;
  if (it - mProperties.begin() < mLayout->Count()) LeaveLayout();
  std::unique_ptr<VProperty> detached = std::move(*it);
  mProperties.erase(it);
  mOwnIndex->erase(detached->GetName());
  ReleaseKept(detached.get());
  detached->mInObject = false;
  Broadcast(kPlugNotifyListChanged);
  return detached;
}

bool VObject::RemoveProperty(VProperty* property) { return DetachProperty(property) != nullptr; }

VProperty* VObject::CreateDynamicProperty(const std::string& name, int type, bool user,
                                          std::uint32_t flags) {
  if (!mAcceptsDynamic) return nullptr;
  if (user) flags |= kPropertyDefUser;
  return CreateProperty(name, type, flags);
}

VProperty* VObject::FindOrCreateProperty(const std::string& name, int type, bool user,
                                         std::uint32_t flags) {
  if (VProperty* existing = FindProperty(name)) return existing;
  return CreateDynamicProperty(name, type, user, flags);
}

void VObject::PropertyRenamed(VProperty* property, const std::string& oldName) {
  // The layout's index knows the old name: the object indexes its own.
  for (int i = 0; i < mLayout->Count(); ++i) {
    if (mProperties[static_cast<std::size_t>(i)].get() == property) {
      LeaveLayout();
      break;
    }
  }
  if (!mOwnIndex) mOwnIndex = std::make_unique<NameIndex>();
  auto it = mOwnIndex->find(oldName);
  if (it != mOwnIndex->end() && it->second == property) mOwnIndex->erase(it);
  (*mOwnIndex)[property->GetName()] = property;
}

// --- sub-objects -----------------------------------------------------------------

VObject* VObject::GetSubObject(int index) const {
  if (index < 0 || index >= GetSubObjectCount()) return nullptr;
  return mSubObjects[static_cast<std::size_t>(index)].get();
}

VObject* VObject::FindSubObject(const std::string& name) const {
  for (const auto& o : mSubObjects)
    if (o->GetName() == name) return o.get();
  return nullptr;
}

VObject* VObject::AddSubObject(std::unique_ptr<VObject> object) {
  if (!object || object->mParent || object->GetOwner()) return nullptr;
  VObject* raw = object.get();
  // Refuses to own an ancestor.
  if (!raw->SetOwner(this)) return nullptr;
  raw->mParent = this;
  mSubObjects.push_back(std::move(object));
  Broadcast(kPlugNotifyListChanged);
  return raw;
}

std::unique_ptr<VObject> VObject::DetachSubObject(VObject* object) {
  auto it = std::find_if(mSubObjects.begin(), mSubObjects.end(),
                         [&](const std::unique_ptr<VObject>& o) { return o.get() == object; });
  if (it == mSubObjects.end()) return nullptr;
  std::unique_ptr<VObject> detached = std::move(*it);
  mSubObjects.erase(it);
  detached->SetOwner(nullptr);
  detached->mParent = nullptr;
  Broadcast(kPlugNotifyListChanged);
  return detached;
}

bool VObject::RemoveSubObject(VObject* object) { return DetachSubObject(object) != nullptr; }

bool VObject::PlugNotify(int code, VPlug* partner, void* data) {
  if (code >= kPlugNotifyBeginChange && partner && partner != this && partner->GetOwner() == this)
    return NotifyListeners(code, partner, data);
  return true;
}
