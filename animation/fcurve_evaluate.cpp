// Curve evaluation: the key search from a cached index, the value at a key
// position (constant, linear, cubic and weighted cubic segments) and the
// extrapolations before the first and after the last key.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "animation/fcurve.h"
#include "animation/fcurve_math.h"
#include "animation/fcurve_span_values.h"

using fcurve_math::Int128;
using fcurve_math::Seconds;
using fcurve_math::TickDiff;

namespace {

// The walk steps at most this many keys before it switches to a binary
// search; both find the same key since the times are strictly increasing.
constexpr int kWalkSteps = 2;

// Seconds from key i to key i + 1: baked, or computed.
template <class Segment>
inline double SegmentSeconds(const int64_t* t, const Segment* seg, int i) {
  return seg ? seg[i].seconds : Seconds(t[i + 1], t[i]);
}

// Key position of x from the start index s (0 <= s < n), setting the cache
// as the walk from s would. seg: the baked segment lengths, or null.
template <class Segment>
inline double Search(const int64_t* t, int n, int64_t x, int s, int* c, const Segment* seg) {
  if (x < t[s]) {
    // Walk down: the first key after x, among keys 0..s.
    int i = s;
    int steps = 0;
    while (i > 0 && t[i - 1] > x) {
      if (++steps > kWalkSteps) {
        i = static_cast<int>(std::upper_bound(t, t + i, x) - t);
        break;
      }
      --i;
    }
    if (i == 0) {
      *c = 0;
      return -0.5;
    }
    *c = i - 1;
    return (i - 1) + Seconds(x, t[i - 1]) / SegmentSeconds(t, seg, i - 1);
  }
  if (x == t[s]) {
    *c = s;
    return s;
  }
  if (s == n - 1) {
    *c = n;
    return n - 0.5;
  }
  // Walk up: the first key at or after x.
  int i = s + 1;
  int steps = 0;
  while (i < n && t[i] < x) {
    if (++steps > kWalkSteps) {
      i = static_cast<int>(std::lower_bound(t + i, t + n, x) - t);
      break;
    }
    ++i;
  }
  if (i == n) {
    *c = n;
    return n - 0.5;
  }
  *c = i;
  const double p = (i - 1) + Seconds(x, t[i - 1]) / SegmentSeconds(t, seg, i - 1);
  return p < -0.5 ? -0.5 : p;
}

inline int StartIndex(int c, int n) { return c < 0 ? 0 : (c > n - 1 ? n - 1 : c); }

using fcurve_math::Bezier;

// The parameter s in [0, 1] where the time Bezier (0, w1, 1 - w2, 1) reaches
// u, by the secant method from 0 and 1.
double SolveWeightedTime(double w1, double w2, double u) {
  const double c1 = w1, c2 = 1.0 - w2;
  double s0 = 0.0, f0 = -u;
  double s1 = 1.0, f1 = 1.0 - u;
  for (int step = 0; step < 15; ++step) {
    if (f1 == 0.0) break;
    const double denom = f1 - f0;
    if (denom == 0.0 || !std::isfinite(denom)) break;
    const double s2 = s1 - f1 * (s1 - s0) / denom;
    const double delta = s2 - s1;
    s0 = s1;
    f0 = f1;
    s1 = s2;
    f1 = Bezier(0.0, c1, c2, 1.0, s1) - u;
    if (std::fabs(delta) < 1e-6) break;
  }
  // Weights outside [0, 1] can fold the time curve; keep the parameter on
  // the segment.
  if (!(s1 == s1)) return u;
  return s1 < 0.0 ? 0.0 : (s1 > 1.0 ? 1.0 : s1);
}

// Counts below -1 limit like 0.
inline int LimitCount(int count) { return count < -1 ? 0 : count; }

constexpr double kTwoTo63 = 9223372036854775808.0;

}  // namespace

bool VFCurve::Bake() const {
  KeyBlock& b = *keys_;
  const int n = static_cast<int>(b.count);
  if (!b.segments) {
    // As many as the block's keys make: they outlive the changes that keep
    // the block.
    const size_t room = b.capacity > 1 ? b.capacity - 1 : 1;
    b.segments = static_cast<Segment*>(std::malloc(room * sizeof(Segment)));
    if (!b.segments) return false;
  }
  const int64_t* times = b.times();
  const uint32_t* flags = b.flags();
  const fcurve_math::View view{times, b.values(), flags, b.tangents(), n};
  for (int i = 0; i + 1 < n; ++i) {
    const size_t k = static_cast<size_t>(i);
    Segment& s = b.segments[k];
    s.seconds = Seconds(times[k + 1], times[k]);
    const bool cubic = (flags[k] & kFCurveInterpolationMask) == kFCurveInterpolationCubic;
    const double right = cubic ? fcurve_math::RightDerivative(view, i) : 0.0;
    const double left = cubic ? fcurve_math::LeftDerivative(view, i + 1) : 0.0;
    s.out = right * s.seconds / 3.0;
    s.in = left * s.seconds / 3.0;
  }
  baked_ = true;
  return true;
}

