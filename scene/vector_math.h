#pragma once
// Small three-component and rotation helpers for the scene code. Every
// function gives a finite result for finite input; the "safe" forms also
// absorb NaN and infinities coming from files or curves.

#include <cmath>

#include "core/property_type.h"
#include "scene/matrix.h"

namespace vmath {

using Vec3 = YrSDK::YrVector3<double>;

inline double FiniteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }
inline Vec3 FiniteOr(const Vec3& v, const Vec3& fallback) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) ? v : fallback;
}

inline Vec3 Add(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 Scale(const Vec3& a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The unit vector along v; `fallback` when v is too short or not finite.
inline Vec3 Normalised(const Vec3& v, const Vec3& fallback) {
  const double length = Length(v);
  if (!(length >= 1e-20) || !std::isfinite(length)) return fallback;
  return Scale(v, 1.0 / length);
}

// A unit vector perpendicular to the unit vector v.
inline Vec3 AnyPerpendicular(const Vec3& v) {
  const Vec3 helper = std::fabs(v.x) < 0.9 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
  return Normalised(Cross(v, helper), Vec3{0, 0, 1});
}

// Row `row` (0-2) of a matrix: the image of the X, Y or Z axis.
inline Vec3 Row(const YrSDK::YrMatrix& m, int row) { return {m(row, 0), m(row, 1), m(row, 2)}; }
inline Vec3 Translation(const YrSDK::YrMatrix& m) { return {m[12], m[13], m[14]}; }

// A property's three doubles, each replaced by `fallback` when not finite:
// a value from a file or a curve must not spread into every matrix below.
inline Vec3 Finite(const VDouble3& d, double fallback) {
  return {FiniteOr(d[0], fallback), FiniteOr(d[1], fallback), FiniteOr(d[2], fallback)};
}
inline VDouble3 ToDouble3(const Vec3& v) { return {v.x, v.y, v.z}; }
inline bool IsZero(const VDouble3& d) { return d[0] == 0.0 && d[1] == 0.0 && d[2] == 0.0; }

// v * M over the rotation and scaling rows only (a direction), and as a point.
inline Vec3 TransformDirection(const Vec3& v, const YrSDK::YrMatrix& m) {
  return {v.x * m[0] + v.y * m[4] + v.z * m[8], v.x * m[1] + v.y * m[5] + v.z * m[9],
          v.x * m[2] + v.y * m[6] + v.z * m[10]};
}
inline Vec3 TransformPoint(const Vec3& v, const YrSDK::YrMatrix& m) {
  return Add(TransformDirection(v, m), Translation(m));
}

// The upper 3x3 of a * b and of the transpose (the inverse of a rotation);
// the translation row of the result is cleared.
// The 3x3 `r` (row by row) as the upper part of an otherwise identity matrix.
inline void Store3(YrSDK::YrMatrix& out, const double (&r)[9]) {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) out(i, j) = r[i * 3 + j];
    out(i, 3) = 0.0;
  }
  out(3, 0) = out(3, 1) = out(3, 2) = 0.0;
  out(3, 3) = 1.0;
}
// Both may be given `out` as an operand: the result is formed apart first.
inline void Multiply3(YrSDK::YrMatrix& out, const YrSDK::YrMatrix& a, const YrSDK::YrMatrix& b) {
  double r[9];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r[i * 3 + j] = a(i, 0) * b(0, j) + a(i, 1) * b(1, j) + a(i, 2) * b(2, j);
  }
  Store3(out, r);
}
inline void Transpose3(YrSDK::YrMatrix& out, const YrSDK::YrMatrix& m) {
  double r[9];
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r[i * 3 + j] = m(j, i);
  }
  Store3(out, r);
}

}  // namespace vmath
