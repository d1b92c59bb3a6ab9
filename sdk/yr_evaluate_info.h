#pragma once
// YrEvaluateInfo: the context of an evaluation as the public interface
// sees it: the evaluation's start and stop times and the cache slot.

#include "scene/evaluate_info.h"
#include "sdk/yr_time.h"

namespace YrSDK {

class YrEvaluateInfo {
 public:
  YrEvaluateInfo() = default;  // the default context
  // A context of its own: models with alternate evaluation keep its values
  // apart from the default context's.
  static YrEvaluateInfo Alternate(int slot) {
    YrEvaluateInfo info;
    info.info_.slot = slot;
    info.info_.alternate = true;
    return info;
  }

  YrTime GetStart() const { return YrTime(info_.start.GetTicks()); }
  YrTime GetStop() const { return YrTime(info_.stop.GetTicks()); }
  void SetStartStop(const YrTime& start, const YrTime& stop) {
    info_.start = VTime(start.Get());
    info_.stop = VTime(stop.Get());
  }
  const VEvaluateInfo& Get() const { return info_; }

 private:
  VEvaluateInfo info_;
};

}  // namespace YrSDK
