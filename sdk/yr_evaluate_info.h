#pragma once
// YrEvaluateInfo: the context of an evaluation as the public interface
// sees it: the evaluation's start and stop times and the cache slot.

#include "sdk/yr_time.h"

namespace YrSDK {

class YrEvaluateInfo {
 public:
  YrEvaluateInfo() = default;  // the default context
  // A context of its own: models with alternate evaluation keep its values
  // apart from the default context's.
  static YrEvaluateInfo Alternate(int slot) {
    YrEvaluateInfo info;
    info.slot_ = slot;
    info.alternate_ = true;
    return info;
  }

  YrTime GetStart() const { return start_; }
  YrTime GetStop() const { return stop_; }
  void SetStartStop(const YrTime& start, const YrTime& stop) {
    start_ = start;
    stop_ = stop;
  }
  // The cache slot, and whether it is an alternate context's.
  int GetSlot() const { return slot_; }
  bool IsAlternate() const { return alternate_; }

 private:
  int slot_ = 0;  // the default context's
  bool alternate_ = false;
  YrTime start_, stop_;
};

}  // namespace YrSDK
