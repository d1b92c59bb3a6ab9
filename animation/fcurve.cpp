// Curve data and editing: key access, insertion in time order, tangent
// setters, the editing brackets and change announcements.

#include "animation/fcurve.h"

#include <algorithm>
#include <cmath>

#include "core/evaluation_serial.h"

int16_t VFCurveWeightFromDouble(double weight) {
  if (!(weight == weight)) return kFCurveWeightThird;
  double units = std::nearbyint(weight / kFCurveWeightUnit);
  if (units > 32767.0) return 32767;
  if (units < -32768.0) return -32768;
  return static_cast<int16_t>(units);
}

bool VFCurveKeyFlagsValid(uint32_t flags) {
  switch (flags & kFCurveInterpolationMask) {
    case kFCurveInterpolationConstant:
    case kFCurveInterpolationLinear: return true;
    case kFCurveInterpolationCubic:
      switch (flags & kFCurveTangentMask) {
        case kFCurveTangentAuto:
        case kFCurveTangentAutoBreak:
        case kFCurveTangentTCB:
        case kFCurveTangentUser:
        case kFCurveTangentUserBreak: return true;
        default: return false;
      }
    default: return false;
  }
}

uint32_t VFCurveNormalizeKeyFlags(uint32_t flags) {
  if ((flags & kFCurveInterpolationMask) != kFCurveInterpolationCubic ||
      (flags & kFCurveTangentMask) == kFCurveTangentTCB) {
    flags &= ~kFCurveWeightedMask;
  }
  return flags;
}

// ---- settings

void VFCurve::CopyFrom(const VFCurve& other) {
  if (&other == this) return;
  times_ = other.times_;
  values_ = other.values_;
  flags_ = other.flags_;
  tangents_ = other.tangents_;
  extra_ = other.extra_;
  default_value_ = other.default_value_;
  pre_type_ = other.pre_type_;
  pre_count_ = other.pre_count_;
  post_type_ = other.post_type_;
  post_count_ = other.post_count_;
  color_ = other.color_;
  last_key_ = 0;
  Changed();
}

void VFCurve::SetDefaultValue(float value) {
  if (std::memcmp(&value, &default_value_, sizeof value) == 0) return;
  default_value_ = value;
  Changed();
}

void VFCurve::SetPreExtrapolation(int type, int count) {
  if (type == pre_type_ && count == pre_count_) return;
  pre_type_ = type;
  pre_count_ = count;
  Changed();
}

void VFCurve::SetPostExtrapolation(int type, int count) {
  if (type == post_type_ && count == post_count_) return;
  post_type_ = type;
  post_count_ = count;
  Changed();
}

void VFCurve::SetColor(uint32_t rgba) {
  if (rgba == color_) return;
  color_ = rgba;
  Changed();
}

// ---- key access

VFCurveKey VFCurve::KeyGet(int index) const {
  VFCurveKey key;
  if (!Valid(index)) return key;
  const size_t i = Idx(index);
  key.time = VTime(times_[i]);
  key.value = values_[i];
  key.flags = flags_[i];
  key.tangent = tangents_[i];
  if (!extra_.empty()) key.extra = extra_[i];
  return key;
}

double VFCurve::KeyGetRightWeight(int index) const {
  return VFCurveWeightToDouble(VFCurveRightWeightBits(KeyGetTangentData(index).word[2]));
}

double VFCurve::KeyGetNextLeftWeight(int index) const {
  return VFCurveWeightToDouble(VFCurveNextLeftWeightBits(KeyGetTangentData(index).word[2]));
}

bool VFCurve::KeySetTime(int index, VTime time) {
  if (!Valid(index)) return false;
  const size_t i = Idx(index);
  const int64_t t = time.GetTicks();
  if (i > 0 && times_[i - 1] >= t) return false;
  if (i + 1 < times_.size() && times_[i + 1] <= t) return false;
  if (times_[i] == t) return true;
  times_[i] = t;
  Changed();
  return true;
}

bool VFCurve::KeySetValue(int index, float value) {
  if (!Valid(index)) return false;
  float& slot = values_[Idx(index)];
  if (std::memcmp(&slot, &value, sizeof value) == 0) return true;
  slot = value;
  Changed();
  return true;
}

bool VFCurve::KeySetFlags(int index, uint32_t flags) {
  if (!Valid(index) || !VFCurveKeyFlagsValid(flags)) return false;
  const size_t i = Idx(index);
  flags = VFCurveNormalizeKeyFlags(flags);
  const uint32_t added = flags & ~flags_[i] & kFCurveWeightedMask;
  if (added) {
    uint32_t& w = tangents_[i].word[2];
    int16_t right = VFCurveRightWeightBits(w), next_left = VFCurveNextLeftWeightBits(w);
    if (added & kFCurveWeightedRight) right = kFCurveWeightThird;
    if (added & kFCurveWeightedNextLeft) next_left = kFCurveWeightThird;
    w = VFCurveWeightWord(right, next_left);
  }
  if (flags == flags_[i] && !added) return true;
  flags_[i] = flags;
  Changed();
  return true;
}

