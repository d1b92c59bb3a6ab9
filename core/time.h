#pragma once
// VTime: an instant as a signed 64-bit count of ticks (46,186,158,000 per
// second), with conversions to seconds, milliseconds and the labels of a
// time mode (hours, minutes, seconds, frame, field, hundredths).
//
// A mode argument of 0 means the current default time mode. Arithmetic
// wraps around in two's complement instead of overflowing.

#include <cstdint>

#include "core/time_ticks.h"

class VTime {
 public:
  constexpr VTime() = default;
  constexpr explicit VTime(int64_t ticks) : ticks_(ticks) {}

  static constexpr VTime Infinite() { return VTime(kVTimeInfinite); }
  static constexpr VTime MinusInfinite() { return VTime(kVTimeMinusInfinite); }
  static constexpr VTime Zero() { return VTime(0); }

  constexpr int64_t GetTicks() const { return ticks_; }
  constexpr void SetTicks(int64_t ticks) { ticks_ = ticks; }

  // True for the largest tick count; for the two smallest ones.
  constexpr bool IsInfinite() const { return ticks_ == kVTimeInfinite; }
  constexpr bool IsMinusInfinite() const { return ticks_ <= kVTimeMinusInfinite; }

  constexpr VTime& operator+=(VTime o) { ticks_ = VTimeWrapAdd(ticks_, o.ticks_); return *this; }
  constexpr VTime& operator-=(VTime o) { ticks_ = VTimeWrapSub(ticks_, o.ticks_); return *this; }
  friend constexpr VTime operator+(VTime a, VTime b) { return VTime(VTimeWrapAdd(a.ticks_, b.ticks_)); }
  friend constexpr VTime operator-(VTime a, VTime b) { return VTime(VTimeWrapSub(a.ticks_, b.ticks_)); }
  friend constexpr VTime operator-(VTime a) { return VTime(VTimeWrapSub(0, a.ticks_)); }
  // Products and quotients of the tick counts; a zero divisor gives 0.
  friend constexpr VTime operator*(VTime a, VTime b) { return VTime(VTimeWrapMul(a.ticks_, b.ticks_)); }
  friend constexpr VTime operator/(VTime a, VTime b) { return VTime(VTimeWrapDiv(a.ticks_, b.ticks_)); }
  // With a double the result is the product or quotient truncated toward
  // zero (t * 2.5 keeps the half), clamped to the 64-bit range.
  friend constexpr VTime operator*(VTime a, double d) {
    return VTime(VTimeTicksFromDouble(static_cast<double>(a.ticks_) * d));
  }
  friend constexpr VTime operator*(double d, VTime a) { return a * d; }
  friend constexpr VTime operator/(VTime a, double d) {
    return d == 0.0 ? VTime(0) : VTime(VTimeTicksFromDouble(static_cast<double>(a.ticks_) / d));
  }

  friend constexpr bool operator==(VTime a, VTime b) { return a.ticks_ == b.ticks_; }
  friend constexpr bool operator!=(VTime a, VTime b) { return a.ticks_ != b.ticks_; }
  friend constexpr bool operator<(VTime a, VTime b) { return a.ticks_ < b.ticks_; }
  friend constexpr bool operator<=(VTime a, VTime b) { return a.ticks_ <= b.ticks_; }
  friend constexpr bool operator>(VTime a, VTime b) { return a.ticks_ > b.ticks_; }
  friend constexpr bool operator>=(VTime a, VTime b) { return a.ticks_ >= b.ticks_; }

  constexpr double GetSecondDouble() const { return static_cast<double>(ticks_) / 46186158000.0; }
  constexpr void SetSecondDouble(double seconds) {
    ticks_ = VTimeTicksFromDouble(46186158000.0 * seconds);
  }
  constexpr int64_t GetMilliSeconds() const { return ticks_ / kVTimeTicksPerMillisecond; }
  constexpr void SetMilliSeconds(int64_t ms) { ticks_ = VTimeWrapMul(ms, kVTimeTicksPerMillisecond); }

  // Composes the time from labels of a mode. Modes without fields ignore
  // field. Labels 0 and 1 of second 0 in drop-frame minutes not divisible by
  // ten land on label 2. Returns false (time unchanged) for an invalid mode.
  bool SetTime(int hours, int minutes, int seconds, int frame, int field, int mode);
  // As above, then a non-zero hundredths adds that many hundredths of a
  // frame, rounded up.
  bool SetTime(int hours, int minutes, int seconds, int frame, int field, int hundredths, int mode);

  // Splits the time into labels. Hours are floor-divided, so a negative time
  // has negative hours and non-negative other labels. Returns false (outputs
  // untouched) for an invalid mode.
  bool GetTime(int64_t& hours, int64_t& minutes, int64_t& seconds, int64_t& frame, int64_t& field,
               int64_t& hundredths, int mode = 0) const;

  // Cumulative: whole frames (hours, minutes, seconds) since zero, truncated
  // toward zero; otherwise the label of GetTime (0 when it fails).
  int64_t GetFrame(bool cumulative, int mode = 0) const;
  int64_t GetHours(bool cumulative, int mode = 0) const;
  int64_t GetMinutes(bool cumulative, int mode = 0) const;
  int64_t GetSeconds(bool cumulative, int mode = 0) const;
  int64_t GetHundredths(int mode = 0) const;

  // The start of the frame holding the time in the current default mode; with
  // nearest, the next frame's start when the time is at least half a frame
  // past its frame's start.
  VTime GetFramedTime(bool nearest) const;

 private:
  int64_t ticks_ = 0;
};
