#include "scene/camera_view.h"

#include <cmath>

#include "scene/vector_math.h"

using vmath::Vec3;
using YrSDK::YrMatrix;

namespace {

// Forward, true up and right (forward x up) as an orthonormal frame.
void Frame(const Vec3& forward_in, const Vec3& up_in, Vec3& forward, Vec3& up, Vec3& right) {
  forward = vmath::Normalised(vmath::FiniteOr(forward_in, Vec3{1, 0, 0}), Vec3{1, 0, 0});
  const Vec3 up_hint = vmath::FiniteOr(up_in, Vec3{0, 1, 0});
  right = vmath::Normalised(vmath::Cross(forward, up_hint), Vec3{0, 0, 0});
  if (vmath::Length(right) == 0.0) right = vmath::AnyPerpendicular(forward);
  up = vmath::Cross(right, forward);
}

}  // namespace

YrMatrix VCameraViewMatrix(const Vec3& position, const Vec3& forward_in, const Vec3& up_in, double roll_degrees) {
  Vec3 forward, up, right;
  Frame(forward_in, up_in, forward, up, right);
  const Vec3 p = vmath::FiniteOr(position, Vec3{0, 0, 0});
  // R's columns are the eye axes in world space: x = right, y = up,
  // z = -forward (the eye looks down its negative z axis).
  const Vec3 columns[3] = {right, up, vmath::Scale(forward, -1.0)};
  YrMatrix view;
  for (int c = 0; c < 3; ++c) {
    view(0, c) = columns[c].x;
    view(1, c) = columns[c].y;
    view(2, c) = columns[c].z;
    view(3, c) = -vmath::Dot(p, columns[c]);  // T(-p) * R
  }
  // * Rz(-roll): row-vector rotation about the eye's z axis.
  const double roll = vmath::FiniteOr(roll_degrees, 0.0) * YrSDK::kYrDegreesToRadians;
  const double c = std::cos(-roll), s = std::sin(-roll);
  for (int row = 0; row < 4; ++row) {
    const double x = view(row, 0), y = view(row, 1);
    view(row, 0) = x * c - y * s;
    view(row, 1) = x * s + y * c;
  }
  return view;
}

YrMatrix VAimRotation(const Vec3& direction, const Vec3& up_hint) {
  Vec3 forward, up, right;
  Frame(direction, up_hint, forward, up, right);
  // Rows: X aims, Y is up, Z = X x Y completes the right-handed frame.
  const Vec3 z = vmath::Cross(forward, up);
  const Vec3 rows[3] = {forward, up, z};
  YrMatrix m;
  for (int r = 0; r < 3; ++r) {
    m(r, 0) = rows[r].x;
    m(r, 1) = rows[r].y;
    m(r, 2) = rows[r].z;
  }
  return m;
}
