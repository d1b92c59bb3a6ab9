#pragma once
// What an animated property reads while its take is current: the curves of
// its animation node, flattened (the node's own curve, or its leaves' curves
// in order), each with the span of time over which its value follows one
// formula. Playback frame after frame then reads this record alone and goes
// to a curve only when the time leaves its span. A node whose tree holds
// more than one level of curves or a time warp is not flattened: the
// property reads the node itself.
//
// The flattening is redone when any curve or animation node changes (the
// animation data serial), so it never outlives what it was made from.

#include <cstdint>

#include "animation/fcurve.h"
#include "animation/fcurve_node.h"
#include "core/property.h"
#include "core/time.h"

class VBoundChannel : public VAnimationSource {
 public:
  static constexpr int kMaxCurves = 4;

  // Whether a node can be read through a bound channel.
  static bool CanFlatten(const VFCurveNode& node);
  // The node must outlive the channel (the take owns both).
  VBoundChannel(const VFCurveNode* node, const VTime* clock) : node_(node), clock_(clock) {}

  bool ReadAnimatedValues(double* out, int count) const override;
  // Curves with at most one key hold one value at every time.
  bool ReadConstantValues(double* out, int count) const override;
  // The node read through this channel.
  const VFCurveNode* GetNode() const { return node_; }

 private:
  struct Entry {
    const VFCurve* curve;
    VFCurveSpan span;
    int cache;
  };
  void Flatten() const;

  // What every read looks at first, then the entries, in the order they
  // are read: playback streams through the channels of a take.
  const VFCurveNode* node_;
  const VTime* clock_;
  mutable std::uint64_t stamp_ = 0;  // the animation data serial flattened for
  mutable int count_ = 0;
  mutable Entry entries_[kMaxCurves] = {};
};
