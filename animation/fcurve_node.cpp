#include "animation/fcurve_node.h"

#include "core/evaluation_serial.h"

VFCurveNode::~VFCurveNode() = default;

VFCurve* VFCurveNode::MakeCurve() {
  if (!curve_) {
    curve_ = std::make_unique<VFCurve>();
    VAnimationDataAdvance();
  }
  return curve_.get();
}

VFCurveNode* VFCurveNode::GetChild(int index) const {
  return index >= 0 && index < GetChildCount() ? children_[static_cast<size_t>(index)].get() : nullptr;
}

VFCurveNode* VFCurveNode::FindChild(const std::string& name) const {
  for (const auto& child : children_) {
    if (child->GetName() == name) return child.get();
  }
  return nullptr;
}

VFCurveNode* VFCurveNode::AddChild(std::unique_ptr<VFCurveNode> child) {
  if (!child) return nullptr;
  children_.push_back(std::move(child));
  VAnimationDataAdvance();
  return children_.back().get();
}

int VFCurveNode::GetDataSize() const {
  if (children_.empty()) return curve_ ? 1 : 0;
  int size = 0;
  for (const auto& child : children_) size += child->GetDataSize();
  return size;
}

void VFCurveNode::SetTimeWarp(VTime offset, double scale) {
  has_warp_ = true;
  warp_offset_ = offset;
  warp_scale_ = scale;
  VAnimationDataAdvance();
}

VTime VFCurveNode::GlobalToNode(VTime global) const {
  // A node without its own warp uses its first child's.
  const VFCurveNode* warp = this;
  while (!warp->has_warp_ && !warp->children_.empty()) warp = warp->children_.front().get();
  if (!warp->has_warp_) return global;
  VTime shifted = global - warp->warp_offset_;
  double scale = warp->warp_scale_ == 0.0 ? 0.000001 : warp->warp_scale_;
  if (scale == 1.0) return shifted;
  VTime node;
  node.SetSecondDouble(shifted.GetSecondDouble() / scale);
  return node;
}

VTime VFCurveNode::NodeToGlobal(VTime node) const {
  const VFCurveNode* warp = this;
  while (!warp->has_warp_ && !warp->children_.empty()) warp = warp->children_.front().get();
  if (!warp->has_warp_) return node;
  if (warp->warp_scale_ == 1.0) return node + warp->warp_offset_;
  VTime scaled;
  scaled.SetSecondDouble(node.GetSecondDouble() * warp->warp_scale_);
  return scaled + warp->warp_offset_;
}

int VFCurveNode::Evaluate(VTime time, double* out, int count) const {
  if (count <= 0) return 0;
  // Each warp along the path converts the time for the subtree below it.
  VTime local = time;
  if (has_warp_) {
    VTime shifted = time - warp_offset_;
    double scale = warp_scale_ == 0.0 ? 0.000001 : warp_scale_;
    if (scale != 1.0) local.SetSecondDouble(shifted.GetSecondDouble() / scale);
    else local = shifted;
  }
  if (children_.empty()) {
    if (!curve_) return 0;
    out[0] = curve_->Evaluate(local, &cache_);
    return 1;
  }
  int written = 0;
  for (const auto& child : children_) {
    written += child->Evaluate(local, out + written, count - written);
    if (written >= count) break;
  }
  return written;
}

bool VFCurveNode::ReadAnimatedValues(double* out, int count) const {
  if (!clock_) return false;
  return Evaluate(*clock_, out, count) == count;
}
