#include "scene/rotation.h"

#include <cmath>

#include "scene/matrix_functions.h"

namespace YrSDK {

namespace {

double FiniteOrZero(double v) { return std::isfinite(v) ? v + 0.0 : 0.0; }

struct AxisTriple {
  int first, second, third;
  bool odd;  // an odd permutation of X, Y, Z
};

constexpr AxisTriple kAxisTriples[6] = {
    {0, 1, 2, false},  // XYZ
    {0, 2, 1, true},   // XZY
    {1, 2, 0, false},  // YZX
    {1, 0, 2, true},   // YXZ
    {2, 0, 1, false},  // ZXY
    {2, 1, 0, true},   // ZYX
};

const AxisTriple& TripleOf(YrRotationOrder order) {
  const int index = static_cast<int>(order);
  return kAxisTriples[(index >= 0 && index < 6) ? index : 0];
}

// Below this cosine of the middle angle the first and third axes coincide.
constexpr double kGimbalCosine = 1e-8;

// a moved by whole turns to within half a turn of reference.
double NearestTurn(double a, double reference) { return a - 360.0 * std::round((a - reference) / 360.0); }

void SphericToMatrix(YrMatrix& out, const YrVector3<double>& r) {
  constexpr double kHalfDegree = 0.008726646259971648;
  const double hx = FiniteOrZero(r.x) * kHalfDegree, hy = FiniteOrZero(r.y) * kHalfDegree,
               hz = FiniteOrZero(r.z) * kHalfDegree;
  const double sx = std::sin(hx), cx = std::cos(hx), sy = std::sin(hy), cy = std::cos(hy), sz = std::sin(hz),
               cz = std::cos(hz);
  const YrVector4<double> q{sx * cy * cz, sy * cx + sz * sx, sz * cx - sy * sx, cx * cy * cz};
  YrQuaternionToMatrix(out, q);
}

}  // namespace

void YrEulerToMatrix(YrMatrix& out, const YrVector3<double>& r, YrRotationOrder order) {
  if (order == kYrSphericXYZ) {
    SphericToMatrix(out, r);
    return;
  }
  const AxisTriple& t = TripleOf(order);
  const double sign = t.odd ? -1.0 : 1.0;
  const double a = sign * FiniteOrZero(r[t.first]) * kYrDegreesToRadians;
  const double b = sign * FiniteOrZero(r[t.second]) * kYrDegreesToRadians;
  const double c = sign * FiniteOrZero(r[t.third]) * kYrDegreesToRadians;
  const double ci = std::cos(a), si = std::sin(a), cj = std::cos(b), sj = std::sin(b), ck = std::cos(c),
               sk = std::sin(c);
  const int i = t.first, j = t.second, k = t.third;
  // Written in place: no operand is a matrix.
  YrMatrix& m = out;
  for (int c = 0; c < 3; ++c) m(c, 3) = m(3, c) = 0.0;
  m(3, 3) = 1.0;
  m(i, i) = cj * ck;
  m(i, j) = cj * sk;
  m(i, k) = -sj;
  m(j, i) = si * sj * ck - ci * sk;
  m(j, j) = si * sj * sk + ci * ck;
  m(j, k) = si * cj;
  m(k, i) = ci * sj * ck + si * sk;
  m(k, j) = ci * sj * sk - si * ck;
  m(k, k) = ci * cj;
}

void YrMatrixToEuler(YrVector3<double>& out, const YrMatrix& m, YrRotationOrder order) {
  const AxisTriple& t = TripleOf(order == kYrSphericXYZ ? kYrEulerXYZ : order);
  const int axis[3] = {t.first, t.second, t.third};
  double p[3][3];
  for (int a = 0; a < 3; ++a) {
    for (int b = 0; b < 3; ++b) p[a][b] = FiniteOrZero(m(axis[a], axis[b]));
  }
  double x, y, z;
  const double cy = std::hypot(p[0][0], p[0][1]);
  if (cy < kGimbalCosine) {
    if (p[0][2] <= 0.0) {
      x = std::atan2(p[1][0], p[1][1]);
      y = 90.0 * kYrDegreesToRadians;
    } else {
      x = std::atan2(-p[2][1], -p[2][0]);
      y = -90.0 * kYrDegreesToRadians;
    }
    z = 0.0;
  } else {
    x = std::atan2(p[1][2], p[2][2]);
    y = std::atan2(-p[0][2], cy);
    z = std::atan2(p[0][1], p[0][0]);
  }
  const double sign = t.odd ? -1.0 : 1.0;
  YrVector3<double> r;
  r[t.first] = FiniteOrZero(sign * x * kYrRadiansToDegrees);
  r[t.second] = FiniteOrZero(sign * y * kYrRadiansToDegrees);
  r[t.third] = FiniteOrZero(sign * z * kYrRadiansToDegrees);
  out = r;
}

void YrQuaternionToMatrix(YrMatrix& out, const YrVector4<double>& q) {
  const double x = FiniteOrZero(q.x), y = FiniteOrZero(q.y), z = FiniteOrZero(q.z), w = FiniteOrZero(q.w);
  const double n = x * x + y * y + z * z + w * w;
  const double s = (n > 0.0 && std::isfinite(n)) ? 2.0 / n : 0.0;
  YrMatrix m;
  m(0, 0) = 1 - s * (y * y + z * z);
  m(0, 1) = s * (x * y + w * z);
  m(0, 2) = s * (x * z - w * y);
  m(1, 0) = s * (x * y - w * z);
  m(1, 1) = 1 - s * (x * x + z * z);
  m(1, 2) = s * (y * z + w * x);
  m(2, 0) = s * (x * z + w * y);
  m(2, 1) = s * (y * z - w * x);
  m(2, 2) = 1 - s * (x * x + y * y);
  out = m;
}

void YrMatrixToQuaternion(YrVector4<double>& out, const YrMatrix& mat) {
  double m[3][3];
  for (int a = 0; a < 3; ++a) {
    for (int b = 0; b < 3; ++b) m[a][b] = FiniteOrZero(mat(a, b));
  }
  const double trace = m[0][0] + m[1][1] + m[2][2];
  YrVector4<double> q;
  if (trace >= m[0][0] && trace >= m[1][1] && trace >= m[2][2]) {
    const double w4 = 2.0 * std::sqrt(std::fmax(trace + 1.0, 0.0));
    q = {(m[1][2] - m[2][1]) / w4, (m[2][0] - m[0][2]) / w4, (m[0][1] - m[1][0]) / w4, w4 / 4.0};
  } else if (m[0][0] >= m[1][1] && m[0][0] >= m[2][2]) {
    const double x4 = 2.0 * std::sqrt(std::fmax(1.0 + m[0][0] - m[1][1] - m[2][2], 0.0));
    q = {x4 / 4.0, (m[0][1] + m[1][0]) / x4, (m[0][2] + m[2][0]) / x4, (m[1][2] - m[2][1]) / x4};
  } else if (m[1][1] >= m[2][2]) {
    const double y4 = 2.0 * std::sqrt(std::fmax(1.0 - m[0][0] + m[1][1] - m[2][2], 0.0));
    q = {(m[0][1] + m[1][0]) / y4, y4 / 4.0, (m[1][2] + m[2][1]) / y4, (m[2][0] - m[0][2]) / y4};
  } else {
    const double z4 = 2.0 * std::sqrt(std::fmax(1.0 - m[0][0] - m[1][1] + m[2][2], 0.0));
    q = {(m[0][2] + m[2][0]) / z4, (m[1][2] + m[2][1]) / z4, z4 / 4.0, (m[0][1] - m[1][0]) / z4};
  }
  const double len = YrQLength(q);
  if (!(len > 0.0) || !std::isfinite(len)) {
    out = {0, 0, 0, 1};
    return;
  }
  YrQMult(out, q, 1.0 / len);
}

void YrRotationToQuaternion(YrVector4<double>& out, const YrVector3<double>& r) {
  YrMatrix m;
  YrEulerToMatrix(m, r, kYrEulerXYZ);
  YrMatrixToQuaternion(out, m);
}

void YrQuaternionToRotation(YrVector3<double>& out, const YrVector4<double>& q) {
  YrMatrix m;
  YrQuaternionToMatrix(m, q);
  YrMatrixToEuler(out, m, kYrEulerXYZ);
}

void YrInterpolateRotation(YrVector3<double>& out, const YrVector3<double>& a, const YrVector3<double>& b,
                           double t) {
  const double u = FiniteOrZero(t);
  YrVector4<double> qa, qb;
  YrRotationToQuaternion(qa, a);
  YrRotationToQuaternion(qb, b);
  if (YrQDot(qa, qb) < 0) YrQMult(qb, qb, -1.0);
  YrVector4<double> q;
  YrQMult(qa, qa, 1.0 - u);
  YrQMult(qb, qb, u);
  YrQAdd(q, qa, qb);
  YrQuaternionToRotation(out, q);
}

bool YrGetContinuousRotation(YrVector3<double>& out, const YrVector3<double>& r,
                             const YrVector3<double>& previous) {
  const YrVector3<double> p{FiniteOrZero(previous.x), FiniteOrZero(previous.y), FiniteOrZero(previous.z)};
  const double x = FiniteOrZero(r.x), y = FiniteOrZero(r.y), z = FiniteOrZero(r.z);
  const YrVector3<double> candidates[2] = {{x, y, z}, {x + 180.0, 180.0 - y, z + 180.0}};
  YrVector3<double> best[2];
  double distance[2];
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < 3; ++i) best[c][i] = NearestTurn(candidates[c][i], p[i]);
    YrVector3<double> d;
    YrSub(d, best[c], p);
    distance[c] = YrDot(d, d);
  }
  const bool second = distance[1] < distance[0];
  YrVector3<double> result = best[second ? 1 : 0];

  double middle = std::fmod(result.y, 360.0);
  if (middle < 0) middle += 360.0;
  if (std::fabs(middle - 90.0) <= 1e-6) {
    // Only x - z matters: keep it and share the rest evenly.
    const double difference = NearestTurn(result.x - result.z, p.x - p.z);
    result.x = (p.x + p.z + difference) / 2.0;
    result.z = (p.x + p.z - difference) / 2.0;
  } else if (std::fabs(middle - 270.0) <= 1e-6) {
    // Only x + z matters.
    const double sum = NearestTurn(result.x + result.z, p.x + p.z);
    result.x = (sum + p.x - p.z) / 2.0;
    result.z = (sum - p.x + p.z) / 2.0;
  }
  out = result;
  return second;
}

}  // namespace YrSDK
