#include "scene/transform_node.h"

#include <cmath>

#include "core/evaluation_serial.h"
#include "core/property_type.h"
#include "scene/matrix_functions.h"
#include "scene/transform_properties.h"

using YrSDK::YrMatrix;
using YrSDK::YrSVector;
using YrSDK::YrVector3;
using YrSDK::YrVector4;

namespace {

using Vec3 = YrVector3<double>;

VDouble3 ToDouble3(const Vec3& v) { return {v.x, v.y, v.z}; }

// A value read from a file or a curve may be NaN or infinite; it must not
// spread into every matrix below the node.
Vec3 Finite(const VDouble3& d, double fallback) {
  return {std::isfinite(d[0]) ? d[0] : fallback, std::isfinite(d[1]) ? d[1] : fallback,
          std::isfinite(d[2]) ? d[2] : fallback};
}

bool IsZero(const VDouble3& d) { return d[0] == 0.0 && d[1] == 0.0 && d[2] == 0.0; }

// v * M for the rotation/scale rows only (a direction).
Vec3 TransformDirection(const Vec3& v, const YrMatrix& m) {
  return {v.x * m[0] + v.y * m[4] + v.z * m[8], v.x * m[1] + v.y * m[5] + v.z * m[9],
          v.x * m[2] + v.y * m[6] + v.z * m[10]};
}

Vec3 TransformPoint(const Vec3& v, const YrMatrix& m) {
  Vec3 d = TransformDirection(v, m);
  return {d.x + m[12], d.y + m[13], d.z + m[14]};
}

// Upper 3x3 of a * b, translation row cleared.
void Multiply3(YrMatrix& out, const YrMatrix& a, const YrMatrix& b) {
  YrMatrix r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      r(i, j) = a(i, 0) * b(0, j) + a(i, 1) * b(1, j) + a(i, 2) * b(2, j);
    }
  }
  out = r;
}

void Transpose3(YrMatrix& out, const YrMatrix& m) {
  YrMatrix r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r(i, j) = m(j, i);
  }
  out = r;
}

Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Length(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

Vec3 Scaled(const Vec3& v, double k) { return {v.x * k, v.y * k, v.z * k}; }

// Look-at chains are followed this deep at most.
constexpr int kMaxAimDepth = 32;
thread_local int tAimDepth = 0;

// Marks the nodes of one parent walk, to stop at a cycle of parents.
thread_local std::uint64_t tWalkId = 0;

}  // namespace

VTransformNode::VTransformNode(const std::string& type_name, const std::string& name, const std::string& subtype)
    : VSceneObject(type_name, name, subtype) {
  VAddTransformProperties(*this);
}

// --- hierarchy ------------------------------------------------------------------

void VTransformNode::RefreshGraph() const {
  const std::uint64_t serial = VConnectionSerial();
  if (graph_stamp_ == serial) return;
  graph_stamp_ = serial;
  parent_ = nullptr;
  for (int i = 0; i < GetDstCount() && !parent_; ++i) {
    auto* node = dynamic_cast<VTransformNode*>(GetDst(i));
    if (node != this) parent_ = node;
  }
  auto target = [this](const VPropertyObject* property) -> VTransformNode* {
    auto* node = dynamic_cast<VTransformNode*>(property->GetReference());
    return node == this ? nullptr : node;
  };
  look_at_ = target(mLookAt);
  up_vector_ = target(mUpVector);
}

VTransformNode* VTransformNode::GetParent() const {
  RefreshGraph();
  return parent_;
}

bool VTransformNode::SetParent(VTransformNode* parent) {
  for (const VTransformNode* p = parent; p; p = p->GetParent()) {
    if (p == this) return false;
  }
  if (VTransformNode* old = GetParent()) {
    if (old == parent) return true;
    DisconnectDst(old);
  }
  return !parent || ConnectDst(parent);
}

int VTransformNode::GetChildCount() const {
  int count = 0;
  for (int i = 0; i < GetSrcCount(); ++i) {
    auto* node = dynamic_cast<VTransformNode*>(GetSrc(i));
    if (node && node->GetParent() == this) ++count;
  }
  return count;
}

VTransformNode* VTransformNode::GetChild(int index) const {
  for (int i = 0; i < GetSrcCount(); ++i) {
    auto* node = dynamic_cast<VTransformNode*>(GetSrc(i));
    if (node && node->GetParent() == this && index-- == 0) return node;
  }
  return nullptr;
}

// --- records ------------------------------------------------------------------------

