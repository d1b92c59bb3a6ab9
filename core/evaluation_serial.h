#pragma once
// The evaluation serial number: one process-wide counter that advances
// whenever something an evaluation reads may have changed (the player's
// time, a property value, a connection, the current take, a curve's keys).
// Caches stamp what they computed with the number they computed it for, so
// one increment makes every cache stale at once; each recomputes lazily on
// its next query.
//
// The connection serial advances only when a connection is made or
// removed: what is derived from the graph alone (a node's parent, a skin's
// clusters) is looked up again only then. The animation data serial
// advances when a curve or the shape of an animation node tree changes:
// what playback flattened from them is flattened again.

#include <atomic>
#include <cstdint>

namespace v_detail {
inline std::atomic<std::uint64_t> gEvaluationSerial{1};
inline std::atomic<std::uint64_t> gConnectionSerial{1};
inline std::atomic<std::uint64_t> gAnimationDataSerial{1};
}  // namespace v_detail

inline std::uint64_t VEvaluationSerial() { return v_detail::gEvaluationSerial.load(std::memory_order_acquire); }
inline void VEvaluationAdvance() { v_detail::gEvaluationSerial.fetch_add(1, std::memory_order_acq_rel); }

inline std::uint64_t VConnectionSerial() { return v_detail::gConnectionSerial.load(std::memory_order_acquire); }
// A connection change is also an evaluation change.
inline void VConnectionAdvance() {
  v_detail::gConnectionSerial.fetch_add(1, std::memory_order_acq_rel);
  VEvaluationAdvance();
}

inline std::uint64_t VAnimationDataSerial() {
  return v_detail::gAnimationDataSerial.load(std::memory_order_acquire);
}
// An animation data change is also an evaluation change.
inline void VAnimationDataAdvance() {
  v_detail::gAnimationDataSerial.fetch_add(1, std::memory_order_acq_rel);
  VEvaluationAdvance();
}
