#include "animation/bound_channel.h"

#include "core/evaluation_serial.h"

bool VBoundChannel::CanFlatten(const VFCurveNode& node) {
  if (node.HasTimeWarp()) return false;
  if (node.GetChildCount() == 0) return node.GetCurve() != nullptr;
  if (node.GetChildCount() > kMaxCurves) return false;
  for (int i = 0; i < node.GetChildCount(); ++i) {
    const VFCurveNode* child = node.GetChild(i);
    if (child->HasTimeWarp() || child->GetChildCount() != 0 || !child->GetCurve()) return false;
  }
  return true;
}

void VBoundChannel::Flatten() const {
  stamp_ = VAnimationDataSerial();
  count_ = 0;
  if (!CanFlatten(*node_)) return;  // changed since binding: read the node
  if (node_->GetChildCount() == 0) {
    entries_[count_++] = Entry{node_->GetCurve(), 0, VFCurveSpan{}};
    return;
  }
  for (int i = 0; i < node_->GetChildCount(); ++i) {
    entries_[count_++] = Entry{node_->GetChild(i)->GetCurve(), 0, VFCurveSpan{}};
  }
}

bool VBoundChannel::ReadAnimatedValues(double* out, int count) const {
  if (!clock_) return false;
  if (stamp_ != VAnimationDataSerial()) Flatten();
  if (count_ == 0) return node_->Evaluate(*clock_, out, count) == count;
  if (count != count_) return false;
  const int64_t x = clock_->GetTicks();
  for (int i = 0; i < count_; ++i) {
    Entry& e = entries_[i];
    if (!e.span.ValueAt(x, &out[i])) out[i] = e.curve->EvaluateSpan(*clock_, &e.cache, &e.span);
  }
  return true;
}
