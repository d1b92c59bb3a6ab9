#pragma once
// YrVector2: a pair of values, as texture coordinates are given.

namespace YrSDK {

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

}  // namespace YrSDK
