#include "core/property_layout.h"

#include <cstring>
#include <mutex>

namespace {

std::mutex& LayoutMutex() {
  static std::mutex mutex;
  return mutex;
}

bool SameItems(const VPropertyDefinition& d, const std::vector<std::string>* items) {
  const bool none = !items || items->empty();
  if (!d.mEnumItems) return none;
  return none ? d.mEnumItems->empty() : *d.mEnumItems == *items;
}

}  // namespace

VPropertyLayout::VPropertyLayout(const VPropertyLayout* parent, VPropertyDefinition definition)
    : mDefinition(std::move(definition)), mParent(parent), mCount(parent->mCount + 1) {}

const VPropertyLayout* VPropertyLayout::Root() {
  static const VPropertyLayout* root = new VPropertyLayout();
  return root;
}

const VPropertyLayout* VPropertyLayout::FindChild(std::string_view name, int type, std::uint32_t flags,
                                                  const std::vector<std::string>* items,
                                                  const VPropertyOnRequest& made) const {
  for (const VPropertyLayout* c = mFirstChild.load(std::memory_order_acquire); c; c = c->mNextSibling) {
    const VPropertyDefinition& d = c->mDefinition;
    if (d.mType != type || d.mFlags != flags || d.mName != name || !SameItems(d, items)) continue;
    if (c->mMake != made.make) continue;
    if (made.initialSize && std::memcmp(c->mInitial, made.initial, made.initialSize) != 0) continue;
    return c;
  }
  return nullptr;
}

const VPropertyLayout* VPropertyLayout::Next(std::string_view name, int type, std::uint32_t flags,
                                             const std::vector<std::string>* items) const {
  return Next(name, type, flags, items, VPropertyOnRequest{});
}

const VPropertyLayout* VPropertyLayout::Next(std::string_view name, int type, std::uint32_t flags,
                                             const std::vector<std::string>* items,
                                             const VPropertyOnRequest& made) const {
  if (made.initialSize > VPropertyOnRequest::kMaxInitialSize || (made.initialSize && !made.initial)) return nullptr;
  if (const VPropertyLayout* found = FindChild(name, type, flags, items, made)) return found;
  std::lock_guard<std::mutex> lock(LayoutMutex());
  if (const VPropertyLayout* found = FindChild(name, type, flags, items, made)) return found;
  for (const VPropertyLayout* l = this; l && l->mCount > 0; l = l->mParent)
    if (l->mDefinition.mName == name) return nullptr;
  VPropertyDefinition definition(std::string(name), type, flags);
  if (items && !items->empty()) definition.mEnumItems = std::make_unique<std::vector<std::string>>(*items);
  auto* child = new VPropertyLayout(this, std::move(definition));
  child->mMake = made.make;
  if (made.initialSize) std::memcpy(child->mInitial, made.initial, made.initialSize);
  child->mNextSibling = mFirstChild.load(std::memory_order_relaxed);
  mFirstChild.store(child, std::memory_order_release);
  return child;
}

const VPropertyLayout* VPropertyLayout::Following(const VPropertyDefinition* definition) const {
  for (const VPropertyLayout* c = mFirstChild.load(std::memory_order_acquire); c; c = c->mNextSibling)
    if (&c->mDefinition == definition) return c;
  return nullptr;
}

const VPropertyLayout::NameIndex& VPropertyLayout::Index() const {
  if (const NameIndex* index = mIndex.load(std::memory_order_acquire)) return *index;
  std::lock_guard<std::mutex> lock(LayoutMutex());
  if (const NameIndex* index = mIndex.load(std::memory_order_relaxed)) return *index;
  auto* index = new NameIndex();
  index->reserve(static_cast<std::size_t>(mCount));
  for (const VPropertyLayout* l = this; l && l->mCount > 0; l = l->mParent)
    index->emplace(l->mDefinition.mName, l->mCount - 1);
  mIndex.store(index, std::memory_order_release);
  return *index;
}

int VPropertyLayout::Find(const std::string& name) const {
  if (mCount == 0) return -1;
  const NameIndex& index = Index();
  auto it = index.find(name);
  return it == index.end() ? -1 : it->second;
}

const VPropertyLayout::Path& VPropertyLayout::Steps() const {
  if (const Path* steps = mSteps.load(std::memory_order_acquire)) return *steps;
  std::lock_guard<std::mutex> lock(LayoutMutex());
  if (const Path* steps = mSteps.load(std::memory_order_relaxed)) return *steps;
  auto* steps = new Path(static_cast<std::size_t>(mCount));
  for (const VPropertyLayout* l = this; l && l->mCount > 0; l = l->mParent)
    (*steps)[static_cast<std::size_t>(l->mCount - 1)] = l;
  mSteps.store(steps, std::memory_order_release);
  return *steps;
}

const VPropertyLayout* VPropertyLayout::At(int position) const {
  return Steps()[static_cast<std::size_t>(position)];
}
