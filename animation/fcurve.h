#pragma once
// VFCurve: an animation curve mapping a time to one value.
//
// Keys are kept in time order, strictly increasing: every editing operation
// that would break the order is refused. The key data lives in contiguous
// arrays, one per field (times, values, flags, tangent words), all in one
// block, so that the key search walks a plain array of tick counts and
// evaluation touches only the few keys around the time. A curve without
// keys allocates nothing for them; what most curves never use
// (extrapolations other than constant, a color, the carried words of keys,
// change handlers) lives in a side record made on first use.
//
// Evaluation reads the curve and moves the key cache (the caller's, or the
// curve's own). A curve is evaluated from one thread at a time.
//
// Out-of-range key indices give neutral values (0, time 0) and make setters
// answer false.

#include <cstdint>
#include <memory>
#include <vector>

#include "animation/fcurve_key.h"
#include "core/event.h"
#include "core/plug_memory.h"
#include "core/time.h"

// A stretch of time over which a curve follows one formula: the inside of
// a key segment (constant, linear, or cubic without weights) or a constant
// extrapolation. Within it the value comes from this record alone, the
// same to the last bit as the curve computes it, so playback need not
// touch the key arrays while the time stays inside.
struct VFCurveSpan {
  // kConstant: an extrapolation or a curve with at most one key; kHold: a
  // constant segment (the fraction is checked like the others').
  enum Kind : int { kNone = 0, kConstant, kHold, kLinear, kCubic };
  int64_t lo = 0;  // the open interval (lo, hi) in ticks; a segment's starts at its first key
  int64_t hi = 0;
  double seconds = 1.0;  // the segment's length
  double y1 = 0.0, c1 = 0.0, c2 = 0.0, y2 = 0.0;
  int whole = 0;     // the segment's first key index
  int kind = kNone;  // last: a reader may pack a word of its own after it

  // The value at x; false when x is outside the span (or so close to its
  // ends that the curve would take another path).
  bool ValueAt(int64_t x, double* value) const;

  // The same in two steps, for several spans read at one time: spans of
  // one segment timing (lo, seconds, whole) share the position, which is
  // what costs. Only for the kinds kHold, kLinear and kCubic, with x
  // inside (lo, hi).
  bool HasPosition() const { return kind >= kHold; }
  bool Contains(int64_t x) const { return x > lo && x < hi; }
  bool SameTiming(const VFCurveSpan& other) const {
    return lo == other.lo && seconds == other.seconds && whole == other.whole;
  }
  double PositionAt(int64_t x) const;
  bool ValueAtPosition(double position, double* value) const;
};

class VFCurve {
 public:
  VFCurve() = default;
  explicit VFCurve(float default_value) : default_value_(default_value) {}
  ~VFCurve();
  // A scene holds them by the ten thousand: from the plugs' memory.
  static void* operator new(std::size_t size) { return VPlugAllocate(size); }
  static void operator delete(void* memory, std::size_t size) { VPlugFree(memory, size); }
  VFCurve(const VFCurve&) = delete;
  VFCurve& operator=(const VFCurve&) = delete;

  // Replaces this curve's keys, settings and default with other's (the
  // change handlers stay).
  void CopyFrom(const VFCurve& other);

  // ---- Curve settings
  float GetDefaultValue() const { return default_value_; }
  void SetDefaultValue(float value);
  int GetPreExtrapolation() const { return GetEnds().pre_type; }
  int GetPreExtrapolationCount() const { return GetEnds().pre_count; }
  int GetPostExtrapolation() const { return GetEnds().post_type; }
  int GetPostExtrapolationCount() const { return GetEnds().post_count; }
  // Any type is kept; types other than 1 to 4 hold the end key's value.
  // Counts below -1 limit like 0.
  void SetPreExtrapolation(int type, int count);
  void SetPostExtrapolation(int type, int count);
  uint32_t GetColor() const { return side_ ? side_->color : 0u; }
  void SetColor(uint32_t rgba);