bool VTransformNode::PlugNotify(int code, VPlug* partner, void* data) {
  if (code == kPlugNotifyValueChanged && partner != mVisibility) records_dirty_ = true;
  return VSceneObject::PlugNotify(code, partner, data);
}

void VTransformNode::RefreshRecords() const {
  if (!records_dirty_) return;
  records_dirty_ = false;
  const VPropertyDouble3* trs[3] = {mTranslation, mRotation, mScaling};
  for (int c = 0; c < 3; ++c) {
    source_[c] = trs[c]->GetAnimationNode();
    static_[c] = Finite(trs[c]->Get(), c == 2 ? 1.0 : 0.0);
  }
  for (int c = 0; c < 3; ++c) {
    const LimitProperties& p = mLimits[c];
    VTransformLimit& limit = limits_[c];
    limit.flags = p.active->Get() ? static_cast<std::uint32_t>(kVLimitActive) : 0u;
    for (int bit = 0; bit < 6; ++bit) {
      if (p.enable[bit]->Get()) limit.flags |= kVLimitMinX << bit;
    }
    limit.min = Finite(p.min->Get(), 0.0);
    limit.max = Finite(p.max->Get(), 0.0);
  }
  pivots_ = VTransformPivots{};
  const VPropertyDouble3* pivot_properties[4] = {mRotationOffset, mRotationPivot, mScalingOffset, mScalingPivot};
  Vec3* pivot_values[4] = {&pivots_.rotation_offset, &pivots_.rotation_pivot, &pivots_.scaling_offset,
                           &pivots_.scaling_pivot};
  for (int i = 0; i < 4; ++i) {
    const VDouble3 value = pivot_properties[i]->Get();
    if (IsZero(value)) continue;
    pivots_.flags |= 1u << i;
    *pivot_values[i] = Finite(value, 0.0);
  }
  const int order = mRotationOrder->Get();
  order_ = (order >= 0 && order <= 6) ? static_cast<YrSDK::YrRotationOrder>(order) : YrSDK::kYrEulerXYZ;
  const int inherit = mInheritType->Get();
  inherit_type_ = (inherit >= 0 && inherit <= 2) ? inherit : kVInheritRrSs;
  limit_space_only_ = mRotationSpaceForLimitOnly->Get() != 0;
  rotation_record_ = VTransformRotationRecord{};
  rotation_record_.euler_code = YrSDK::YrRotationOrderToEulerCode(order_);
  if (!IsZero(mPreRotation->Get())) {
    rotation_record_.flags |= kVRotationPre;
    YrSDK::YrRotationToMatrix(rotation_record_.pre, Finite(mPreRotation->Get(), 0.0));
  }
  if (!IsZero(mPostRotation->Get())) {
    rotation_record_.flags |= kVRotationPost;
    YrSDK::YrRotationToMatrix(rotation_record_.post, Finite(mPostRotation->Get(), 0.0));
  }
  const VDouble3 gs = mGeometricScaling->Get();
  has_geometric_ = !IsZero(mGeometricTranslation->Get()) || !IsZero(mGeometricRotation->Get()) ||
                   gs != VDouble3{1.0, 1.0, 1.0};
  if (has_geometric_) {
    const Vec3 t = Finite(mGeometricTranslation->Get(), 0.0);
    YrSDK::YrTRSToMatrix(geometric_offset_, {t.x, t.y, t.z, 1.0}, Finite(mGeometricRotation->Get(), 0.0),
                         Finite(gs, 1.0));
  }
}

const VTransformLimit& VTransformNode::GetLimit(int channel) const {
  RefreshRecords();
  return limits_[(channel >= 0 && channel < 3) ? channel : 0];
}

const VTransformPivots& VTransformNode::GetPivots() const {
  RefreshRecords();
  return pivots_;
}

const VTransformRotationRecord& VTransformNode::GetRotationRecord() const {
  RefreshRecords();
  return rotation_record_;
}

YrSDK::YrRotationOrder VTransformNode::GetRotationOrder() const {
  RefreshRecords();
  return order_;
}

int VTransformNode::GetInheritType() const {
  RefreshRecords();
  return inherit_type_;
}

bool VTransformNode::HasGeometricOffset() const {
  RefreshRecords();
  return has_geometric_;
}

bool VTransformNode::IsVisible() const {
  const double visibility = mVisibility->Get();
  return mShow->Get() != 0 && visibility >= 0.5;
}

// --- local transform -------------------------------------------------------------------

