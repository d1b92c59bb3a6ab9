#pragma once
// Free functions on YrMatrix and the vector types. Results go to the first
// argument; every function may be called with the output aliasing an input.
// Nothing here fails loudly: degenerate input (zero scale, NaN, a singular
// matrix) gives a finite, documented result.

#include <cmath>

#include "scene/matrix.h"

namespace YrSDK {

// General 4x4 inverse. A singular or non-finite matrix gives the identity
// and false.
bool YrMatrixInverse(YrMatrix& out, const YrMatrix& m);
void YrMatrixMult(YrMatrix& out, const YrMatrix& a, const YrMatrix& b);
void YrMatrixTranspose(YrMatrix& out, const YrMatrix& m);

// out = (v * M) / w with w = x*m3 + y*m7 + z*m11 + m15; v is taken as a
// point. When w is zero or not finite the product is left undivided.
// out.w is 1.
void YrVertexMatrixMult(YrVector4<float>& out, const YrMatrix& m, const YrVector4<float>& v);
void YrVectorMatrixMult(YrVector4<double>& out, const YrMatrix& m, const YrVector4<double>& v);

// Identity with the translation row / Euler XYZ rotation (degrees) /
// diagonal scaling / scaling then rotation then translation.
void YrTranslationToMatrix(YrMatrix& out, const YrVector4<double>& t);
void YrRotationToMatrix(YrMatrix& out, const YrVector3<double>& r);
void YrScalingToMatrix(YrMatrix& out, const YrSVector& s);
void YrTRSToMatrix(YrMatrix& out, const YrVector4<double>& t, const YrVector3<double>& r, const YrSVector& s);

// Decomposition. Translation = row 3 (w = 1). Scaling = the lengths of rows
// 0-2, all three negated when the rows form a left-handed frame. Rotation =
// Euler XYZ of rows 0-2 divided by their scale; a row of zero length is
// rebuilt from the other two (two or more such rows give no rotation).
void YrMatrixToTranslation(YrVector4<double>& out, const YrMatrix& m);
void YrMatrixToRotation(YrVector3<double>& out, const YrMatrix& m);
void YrMatrixToScaling(YrSVector& out, const YrMatrix& m);
void YrMatrixToTRS(YrVector4<double>& t, YrVector3<double>& r, YrSVector& s, const YrMatrix& m);

// out = global * inverse(parent), and out = local * parent.
void YrGetLocalMatrix(YrMatrix& out, const YrMatrix& parent, const YrMatrix& global);
void YrGetGlobalMatrix(YrMatrix& out, const YrMatrix& parent, const YrMatrix& local);

// Three-component arithmetic. On YrVector4 these use x, y, z only; w is
// copied from the first operand.
inline void YrAdd(YrVector3<double>& out, const YrVector3<double>& a, const YrVector3<double>& b) {
  out = {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline void YrSub(YrVector3<double>& out, const YrVector3<double>& a, const YrVector3<double>& b) {
  out = {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline void YrMult(YrVector3<double>& out, const YrVector3<double>& a, double k) {
  out = {a.x * k, a.y * k, a.z * k};
}
inline void YrMult(YrVector3<double>& out, const YrVector3<double>& a, const YrVector3<double>& b) {
  out = {a.x * b.x, a.y * b.y, a.z * b.z};
}
inline double YrDot(const YrVector3<double>& a, const YrVector3<double>& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline double YrLength(const YrVector3<double>& a) { return std::sqrt(YrDot(a, a)); }

inline void YrAdd(YrVector4<double>& out, const YrVector4<double>& a, const YrVector4<double>& b) {
  out = {a.x + b.x, a.y + b.y, a.z + b.z, a.w};
}
inline void YrSub(YrVector4<double>& out, const YrVector4<double>& a, const YrVector4<double>& b) {
  out = {a.x - b.x, a.y - b.y, a.z - b.z, a.w};
}
inline void YrMult(YrVector4<double>& out, const YrVector4<double>& a, double k) {
  out = {a.x * k, a.y * k, a.z * k, a.w};
}
inline void YrMult(YrVector4<double>& out, const YrVector4<double>& a, const YrVector4<double>& b) {
  out = {a.x * b.x, a.y * b.y, a.z * b.z, a.w};
}
inline double YrDot(const YrVector4<double>& a, const YrVector4<double>& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline double YrLength(const YrVector4<double>& a) { return std::sqrt(YrDot(a, a)); }

// Four-component arithmetic (quaternions).
inline void YrQAdd(YrVector4<double>& out, const YrVector4<double>& a, const YrVector4<double>& b) {
  out = {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
}
inline void YrQSub(YrVector4<double>& out, const YrVector4<double>& a, const YrVector4<double>& b) {
  out = {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w};
}
inline void YrQMult(YrVector4<double>& out, const YrVector4<double>& a, double k) {
  out = {a.x * k, a.y * k, a.z * k, a.w * k};
}
inline void YrQMult(YrVector4<double>& out, const YrVector4<double>& a, const YrVector4<double>& b) {
  out = {a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w};
}
inline double YrQDot(const YrVector4<double>& a, const YrVector4<double>& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}
inline double YrQLength(const YrVector4<double>& a) { return std::sqrt(YrQDot(a, a)); }

// Clamp: first up to min, then down to max, so with min > max the maximum
// wins. A NaN value becomes the clamped minimum.
template <typename T>
constexpr T YrClamp(T v, T min, T max) {
  if (!(v >= min)) v = min;
  if (v > max) v = max;
  return v;
}

}  // namespace YrSDK
