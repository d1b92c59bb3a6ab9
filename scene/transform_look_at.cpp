// Aiming a node at its look-at target.

#include "scene/transform_node.h"

#include <cmath>

#include "scene/matrix_functions.h"
#include "scene/vector_math.h"

using YrSDK::YrMatrix;
using YrSDK::YrSVector;
using YrSDK::YrVector3;
using YrSDK::YrVector4;
using namespace vmath;

namespace {

// Look-at chains are followed this deep at most.
constexpr int kMaxAimDepth = 32;
thread_local int tAimDepth = 0;

}  // namespace

bool VTransformNode::LookAtRotation(YrMatrix& out, const YrVector4<double>& local_translation, int slot,
                                    std::uint64_t serial) const {
  if (aiming_ || tAimDepth >= kMaxAimDepth || look_at_->aiming_) return false;
  aiming_ = true;
  ++tAimDepth;
  // This node's position comes from its parent and its own translation; the
  // rotation being computed cannot move it (pivots aside).
  const Vec3 local{local_translation.x, local_translation.y, local_translation.z};
  const GlobalBlock* parent = parent_ ? &parent_->Global(slot, serial) : nullptr;
  const Vec3 position = parent ? TransformPoint(local, parent->matrix) : local;
  const YrMatrix& target_matrix = look_at_->Global(slot, serial).matrix;
  Vec3 direction{target_matrix[12] - position.x, target_matrix[13] - position.y, target_matrix[14] - position.z};
  double length = Length(direction);
  direction = length < 1e-20 || !std::isfinite(length) ? Vec3{1, 0, 0} : Scale(direction, 1.0 / length);

  Vec3 up{0, 1, 0};
  if (up_vector_ && !up_vector_->aiming_) {
    const YrMatrix& up_matrix = up_vector_->Global(slot, serial).matrix;
    up = {up_matrix[12] - position.x, up_matrix[13] - position.y, up_matrix[14] - position.z};
  } else {
    // The node's own orientation: the Y axis of its Euler rotation, placed
    // in the parent's space. With no rotation this is (0, 1, 0).
    YrMatrix own;
    YrSDK::YrEulerToMatrix(own, Finite(GetValueAt<VDouble3>(kRotation), 0.0), GetRotationOrder());
    up = {own(1, 0), own(1, 1), own(1, 2)};
    if (parent) up = TransformDirection(up, parent->rotation_matrix);
  }
  Vec3 side = Cross(direction, up);
  if (!(Length(side) >= 1e-20)) {
    up = direction;
    if (std::fabs(up.y) < std::fabs(up.x)) up.y += 1.0;
    else up.x += 1.0;
    side = Cross(direction, up);
  }
  side = Scale(side, 1.0 / Length(side));
  const Vec3 real_up = Cross(side, direction);
  // Rows: the node's X axis aims, Y is up, Z completes the frame.
  YrMatrix global;
  const Vec3 rows[3] = {direction, real_up, side};
  for (int i = 0; i < 3; ++i) {
    global(i, 0) = rows[i].x;
    global(i, 1) = rows[i].y;
    global(i, 2) = rows[i].z;
  }
  if (parent) {
    YrMatrix parent_inverse;
    Transpose3(parent_inverse, parent->rotation_matrix);
    Multiply3(out, global, parent_inverse);
  } else {
    out = global;
  }
  --tAimDepth;
  aiming_ = false;
  return true;
}

