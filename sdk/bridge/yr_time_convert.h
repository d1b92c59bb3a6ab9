#pragma once
// Conversions between the public time values and the engine's, for the
// facade's sources and engine programs (this header is not public).

#include "core/time.h"
#include "core/time_span.h"
#include "sdk/yr_time.h"

namespace YrSDK {

inline VTime ToEngineTime(const YrTime& time) { return VTime(time.Get()); }
inline YrTime FromEngineTime(const VTime& time) { return YrTime(time.GetTicks()); }

inline VTimeSpan ToEngineSpan(const YrTimeSpan& span) {
  return VTimeSpan(ToEngineTime(span.GetStart()), ToEngineTime(span.GetStop()));
}
inline YrTimeSpan FromEngineSpan(const VTimeSpan& span) {
  return YrTimeSpan(FromEngineTime(span.GetStart()), FromEngineTime(span.GetStop()));
}

}  // namespace YrSDK
