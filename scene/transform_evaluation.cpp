// Computing a node's local and global transform into its cache.

#include "scene/transform_node.h"

#include <cmath>
#include <vector>

#include "core/evaluation_serial.h"
#include "scene/matrix_functions.h"
#include "scene/vector_math.h"

using YrSDK::YrMatrix;
using YrSDK::YrSVector;
using YrSDK::YrVector3;
using YrSDK::YrVector4;
using namespace vmath;

namespace {

// Marks the nodes of one parent walk, to stop at a cycle of parents.
thread_local std::uint64_t tWalkId = 0;

// Cache lines of an animation source asked for ahead: a bound channel
// takes one or two (its curves' entries lie in the take's array, read in
// the order the channels are).
constexpr int kSourcePrefetchLines = 2;

}  // namespace

// --- local transform -------------------------------------------------------------------

Vec3 VTransformNode::Current(int channel) const {
  const VAnimationSource* source = source_[channel];
  VDouble3 animated;
  if (!source || !source->ReadAnimatedValues(animated.data(), 3)) return static_[channel];
  return Finite(animated, channel == 2 ? 1.0 : 0.0);
}

Vec3 VTransformNode::PivotCorrection(const YrSVector& s, const YrMatrix& r) const {
  const VTransformPivots& p = Pivots();
  Vec3 d;
  if (p.flags & kVPivotScalingPivot) {
    d = {(1.0 - s.x) * p.scaling_pivot.x, (1.0 - s.y) * p.scaling_pivot.y, (1.0 - s.z) * p.scaling_pivot.z};
  }
  if (p.flags & kVPivotScalingOffset) YrSDK::YrAdd(d, d, p.scaling_offset);
  if (p.flags & kVPivotRotationPivot) {
    Vec3 from_pivot;
    YrSDK::YrSub(from_pivot, d, p.rotation_pivot);
    YrSDK::YrAdd(d, TransformDirection(from_pivot, r), p.rotation_pivot);
  } else if (p.flags & (kVPivotScalingPivot | kVPivotScalingOffset)) {
    d = TransformDirection(d, r);
  }
  if (p.flags & kVPivotRotationOffset) YrSDK::YrAdd(d, d, p.rotation_offset);
  return d;
}

int VTransformNode::SlotOf(const VEvaluateInfo& info) const {
  if (info.IsDefault()) return 0;
  if (info.alternate && alternate_ && info.slot >= 0 && info.slot < kVEvaluateSlotCount) return info.slot;
  return 2;
}

const VTransformNode::LocalBlock& VTransformNode::Local(int slot, std::uint64_t serial) const {
  LocalBlock& block = CacheOf(slot).local;
  if (block.stamp != serial) ComputeLocal(block, slot, serial);
  return block;
}

void VTransformNode::ComputeLocal(LocalBlock& out, int slot, std::uint64_t serial) const {
  // The animation sources are read below one after another; asking for
  // their memory now lets the fetches overlap (a hint: a source smaller
  // than this only has its neighbours fetched too).
  for (const VAnimationSource* source : source_) {
    if (!source) continue;
    const char* bytes = reinterpret_cast<const char*>(source);
    for (int line = 0; line < kSourcePrefetchLines; ++line) __builtin_prefetch(bytes + 64 * line);
  }
  if (constant_serial_ && constant_serial_ != VAnimationDataSerial()) records_dirty_ = true;
  RefreshRecords();
  RefreshGraph();
  const YrSDK::YrRotationOrder order = order_;

  Vec3 t = Current(0);
  if (limit_flags_[0]) Limit(0).Apply(t);
  Vec3 s = Current(2);
  if (limit_flags_[2]) Limit(2).Apply(s);
  Vec3 r = Current(1);

  // Pre/post rotation and the rotation limits only count while
  // "RotationActive" is on (the limit record's active bit).
  const bool rotation_active = (limit_flags_[1] & kVLimitActive) != 0;
  const VTransformRotationRecord& rr = RotationRecord();
  YrMatrix& e = out.rotation_matrix;  // formed in place
  if (rotation_active && limit_space_only_ && Limit(1).Applies()) {
    // Limits in the space pre/post rotation give; the result is plain Euler.
    YrMatrix plain, limited;
    YrSDK::YrEulerToMatrix(plain, r, order);
    Multiply3(limited, rr.post, plain);
    YrMatrix pre_inverse;
    Transpose3(pre_inverse, rr.pre);
    Multiply3(limited, limited, pre_inverse);
    Vec3 angles;
    YrSDK::YrMatrixToEuler(angles, limited, order);
    Limit(1).Apply(angles);
    YrSDK::YrEulerToMatrix(limited, angles, order);
    YrMatrix post_inverse;
    Transpose3(post_inverse, rr.post);
    Multiply3(limited, post_inverse, limited);
    Multiply3(limited, limited, rr.pre);
    YrSDK::YrMatrixToEuler(r, limited, order);
    YrSDK::YrEulerToMatrix(e, r, order);
  } else {
    if (rotation_active) Limit(1).Apply(r);
    YrSDK::YrEulerToMatrix(e, r, order);
    if (rotation_active && !limit_space_only_ && (rr.flags & (kVRotationPre | kVRotationPost))) {
      YrMatrix post_inverse;
      Transpose3(post_inverse, rr.post);
      Multiply3(e, post_inverse, e);
      Multiply3(e, e, rr.pre);
    }
  }

  out.translation = {t.x, t.y, t.z, 1.0};
  out.scaling = s;
  out.rotation = r;
  if (look_at_) {
    YrMatrix aimed;
    if (LookAtRotation(aimed, out.translation, slot, serial)) {
      out.rotation_matrix = aimed;
      YrSDK::YrMatrixToEuler(out.rotation, aimed, order);
    }
  }

  Vec3 full = t;
  if (pivot_flags_) YrSDK::YrAdd(full, t, PivotCorrection(s, out.rotation_matrix));
  out.translation = {full.x, full.y, full.z, 1.0};
  out.matrix_made = false;
  out.stamp = serial;
}

