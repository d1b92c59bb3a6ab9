#pragma once
// Property layouts shared by the objects of a class.
//
// A class makes the same properties in the same order for every instance.
// The definitions of such properties (name, type, flags, range, items) are
// made once and shared, and the sequence of them is a path in one
// process-wide tree: an object that adds its class's properties walks down
// the tree and ends on the node that describes its list, whose name index
// serves every object of the class. An object only keeps an index of its
// own for what departs from the path (properties read from files, renames,
// removals).
//
// A step may also say how to make its property and with what value: the
// objects of such a class make that property only when it is first asked
// for, and until then read its value here. Most properties of a large
// scene stay at their defaults and are never asked for.
//
// Nodes and shared definitions live for the process, like the class
// registry; only properties made by code (a bounded set) take this path.
// Walking down is lock-free; new nodes, name indexes and position tables
// are made under a lock and published whole.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/property_definition.h"

class VProperty;

// Makes a property with a shared definition and an initial value (the
// layout's bytes for it, or null when it has none).
using VPropertyMaker = VProperty* (*)(const VPropertyDefinition* shared, const void* initial);

// What a step made on request holds: how to make its property, and the
// value the property starts with (at most kMaxInitialSize bytes).
struct VPropertyOnRequest {
  static constexpr std::size_t kMaxInitialSize = 32;
  VPropertyMaker make = nullptr;
  std::size_t initialSize = 0;
  const void* initial = nullptr;
};

class VPropertyLayout {
 public:
  // The empty layout every object starts from.
  static const VPropertyLayout* Root();

  // The layout after this one with one more property of this definition
  // (made on first request). Its definition is shared: it never changes.
  // Null when the name is already one of this layout's.
  const VPropertyLayout* Next(std::string_view name, int type, std::uint32_t flags,
                              const std::vector<std::string>* items) const;
  // The same for a property made on request (see above); null as well when
  // the initial value is larger than kMaxInitialSize.
  const VPropertyLayout* Next(std::string_view name, int type, std::uint32_t flags,
                              const std::vector<std::string>* items, const VPropertyOnRequest& made) const;

  // The layout after this one whose definition is this one; null when none.
  const VPropertyLayout* Following(const VPropertyDefinition* definition) const;

  // Position of the property of that name; -1 when none.
  int Find(const std::string& name) const;

  int Count() const { return mCount; }
  const VPropertyDefinition* Definition() const { return &mDefinition; }
  // The step of this layout's path that made the property at `position`
  // (0 <= position < Count()).
  const VPropertyLayout* At(int position) const;
  // Whether the property of this step is made on request; then MakeProperty
  // makes it and InitialValue holds its starting value.
  bool MadeOnRequest() const { return mMake != nullptr; }
  VProperty* MakeProperty() const { return mMake(&mDefinition, mInitial); }
  const void* InitialValue() const { return mInitial; }

 private:
  using NameIndex = std::unordered_map<std::string, int>;
  using Path = std::vector<const VPropertyLayout*>;

  VPropertyLayout() = default;
  VPropertyLayout(const VPropertyLayout* parent, VPropertyDefinition definition);
  const VPropertyLayout* FindChild(std::string_view name, int type, std::uint32_t flags,
                                   const std::vector<std::string>* items, const VPropertyOnRequest& made) const;
  const NameIndex& Index() const;
  const Path& Steps() const;

  VPropertyDefinition mDefinition;
  const VPropertyLayout* mParent = nullptr;
  int mCount = 0;
  mutable std::atomic<const VPropertyLayout*> mFirstChild{nullptr};
  const VPropertyLayout* mNextSibling = nullptr;  // set before publication
  mutable std::atomic<const NameIndex*> mIndex{nullptr};
  mutable std::atomic<const Path*> mSteps{nullptr};
  VPropertyMaker mMake = nullptr;
  alignas(8) unsigned char mInitial[VPropertyOnRequest::kMaxInitialSize] = {};
};
