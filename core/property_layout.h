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
// Nodes and shared definitions live for the process, like the class
// registry; only properties made by code (a bounded set) take this path.
// Walking down is lock-free; new nodes and name indexes are made under a
// lock and published whole.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/property_definition.h"

class VPropertyLayout {
 public:
  // The empty layout every object starts from.
  static const VPropertyLayout* Root();

  // The layout after this one with one more property of this definition
  // (made on first request). Its definition is shared: it never changes.
  // Null when the name is already one of this layout's.
  const VPropertyLayout* Next(std::string_view name, int type, std::uint32_t flags,
                              const std::vector<std::string>* items) const;

  // The layout after this one whose definition is this one; null when none.
  const VPropertyLayout* Following(const VPropertyDefinition* definition) const;

  // Position of the property of that name; -1 when none.
  int Find(const std::string& name) const;

  int Count() const { return mCount; }
  const VPropertyDefinition* Definition() const { return &mDefinition; }
  // The longest list seen passing through this layout, for reserving.
  int LongestBelow() const { return mLongestBelow.load(std::memory_order_relaxed); }

 private:
  using NameIndex = std::unordered_map<std::string, int>;

  VPropertyLayout() = default;
  VPropertyLayout(const VPropertyLayout* parent, VPropertyDefinition definition);
  const VPropertyLayout* FindChild(std::string_view name, int type, std::uint32_t flags,
                                   const std::vector<std::string>* items) const;
  const NameIndex& Index() const;

  VPropertyDefinition mDefinition;
  const VPropertyLayout* mParent = nullptr;
  int mCount = 0;
  mutable std::atomic<int> mLongestBelow{0};
  mutable std::atomic<const VPropertyLayout*> mFirstChild{nullptr};
  const VPropertyLayout* mNextSibling = nullptr;  // set before publication
  mutable std::atomic<const NameIndex*> mIndex{nullptr};
};
