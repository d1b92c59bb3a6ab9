#pragma once
// The context of an evaluation. Every context evaluates at the player's
// current time and is valid for the current evaluation serial number; what
// sets contexts apart is the cache slot they use, so that a second consumer
// (an alternate view, a sub-frame pass) does not evict the main one's values.

#include <cstdint>

#include "core/evaluation_serial.h"
#include "core/time.h"

struct VEvaluateInfo {
  // Slot 0 is the default context's. A context with `alternate` set uses
  // `slot` on nodes that have alternate evaluation switched on; any other
  // non-default context uses slot 2.
  int slot = 0;
  bool alternate = false;
  // The span the evaluation belongs to (an exported frame's start and stop).
  VTime start, stop;

  bool IsDefault() const { return slot == 0 && !alternate; }
  std::uint64_t Serial() const { return VEvaluationSerial(); }

  static const VEvaluateInfo& Default() {
    static const VEvaluateInfo kDefault;
    return kDefault;
  }
};

constexpr int kVEvaluateSlotCount = 3;