double VFCurve::KeySearch(VTime time, int* cache) const {
  const int n = KeyGetCount();
  if (n == 0) return -1.0;
  int& c = cache ? *cache : last_key_;
  return Search<Segment>(keys_->times(), n, time.GetTicks(), StartIndex(c, n), &c, nullptr);
}

double VFCurve::KeySearchExtrapolated(VTime time, int* cache) const {
  if (KeyGetCount() == 0) return -1.0;
  return SearchExtrapolated(time.GetTicks(), cache ? cache : &last_key_, nullptr);
}

double VFCurve::SearchExtrapolated(int64_t x, int* cache, const Segment* seg) const {
  const KeyBlock& b = *keys_;
  const int n = static_cast<int>(b.count);
  int& c = *cache;
  const int64_t* t = b.times();
  const int64_t first = t[0], last = t[n - 1];
  if (x >= first && x <= last) return Search(t, n, x, StartIndex(c, n), &c, seg);
  const int pre_type = pre_code_, post_type = post_code_;

  const bool repeats = n >= 2;  // one key spans nothing to repeat
  const Int128 span = static_cast<Int128>(last) - first;
  const double span_d = static_cast<double>(span);
  if (x < first) {
    if (pre_type == kFCurveExtrapolationConstant) {
      c = 0;
      return 0.0;
    }
    if (repeats && (pre_type == kFCurveExtrapolationRepetition ||
                    pre_type == kFCurveExtrapolationMirrorRepetition)) {
      const int count = LimitCount(GetPreExtrapolationCount());
      bool inside = true;
      if (count != kFCurveRepetitionUnlimited) {
        double limit = static_cast<double>(first) - count * span_d;
        if (limit < -kTwoTo63) limit += std::ceil((-kTwoTo63 - limit) / span_d) * span_d;
        inside = static_cast<double>(x) > limit;
      }
      if (!inside) {
        c = 0;
        return 0.0;
      }
      const Int128 d = static_cast<Int128>(first) - x;  // > 0
      Int128 reps = static_cast<Int128>(std::trunc(TickDiff(first, x) / span_d));
      Int128 local = -d + reps * span;
      if (local > 0 || local <= -span) {  // the double quotient rounded across a whole span
        reps = d / span;
        local = -d + reps * span;
      }
      const bool backward = pre_type == kFCurveExtrapolationMirrorRepetition && (reps % 2) == 0;
      const int64_t moved = static_cast<int64_t>(backward ? first - local : last + local);
      return Search(t, n, moved, StartIndex(c, n), &c, seg);
    }
    return Search(t, n, x, StartIndex(c, n), &c, seg);
  }

  // x > last
  if (post_type == kFCurveExtrapolationConstant) {
    c = n - 1;
    return n - 1;
  }
  if (repeats && (post_type == kFCurveExtrapolationRepetition ||
                  post_type == kFCurveExtrapolationMirrorRepetition)) {
    const int count = LimitCount(GetPostExtrapolationCount());
    bool inside = true;
    if (count != kFCurveRepetitionUnlimited) {
      const double limit = static_cast<double>(last) + count * span_d;
      inside = limit >= kTwoTo63 ? x < INT64_MAX : static_cast<double>(x) < limit;
    }
    if (!inside) {
      c = n - 1;
      return n - 1;
    }
    Int128 reps, local;
    int64_t d64;
    if (!__builtin_sub_overflow(x, last, &d64) && span <= INT64_MAX) {
      const int64_t s64 = static_cast<int64_t>(span);
      reps = d64 / s64;
      local = d64 - static_cast<int64_t>(reps) * s64;
    } else {
      const Int128 d = static_cast<Int128>(x) - last;
      reps = d / span;
      local = d - reps * span;
    }
    const bool backward = post_type == kFCurveExtrapolationMirrorRepetition && (reps % 2) == 0;
    const int64_t moved = static_cast<int64_t>(backward ? last - local : first + local);
    return Search(t, n, moved, StartIndex(c, n), &c, seg);
  }
  return Search(t, n, x, StartIndex(c, n), &c, seg);
}

double VFCurve::ValueAtPosition(double p) const { return ValueAt(p, nullptr); }

