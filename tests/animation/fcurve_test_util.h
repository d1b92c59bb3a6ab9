#pragma once
// Helpers shared by the curve tests: times in seconds, keys in one line.

#include <initializer_list>

#include "animation/fcurve.h"

namespace fcurve_test {

// Seconds to ticks; exact for the quarter seconds the tests use.
inline VTime S(double seconds) {
  VTime t;
  t.SetSecondDouble(seconds);
  return t;
}
inline constexpr VTime kTick(1);

inline VFCurveKey Key(double seconds, float value, uint32_t flags = kFCurveDefaultKeyFlags) {
  VFCurveKey k;
  k.time = S(seconds);
  k.value = value;
  k.flags = flags;
  return k;
}

inline void Fill(VFCurve& c, std::initializer_list<VFCurveKey> keys) {
  c.EditBegin();
  c.EditClear();
  for (const VFCurveKey& k : keys) c.KeyAppend(k);
  c.EditEnd();
}

inline constexpr uint32_t kConstant = kFCurveInterpolationConstant;
inline constexpr uint32_t kConstantNext = kFCurveInterpolationConstant | kFCurveConstantNext;
inline constexpr uint32_t kLinear = kFCurveInterpolationLinear;
inline constexpr uint32_t kAuto = kFCurveInterpolationCubic | kFCurveTangentAuto;
inline constexpr uint32_t kTcb = kFCurveInterpolationCubic | kFCurveTangentTCB;
inline constexpr uint32_t kUser = kFCurveInterpolationCubic | kFCurveTangentUser;
inline constexpr uint32_t kBreak = kFCurveInterpolationCubic | kFCurveTangentUserBreak;

}  // namespace fcurve_test
