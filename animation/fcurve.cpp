// Curve data and editing: key access, insertion in time order, tangent
// setters, the editing brackets and change announcements.

#include "animation/fcurve.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "core/evaluation_serial.h"
#include "core/plug_memory.h"

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

// ---- storage

const VFCurve::Ends VFCurve::kConstantEnds{};

VFCurve::KeyBlock VFCurve::no_keys_{nullptr, 0, 0};

VFCurve::~VFCurve() { SetKeys(&no_keys_); }

namespace {

constexpr size_t kKeyBytes = sizeof(int64_t) + sizeof(float) + sizeof(uint32_t) + sizeof(VFCurveTangentData);
// Blocks of a few keys (most curves) come from the plugs' size classes,
// without the heap's header; larger ones from the heap, where growing in
// place pays.
constexpr size_t kPooledBlockBytes = 256;

size_t BlockBytes(size_t header, uint32_t capacity) { return header + kKeyBytes * capacity; }

void* AllocateBlock(size_t bytes) {
  return bytes > kPooledBlockBytes ? std::malloc(bytes) : VPlugTryAllocate(bytes);
}

void FreeBlock(void* block, size_t bytes) {
  if (bytes > kPooledBlockBytes) {
    std::free(block);
  } else {
    VPlugFree(block, bytes);
  }
}

}  // namespace

void VFCurve::SetKeys(KeyBlock* block) {
  if (keys_ != &no_keys_) {
    std::free(keys_->segments);
    FreeBlock(keys_, BlockBytes(sizeof(KeyBlock), keys_->capacity));
  }
  keys_ = block;
  baked_ = false;
}

VFCurve::Side& VFCurve::MakeSide() {
  if (!side_) side_.reset(new Side);
  return *side_;
}

VFCurve::KeyBlock* VFCurve::NewBlock(uint32_t capacity) const {
  void* memory = AllocateBlock(BlockBytes(sizeof(KeyBlock), capacity));
  if (!memory) return nullptr;
  auto* block = static_cast<KeyBlock*>(memory);
  block->segments = nullptr;
  block->count = 0;
  block->capacity = capacity;
  if (keys_->count > 0) {
    const size_t n = keys_->count;
    block->count = keys_->count;
    std::memcpy(block->times(), keys_->times(), n * sizeof(int64_t));
    std::memcpy(block->values(), keys_->values(), n * sizeof(float));
    std::memcpy(block->flags(), keys_->flags(), n * sizeof(uint32_t));
    std::memcpy(block->tangents(), keys_->tangents(), n * sizeof(VFCurveTangentData));
  }
  return block;
}

bool VFCurve::Enlarge(uint32_t capacity) {
  if (keys_ == &no_keys_ || BlockBytes(sizeof(KeyBlock), keys_->capacity) <= kPooledBlockBytes) {
    // Into a new block, the keys copied over (a pooled block cannot grow).
    KeyBlock* block = NewBlock(capacity);
    if (!block) return false;
    SetKeys(block);
    return true;
  }
  // Grown in place where the allocator can (a block read from a file grows
  // at the top of the heap), the arrays then moved to their new places:
  // the last first, as each moves further than the one before it.
  void* memory = std::realloc(keys_, BlockBytes(sizeof(KeyBlock), capacity));
  if (!memory) return false;
  keys_ = static_cast<KeyBlock*>(memory);
  KeyBlock& b = *keys_;
  const size_t n = b.count;
  const uint32_t* flags = b.flags();
  const float* values = b.values();
  const VFCurveTangentData* tangents = b.tangents();
  b.capacity = capacity;
  std::memmove(b.tangents(), tangents, n * sizeof(VFCurveTangentData));
  std::memmove(b.flags(), flags, n * sizeof(uint32_t));
  std::memmove(b.values(), values, n * sizeof(float));
  std::free(b.segments);  // as many as the old capacity made
  b.segments = nullptr;
  baked_ = false;
  return true;
}

bool VFCurve::Grow() {
  const uint32_t capacity = keys_->capacity;
  if (keys_->count < capacity) return true;
  // Doubling, as a vector grows; bounded by the most keys a curve holds.
  const uint64_t wanted = capacity == 0 ? 1 : 2 * static_cast<uint64_t>(capacity);
  return Enlarge(static_cast<uint32_t>(std::min<uint64_t>(wanted, INT32_MAX)));
}

// ---- settings