  // ---- Evaluation
  // The value at a time. cache: an index the caller keeps between calls for
  // this curve; null uses the curve's own.
  double Evaluate(VTime time, int* cache = nullptr) const;
  // Evaluate, and the span around the time over which the value follows
  // the same formula (kind kNone when there is none).
  double EvaluateSpan(VTime time, int* cache, VFCurveSpan* span) const;
  // Key position of a time: i exactly key i, i + f the fraction f of the way
  // to key i + 1, -0.5 before the first key, count - 0.5 after the last,
  // -1 without keys.
  double KeySearch(VTime time, int* cache = nullptr) const;
  // The same with the extrapolations applied (repetitions fold the time
  // into the key range; limits give the end keys).
  double KeySearchExtrapolated(VTime time, int* cache = nullptr) const;
  double ValueAtPosition(double position) const;
  // Slopes leaving and arriving at key i, value units per second.
  double KeyGetRightDerivative(int index) const;
  double KeyGetLeftDerivative(int index) const;
  int GetLastKeyCache() const { return last_key_; }

  // ---- Key access
  int KeyGetCount() const { return static_cast<int>(keys_->count); }
  VTime KeyGetTime(int index) const { return Valid(index) ? VTime(keys_->times()[index]) : VTime(0); }
  float KeyGetValue(int index) const { return Valid(index) ? keys_->values()[index] : 0.0f; }
  uint32_t KeyGetFlags(int index) const { return Valid(index) ? keys_->flags()[index] : 0u; }
  VFCurveTangentData KeyGetTangentData(int index) const {
    return Valid(index) ? keys_->tangents()[index] : VFCurveTangentData{};
  }
  VFCurveKeyExtra KeyGetExtra(int index) const {
    return Valid(index) && side_ && !side_->extra.empty() ? side_->extra[Idx(index)] : VFCurveKeyExtra{};
  }
  VFCurveKey KeyGet(int index) const;
  uint32_t KeyGetInterpolation(int index) const { return KeyGetFlags(index) & kFCurveInterpolationMask; }
  uint32_t KeyGetTangentMode(int index) const { return KeyGetFlags(index) & kFCurveTangentMask; }
  // The 16-bit weights as doubles (meaningful on weighted keys).
  double KeyGetRightWeight(int index) const;
  double KeyGetNextLeftWeight(int index) const;

  // Refused (false) when the time is not strictly between the neighbours'.
  bool KeySetTime(int index, VTime time);
  bool KeySetValue(int index, float value);
  // Refused when the flags are not valid (VFCurveKeyFlagsValid). Weighted
  // bits that do not apply are cleared; a side that becomes weighted starts
  // with a weight of one third.
  bool KeySetFlags(int index, uint32_t flags);
  bool KeySetTangentData(int index, const VFCurveTangentData& data);
  bool KeySetExtra(int index, const VFCurveKeyExtra& extra);
  // Typed setters of the tangent mode and its words.
  bool KeySetInterpolation(int index, uint32_t interpolation);
  bool KeySetConstantMode(int index, bool hold_next);
  bool KeySetAuto(int index, float right_balance, float next_left_balance, bool with_break = false);
  bool KeySetTCB(int index, float tension, float continuity, float bias);
  bool KeySetUser(int index, float right_derivative, float next_left_derivative, bool with_break = false);
  // Weighted bits: cubic keys that are not TCB only.
  bool KeySetWeighted(int index, bool right, bool next_left);
  // Weights as doubles, stored in their 16-bit form (rounded to nearest).
  bool KeySetWeights(int index, double right, double next_left);
  // Multiplies both stored derivatives of a user or break key.
  bool KeyScaleTangents(int index, float factor);

  // Adds a cubic auto key in time order, or sets the value of the key
  // already at that time. Answers the key's index.
  int KeyAdd(VTime time, float value);
  // Inserts a whole key in time order, replacing a key at the same time.
  // Answers the index, or -1 when the flags are not valid.
  int KeyInsert(const VFCurveKey& key);
  // Appends a key after the last one; false when its time is not after the
  // last key's or its flags are not valid.
  bool KeyAppend(const VFCurveKey& key);
  bool KeyRemove(int index);
  void KeyReserve(int count);

  // ---- Editing brackets
  // Changes inside a bracket are announced once, when the outermost bracket
  // ends; outside any bracket each change is announced as it happens.
  void EditBegin();
  void EditEnd();
  void EditClear();
  bool IsEditing() const { return edit_depth_ > 0; }

  // Fired with code 0 when the curve changes.
  VEventBase& OnChange() { return MakeSide().on_change; }
  // Counts announced changes.
  uint64_t GetChangeCount() const { return change_count_; }

