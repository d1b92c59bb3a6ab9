#include "scene/transform_node.h"

#include <cmath>

#include "core/evaluation_serial.h"
#include "core/property_type.h"
#include "scene/matrix_functions.h"
#include "scene/transform_properties.h"
#include "scene/vector_math.h"

using YrSDK::YrMatrix;
using YrSDK::YrSVector;
using YrSDK::YrVector3;
using YrSDK::YrVector4;
using namespace vmath;

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
  // A reference property never made refers to nothing.
  auto target = [this](int position) -> VTransformNode* {
    const auto* property = static_cast<const VPropertyObject*>(GetPropertyIfMade(position));
    auto* node = property ? dynamic_cast<VTransformNode*>(property->GetReference()) : nullptr;
    return node == this ? nullptr : node;
  };
  look_at_ = target(kLookAt);
  up_vector_ = target(kUpVector);
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
  if (code == kPlugNotifyValueChanged && partner != GetPropertyIfMade(kVisibility)) records_dirty_ = true;
  return VSceneObject::PlugNotify(code, partner, data);
}

void VTransformNode::RefreshRecords() const {
  if (!records_dirty_) return;
  records_dirty_ = false;
  constant_serial_ = 0;
  for (int c = 0; c < 3; ++c) {
    const VProperty* made = GetPropertyIfMade(kTranslation + c);
    source_[c] = made ? made->GetAnimationNode() : nullptr;
    const double fallback = c == 2 ? 1.0 : 0.0;
    VDouble3 constant;
    if (source_[c] && source_[c]->ReadConstantValues(constant.data(), 3)) {
      // Kept as if it were not animated, until the animation data changes.
      source_[c] = nullptr;
      static_[c] = Finite(constant, fallback);
      constant_serial_ = VAnimationDataSerial();
    } else {
      static_[c] = Finite(GetValueAt<VDouble3>(kTranslation + c), fallback);
    }
  }
  VTransformLimit limits[3];
  bool plain = true;  // no limit record other than the default
  for (int c = 0; c < 3; ++c) {
    VTransformLimit& limit = limits[c];
    limit.flags = GetValueAt<std::uint8_t>(LimitActivePosition(c)) ? static_cast<std::uint32_t>(kVLimitActive) : 0u;
    for (int bit = 0; bit < 6; ++bit) {
      if (GetValueAt<std::uint8_t>(LimitEnablePosition(c, bit))) limit.flags |= kVLimitMinX << bit;
    }
    limit.min = Finite(GetValueAt<VDouble3>(LimitMinPosition(c)), 0.0);
    limit.max = Finite(GetValueAt<VDouble3>(LimitMaxPosition(c)), 0.0);
    limit_flags_[c] = limit.flags;
    auto zero = [](const Vec3& v) { return v.x == 0.0 && v.y == 0.0 && v.z == 0.0; };
    plain = plain && limit.flags == 0 && zero(limit.min) && zero(limit.max);
  }
  VTransformPivots pivots;
  // Rotation offset, rotation pivot, scaling offset, scaling pivot.
  Vec3* pivot_values[4] = {&pivots.rotation_offset, &pivots.rotation_pivot, &pivots.scaling_offset,
                           &pivots.scaling_pivot};
  for (int i = 0; i < 4; ++i) {
    const VDouble3 value = GetValueAt<VDouble3>(kRotationOffset + i);
    if (IsZero(value)) continue;
    pivots.flags |= 1u << i;
    *pivot_values[i] = Finite(value, 0.0);
  }
  pivot_flags_ = pivots.flags;
  const int order = GetValueAt<std::int32_t>(kRotationOrder);
  order_ = (order >= 0 && order <= 6) ? static_cast<YrSDK::YrRotationOrder>(order) : YrSDK::kYrEulerXYZ;
  const int inherit = GetValueAt<std::int32_t>(kInheritType);
  inherit_type_ = (inherit >= 0 && inherit <= 2) ? inherit : kVInheritRrSs;
  limit_space_only_ = GetValueAt<std::uint8_t>(kRotationSpaceForLimitOnly) != 0;
  VTransformRotationRecord record;
  record.euler_code = YrSDK::YrRotationOrderToEulerCode(order_);
  const VDouble3 pre = GetValueAt<VDouble3>(kPreRotation);
  if (!IsZero(pre)) {
    record.flags |= kVRotationPre;
    YrSDK::YrRotationToMatrix(record.pre, Finite(pre, 0.0));
  }
  const VDouble3 post = GetValueAt<VDouble3>(kPostRotation);
  if (!IsZero(post)) {
    record.flags |= kVRotationPost;
    YrSDK::YrRotationToMatrix(record.post, Finite(post, 0.0));
  }
  const VDouble3 gt = GetValueAt<VDouble3>(kGeometricTranslation);
  const VDouble3 gr = GetValueAt<VDouble3>(kGeometricRotation);
  const VDouble3 gs = GetValueAt<VDouble3>(kGeometricScaling);
  has_geometric_ = !IsZero(gt) || !IsZero(gr) || gs != VDouble3{1.0, 1.0, 1.0};
  if (!extras_ && (!plain || pivots.flags || record.flags || record.euler_code != 0 || has_geometric_))
    extras_ = std::make_unique<Extras>();
  if (!extras_) return;
  for (int c = 0; c < 3; ++c) extras_->limits[c] = limits[c];
  extras_->pivots = pivots;
  extras_->rotation_record = record;
  if (has_geometric_) {
    const Vec3 t = Finite(gt, 0.0);
    YrSDK::YrTRSToMatrix(extras_->geometric_offset, {t.x, t.y, t.z, 1.0}, Finite(gr, 0.0),
                         Finite(gs, 1.0));
    // The offset may have changed: the matrices with it are made again.
    for (std::uint64_t& stamp : extras_->geometric_stamp) stamp = 0;
  }
}

