#include "animation/bound_channel.h"

#include <new>

#include "animation/fcurve_span_values.h"
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

namespace {

const VFCurve* CurveOf(const VFCurveNode& node, int i) {
  return node.GetChildCount() == 0 ? node.GetCurve() : node.GetChild(i)->GetCurve();
}

}  // namespace

int VBoundChannel::EntryCount(const VFCurveNode& node) {
  if (!CanFlatten(node)) return 0;
  return node.GetChildCount() == 0 ? 1 : node.GetChildCount();
}

int VBoundChannel::EntriesToPlay(const VFCurveNode& node) {
  const int count = EntryCount(node);
  for (int i = 0; i < count; ++i) {
    if (CurveOf(node, i)->KeyGetCount() > 1) return count;
  }
  return 0;
}

VBoundChannel::VBoundChannel(const VFCurveNode* node, const VTime* clock)
    : node_(node), clock_(clock), room_(kMaxCurves), entries_(nullptr), own_(new Entry[kMaxCurves]) {
  entries_ = own_.get();
}

void VBoundChannel::Flatten() const {
  stamp_ = VAnimationDataSerial();
  count_ = 0;
  const int count = EntryCount(*node_);
  if (count == 0) return;  // changed since binding: read the node
  if (count > room_) {
    // Keyed since binding, or given more curves: entries of its own.
    own_.reset(new (std::nothrow) Entry[kMaxCurves]);
    if (!own_) return;
    entries_ = own_.get();
    room_ = kMaxCurves;
  }
  for (int i = 0; i < count; ++i) entries_[count_++] = Entry{CurveOf(*node_, i), VFCurveSpan{}, 0};
}

bool VBoundChannel::ReadAnimatedValues(double* out, int count) const {
  if (!clock_) return false;
  if (stamp_ != VAnimationDataSerial()) Flatten();
  if (count_ == 0) return node_->Evaluate(*clock_, out, count) == count;
  if (count != count_) return false;
  const int64_t x = clock_->GetTicks();
  // The curves of one channel are mostly keyed at the same times: their
  // spans then share the position at x.
  const VFCurveSpan* timed = nullptr;
  double position = 0.0;
  for (int i = 0; i < count_; ++i) {
    Entry& e = entries_[i];
    const VFCurveSpan& span = e.span;
    bool read;
    if (span.HasPosition() && span.Contains(x)) {
      if (!timed || !span.SameTiming(*timed)) {
        position = span.PositionAt(x);
        timed = &span;
      }
      read = span.ValueAtPosition(position, &out[i]);
    } else {
      read = span.ValueAt(x, &out[i]);
    }
    if (!read) out[i] = e.curve->EvaluateSpan(*clock_, &e.cache, &e.span);
  }
  return true;
}

bool VBoundChannel::ReadConstantValues(double* out, int count) const {
  // From the curves themselves: a constant channel needs no entries.
  if (!clock_ || count == 0 || count != EntryCount(*node_) || EntriesToPlay(*node_) != 0) return false;
  for (int i = 0; i < count; ++i) out[i] = CurveOf(*node_, i)->Evaluate(*clock_);
  return true;
}