 private:
  // What playback needs of a segment; weighted segments, which are rare,
  // compute their derivatives when evaluated.
  struct Segment {
    double seconds;  // length
    double out;      // right derivative * seconds / 3: the second Bezier control's offset
    double in;       // next key's left derivative * seconds / 3: the third's
  };
  // The keys: this header, then for `capacity` keys the times, the values,
  // the flags and the tangent words, each array after the other in one
  // allocation (the 8-byte items first, so that every array is aligned; the
  // arrays playback reads at offsets the cheapest to form).
  struct KeyBlock {
    Segment* segments;  // per-segment data for evaluation (capacity - 1 entries), made on first use
    uint32_t count;
    uint32_t capacity;
    int64_t* times() { return reinterpret_cast<int64_t*>(this + 1); }
    const int64_t* times() const { return reinterpret_cast<const int64_t*>(this + 1); }
    float* values() { return reinterpret_cast<float*>(times() + capacity); }
    const float* values() const { return reinterpret_cast<const float*>(times() + capacity); }
    uint32_t* flags() { return reinterpret_cast<uint32_t*>(values() + capacity); }
    const uint32_t* flags() const { return reinterpret_cast<const uint32_t*>(values() + capacity); }
    VFCurveTangentData* tangents() { return reinterpret_cast<VFCurveTangentData*>(flags() + capacity); }
    const VFCurveTangentData* tangents() const {
      return reinterpret_cast<const VFCurveTangentData*>(flags() + capacity);
    }
  };
  // The block of every curve without keys: nothing to allocate for them,
  // and nothing to test before reading the count.
  static KeyBlock no_keys_;
  // Extrapolation types and counts before the first key and after the last.
  struct Ends {
    int pre_type = kFCurveExtrapolationConstant;
    int pre_count = 0;
    int post_type = kFCurveExtrapolationConstant;
    int post_count = 0;
  };
  static const Ends kConstantEnds;
  // What few curves use.
  struct Side {
    Ends ends;
    uint32_t color = 0;
    std::vector<VFCurveKeyExtra> extra;  // empty while every key's extra words are zero
    VEventBase on_change;
  };

  bool Valid(int index) const { return index >= 0 && index < KeyGetCount(); }
  static size_t Idx(int index) { return static_cast<size_t>(index); }
  Side& MakeSide();
  static uint8_t EndCode(int type) {
    return type >= kFCurveExtrapolationConstant && type <= kFCurveExtrapolationKeepSlope ? static_cast<uint8_t>(type)
                                                                                          : uint8_t{0};
  }
  const Ends& GetEnds() const { return side_ ? side_->ends : kConstantEnds; }
  // A block for `capacity` keys holding this curve's keys; null when out of
  // memory.
  KeyBlock* NewBlock(uint32_t capacity) const;
  // Takes block as the keys, releasing the previous ones.
  void SetKeys(KeyBlock* block);
  // Room for `capacity` keys (more than now); false when out of memory.
  bool Enlarge(uint32_t capacity);
  // Room for one more key; false when out of memory.
  bool Grow();
  void Changed();
  // Per-segment data for evaluation (the block's segments), rebuilt after a
  // change: the same numbers the key walk and the segment formulas compute,
  // computed once. False when out of memory: evaluation then computes them.
  bool Bake() const;
  double SearchExtrapolated(int64_t x, int* cache, const Segment* segments) const;
  // Evaluate away from the cached key: the search, and the extrapolations.
  double EvaluateAway(int64_t x, int* cache, const Segment* segments) const;
  double EvaluateUnbaked(int64_t x, int* cache) const;
  double ValueAt(double position, const Segment* segments) const;
  bool InsertAt(size_t at, const VFCurveKey& key);
  // Index of the first key whose time is not before t.
  size_t LowerBound(int64_t t) const;

  KeyBlock* keys_ = &no_keys_;  // owned unless it is no_keys_
  std::unique_ptr<Side> side_;                    // null: the defaults
  uint64_t change_count_ = 0;
  float default_value_ = 0.0f;
  mutable int last_key_ = 0;
  int edit_depth_ = 0;
  bool edit_changed_ = false;
  mutable bool baked_ = false;
  // The extrapolation types as evaluation follows them: 1 to 4, 0 for any
  // other type. Kept here, where evaluation finds them at once.
  uint8_t pre_code_ = kFCurveExtrapolationConstant;
  uint8_t post_code_ = kFCurveExtrapolationConstant;
};
