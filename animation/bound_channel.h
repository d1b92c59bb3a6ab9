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
#include <memory>

#include "animation/fcurve.h"
#include "animation/fcurve_node.h"
#include "core/property.h"
#include "core/time.h"

class VBoundChannel : public VAnimationSource {
 public:
  static constexpr int kMaxCurves = 4;

  // Whether a node can be read through a bound channel.
  static bool CanFlatten(const VFCurveNode& node);
  // What the channel keeps of one curve.
  struct Entry {
    const VFCurve* curve;
    VFCurveSpan span;
    int cache;
  };
  // The node must outlive the channel (the take owns both). The channel
  // keeps its entries itself, or in storage the caller keeps for `room`
  // entries (a take lays out those of all its channels side by side); a
  // node that comes to need more has them made on its first read.
  VBoundChannel(const VFCurveNode* node, const VTime* clock);
  VBoundChannel(const VFCurveNode* node, const VTime* clock, Entry* storage, int room)
      : node_(node), clock_(clock), room_(room), entries_(storage) {}
  VBoundChannel(VBoundChannel&&) = default;
  VBoundChannel& operator=(VBoundChannel&&) = default;

  bool ReadAnimatedValues(double* out, int count) const override;
  // Curves with at most one key hold one value at every time.
  bool ReadConstantValues(double* out, int count) const override;
  // The node read through this channel.
  const VFCurveNode* GetNode() const { return node_; }
  // The entries the node needs now: 0 when it cannot be flattened.
  static int EntryCount(const VFCurveNode& node);
  // The same, but 0 as well while every curve holds at most one key: the
  // channel is then read as constant, with no entries.
  static int EntriesToPlay(const VFCurveNode& node);

 private:
  void Flatten() const;

  // What every read looks at first, then the entries, in the order they
  // are read: playback streams through the channels of a take.
  const VFCurveNode* node_;
  const VTime* clock_;
  mutable std::uint64_t stamp_ = 0;  // the animation data serial flattened for
  mutable int count_ = 0;
  mutable int room_;
  mutable Entry* entries_;
  mutable std::unique_ptr<Entry[]> own_;  // the entries when the channel keeps them
};
