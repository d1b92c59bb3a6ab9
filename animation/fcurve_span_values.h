#pragma once
// The value of a curve span at a position, inline for the readers that go
// through many spans at one time (bound channels in playback). Internal to
// the animation library: every caller of VFCurveSpan::PositionAt and
// ValueAtPosition includes it.

#include "animation/fcurve.h"
#include "animation/fcurve_math.h"

// The position and the fraction formed exactly as the curve forms them.
inline double VFCurveSpan::PositionAt(int64_t x) const {
  return static_cast<double>(whole) + fcurve_math::Seconds(x, lo) / seconds;
}

inline bool VFCurveSpan::ValueAtPosition(double p, double* value) const {
  const double first = whole;
  if (!(p > first && p < first + 1.0)) return false;
  const double u = p - first;
  *value = kind == kHold ? y1 : (kind == kLinear ? y1 + u * (y2 - y1) : fcurve_math::Bezier(y1, c1, c2, y2, u));
  return true;
}