Vec3 VTransformNode::Current(int channel) const {
  const VAnimationSource* source = source_[channel];
  VDouble3 animated;
  if (!source || !source->ReadAnimatedValues(animated.data(), 3)) return static_[channel];
  return Finite(animated, channel == 2 ? 1.0 : 0.0);
}

Vec3 VTransformNode::PivotCorrection(const YrSVector& s, const YrMatrix& r) const {
  const VTransformPivots& p = pivots_;
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
  RefreshRecords();
  RefreshGraph();
  const YrSDK::YrRotationOrder order = order_;

  Vec3 t = Current(0);
  limits_[0].Apply(t);
  Vec3 s = Current(2);
  limits_[2].Apply(s);
  Vec3 r = Current(1);

  // Pre/post rotation and the rotation limits only count while
  // "RotationActive" is on (the limit record's active bit).
  const bool rotation_active = (limits_[1].flags & kVLimitActive) != 0;
  const VTransformRotationRecord& rr = rotation_record_;
  YrMatrix e;
  if (rotation_active && limit_space_only_ && limits_[1].Applies()) {
    // Limits in the space pre/post rotation give; the result is plain Euler.
    YrMatrix plain, limited;
    YrSDK::YrEulerToMatrix(plain, r, order);
    Multiply3(limited, rr.post, plain);
    YrMatrix pre_inverse;
    Transpose3(pre_inverse, rr.pre);
    Multiply3(limited, limited, pre_inverse);
    Vec3 angles;
    YrSDK::YrMatrixToEuler(angles, limited, order);
    limits_[1].Apply(angles);
    YrSDK::YrEulerToMatrix(limited, angles, order);
    YrMatrix post_inverse;
    Transpose3(post_inverse, rr.post);
    Multiply3(limited, post_inverse, limited);
    Multiply3(limited, limited, rr.pre);
    YrSDK::YrMatrixToEuler(r, limited, order);
    YrSDK::YrEulerToMatrix(e, r, order);
  } else {
    if (rotation_active) limits_[1].Apply(r);
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
  out.rotation_matrix = e;
  if (look_at_) {
    YrMatrix aimed;
    if (LookAtRotation(aimed, out.translation, slot, serial)) {
      out.rotation_matrix = aimed;
      YrSDK::YrMatrixToEuler(out.rotation, aimed, order);
    }
  }

  const YrMatrix& rm = out.rotation_matrix;
  YrMatrix& m = out.matrix;
  for (int row = 0; row < 3; ++row) {
    const double k = s[row];
    m(row, 0) = k * rm(row, 0);
    m(row, 1) = k * rm(row, 1);
    m(row, 2) = k * rm(row, 2);
    m(row, 3) = 0.0;
  }
  Vec3 full = t;
  if (pivots_.flags) YrSDK::YrAdd(full, t, PivotCorrection(s, rm));
  m(3, 0) = full.x;
  m(3, 1) = full.y;
  m(3, 2) = full.z;
  m(3, 3) = 1.0;
  out.translation = {full.x, full.y, full.z, 1.0};
  out.stamp = serial;
}

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
  direction = length < 1e-20 || !std::isfinite(length) ? Vec3{1, 0, 0} : Scaled(direction, 1.0 / length);

  Vec3 up{0, 1, 0};
  if (up_vector_ && !up_vector_->aiming_) {
    const YrMatrix& up_matrix = up_vector_->Global(slot, serial).matrix;
    up = {up_matrix[12] - position.x, up_matrix[13] - position.y, up_matrix[14] - position.z};
  } else {
    // The node's own orientation: the Y axis of its Euler rotation, placed
    // in the parent's space. With no rotation this is (0, 1, 0).
    YrMatrix own;
    YrSDK::YrEulerToMatrix(own, Finite(mRotation->Get(), 0.0), GetRotationOrder());
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
  side = Scaled(side, 1.0 / Length(side));
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

// --- global transform -------------------------------------------------------------------

void VTransformNode::ComputeGlobal(GlobalBlock& out, const LocalBlock& local, const GlobalBlock* parent) const {
  out.euler_stamp = 0;
  out.geometric_stamp = 0;
  if (!parent) {
    out.translation = local.translation;
    out.rotation_matrix = local.rotation_matrix;
    out.scaling = local.scaling;
    out.matrix = local.matrix;
    out.sheared = false;
    return;
  }
  const Vec3 t = TransformPoint({local.translation.x, local.translation.y, local.translation.z}, parent->matrix);
  out.translation = {t.x, t.y, t.z, 1.0};
  const int inherit = inherit_type_;
  if (inherit == kVInheritRSrs) {
    // The parent's scaling acts after the child's rotation: the product can
    // shear, so rotation and scaling are read back from it.
    Multiply3(out.matrix, local.matrix, parent->matrix);
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
    }
    top_parent = &block;
  }
  return mine;
}

// --- queries ------------------------------------------------------------------------------

const void* VTransformNode::Query(int what, int space, const VEvaluateInfo& info) const {
  switch (what) {
    case kVTransformMatrix:
    case kVTransformGlobalMatrix:
      return &GetMatrix(what == kVTransformGlobalMatrix ? kVSpaceGlobal : space, info);
    case kVTransformGlobalGeometric:
      return &GetGlobalGeometricMatrix(info);
    case kVTransformTranslation:
      return &GetTranslation(space, info);
    case kVTransformRotation:
      return &GetRotation(space, info);
    case kVTransformScaling:
      return &GetScaling(space, info);
    default:
      return nullptr;
  }
}

const YrMatrix& VTransformNode::GetMatrix(int space, const VEvaluateInfo& info) const {
  const int slot = SlotOf(info);
  const std::uint64_t serial = info.Serial();
  return space == kVSpaceGlobal ? Global(slot, serial).matrix : Local(slot, serial).matrix;
}

const YrMatrix& VTransformNode::GetGlobalGeometricMatrix(const VEvaluateInfo& info) const {
  const int slot = SlotOf(info);
  const std::uint64_t serial = info.Serial();
  const GlobalBlock& g = Global(slot, serial);
  RefreshRecords();
  if (!has_geometric_) return g.matrix;
  GlobalBlock& block = CacheOf(slot).global;
  if (block.geometric_stamp != serial) {
    YrSDK::YrMatrixMult(block.geometric, geometric_offset_, g.matrix);
    block.geometric_stamp = serial;
  }
  return block.geometric;
}

const YrVector4<double>& VTransformNode::GetTranslation(int space, const VEvaluateInfo& info) const {
  const int slot = SlotOf(info);
  const std::uint64_t serial = info.Serial();
  return space == kVSpaceGlobal ? Global(slot, serial).translation : Local(slot, serial).translation;
}

const Vec3& VTransformNode::GetRotation(int space, const VEvaluateInfo& info) const {
  const int slot = SlotOf(info);
  const std::uint64_t serial = info.Serial();
  if (space != kVSpaceGlobal) return Local(slot, serial).rotation;
  Global(slot, serial);
  GlobalBlock& block = CacheOf(slot).global;
  if (block.euler_stamp != serial) {
    YrSDK::YrMatrixToEuler(block.rotation, block.rotation_matrix, GetRotationOrder());
    block.euler_stamp = serial;
  }
  return block.rotation;
}

const YrSVector& VTransformNode::GetScaling(int space, const VEvaluateInfo& info) const {
  const int slot = SlotOf(info);
  const std::uint64_t serial = info.Serial();
  return space == kVSpaceGlobal ? Global(slot, serial).scaling : Local(slot, serial).scaling;
}

const YrMatrix& VTransformNode::GetRotationMatrix(int space, const VEvaluateInfo& info) const {
  const int slot = SlotOf(info);
  const std::uint64_t serial = info.Serial();
  return space == kVSpaceGlobal ? Global(slot, serial).rotation_matrix : Local(slot, serial).rotation_matrix;
}

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
  if (pivots_.flags) YrSDK::YrSub(local, local, PivotCorrection(current.scaling, current.rotation_matrix));
  RefreshRecords();
  limits_[0].Apply(local);
  mTranslation->Set(ToDouble3(local));
}

void VTransformNode::SetRotation(int space, const Vec3& r, const VEvaluateInfo& info) {
  const YrSDK::YrRotationOrder order = GetRotationOrder();
  if (space != kVSpaceGlobal) {
    mRotation->Set(ToDouble3(r));
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
  const VTransformRotationRecord& rr = rotation_record_;
  if ((limits_[1].flags & kVLimitActive) && !limit_space_only_ &&
      (rr.flags & (kVRotationPre | kVRotationPost))) {
    // Undo R = post^-1 * E * pre.
    YrMatrix pre_inverse;
    Transpose3(pre_inverse, rr.pre);
    Multiply3(m, rr.post, m);
    Multiply3(m, m, pre_inverse);
  }
  Vec3 angles;
  YrSDK::YrMatrixToEuler(angles, m, order);
  mRotation->Set(ToDouble3(angles));
}

void VTransformNode::SetScaling(const YrSVector& s) { mScaling->Set(ToDouble3(s)); }
