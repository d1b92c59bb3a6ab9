#pragma once
// Definition record of a property: name, type id, definition flags, range and
// the enumeration items (created on first request).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/property_type.h"

// Definition flag bits. Bits 1, 128, 256 and 512 are carried but not
// interpreted here.
enum VPropertyDefinitionFlag : std::uint32_t {
  kPropertyDefAnimatable = 2,   // the value comes from an animation node, as doubles
  kPropertyDefList = 4,
  kPropertyDefObjectList = 8,   // an object property holding a list of objects
  kPropertyDefUser = 64,        // created from a user-property record
};

// Instance flag bits. Bit 8 is carried but not interpreted here.
enum VPropertyInstanceFlag : std::uint32_t {
  kPropertyInstanceBit8 = 8,
  kPropertyReadOnly = 32,
};

struct VPropertyDefinition {
  VPropertyDefinition() = default;
  VPropertyDefinition(std::string name, int type, std::uint32_t flags)
      : mName(std::move(name)), mType(type), mFlags(flags) {}
  VPropertyDefinition(const VPropertyDefinition& other)
      : mName(other.mName), mType(other.mType), mFlags(other.mFlags), mMin(other.mMin),
        mMax(other.mMax),
        mEnumItems(other.mEnumItems ? std::make_unique<std::vector<std::string>>(*other.mEnumItems)
                                    : nullptr) {}
  VPropertyDefinition& operator=(const VPropertyDefinition& other) {
    if (this != &other) *this = VPropertyDefinition(other);
    return *this;
  }
  VPropertyDefinition(VPropertyDefinition&&) = default;
  VPropertyDefinition& operator=(VPropertyDefinition&&) = default;

  std::string mName;
  int mType = kPropertyTypeUnknown;
  std::uint32_t mFlags = 0;
  double mMin = 0.0;
  double mMax = 0.0;
  std::unique_ptr<std::vector<std::string>> mEnumItems;
};
