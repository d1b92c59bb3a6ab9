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
  auto release = [](VProperty* p) {
    ReleaseKept(p);
    if (p->Droppable()) {
      VPlugFree(p, std::size_t{p->mPlainSize} * 8);
    } else {
      delete p;
    }
  };
  while (!mBeyond.empty()) {
    VProperty* p = mBeyond.back();
    mBeyond.pop_back();
    release(p);
  }
  while (!mMade.empty()) {
    VProperty* p = mMade.back().property;
    mMade.pop_back();
    release(p);
  }
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

std::vector<VObject::MadeProperty>::iterator VObject::MadeSlot(int position) const {
  return std::lower_bound(mMade.begin(), mMade.end(), position,
                          [](const MadeProperty& m, int p) { return m.position < p; });
}

VProperty* VObject::GetPropertyIfMade(int position) const {
  const int count = mLayout->Count();
  if (position < 0) return nullptr;
  if (position >= count) {
    const auto beyond = static_cast<std::size_t>(position - count);
    return beyond < mBeyond.size() ? mBeyond[beyond] : nullptr;
  }
  auto it = MadeSlot(position);
  return it != mMade.end() && it->position == position ? it->property : nullptr;
}

const VProperty* VObject::ReadPropertyAt(int position, std::unique_ptr<VProperty>& scratch) const {
  if (position < 0 || position >= GetPropertyCount()) return nullptr;
  if (const VProperty* made = GetPropertyIfMade(position)) return made;
  scratch.reset(mLayout->At(position)->MakeProperty());
  return scratch.get();
}

VProperty* VObject::GetProperty(int index) const {
  if (index < 0 || index >= GetPropertyCount()) return nullptr;
  VProperty* p = GetPropertyIfMade(index);
  return p ? p : MakeAt(index);
}

int VObject::PositionOf(const VProperty* property) const {
  for (const MadeProperty& m : mMade)
    if (m.property == property) return m.position;
  for (std::size_t i = 0; i < mBeyond.size(); ++i)
    if (mBeyond[i] == property) return mLayout->Count() + static_cast<int>(i);
  return -1;
}

VProperty* VObject::MakeAt(int position) const {
  // Only steps of the layout are ever left unmade.
  VProperty* p = mLayout->At(position)->MakeProperty();
  p->mInObject = true;
  const_cast<VObject*>(this)->AdoptKept(p);
  mMade.insert(MadeSlot(position), MadeProperty{position, p});
  return p;
}

void VObject::MakeAll() const {
  const int count = mLayout->Count();
  if (static_cast<int>(mMade.size()) == count) return;
  mMade.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    if (!GetPropertyIfMade(i)) MakeAt(i);
}

int VObject::AddOnRequest(std::string_view name, int type, std::uint32_t flags,
                          const std::vector<std::string>* items, const VPropertyOnRequest& made) {
  const VPropertyLayout* next = mOwnIndex ? nullptr : mLayout->Next(name, type, flags, items, made);
  if (!next) {
    // Off the layout: made now, as any other property.
    if (FindProperty(std::string(name))) return -1;
    auto own = VProperty::Create(std::string(name), type, flags);
    if (items) own->SetEnumItems(*items);
    if (made.initialSize && own->GetDataSize() == made.initialSize) own->SetData(made.initial, made.initialSize);
    const int position = GetPropertyCount();
    return AddProperty(std::move(own)) ? position : -1;
  }
  mLayout = next;
  Broadcast(kPlugNotifyListChanged);
  return GetPropertyCount() - 1;
}

VProperty* VObject::FindProperty(const std::string& name) const {
  const int index = mLayout->Find(name);
  if (index >= 0) return GetProperty(index);
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
  MakeAll();
  if (!mOwnIndex) mOwnIndex = std::make_unique<NameIndex>();
  std::vector<VProperty*> all;
  all.reserve(mMade.size() + mBeyond.size());
  for (const MadeProperty& m : mMade) {
    mOwnIndex->emplace(m.property->GetName(), m.property);
    all.push_back(m.property);
  }
  all.insert(all.end(), mBeyond.begin(), mBeyond.end());
  mMade.clear();
  mMade.shrink_to_fit();
  mBeyond.swap(all);
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
  VProperty* raw = property.release();
  raw->mInObject = true;
  AdoptKept(raw);
  if (next) {
    // The layout's last step: mMade stays in order. An object on its layout
    // has nothing beyond it.
    mLayout = next;
    mMade.push_back(MadeProperty{next->Count() - 1, raw});
  } else {
    if (!mOwnIndex) mOwnIndex = std::make_unique<NameIndex>();
    mOwnIndex->emplace(raw->GetName(), raw);
    mBeyond.push_back(raw);
  }
  Broadcast(kPlugNotifyListChanged);
  return raw;
}

VProperty* VObject::CreateProperty(const std::string& name, int type, std::uint32_t flags) {
  return AddProperty(VProperty::Create(name, type, flags));
}

std::unique_ptr<VProperty> VObject::DetachProperty(VProperty* property) {
  const int position = property ? PositionOf(property) : -1;
  if (position < 0 || position < mPinned) return nullptr;
  if (position < mLayout->Count()) LeaveLayout();
  auto it = mBeyond.begin() + (position - mLayout->Count());
  std::unique_ptr<VProperty> detached(*it);
  mBeyond.erase(it);
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
  const int position = PositionOf(property);
  if (position >= 0 && position < mLayout->Count()) LeaveLayout();
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