bool VFCurve::KeySetTangentData(int index, const VFCurveTangentData& data) {
  if (!Valid(index)) return false;
  if (tangents_[Idx(index)] == data) return true;
  tangents_[Idx(index)] = data;
  Changed();
  return true;
}

bool VFCurve::KeySetExtra(int index, const VFCurveKeyExtra& extra) {
  if (!Valid(index)) return false;
  if (KeyGetExtra(index) == extra) return true;
  if (extra_.empty()) extra_.resize(times_.size());
  extra_[Idx(index)] = extra;
  Changed();
  return true;
}

bool VFCurve::KeySetInterpolation(int index, uint32_t interpolation) {
  if (!Valid(index)) return false;
  uint32_t flags = (KeyGetFlags(index) & ~kFCurveInterpolationMask) | (interpolation & kFCurveInterpolationMask);
  if (interpolation == kFCurveInterpolationCubic && !VFCurveKeyFlagsValid(flags)) {
    flags = (flags & ~kFCurveTangentMask) | kFCurveTangentAuto;
  }
  // The tangent bits share their place with the constant mode: a key made
  // constant holds its own value until asked to hold the next one.
  if (interpolation == kFCurveInterpolationConstant && (KeyGetFlags(index) & kFCurveInterpolationMask) !=
                                                           kFCurveInterpolationConstant) {
    flags &= ~kFCurveTangentMask;
  }
  return KeySetFlags(index, flags);
}

bool VFCurve::KeySetConstantMode(int index, bool hold_next) {
  if (KeyGetInterpolation(index) != kFCurveInterpolationConstant) return false;
  uint32_t flags = KeyGetFlags(index) & ~kFCurveConstantNext;
  return KeySetFlags(index, hold_next ? flags | kFCurveConstantNext : flags);
}

namespace {

uint32_t WithMode(uint32_t flags, uint32_t mode) {
  return (flags & ~(kFCurveInterpolationMask | kFCurveTangentMask)) | kFCurveInterpolationCubic | mode;
}

}  // namespace

bool VFCurve::KeySetAuto(int index, float right_balance, float next_left_balance, bool with_break) {
  if (!Valid(index)) return false;
  EditBegin();
  VFCurveTangentData d = KeyGetTangentData(index);
  d.word[0] = VFCurveFloatWord(right_balance);
  d.word[1] = VFCurveFloatWord(next_left_balance);
  KeySetTangentData(index, d);
  KeySetFlags(index, WithMode(KeyGetFlags(index), with_break ? kFCurveTangentAutoBreak : kFCurveTangentAuto));
  EditEnd();
  return true;
}

bool VFCurve::KeySetTCB(int index, float tension, float continuity, float bias) {
  if (!Valid(index)) return false;
  EditBegin();
  VFCurveTangentData d;
  d.word[0] = VFCurveFloatWord(tension);
  d.word[1] = VFCurveFloatWord(continuity);
  d.word[2] = VFCurveFloatWord(bias);
  KeySetTangentData(index, d);
  KeySetFlags(index, WithMode(KeyGetFlags(index), kFCurveTangentTCB));
  EditEnd();
  return true;
}

bool VFCurve::KeySetUser(int index, float right_derivative, float next_left_derivative, bool with_break) {
  if (!Valid(index)) return false;
  EditBegin();
  VFCurveTangentData d = KeyGetTangentData(index);
  d.word[0] = VFCurveFloatWord(right_derivative);
  d.word[1] = VFCurveFloatWord(next_left_derivative);
  KeySetTangentData(index, d);
  KeySetFlags(index, WithMode(KeyGetFlags(index), with_break ? kFCurveTangentUserBreak : kFCurveTangentUser));
  EditEnd();
  return true;
}

bool VFCurve::KeySetWeighted(int index, bool right, bool next_left) {
  const uint32_t flags = KeyGetFlags(index);
  if (!Valid(index) || (flags & kFCurveInterpolationMask) != kFCurveInterpolationCubic ||
      (flags & kFCurveTangentMask) == kFCurveTangentTCB) {
    return false;
  }
  uint32_t wanted = flags & ~kFCurveWeightedMask;
  if (right) wanted |= kFCurveWeightedRight;
  if (next_left) wanted |= kFCurveWeightedNextLeft;
  return KeySetFlags(index, wanted);
}

bool VFCurve::KeySetWeights(int index, double right, double next_left) {
  if (!Valid(index)) return false;
  VFCurveTangentData d = KeyGetTangentData(index);
  d.word[2] = VFCurveWeightWord(VFCurveWeightFromDouble(right), VFCurveWeightFromDouble(next_left));
  return KeySetTangentData(index, d);
}