void VFCurve::CopyFrom(const VFCurve& other) {
  if (&other == this) return;
  const int n = other.KeyGetCount();
  if (n == 0) {
    SetKeys(&no_keys_);
  } else {
    // The copy's block is as large as its keys.
    KeyBlock* block = other.NewBlock(static_cast<uint32_t>(n));
    if (block) SetKeys(block);  // out of memory: the keys stay as they were
  }
  if (other.side_) {
    Side& side = MakeSide();
    side.ends = other.side_->ends;
    side.color = other.side_->color;
    side.extra = other.side_->extra;
  } else if (side_) {
    side_->ends = Ends{};
    side_->color = 0;
    side_->extra.clear();
  }
  default_value_ = other.default_value_;
  pre_code_ = other.pre_code_;
  post_code_ = other.post_code_;
  last_key_ = 0;
  Changed();
}

void VFCurve::SetDefaultValue(float value) {
  if (std::memcmp(&value, &default_value_, sizeof value) == 0) return;
  default_value_ = value;
  Changed();
}

void VFCurve::SetPreExtrapolation(int type, int count) {
  if (type == GetPreExtrapolation() && count == GetPreExtrapolationCount()) return;
  Side& side = MakeSide();
  side.ends.pre_type = type;
  side.ends.pre_count = count;
  pre_code_ = EndCode(type);
  Changed();
}

void VFCurve::SetPostExtrapolation(int type, int count) {
  if (type == GetPostExtrapolation() && count == GetPostExtrapolationCount()) return;
  Side& side = MakeSide();
  side.ends.post_type = type;
  side.ends.post_count = count;
  post_code_ = EndCode(type);
  Changed();
}

void VFCurve::SetColor(uint32_t rgba) {
  if (rgba == GetColor()) return;
  MakeSide().color = rgba;
  Changed();
}

// ---- key access

VFCurveKey VFCurve::KeyGet(int index) const {
  VFCurveKey key;
  if (!Valid(index)) return key;
  key.time = VTime(keys_->times()[index]);
  key.value = keys_->values()[index];
  key.flags = keys_->flags()[index];
  key.tangent = keys_->tangents()[index];
  key.extra = KeyGetExtra(index);
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
  int64_t* times = keys_->times();
  if (i > 0 && times[i - 1] >= t) return false;
  if (i + 1 < keys_->count && times[i + 1] <= t) return false;
  if (times[i] == t) return true;
  times[i] = t;
  Changed();
  return true;
}

bool VFCurve::KeySetValue(int index, float value) {
  if (!Valid(index)) return false;
  float& slot = keys_->values()[index];
  if (std::memcmp(&slot, &value, sizeof value) == 0) return true;
  slot = value;
  Changed();
  return true;
}

bool VFCurve::KeySetFlags(int index, uint32_t flags) {
  if (!Valid(index) || !VFCurveKeyFlagsValid(flags)) return false;
  const size_t i = Idx(index);
  flags = VFCurveNormalizeKeyFlags(flags);
  uint32_t& slot = keys_->flags()[i];
  const uint32_t added = flags & ~slot & kFCurveWeightedMask;
  if (added) {
    uint32_t& w = keys_->tangents()[i].word[2];
    int16_t right = VFCurveRightWeightBits(w), next_left = VFCurveNextLeftWeightBits(w);
    if (added & kFCurveWeightedRight) right = kFCurveWeightThird;
    if (added & kFCurveWeightedNextLeft) next_left = kFCurveWeightThird;
    w = VFCurveWeightWord(right, next_left);
  }
  if (flags == slot && !added) return true;
  slot = flags;
  Changed();
  return true;
}

bool VFCurve::KeySetTangentData(int index, const VFCurveTangentData& data) {
  if (!Valid(index)) return false;
  VFCurveTangentData& slot = keys_->tangents()[index];
  if (slot == data) return true;
  slot = data;
  Changed();
  return true;
}

bool VFCurve::KeySetExtra(int index, const VFCurveKeyExtra& extra) {
  if (!Valid(index)) return false;
  if (KeyGetExtra(index) == extra) return true;
  std::vector<VFCurveKeyExtra>& all = MakeSide().extra;
  if (all.empty()) all.resize(keys_->count);
  all[Idx(index)] = extra;
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
  const int64_t* times = keys_->times();
  return static_cast<size_t>(std::lower_bound(times, times + keys_->count, t) - times);
}