double VFCurve::ValueAt(double p, const Segment* segments) const {
  if (keys_->count == 0) return default_value_;
  const KeyBlock& b = *keys_;
  const int n = static_cast<int>(b.count);
  const float* v = b.values();
  if (n == 1) return v[0];
  if (!(p >= 0.0)) return v[0];  // before the first key (or not a position)
  if (p >= n - 1) return v[n - 1];
  const double whole = std::floor(p);
  const int k1 = static_cast<int>(whole);
  if (whole == p) return v[k1];
  const size_t s = static_cast<size_t>(k1);
  const int k2 = k1 + 1;
  const double u = p - whole;
  const double y1 = v[k1], y2 = v[k2];
  const uint32_t flags = b.flags()[s];
  switch (flags & kFCurveInterpolationMask) {
    case kFCurveInterpolationConstant: return (flags & kFCurveConstantNext) ? y2 : y1;
    case kFCurveInterpolationLinear: return y1 + u * (y2 - y1);
    case kFCurveInterpolationCubic: break;
    default: return 0.0;
  }
  if (segments && !(flags & kFCurveWeightedMask)) {
    const Segment& seg = segments[s];
    return Bezier(y1, y1 + seg.out, y2 - seg.in, y2, u);
  }
  const int64_t* times = b.times();
  const fcurve_math::View view{times, v, b.flags(), b.tangents(), n};
  const double dt = segments ? segments[s].seconds : Seconds(times[s + 1], times[s]);
  const double d1 = fcurve_math::RightDerivative(view, k1);
  const double d2 = fcurve_math::LeftDerivative(view, k2);
  if (!(flags & kFCurveWeightedMask)) {
    return Bezier(y1, y1 + d1 * dt / 3.0, y2 - d2 * dt / 3.0, y2, u);
  }
  const uint32_t word = b.tangents()[s].word[2];
  const double w1 = (flags & kFCurveWeightedRight) ? VFCurveWeightToDouble(VFCurveRightWeightBits(word)) : 1.0 / 3.0;
  const double w2 =
      (flags & kFCurveWeightedNextLeft) ? VFCurveWeightToDouble(VFCurveNextLeftWeightBits(word)) : 1.0 / 3.0;
  const double sp = SolveWeightedTime(w1, w2, u);
  return Bezier(y1, y1 + d1 * dt * w1, y2 - d2 * dt * w2, y2, sp);
}

// Inlined in Evaluate, as playback through the extrapolations is frequent.
__attribute__((always_inline)) inline double VFCurve::EvaluateAway(int64_t x, int* cache,
                                                                   const Segment* segments) const {
  const KeyBlock& b = *keys_;
  const int n = static_cast<int>(b.count);
  const int64_t* t = b.times();
  const float* v = b.values();
  const int64_t first = t[0], last = t[n - 1];
  if (x < first && pre_code_ == kFCurveExtrapolationKeepSlope) {
    const fcurve_math::View view{t, v, b.flags(), b.tangents(), n};
    double ticks = TickDiff(x, first);
    const int count = LimitCount(GetPreExtrapolationCount());
    if (count != kFCurveRepetitionUnlimited) {
      const double bound = -(count * static_cast<double>(static_cast<Int128>(last) - first));
      if (ticks < bound) ticks = bound;
    }
    return v[0] + fcurve_math::RightDerivative(view, 0) * (ticks / fcurve_math::kTicksPerSecond);
  }
  if (x > last && post_code_ == kFCurveExtrapolationKeepSlope) {
    const fcurve_math::View view{t, v, b.flags(), b.tangents(), n};
    double ticks = TickDiff(x, last);
    const int count = LimitCount(GetPostExtrapolationCount());
    if (count != kFCurveRepetitionUnlimited) {
      const double bound = count * static_cast<double>(static_cast<Int128>(last) - first);
      if (ticks > bound) ticks = bound;
    }
    return v[n - 1] + fcurve_math::LeftDerivative(view, n - 1) * (ticks / fcurve_math::kTicksPerSecond);
  }
  return ValueAt(SearchExtrapolated(x, cache, segments), segments);
}

// Out of memory for the segments: every value computed from the keys.
__attribute__((noinline)) double VFCurve::EvaluateUnbaked(int64_t x, int* cache) const {
  return EvaluateAway(x, cache, nullptr);
}

