// Setting a node's transform, locally or as global values worked back
// through the parent, the pivots and the limits.

#include "scene/transform_node.h"

#include <cmath>

#include "scene/matrix_functions.h"
#include "scene/vector_math.h"

using YrSDK::YrMatrix;
using YrSDK::YrSVector;
using YrSDK::YrVector3;
using YrSDK::YrVector4;
using namespace vmath;

// --- setting ------------------------------------------------------------------------------

void VTransformNode::SetTranslation(int space, const YrVector4<double>& t, const VEvaluateInfo& info) {
  const int slot = SlotOf(info);
  const std::uint64_t serial = info.Serial();
  Vec3 local{t.x, t.y, t.z};
  if (space == kVSpaceGlobal) {
    if (const VTransformNode* parent = GetParent()) {
      YrMatrix inverse;
      YrSDK::YrMatrixInverse(inverse, parent->Global(slot, serial).matrix);
      local = TransformPoint(local, inverse);
    }
  }
  const LocalBlock& current = Local(slot, serial);
  if (pivot_flags_) YrSDK::YrSub(local, local, PivotCorrection(current.scaling, current.rotation_matrix));
  RefreshRecords();
  Limit(0).Apply(local);
  TranslationProperty()->Set(ToDouble3(local));
}

void VTransformNode::SetRotation(int space, const Vec3& r, const VEvaluateInfo& info) {
  const YrSDK::YrRotationOrder order = GetRotationOrder();
  if (space != kVSpaceGlobal) {
    RotationProperty()->Set(ToDouble3(r));
    return;
  }
  const int slot = SlotOf(info);
  const std::uint64_t serial = info.Serial();
  YrMatrix m;
  YrSDK::YrEulerToMatrix(m, r, order);
  if (const VTransformNode* parent = GetParent()) {
    YrMatrix parent_inverse;
    Transpose3(parent_inverse, parent->Global(slot, serial).rotation_matrix);
    Multiply3(m, m, parent_inverse);
  }
  RefreshRecords();
  const VTransformRotationRecord& rr = RotationRecord();
  if ((limit_flags_[1] & kVLimitActive) && !limit_space_only_ &&
      (rr.flags & (kVRotationPre | kVRotationPost))) {
    // Undo R = post^-1 * E * pre.
    YrMatrix pre_inverse;
    Transpose3(pre_inverse, rr.pre);
    Multiply3(m, rr.post, m);
    Multiply3(m, m, pre_inverse);
  }
  Vec3 angles;
  YrSDK::YrMatrixToEuler(angles, m, order);
  RotationProperty()->Set(ToDouble3(angles));
}

void VTransformNode::SetScaling(const YrSVector& s) { ScalingProperty()->Set(ToDouble3(s)); }
