#include "animation/take_list.h"

#include <algorithm>
#include <cstdlib>

#include "core/evaluation_serial.h"

VTakeList::~VTakeList() { Clear(); }

VTake* VTakeList::Get(int index) const {
  return index >= 0 && index < GetCount() ? takes_[static_cast<size_t>(index)].get() : nullptr;
}

VTake* VTakeList::Find(const std::string& name) const {
  for (const auto& take : takes_) {
    if (take->GetName() == name) return take.get();
  }
  return nullptr;
}

int VTakeList::IndexOf(const VTake* take) const {
  for (size_t i = 0; i < takes_.size(); ++i) {
    if (takes_[i].get() == take) return static_cast<int>(i);
  }
  return -1;
}

VTake* VTakeList::Add(std::unique_ptr<VTake> take) {
  if (!take) return nullptr;
  takes_.push_back(std::move(take));
  Notify(kVTakeChangeAdded, takes_.back().get());
  return takes_.back().get();
}

bool VTakeList::Remove(VTake* take) {
  int index = IndexOf(take);
  if (index < 0) return false;
  if (take == current_) SetCurrent(nullptr);
  std::unique_ptr<VTake> removed = std::move(takes_[static_cast<size_t>(index)]);
  takes_.erase(takes_.begin() + index);
  Notify(kVTakeChangeRemoved, removed.get());
  return true;
}

void VTakeList::Clear() {
  if (current_) current_->Unbind();
  current_ = nullptr;
  takes_.clear();
}

VTake* VTakeList::Create(const std::string& name) {
  if (!allow_several_ && !takes_.empty() && name != "Default take") return nullptr;
  if (name.empty()) return nullptr;
  return Add(std::make_unique<VTake>(name));
}

int VTakeList::GetNextTakeNumber() const {
  int next = 2;
  for (const auto& take : takes_) {
    const std::string& name = take->GetName();
    if (name.compare(0, 5, "Take ") != 0) continue;
    long n = std::strtol(name.c_str() + 5, nullptr, 10);  // "X" reads as 0
    if (n >= next && n < 2147483647L) next = static_cast<int>(n) + 1;
  }
  return next;
}

VTake* VTakeList::GetCurrent(bool create) {
  if (!current_ && takes_.empty() && create) SetCurrent(Create("Take 001"));
  return current_;
}

void VTakeList::SetCurrent(VTake* take) {
  if (take == current_) return;
  if (take && IndexOf(take) < 0) return;
  if (current_) {
    current_->Unbind();
    Notify(kVTakeChangeClosed, current_);
  }
  current_ = take;
  VEvaluationAdvance();
  if (current_) {
    if (resolve_) current_->Bind(resolve_, clock_);
    Notify(kVTakeChangeOpened, current_);
  }
}

VTake* VTakeList::GetDefaultTake(bool create) {
  VTake* take = Find("Default take");
  if (!take && create) take = Create("Default take");
  return take;
}

void VTakeList::SetBinding(VTake::Resolver resolve, const VTime* clock) {
  resolve_ = std::move(resolve);
  clock_ = clock;
  Rebind();
}

void VTakeList::Rebind() {
  if (current_ && resolve_) current_->Bind(resolve_, clock_);
}

void VTakeList::Notify(int kind, VTake* take) {
  VTakeChangeData data;
  data.take = take;
  on_take_change_.Fire(kind, &data);
}
