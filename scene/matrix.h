#pragma once
// Vector and matrix value types shared by the scene, the renderer and the
// public facade.
//
// YrMatrix holds 4x4 doubles row after row. Points are row vectors
// (p' = p * M): rows 0-2 are the images of the X, Y and Z axes and row 3
// holds the translation (elements 12, 13, 14; element 15 is 1). The memory
// layout is the one OpenGL expects and is handed over unchanged. "A followed
// by B" is the product A * B. Angles are in degrees.

namespace YrSDK {

constexpr double kYrDegreesToRadians = 0.017453292519943295;
constexpr double kYrRadiansToDegrees = 57.29577951308232;

// Texture coordinates.
template <typename T>
struct YrVector2 {
  T x = T(0);
  T y = T(0);

  constexpr YrVector2() = default;
  constexpr YrVector2(T x_, T y_) : x(x_), y(y_) {}

  constexpr T& operator[](int i) { return i == 0 ? x : y; }
  constexpr const T& operator[](int i) const { return i == 0 ? x : y; }
  constexpr bool operator==(const YrVector2& o) const { return x == o.x && y == o.y; }
  constexpr bool operator!=(const YrVector2& o) const { return !(*this == o); }
};

template <typename T>
struct YrVector3 {
  T x = T(0);
  T y = T(0);
  T z = T(0);

  constexpr YrVector3() = default;
  constexpr YrVector3(T x_, T y_, T z_) : x(x_), y(y_), z(z_) {}

  constexpr T& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
  constexpr const T& operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
  constexpr bool operator==(const YrVector3& o) const { return x == o.x && y == o.y && z == o.z; }
  constexpr bool operator!=(const YrVector3& o) const { return !(*this == o); }
};

// Translations are carried with w = 1; quaternions are (x, y, z, w).
template <typename T>
struct YrVector4 {
  T x = T(0);
  T y = T(0);
  T z = T(0);
  T w = T(0);

  constexpr YrVector4() = default;
  constexpr YrVector4(T x_, T y_, T z_, T w_) : x(x_), y(y_), z(z_), w(w_) {}

  constexpr T& operator[](int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
  constexpr const T& operator[](int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
  constexpr bool operator==(const YrVector4& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
  constexpr bool operator!=(const YrVector4& o) const { return !(*this == o); }
};

// A scaling: same shape as a three-double vector.
using YrSVector = YrVector3<double>;

struct YrMatrix {
  // Identity unless filled otherwise.
  double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  constexpr double& operator[](int i) { return m[i]; }
  constexpr const double& operator[](int i) const { return m[i]; }
  constexpr double& operator()(int row, int column) { return m[row * 4 + column]; }
  constexpr const double& operator()(int row, int column) const { return m[row * 4 + column]; }
  const double* Data() const { return m; }

  constexpr bool operator==(const YrMatrix& o) const {
    for (int i = 0; i < 16; ++i) {
      if (m[i] != o.m[i]) return false;
    }
    return true;
  }
  constexpr bool operator!=(const YrMatrix& o) const { return !(*this == o); }
};

constexpr YrMatrix YrIdentityMatrix() { return YrMatrix{}; }

}  // namespace YrSDK
