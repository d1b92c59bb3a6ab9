#pragma once
// Rotation orders, quaternions, continuous Euler angles and interpolation.

#include "scene/matrix.h"

namespace YrSDK {

// The "RotationOrder" values; the engine's Euler code is twice the value.
enum YrRotationOrder {
  kYrEulerXYZ = 0,
  kYrEulerXZY = 1,
  kYrEulerYZX = 2,
  kYrEulerYXZ = 3,
  kYrEulerZXY = 4,
  kYrEulerZYX = 5,
  kYrSphericXYZ = 6,
};

constexpr int YrRotationOrderToEulerCode(YrRotationOrder order) { return 2 * static_cast<int>(order); }

// Euler angles (degrees) to a rotation matrix: the axes of the order are
// applied first to last, each angle about its own axis. An order outside
// the table is taken as XYZ.
void YrEulerToMatrix(YrMatrix& out, const YrVector3<double>& r, YrRotationOrder order);
// The inverse for the six Euler orders, angles in (-180, 180] with the middle
// one in [-90, 90]; at gimbal lock the third angle is 0. "Spheric XYZ" has no
// angle readback of its own and answers the Euler XYZ angles of the rotation.
void YrMatrixToEuler(YrVector3<double>& out, const YrMatrix& m, YrRotationOrder order);

// Quaternion (x, y, z, w) to rotation matrix; a quaternion that is not of
// unit length is normalised, the zero quaternion gives the identity.
void YrQuaternionToMatrix(YrMatrix& out, const YrVector4<double>& q);
// Rotation rows 0-2 to a unit quaternion.
void YrMatrixToQuaternion(YrVector4<double>& out, const YrMatrix& m);

// Euler XYZ <-> quaternion through the rotation matrix.
void YrRotationToQuaternion(YrVector4<double>& out, const YrVector3<double>& r);
void YrQuaternionToRotation(YrVector3<double>& out, const YrVector4<double>& q);

// Euler XYZ a and b blended through quaternions along the shorter arc:
// t = 0 gives a, t = 1 gives b. A t that is not finite is taken as 0.
void YrInterpolateRotation(YrVector3<double>& out, const YrVector3<double>& a, const YrVector3<double>& b,
                           double t);

// Euler XYZ r rewritten as the equivalent triple closest to previous (each
// angle within half a turn of the previous one). Answers true when the
// alternative triple (x + 180, 180 - y, z + 180) was taken.
bool YrGetContinuousRotation(YrVector3<double>& out, const YrVector3<double>& r,
                             const YrVector3<double>& previous);

}  // namespace YrSDK