bool VFCurve::InsertAt(size_t at, const VFCurveKey& key) {
  if (!Grow()) return false;
  KeyBlock& b = *keys_;
  const size_t n = b.count;
  // Extra words are almost always zero: their array exists only once a
  // key has some, which keeps a key at 28 bytes instead of 40.
  if (!(key.extra == VFCurveKeyExtra{}) || (side_ && !side_->extra.empty())) {
    std::vector<VFCurveKeyExtra>& all = MakeSide().extra;
    if (all.empty()) all.resize(n);
    all.insert(all.begin() + static_cast<std::ptrdiff_t>(at), key.extra);
  }
  if (at < n) {
    // Appending, as files are read, moves nothing.
    const size_t tail = n - at;
    std::memmove(b.times() + at + 1, b.times() + at, tail * sizeof(int64_t));
    std::memmove(b.tangents() + at + 1, b.tangents() + at, tail * sizeof(VFCurveTangentData));
    std::memmove(b.values() + at + 1, b.values() + at, tail * sizeof(float));
    std::memmove(b.flags() + at + 1, b.flags() + at, tail * sizeof(uint32_t));
  }
  b.times()[at] = key.time.GetTicks();
  b.tangents()[at] = key.tangent;
  b.values()[at] = key.value;
  b.flags()[at] = VFCurveNormalizeKeyFlags(key.flags);
  ++b.count;
  Changed();
  return true;
}

int VFCurve::KeyAdd(VTime time, float value) {
  const size_t at = LowerBound(time.GetTicks());
  const size_t n = static_cast<size_t>(KeyGetCount());
  if (at < n && keys_->times()[at] == time.GetTicks()) {
    KeySetValue(static_cast<int>(at), value);
    return static_cast<int>(at);
  }
  if (n >= static_cast<size_t>(INT32_MAX)) return -1;
  VFCurveKey key;
  key.time = time;
  key.value = value;
  return InsertAt(at, key) ? static_cast<int>(at) : -1;
}

int VFCurve::KeyInsert(const VFCurveKey& key) {
  if (!VFCurveKeyFlagsValid(key.flags)) return -1;
  const size_t at = LowerBound(key.time.GetTicks());
  const size_t n = static_cast<size_t>(KeyGetCount());
  if (at < n && keys_->times()[at] == key.time.GetTicks()) {
    const int i = static_cast<int>(at);
    EditBegin();
    KeySetValue(i, key.value);
    KeySetTangentData(i, key.tangent);
    KeySetExtra(i, key.extra);
    uint32_t& flags = keys_->flags()[at];
    if (flags != VFCurveNormalizeKeyFlags(key.flags)) {
      flags = VFCurveNormalizeKeyFlags(key.flags);
      Changed();
    }
    EditEnd();
    return i;
  }
  if (n >= static_cast<size_t>(INT32_MAX)) return -1;
  return InsertAt(at, key) ? static_cast<int>(at) : -1;
}

bool VFCurve::KeyAppend(const VFCurveKey& key) {
  if (!VFCurveKeyFlagsValid(key.flags)) return false;
  const size_t n = static_cast<size_t>(KeyGetCount());
  if (n > 0 && keys_->times()[n - 1] >= key.time.GetTicks()) return false;
  if (n >= static_cast<size_t>(INT32_MAX)) return false;
  return InsertAt(n, key);
}

bool VFCurve::KeyRemove(int index) {
  if (!Valid(index)) return false;
  KeyBlock& b = *keys_;
  const size_t at = Idx(index);
  const size_t tail = b.count - at - 1;
  std::memmove(b.times() + at, b.times() + at + 1, tail * sizeof(int64_t));
  std::memmove(b.tangents() + at, b.tangents() + at + 1, tail * sizeof(VFCurveTangentData));
  std::memmove(b.values() + at, b.values() + at + 1, tail * sizeof(float));
  std::memmove(b.flags() + at, b.flags() + at + 1, tail * sizeof(uint32_t));
  --b.count;
  if (side_ && !side_->extra.empty()) side_->extra.erase(side_->extra.begin() + static_cast<std::ptrdiff_t>(at));
  Changed();
  return true;
}

void VFCurve::KeyReserve(int count) {
  if (count <= 0 || keys_->capacity >= static_cast<uint32_t>(count)) return;
  Enlarge(static_cast<uint32_t>(count));  // out of memory: the keys grow one by one instead
}

// ---- editing brackets

void VFCurve::EditBegin() { ++edit_depth_; }

void VFCurve::EditEnd() {
  if (edit_depth_ == 0) return;
  if (--edit_depth_ == 0 && edit_changed_) {
    edit_changed_ = false;
    ++change_count_;
    if (side_) side_->on_change.Fire(0);
  }
}

void VFCurve::EditClear() {
  if (KeyGetCount() == 0) return;
  SetKeys(&no_keys_);
  if (side_) side_->extra.clear();
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
  if (side_) side_->on_change.Fire(0);
}