bool VFCurve::KeyScaleTangents(int index, float factor) {
  const uint32_t flags = KeyGetFlags(index);
  const uint32_t mode = flags & kFCurveTangentMask;
  if (!Valid(index) || (flags & kFCurveInterpolationMask) != kFCurveInterpolationCubic ||
      (mode != kFCurveTangentUser && mode != kFCurveTangentUserBreak)) {
    return false;
  }
  VFCurveTangentData d = KeyGetTangentData(index);
  d.word[0] = VFCurveFloatWord(VFCurveWordFloat(d.word[0]) * factor);
  d.word[1] = VFCurveFloatWord(VFCurveWordFloat(d.word[1]) * factor);
  return KeySetTangentData(index, d);
}

// ---- adding and removing keys

size_t VFCurve::LowerBound(int64_t t) const {
  return static_cast<size_t>(std::lower_bound(times_.begin(), times_.end(), t) - times_.begin());
}

void VFCurve::InsertAt(size_t at, const VFCurveKey& key) {
  if (at == times_.size() && extra_.empty() && key.extra == VFCurveKeyExtra{}) {
    // Appending, as files are read: the short way.
    times_.push_back(key.time.GetTicks());
    values_.push_back(key.value);
    flags_.push_back(VFCurveNormalizeKeyFlags(key.flags));
    tangents_.push_back(key.tangent);
    Changed();
    return;
  }
  const auto offset = static_cast<std::ptrdiff_t>(at);
  times_.insert(times_.begin() + offset, key.time.GetTicks());
  values_.insert(values_.begin() + offset, key.value);
  flags_.insert(flags_.begin() + offset, VFCurveNormalizeKeyFlags(key.flags));
  tangents_.insert(tangents_.begin() + offset, key.tangent);
  // Extra words are almost always zero: their array exists only once a
  // key has some, which keeps a key at 28 bytes instead of 40.
  if (extra_.empty() && !(key.extra == VFCurveKeyExtra{})) extra_.resize(times_.size() - 1);
  if (!extra_.empty()) extra_.insert(extra_.begin() + offset, key.extra);
  Changed();
}

int VFCurve::KeyAdd(VTime time, float value) {
  const size_t at = LowerBound(time.GetTicks());
  if (at < times_.size() && times_[at] == time.GetTicks()) {
    KeySetValue(static_cast<int>(at), value);
    return static_cast<int>(at);
  }
  if (times_.size() >= static_cast<size_t>(INT32_MAX)) return -1;
  VFCurveKey key;
  key.time = time;
  key.value = value;
  InsertAt(at, key);
  return static_cast<int>(at);
}

int VFCurve::KeyInsert(const VFCurveKey& key) {
  if (!VFCurveKeyFlagsValid(key.flags)) return -1;
  const size_t at = LowerBound(key.time.GetTicks());
  if (at < times_.size() && times_[at] == key.time.GetTicks()) {
    const int i = static_cast<int>(at);
    EditBegin();
    KeySetValue(i, key.value);
    KeySetTangentData(i, key.tangent);
    KeySetExtra(i, key.extra);
    if (flags_[at] != VFCurveNormalizeKeyFlags(key.flags)) {
      flags_[at] = VFCurveNormalizeKeyFlags(key.flags);
      Changed();
    }
    EditEnd();
    return i;
  }
  if (times_.size() >= static_cast<size_t>(INT32_MAX)) return -1;
  InsertAt(at, key);
  return static_cast<int>(at);
}

bool VFCurve::KeyAppend(const VFCurveKey& key) {
  if (!VFCurveKeyFlagsValid(key.flags)) return false;
  if (!times_.empty() && times_.back() >= key.time.GetTicks()) return false;
  if (times_.size() >= static_cast<size_t>(INT32_MAX)) return false;
  InsertAt(times_.size(), key);
  return true;
}

bool VFCurve::KeyRemove(int index) {
  if (!Valid(index)) return false;
  const auto offset = static_cast<std::ptrdiff_t>(index);
  times_.erase(times_.begin() + offset);
  values_.erase(values_.begin() + offset);
  flags_.erase(flags_.begin() + offset);
  tangents_.erase(tangents_.begin() + offset);
  if (!extra_.empty()) extra_.erase(extra_.begin() + offset);
  Changed();
  return true;
}

void VFCurve::KeyReserve(int count) {
  if (count <= 0) return;
  const size_t n = static_cast<size_t>(count);
  times_.reserve(n);
  values_.reserve(n);
  flags_.reserve(n);
  tangents_.reserve(n);
}

// ---- editing brackets

void VFCurve::EditBegin() { ++edit_depth_; }

void VFCurve::EditEnd() {
  if (edit_depth_ == 0) return;
  if (--edit_depth_ == 0 && edit_changed_) {
    edit_changed_ = false;
    ++change_count_;
    on_change_.Fire(0);
  }
}

void VFCurve::EditClear() {
  if (times_.empty()) return;
  times_.clear();
  values_.clear();
  flags_.clear();
  tangents_.clear();
  extra_.clear();
  last_key_ = 0;
  Changed();
}

void VFCurve::Changed() {
  baked_ = false;
  VAnimationDataAdvance();
  if (edit_depth_ > 0) {
    edit_changed_ = true;
    return;
  }
  ++change_count_;
  on_change_.Fire(0);
}