void VTransformNode::BuildLocalMatrix(YrMatrix& m, const LocalBlock& b) {
  const YrMatrix& rm = b.rotation_matrix;
  for (int row = 0; row < 3; ++row) {
    const double k = b.scaling[row];
    m(row, 0) = k * rm(row, 0);
    m(row, 1) = k * rm(row, 1);
    m(row, 2) = k * rm(row, 2);
    m(row, 3) = 0.0;
  }
  m(3, 0) = b.translation.x;
  m(3, 1) = b.translation.y;
  m(3, 2) = b.translation.z;
  m(3, 3) = 1.0;
}

const YrMatrix& VTransformNode::LocalMatrix(int slot, const LocalBlock& block) const {
  YrMatrix& m = ReadbackOf(slot).local_matrix;
  // The block is this node's own cache, which const queries fill.
  auto& b = const_cast<LocalBlock&>(block);
  if (!b.matrix_made) {
    BuildLocalMatrix(m, b);
    b.matrix_made = true;
  }
  return m;
}

// --- global transform -------------------------------------------------------------------

void VTransformNode::ComputeGlobal(GlobalBlock& out, const LocalBlock& local, const GlobalBlock* parent) const {
  out.euler_made = false;
  if (!parent) {
    out.translation = local.translation;
    out.rotation_matrix = local.rotation_matrix;
    out.scaling = local.scaling;
    BuildLocalMatrix(out.matrix, local);
    out.sheared = false;
    return;
  }
  const Vec3 t = TransformPoint({local.translation.x, local.translation.y, local.translation.z}, parent->matrix);
  out.translation = {t.x, t.y, t.z, 1.0};
  const int inherit = inherit_type_;
  if (inherit == kVInheritRSrs) {
    // The parent's scaling acts after the child's rotation: the product can
    // shear, so rotation and scaling are read back from it.
    YrMatrix local_matrix;
    BuildLocalMatrix(local_matrix, local);
    Multiply3(out.matrix, local_matrix, parent->matrix);
    YrSDK::YrMatrixToScaling(out.scaling, out.matrix);
    for (int row = 0; row < 3; ++row) {
      const double k = out.scaling[row] != 0.0 ? 1.0 / out.scaling[row] : 0.0;
      for (int c = 0; c < 3; ++c) out.rotation_matrix(row, c) = out.matrix(row, c) * k;
    }
    out.sheared = true;
  } else {
    Multiply3(out.rotation_matrix, local.rotation_matrix, parent->rotation_matrix);
    out.scaling = local.scaling;
    if (inherit == kVInheritRrSs) YrSDK::YrMult(out.scaling, local.scaling, parent->scaling);
    for (int row = 0; row < 3; ++row) {
      const double k = out.scaling[row];
      for (int c = 0; c < 3; ++c) out.matrix(row, c) = k * out.rotation_matrix(row, c);
      out.matrix(row, 3) = 0.0;
    }
    out.sheared = false;
  }
  out.matrix(3, 0) = t.x;
  out.matrix(3, 1) = t.y;
  out.matrix(3, 2) = t.z;
  out.matrix(3, 3) = 1.0;
}

const VTransformNode::GlobalBlock& VTransformNode::Global(int slot, std::uint64_t serial) const {
  GlobalBlock& mine = CacheOf(slot).global;
  if (mine.stamp == serial) return mine;
  // Walk up to the first ancestor that is current (or the root), then
  // compute down again: no recursion on the depth of the hierarchy.
  constexpr int kInline = 64;
  const VTransformNode* inline_chain[kInline];
  std::vector<const VTransformNode*> long_chain;
  int count = 0;
  const std::uint64_t walk = ++tWalkId;
  const VTransformNode* node = this;
  const GlobalBlock* top_parent = nullptr;
  while (node) {
    const GlobalBlock& block = node->CacheOf(slot).global;
    if (block.stamp == serial) {
      top_parent = &block;
      break;
    }
    node->walk_mark_ = walk;
    if (count < kInline) {
      inline_chain[count] = node;
    } else {
      if (long_chain.empty()) long_chain.assign(inline_chain, inline_chain + kInline);
      long_chain.push_back(node);
    }
    ++count;
    const VTransformNode* parent = node->GetParent();
    if (parent && parent->walk_mark_ == walk) break;  // a cycle of parents: stop at the repeat
    node = parent;
  }
  for (int i = count - 1; i >= 0; --i) {
    const VTransformNode* n = count <= kInline ? inline_chain[i] : long_chain[static_cast<size_t>(i)];
    const LocalBlock& local = n->Local(slot, serial);
    GlobalBlock& block = n->CacheOf(slot).global;
    // Look-at inside Local may have computed this block already.
    if (block.stamp != serial) {
      n->ComputeGlobal(block, local, top_parent);
      block.stamp = serial;
      if (n->extras_) n->extras_->geometric_stamp[slot] = 0;  // made again from the new matrix
    }
    top_parent = &block;
  }
  return mine;
}

