#include "zynfile/field_list.h"

namespace {
// Below this many names a linear search beats hashing.
constexpr size_t kIndexThreshold = 16;
}  // namespace

void VZynFieldList::Reset() {
  keep_alive_.reset();
  bytes_ = nullptr;
  origin_ = size_ = end_offset_ = 0;
  fields_.clear();
  order_.clear();
  values_.clear();
  index_.clear();
}

int VZynFieldList::FindField(std::string_view name) const {
  if (fields_.size() > kIndexThreshold) {
    auto it = index_.find(name);
    return it == index_.end() ? -1 : it->second;
  }
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (fields_[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

int VZynFieldList::AddField(std::string_view name) {
  int found = FindField(name);
  if (found >= 0) return found;
  fields_.push_back(VZynField{name, {}, 0});
  int index = static_cast<int>(fields_.size() - 1);
  if (fields_.size() == kIndexThreshold + 1) {
    for (size_t i = 0; i < fields_.size(); ++i) index_.emplace(fields_[i].name, static_cast<int>(i));
  } else if (fields_.size() > kIndexThreshold) {
    index_.emplace(name, index);
  }
  return index;
}

uint32_t VZynFieldList::AddInstance(int field) {
  VZynField& f = fields_[static_cast<size_t>(field)];
  f.instances.push_back(VZynFieldInstance{});
  f.instances.back().first_value = static_cast<uint32_t>(values_.size());
  uint32_t instance = static_cast<uint32_t>(f.instances.size() - 1);
  order_.push_back(Occurrence{static_cast<uint32_t>(field), instance});
  return instance;
}
