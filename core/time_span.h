#pragma once
// VTimeSpan: a start and a stop time, in either order. A span runs forward
// when stop >= start and backward otherwise; the larger end is excluded.

#include <cstdint>

#include "core/time.h"

class VTimeSpan {
 public:
  constexpr VTimeSpan() = default;
  constexpr VTimeSpan(VTime start, VTime stop) : start_(start), stop_(stop) {}

  constexpr VTime GetStart() const { return start_; }
  constexpr VTime GetStop() const { return stop_; }
  constexpr void Set(VTime start, VTime stop) {
    start_ = start;
    stop_ = stop;
  }
  constexpr void SetStart(VTime start) { start_ = start; }
  constexpr void SetStop(VTime stop) { stop_ = stop; }

  // stop - start, saturated to the 64-bit range (a span from minus infinite
  // to infinite lasts infinitely long instead of wrapping around).
  constexpr VTime GetSignedDuration() const {
    int64_t a = start_.GetTicks(), b = stop_.GetTicks();
    if (b >= a) return VTime(b >= 0 && a < b - INT64_MAX ? INT64_MAX : b - a);
    return VTime(b < 0 && a > b + INT64_MAX ? -INT64_MAX : b - a);
  }
  // |stop - start|, saturated.
  constexpr VTime GetDuration() const {
    VTime d = GetSignedDuration();
    return d.GetTicks() < 0 ? VTime(-d.GetTicks()) : d;
  }
  // +1 when stop >= start, else -1.
  constexpr int GetDirection() const { return stop_ >= start_ ? 1 : -1; }

  // start <= t < stop for a forward span, stop <= t < start for a backward one.
  constexpr bool IsInside(VTime t) const {
    return start_ <= stop_ ? (start_ <= t && t < stop_) : (stop_ <= t && t < start_);
  }

  // The overlap of two spans of the same direction, in that direction; the
  // span (0, 0) when they do not overlap or run in different directions.
  friend constexpr VTimeSpan operator&(const VTimeSpan& a, const VTimeSpan& b) {
    if (a.GetDirection() != b.GetDirection()) return VTimeSpan();
    if (a.GetDirection() > 0) {
      VTime lo = a.start_ > b.start_ ? a.start_ : b.start_;
      VTime hi = a.stop_ < b.stop_ ? a.stop_ : b.stop_;
      return lo < hi ? VTimeSpan(lo, hi) : VTimeSpan();
    }
    VTime lo = a.stop_ > b.stop_ ? a.stop_ : b.stop_;
    VTime hi = a.start_ < b.start_ ? a.start_ : b.start_;
    return lo < hi ? VTimeSpan(hi, lo) : VTimeSpan();
  }

  friend constexpr bool operator==(const VTimeSpan& a, const VTimeSpan& b) {
    return a.start_ == b.start_ && a.stop_ == b.stop_;
  }
  friend constexpr bool operator!=(const VTimeSpan& a, const VTimeSpan& b) { return !(a == b); }

 private:
  VTime start_;
  VTime stop_;
};
