#pragma once
// YrTake: public handle over a take (not owned).

#include <string>

#include "sdk/yr_time.h"

class VTake;

namespace YrSDK {

// What a take change told to the observers of "OnTakeChange" was.
enum YrTakeChange {
  kYrTakeChangeNone = 0,
  kYrTakeChangeAdded = 1,
  kYrTakeChangeRemoved = 2,
  kYrTakeChangeOpened = 3,
  kYrTakeChangeClosed = 4,
  kYrTakeChangeRenamed = 5,
  kYrTakeChangeUpdated = 6,
  kYrTakeChangeMoved = 7,
};

class YrTake {
 public:
  YrTake() = default;
  explicit YrTake(VTake* take) : take_(take) {}
  bool IsValid() const { return take_ != nullptr; }
  // Handles are equal when they refer to the same take.
  friend bool operator==(const YrTake& a, const YrTake& b) { return a.take_ == b.take_; }
  friend bool operator!=(const YrTake& a, const YrTake& b) { return a.take_ != b.take_; }

  // "Name", "LocalTimeSpan", "ReferenceTimeSpan", "Comments".
  std::string GetName() const;
  YrTimeSpan GetLocalTimeSpan() const;
  YrTimeSpan GetReferenceTimeSpan() const;
  std::string GetComments() const;

 private:
  // The engine object behind the handle: sdk/bridge/yr_engine_handles.h.
  friend class YrEngineHandles;
  VTake* take_ = nullptr;
};

}  // namespace YrSDK
