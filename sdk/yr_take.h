#pragma once
// YrTake: public handle over a take (not owned).

#include <string>

#include "animation/take.h"
#include "animation/take_list.h"
#include "sdk/yr_time.h"

namespace YrSDK {

// What a take change told to the observers of "OnTakeChange" was.
enum YrTakeChange {
  kYrTakeChangeNone = kVTakeChangeNone,
  kYrTakeChangeAdded = kVTakeChangeAdded,
  kYrTakeChangeRemoved = kVTakeChangeRemoved,
  kYrTakeChangeOpened = kVTakeChangeOpened,
  kYrTakeChangeClosed = kVTakeChangeClosed,
  kYrTakeChangeRenamed = kVTakeChangeRenamed,
  kYrTakeChangeUpdated = kVTakeChangeUpdated,
  kYrTakeChangeMoved = kVTakeChangeMoved,
};

class YrTake {
 public:
  YrTake() = default;
  explicit YrTake(VTake* take) : take_(take) {}
  bool IsValid() const { return take_ != nullptr; }
  VTake* GetTakePointer() const { return take_; }

  // "Name", "LocalTimeSpan", "ReferenceTimeSpan", "Comments".
  std::string GetName() const { return take_ ? take_->GetName() : std::string(); }
  YrTimeSpan GetLocalTimeSpan() const {
    return take_ ? YrTimeSpan(YrTime(take_->local_span.GetStart()), YrTime(take_->local_span.GetStop()))
                 : YrTimeSpan();
  }
  YrTimeSpan GetReferenceTimeSpan() const {
    return take_ ? YrTimeSpan(YrTime(take_->reference_span.GetStart()), YrTime(take_->reference_span.GetStop()))
                 : YrTimeSpan();
  }
  std::string GetComments() const { return take_ ? take_->comments : std::string(); }

 private:
  VTake* take_ = nullptr;
};

}  // namespace YrSDK
