#pragma once
// The scene's takes: an ordered list with at most one current take. Making
// a take current binds its animation to the scene's properties and tells
// the observers of OnTakeChange.

#include <memory>
#include <string>
#include <vector>

#include "animation/take.h"
#include "core/event.h"

enum VTakeChange {
  kVTakeChangeNone = 0,
  kVTakeChangeAdded,
  kVTakeChangeRemoved,
  kVTakeChangeOpened,
  kVTakeChangeClosed,
  kVTakeChangeRenamed,
  kVTakeChangeUpdated,
  kVTakeChangeMoved,
};

// Handed to OnTakeChange handlers.
struct VTakeChangeData : VEventData {
  VTake* take = nullptr;
};

class VTakeList {
 public:
  VTakeList() = default;
  ~VTakeList();
  VTakeList(const VTakeList&) = delete;
  VTakeList& operator=(const VTakeList&) = delete;

  int GetCount() const { return static_cast<int>(takes_.size()); }
  VTake* Get(int index) const;
  VTake* First() const { return Get(0); }
  VTake* Find(const std::string& name) const;
  int IndexOf(const VTake* take) const;

  VTake* Add(std::unique_ptr<VTake> take);
  bool Remove(VTake* take);
  void Clear();

  // A new take; none when only one take is allowed and one exists, unless
  // it is named "Default take".
  VTake* Create(const std::string& name);
  // One more than the largest N of the takes named "Take N"; at least 2.
  int GetNextTakeNumber() const;
  void SetAllowSeveral(bool allow) { allow_several_ = allow; }

  // With create, an empty list first gets "Take 001".
  VTake* GetCurrent(bool create = false);
  VTake* Current() const { return current_; }
  // Setting the current take again does nothing.
  void SetCurrent(VTake* take);
  VTake* GetDefaultTake(bool create);

  // Where the current take's animation is bound.
  void SetBinding(VTake::Resolver resolve, const VTime* clock);
  // Binds the current take again (after objects came or went).
  void Rebind();

  VEventBase& OnTakeChange() { return on_take_change_; }

 private:
  void Notify(int kind, VTake* take);

  std::vector<std::unique_ptr<VTake>> takes_;
  VTake* current_ = nullptr;
  bool allow_several_ = true;
  VTake::Resolver resolve_;
  const VTime* clock_ = nullptr;
  VEventBase on_take_change_;
};
