#pragma once
// Tick constants of VTime and the wrapping 64-bit arithmetic used wherever a
// product of labels and tick lengths can leave the signed 64-bit range.

#include <cstdint>

// One second is 46,186,158,000 ticks; every frame and field length of every
// time mode is a whole number of ticks.
inline constexpr int64_t kVTimeTicksPerSecond = 46186158000LL;
inline constexpr int64_t kVTimeTicksPerMillisecond = 46186158LL;
inline constexpr int64_t kVTimeTicksPerMinute = 60 * kVTimeTicksPerSecond;  // 2,771,169,480,000
inline constexpr int64_t kVTimeTicksPerHour = 60 * kVTimeTicksPerMinute;    // 166,270,168,800,000

inline constexpr int64_t kVTimeInfinite = INT64_MAX;
inline constexpr int64_t kVTimeMinusInfinite = -INT64_MAX;
inline constexpr int64_t kVTimeZero = 0;

// Two's-complement wrapping arithmetic: defined for every input.
constexpr int64_t VTimeWrapAdd(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
constexpr int64_t VTimeWrapSub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}
constexpr int64_t VTimeWrapMul(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}
// Truncating division; 0 for a zero divisor, and INT64_MIN / -1 wraps.
constexpr int64_t VTimeWrapDiv(int64_t a, int64_t b) {
  if (b == 0) return 0;
  if (b == -1) return VTimeWrapSub(0, a);
  return a / b;
}
// Floor division for a positive divisor, without overflow.
constexpr int64_t VTimeFloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}
// Remainder of the floor division: always in [0, b) for b > 0.
constexpr int64_t VTimeFloorMod(int64_t a, int64_t b) {
  int64_t r = a % b;
  return r < 0 ? r + b : r;
}
// A double tick count truncated toward zero, clamped to the 64-bit range
// (NaN gives 0).
constexpr int64_t VTimeTicksFromDouble(double ticks) {
  if (!(ticks == ticks)) return 0;
  if (ticks >= 9223372036854775807.0) return INT64_MAX;
  if (ticks <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(ticks);
}
