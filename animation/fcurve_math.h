#pragma once
// Curve arithmetic over the key arrays: time differences in seconds, chord
// slopes, automatic and TCB tangents, the right and left derivatives of a
// key. Internal to the animation library; the keys are known to be in
// strictly increasing time order.

#include <cmath>
#include <cstdint>

#include "animation/fcurve_key.h"
#include "core/time_ticks.h"

namespace fcurve_math {

__extension__ typedef __int128 Int128;

inline constexpr double kTicksPerSecond = static_cast<double>(kVTimeTicksPerSecond);

// a - b in ticks as a double, exact before the conversion even where the
// 64-bit difference would overflow.
inline double TickDiff(int64_t a, int64_t b) {
  int64_t d;
  if (__builtin_expect(!__builtin_sub_overflow(a, b, &d), 1)) return static_cast<double>(d);
  return static_cast<double>(static_cast<Int128>(a) - static_cast<Int128>(b));
}
inline double Seconds(int64_t a, int64_t b) { return TickDiff(a, b) / kTicksPerSecond; }

// The cubic Bezier through p0 .. p3 at u, by repeated interpolation.
inline double Bezier(double p0, double p1, double p2, double p3, double u) {
  const double a = p0 + u * (p1 - p0);
  const double b = p1 + u * (p2 - p1);
  const double c = p2 + u * (p3 - p2);
  const double d = a + u * (b - a);
  const double e = b + u * (c - b);
  return d + u * (e - d);
}

struct View {
  const int64_t* t;
  const float* v;
  const uint32_t* f;
  const VFCurveTangentData* d;
  int n;

  uint32_t Interp(int i) const { return f[i] & kFCurveInterpolationMask; }
  uint32_t Mode(int i) const { return f[i] & kFCurveTangentMask; }
  float Word(int i, int w) const { return VFCurveWordFloat(d[i].word[w]); }
  // Chord slope from key i to key j.
  double Slope(int i, int j) const {
    return (static_cast<double>(v[j]) - static_cast<double>(v[i])) / Seconds(t[j], t[i]);
  }
};

inline bool IsAuto(uint32_t mode) { return mode == kFCurveTangentAuto || mode == kFCurveTangentAutoBreak; }
inline bool IsUserOrBreak(uint32_t mode) { return mode == kFCurveTangentUser || mode == kFCurveTangentUserBreak; }

// Automatic tangent of key i with a balance in percent. Balances beyond
// +-500 act as +-500; NaN acts as 0. Needs two keys or more.
inline double AutoTangent(const View& c, int i, float balance) {
  double s_plus = 0.0, s_minus = 0.0;
  if (i < c.n - 1) s_plus = c.Slope(i, i + 1);
  if (i > 0) s_minus = c.Slope(i - 1, i);
  if (i == 0) s_minus = s_plus;
  if (i == c.n - 1) s_plus = s_minus;
  double a = balance;
  if (!(a == a)) a = 0.0;
  if (a > 500.0) a = 500.0;
  if (a < -500.0) a = -500.0;
  if (a == 100.0) return s_plus;
  if (a == -100.0) return s_minus;
  return 0.5 * ((100.0 - a) / 100.0 * s_minus + (100.0 + a) / 100.0 * s_plus);
}

// Kochanek-Bartels outgoing tangent of key i (not the last key).
inline double TcbOut(const View& c, int i) {
  const double t = c.Word(i, 0), k = c.Word(i, 1), b = c.Word(i, 2);
  const double s_plus = c.Slope(i, i + 1);
  if (i == 0) return (1.0 - t) * (1.0 - k) * (1.0 - b) * s_plus;
  const double s_minus = c.Slope(i - 1, i);
  return 0.5 * (1.0 - t) * ((1.0 + k) * (1.0 + b) * s_minus + (1.0 - k) * (1.0 - b) * s_plus);
}

// Kochanek-Bartels incoming tangent of key i (not the first key), with the
// tension, continuity and bias of key p.
inline double TcbIn(const View& c, int i, int p) {
  const double t = c.Word(p, 0), k = c.Word(p, 1), b = c.Word(p, 2);
  const double s_minus = c.Slope(i - 1, i);
  if (i == c.n - 1) return (1.0 - t) * (1.0 - k) * (1.0 + b) * s_minus;
  const double s_plus = c.Slope(i, i + 1);
  return 0.5 * (1.0 - t) * ((1.0 - k) * (1.0 + b) * s_minus + (1.0 + k) * (1.0 - b) * s_plus);
}

inline double LeftDerivative(const View& c, int i);

// Slope leaving key i.
inline double RightDerivative(const View& c, int i) {
  if (c.n < 2) return 0.0;
  if (i == c.n - 1) return LeftDerivative(c, i);
  switch (c.Interp(i)) {
    case kFCurveInterpolationConstant: return 0.0;
    case kFCurveInterpolationLinear: return c.Slope(i, i + 1);
    case kFCurveInterpolationCubic: {
      const uint32_t mode = c.Mode(i);
      if (IsAuto(mode)) return AutoTangent(c, i, c.Word(i, 0));
      if (mode == kFCurveTangentTCB) return TcbOut(c, i);
      if (IsUserOrBreak(mode)) return c.Word(i, 0);
      return 0.0;
    }
    default: return 0.0;
  }
}

// Slope arriving at key i.
inline double LeftDerivative(const View& c, int i) {
  if (c.n < 2) return 0.0;
  if (i == 0) return RightDerivative(c, 0);
  const int p = i - 1;
  switch (c.Interp(p)) {
    case kFCurveInterpolationConstant: return 0.0;
    case kFCurveInterpolationLinear: return c.Slope(p, i);
    case kFCurveInterpolationCubic: break;
    default: return 0.0;
  }
  const uint32_t prev_mode = c.Mode(p);
  const uint32_t own = c.Interp(i);
  if (own == kFCurveInterpolationLinear || own == kFCurveInterpolationConstant) {
    // The key carries no tangent of its own: the previous key's mode rules.
    if (IsAuto(prev_mode)) return AutoTangent(c, i, c.Word(p, 1));
    if (IsUserOrBreak(prev_mode)) return c.Word(p, 1);
    if (prev_mode == kFCurveTangentTCB && own == kFCurveInterpolationLinear && i != c.n - 1) {
      return RightDerivative(c, i);
    }
    return 0.0;
  }
  const uint32_t mode = c.Mode(i);
  if (IsAuto(mode)) return AutoTangent(c, i, c.Word(p, 1));
  if (mode == kFCurveTangentTCB) return TcbIn(c, i, i);
  if (mode == kFCurveTangentUser) {
    if (prev_mode == kFCurveTangentTCB) return i == c.n - 1 ? 0.0 : RightDerivative(c, i);
    return c.Word(p, 1);
  }
  if (mode == kFCurveTangentUserBreak) {
    if (prev_mode == kFCurveTangentTCB) return TcbIn(c, i, p);
    return c.Word(p, 1);
  }
  return 0.0;
}

}  // namespace fcurve_math
