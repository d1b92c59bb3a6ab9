#include "scene/matrix_functions.h"

#include <cmath>

#include "scene/rotation.h"

namespace YrSDK {

namespace {

double FiniteOrZero(double v) { return std::isfinite(v) ? v : 0.0; }

YrVector3<double> Row(const YrMatrix& m, int row) { return {m(row, 0), m(row, 1), m(row, 2)}; }

YrVector3<double> Cross(const YrVector3<double>& a, const YrVector3<double>& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Row lengths with the handedness sign.
YrSVector Scaling(const YrMatrix& m) {
  YrSVector s{FiniteOrZero(YrLength(Row(m, 0))), FiniteOrZero(YrLength(Row(m, 1))),
              FiniteOrZero(YrLength(Row(m, 2)))};
  if (YrDot(Cross(Row(m, 0), Row(m, 1)), Row(m, 2)) < 0) YrMult(s, s, -1.0);
  return s;
}

}  // namespace

bool YrMatrixInverse(YrMatrix& out, const YrMatrix& mat) {
  const double* m = mat.m;
  double inv[16];
  inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
           m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
  inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
           m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
  inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
           m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
  inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
            m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
  inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
           m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
  inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
           m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
  inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
           m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
  inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
            m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
  inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
           m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
  inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
           m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
  inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
            m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
  inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
            m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
  inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
           m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
  inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
           m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
  inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
            m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
  inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
            m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
  const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
  if (det == 0.0 || !std::isfinite(det)) {
    out = YrIdentityMatrix();
    return false;
  }
  YrMatrix result;
  for (int i = 0; i < 16; ++i) result.m[i] = inv[i] / det;
  for (double v : result.m) {
    if (!std::isfinite(v)) {
      out = YrIdentityMatrix();
      return false;
    }
  }
  out = result;
  return true;
}

void YrMatrixMult(YrMatrix& out, const YrMatrix& a, const YrMatrix& b) {
  YrMatrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r(i, j) = a(i, 0) * b(0, j) + a(i, 1) * b(1, j) + a(i, 2) * b(2, j) + a(i, 3) * b(3, j);
    }
  }
  out = r;
}

void YrMatrixTranspose(YrMatrix& out, const YrMatrix& m) {
  YrMatrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) r(i, j) = m(j, i);
  }
  out = r;
}

namespace {

template <typename T>
void PointTimesMatrix(YrVector4<T>& out, const YrMatrix& m, const YrVector4<T>& v) {
  const double x = v.x, y = v.y, z = v.z;
  double rx = x * m[0] + y * m[4] + z * m[8] + m[12];
  double ry = x * m[1] + y * m[5] + z * m[9] + m[13];
  double rz = x * m[2] + y * m[6] + z * m[10] + m[14];
  const double w = x * m[3] + y * m[7] + z * m[11] + m[15];
  if (w != 0.0 && std::isfinite(w)) {
    rx /= w;
    ry /= w;
    rz /= w;
  }
  out = {static_cast<T>(rx), static_cast<T>(ry), static_cast<T>(rz), T(1)};
}

}  // namespace

void YrVertexMatrixMult(YrVector4<float>& out, const YrMatrix& m, const YrVector4<float>& v) {
  PointTimesMatrix(out, m, v);
}

void YrVectorMatrixMult(YrVector4<double>& out, const YrMatrix& m, const YrVector4<double>& v) {
  PointTimesMatrix(out, m, v);
}

void YrTranslationToMatrix(YrMatrix& out, const YrVector4<double>& t) {
  out = YrIdentityMatrix();
  out[12] = t.x;
  out[13] = t.y;
  out[14] = t.z;
}

void YrRotationToMatrix(YrMatrix& out, const YrVector3<double>& r) { YrEulerToMatrix(out, r, kYrEulerXYZ); }

void YrScalingToMatrix(YrMatrix& out, const YrSVector& s) {
  out = YrIdentityMatrix();
  out[0] = s.x;
  out[5] = s.y;
  out[10] = s.z;
}

void YrTRSToMatrix(YrMatrix& out, const YrVector4<double>& t, const YrVector3<double>& r, const YrSVector& s) {
  YrMatrix m;
  YrRotationToMatrix(m, r);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) m(i, j) *= s[i];
  }
  m[12] = t.x;
  m[13] = t.y;
  m[14] = t.z;
  out = m;
}

void YrMatrixToTranslation(YrVector4<double>& out, const YrMatrix& m) { out = {m[12], m[13], m[14], 1.0}; }

void YrMatrixToScaling(YrSVector& out, const YrMatrix& m) { out = Scaling(m); }

void YrMatrixToRotation(YrVector3<double>& out, const YrMatrix& m) {
  const YrSVector s = Scaling(m);
  YrVector3<double> rows[3];
  bool valid[3];
  int invalid = 0;
  for (int i = 0; i < 3; ++i) {
    valid[i] = s[i] != 0.0 && std::fabs(s[i]) >= 1e-300;
    if (valid[i]) {
      YrMult(rows[i], Row(m, i), 1.0 / s[i]);
      for (int j = 0; j < 3; ++j) valid[i] = valid[i] && std::isfinite(rows[i][j]);
    }
    if (!valid[i]) ++invalid;
  }
  if (invalid >= 2) {
    out = {0, 0, 0};
    return;
  }
  for (int i = 0; i < 3; ++i) {
    if (!valid[i]) {
      const YrVector3<double> c = Cross(rows[(i + 1) % 3], rows[(i + 2) % 3]);
      const double len = YrLength(c);
      if (!(len > 0.0) || !std::isfinite(len)) {
        out = {0, 0, 0};
        return;
      }
      YrMult(rows[i], c, 1.0 / len);
    }
  }
  YrMatrix r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r(i, j) = rows[i][j];
  }
  YrMatrixToEuler(out, r, kYrEulerXYZ);
}

void YrMatrixToTRS(YrVector4<double>& t, YrVector3<double>& r, YrSVector& s, const YrMatrix& m) {
  const YrMatrix copy = m;
  YrMatrixToTranslation(t, copy);
  YrMatrixToRotation(r, copy);
  YrMatrixToScaling(s, copy);
}

void YrGetLocalMatrix(YrMatrix& out, const YrMatrix& parent, const YrMatrix& global) {
  YrMatrix inverse;
  YrMatrixInverse(inverse, parent);
  YrMatrixMult(out, global, inverse);
}

void YrGetGlobalMatrix(YrMatrix& out, const YrMatrix& parent, const YrMatrix& local) {
  YrMatrixMult(out, local, parent);
}

}  // namespace YrSDK
