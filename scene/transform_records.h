#pragma once
// The records a transform node builds from its properties: one limit record
// per channel, the pivot record and the rotation record.

#include <cstdint>

#include "scene/matrix.h"

// Limit flag bits.
enum : std::uint32_t {
  kVLimitActive = 1,
  kVLimitMinX = 2,
  kVLimitMinY = 4,
  kVLimitMinZ = 8,
  kVLimitMaxX = 16,
  kVLimitMaxY = 32,
  kVLimitMaxZ = 64,
  kVLimitAny = 126,
};

struct VTransformLimit {
  std::uint32_t flags = 0;
  YrSDK::YrVector3<double> min;
  YrSDK::YrVector3<double> max;

  bool Applies() const { return (flags & kVLimitActive) && (flags & kVLimitAny); }
  // Axis by axis: the minimum first, then the maximum (so with min > max
  // the maximum wins).
  void Apply(YrSDK::YrVector3<double>& v) const {
    if (!Applies()) return;
    for (int axis = 0; axis < 3; ++axis) {
      if ((flags & (kVLimitMinX << axis)) && min[axis] > v[axis]) v[axis] = min[axis];
      if ((flags & (kVLimitMaxX << axis)) && max[axis] < v[axis]) v[axis] = max[axis];
    }
  }
};

// Pivot flag bits.
enum : std::uint32_t {
  kVPivotRotationOffset = 1,
  kVPivotRotationPivot = 2,
  kVPivotScalingOffset = 4,
  kVPivotScalingPivot = 8,
};

struct VTransformPivots {
  std::uint32_t flags = 0;
  YrSDK::YrVector3<double> rotation_offset;
  YrSDK::YrVector3<double> rotation_pivot;
  YrSDK::YrVector3<double> scaling_offset;
  YrSDK::YrVector3<double> scaling_pivot;
};

// Rotation record flag bits.
enum : std::uint32_t {
  kVRotationPre = 1,
  kVRotationPost = 2,
};

struct VTransformRotationRecord {
  std::uint32_t flags = 0;
  YrSDK::YrMatrix pre;   // Euler XYZ matrix of "PreRotation"
  YrSDK::YrMatrix post;  // Euler XYZ matrix of "PostRotation"
  int euler_code = 0;    // twice the "RotationOrder" value
};
