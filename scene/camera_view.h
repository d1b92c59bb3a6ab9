#pragma once
// The view (model-view) matrix of a camera. A camera looks along its
// node's +X axis with +Y up; the view maps that forward direction to the
// eye's -Z and the up direction to the eye's +Y, then turns the picture by
// the roll: view = T(-position) * R * Rz(-roll), row vectors.

#include "scene/matrix.h"

// Forward and up need not be unit or exactly perpendicular: up is made
// perpendicular to forward. A zero or non-finite forward looks along +X;
// an up parallel to forward is replaced by any perpendicular. Roll in
// degrees; non-finite values count as 0.
YrSDK::YrMatrix VCameraViewMatrix(const YrSDK::YrVector3<double>& position, const YrSDK::YrVector3<double>& forward,
                                  const YrSDK::YrVector3<double>& up, double roll_degrees);

// A rotation (rows 0-2) whose X axis aims along `direction` with its Y axis
// as close to `up` as possible: the frame a camera or light needs to look
// at a point. Degenerate input gives the identity frame's nearest valid one.
YrSDK::YrMatrix VAimRotation(const YrSDK::YrVector3<double>& direction, const YrSDK::YrVector3<double>& up);