double VFCurve::Evaluate(VTime time, int* cache) const {
  const KeyBlock* b = keys_;
  if (b->count == 0) return default_value_;
  const int n = static_cast<int>(b->count);
  const float* v = b->values();
  if (n == 1) return v[0];
  const int64_t x = time.GetTicks();
  int& c = cache ? *cache : last_key_;
  if (__builtin_expect(!baked_, 0) && !Bake()) return EvaluateUnbaked(x, &c);
  // Playback: the time lies on the key the cache names or in the segment
  // just before or after it. The position is formed exactly as the search
  // forms it, so the value is the same to the last bit.
  const int64_t* t = b->times();
  int k = c;
  if (k > 0 && k < n) {
    if (x == t[k]) return v[k];
    if (x > t[k] && k + 1 < n && x <= t[k + 1]) c = ++k;
    if (x > t[k - 1] && x <= t[k]) {
      if (x == t[k]) return v[k];
      const size_t s = static_cast<size_t>(k - 1);
      const Segment& seg = b->segments[s];
      const double p = (k - 1) + Seconds(x, t[k - 1]) / seg.seconds;
      const double whole = k - 1;  // the floor of p while p < k
      const uint32_t flags = b->flags()[s];
      // The common segments, as ValueAt computes them; the rest go there.
      if (p > whole && p < k && !(flags & kFCurveWeightedMask)) {
        const double u = p - whole;
        const double y1 = v[s], y2 = v[s + 1];
        switch (flags & kFCurveInterpolationMask) {
          case kFCurveInterpolationCubic: return Bezier(y1, y1 + seg.out, y2 - seg.in, y2, u);
          case kFCurveInterpolationLinear: return y1 + u * (y2 - y1);
          default: break;
        }
      }
      return ValueAt(p, b->segments);
    }
  }
  return EvaluateAway(x, &c, b->segments);
}

double VFCurve::EvaluateSpan(VTime time, int* cache, VFCurveSpan* span) const {
  int own = last_key_;
  int& c = cache ? *cache : own;
  const double value = Evaluate(time, &c);
  *span = VFCurveSpan{};
  const int n = KeyGetCount();
  const int64_t x = time.GetTicks();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  auto constant = [&](int64_t lo, int64_t hi) {
    span->kind = VFCurveSpan::kConstant;
    span->lo = lo;
    span->hi = hi;
    span->y1 = value;
  };
  if (n <= 1) {
    constant(kMin, kMax);
    return value;
  }
  const KeyBlock& b = *keys_;
  const int64_t* t = b.times();
  if (x < t[0]) {
    if (pre_code_ == kFCurveExtrapolationConstant) constant(kMin, t[0]);
    return value;
  }
  if (x > t[n - 1]) {
    if (post_code_ == kFCurveExtrapolationConstant) constant(t[n - 1], kMax);
    return value;
  }
  if (!b.segments || !baked_) return value;  // the segments could not be made
  // The evaluation left the cache on the key that ends the time's segment.
  size_t k = (c > 0 && c < n && t[c - 1] < x && x <= t[c]) ? static_cast<size_t>(c) : LowerBound(x);
  if (k == 0 || k >= static_cast<size_t>(n) || t[k] == x) return value;  // on a key
  const size_t s = k - 1;
  const uint32_t flags = b.flags()[s];
  switch (flags & kFCurveInterpolationMask) {
    case kFCurveInterpolationConstant:
      span->kind = VFCurveSpan::kHold;
      break;
    case kFCurveInterpolationLinear:
      span->kind = VFCurveSpan::kLinear;
      break;
    case kFCurveInterpolationCubic:
      if (flags & kFCurveWeightedMask) return value;
      span->kind = VFCurveSpan::kCubic;
      break;
    default:
      return value;
  }
  const Segment& seg = b.segments[s];  // Evaluate has prepared the segments
  span->lo = t[s];
  span->hi = t[k];
  span->whole = static_cast<int>(s);
  span->seconds = seg.seconds;
  span->y1 = span->kind == VFCurveSpan::kHold ? value : b.values()[s];
  span->y2 = b.values()[k];
  span->c1 = span->y1 + seg.out;
  span->c2 = span->y2 - seg.in;
  return value;
}

bool VFCurveSpan::ValueAt(int64_t x, double* value) const {
  if (!Contains(x)) return false;
  if (kind == kConstant) {
    *value = y1;
    return true;
  }
  return HasPosition() && ValueAtPosition(PositionAt(x), value);
}

double VFCurve::KeyGetRightDerivative(int index) const {
  if (!Valid(index)) return 0.0;
  const KeyBlock& b = *keys_;
  const fcurve_math::View view{b.times(), b.values(), b.flags(), b.tangents(), KeyGetCount()};
  return fcurve_math::RightDerivative(view, index);
}

double VFCurve::KeyGetLeftDerivative(int index) const {
  if (!Valid(index)) return 0.0;
  const KeyBlock& b = *keys_;
  const fcurve_math::View view{b.times(), b.values(), b.flags(), b.tangents(), KeyGetCount()};
  return fcurve_math::LeftDerivative(view, index);
}
