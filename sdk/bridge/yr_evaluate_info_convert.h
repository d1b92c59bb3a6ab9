#pragma once
// The engine's evaluation context of a public one, for the facade's sources
// and engine programs (this header is not public).

#include "scene/evaluate_info.h"
#include "sdk/bridge/yr_time_convert.h"
#include "sdk/yr_evaluate_info.h"

namespace YrSDK {

inline VEvaluateInfo ToEngineInfo(const YrEvaluateInfo& info) {
  VEvaluateInfo engine;
  engine.slot = info.GetSlot();
  engine.alternate = info.IsAlternate();
  engine.start = ToEngineTime(info.GetStart());
  engine.stop = ToEngineTime(info.GetStop());
  return engine;
}

}  // namespace YrSDK