const VTransformRotationRecord& VTransformNode::RotationRecord() const {
  static const VTransformRotationRecord kPlain{};
  return extras_ ? extras_->rotation_record : kPlain;
}

const VTransformLimit& VTransformNode::Limit(int channel) const {
  static const VTransformLimit kNone{};
  return extras_ ? extras_->limits[channel] : kNone;
}

const VTransformPivots& VTransformNode::Pivots() const {
  static const VTransformPivots kNone{};
  return extras_ ? extras_->pivots : kNone;
}

const VTransformLimit& VTransformNode::GetLimit(int channel) const {
  RefreshRecords();
  return Limit((channel >= 0 && channel < 3) ? channel : 0);
}

const VTransformPivots& VTransformNode::GetPivots() const {
  RefreshRecords();
  return Pivots();
}

const VTransformRotationRecord& VTransformNode::GetRotationRecord() const {
  RefreshRecords();
  return RotationRecord();
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
  const double visibility = GetValueAt<double>(kVisibility);
  return GetValueAt<std::uint8_t>(kShow) != 0 && visibility >= 0.5;
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
  return space == kVSpaceGlobal ? Global(slot, serial).matrix : LocalMatrix(slot, Local(slot, serial));
}

const YrMatrix& VTransformNode::GetGlobalGeometricMatrix(const VEvaluateInfo& info) const {
  const int slot = SlotOf(info);
  const std::uint64_t serial = info.Serial();
  const GlobalBlock& g = Global(slot, serial);
  RefreshRecords();
  if (!has_geometric_) return g.matrix;
  Extras& extras = *extras_;  // made by RefreshRecords for a node with an offset
  if (extras.geometric_stamp[slot] != serial) {
    YrSDK::YrMatrixMult(extras.geometric[slot], extras.geometric_offset, g.matrix);
    extras.geometric_stamp[slot] = serial;
  }
  return extras.geometric[slot];
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
  Vec3& rotation = ReadbackOf(slot).global_rotation;
  if (!block.euler_made) {
    YrSDK::YrMatrixToEuler(rotation, block.rotation_matrix, GetRotationOrder());
    block.euler_made = true;
  }
  return rotation;
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

