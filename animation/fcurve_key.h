#pragma once
// Key data of an animation curve: flag bits, tangent words and the value form
// of one key used by the key access operations.

#include <cstdint>
#include <cstring>

#include "core/time.h"

// ---- Key flags
// Interpolation of the segment that starts at the key.
inline constexpr uint32_t kFCurveInterpolationConstant = 0x02;
inline constexpr uint32_t kFCurveInterpolationLinear = 0x04;
inline constexpr uint32_t kFCurveInterpolationCubic = 0x08;
inline constexpr uint32_t kFCurveInterpolationMask = 0x0E;
// Constant keys: set = hold the next key's value, clear = hold this key's value.
inline constexpr uint32_t kFCurveConstantNext = 0x100;
// Cubic keys: tangent mode. Break combines with auto (0x900) and user (0xC00).
inline constexpr uint32_t kFCurveTangentAuto = 0x100;
inline constexpr uint32_t kFCurveTangentTCB = 0x200;
inline constexpr uint32_t kFCurveTangentUser = 0x400;
inline constexpr uint32_t kFCurveTangentBreak = 0x800;
inline constexpr uint32_t kFCurveTangentAutoBreak = kFCurveTangentAuto | kFCurveTangentBreak;
inline constexpr uint32_t kFCurveTangentUserBreak = kFCurveTangentUser | kFCurveTangentBreak;
inline constexpr uint32_t kFCurveTangentMask = 0xF00;
// Weighted tangents (cubic keys that are not TCB only): this key's right
// tangent, and the next key's left tangent, whose weight this key keeps.
inline constexpr uint32_t kFCurveWeightedRight = 1u << 24;
inline constexpr uint32_t kFCurveWeightedNextLeft = 1u << 25;
inline constexpr uint32_t kFCurveWeightedMask = kFCurveWeightedRight | kFCurveWeightedNextLeft;

inline constexpr uint32_t kFCurveDefaultKeyFlags = kFCurveInterpolationCubic | kFCurveTangentAuto;

// ---- Extrapolation types (before the first key, after the last key)
inline constexpr int kFCurveExtrapolationConstant = 1;
inline constexpr int kFCurveExtrapolationRepetition = 2;
inline constexpr int kFCurveExtrapolationMirrorRepetition = 3;
inline constexpr int kFCurveExtrapolationKeepSlope = 4;
// A repetition count of -1: no limit.
inline constexpr int kFCurveRepetitionUnlimited = -1;

// ---- Tangent words
// Weights are signed 16-bit counts of 1/9999.
inline constexpr double kFCurveWeightUnit = 0.00010001;
inline constexpr int16_t kFCurveWeightThird = 3333;
// Word 3 of a fresh key: one third as float bits.
inline constexpr uint32_t kFCurveDefaultWord3 = 0x3EAAAAABu;

inline float VFCurveWordFloat(uint32_t word) {
  float f;
  std::memcpy(&f, &word, 4);
  return f;
}
inline uint32_t VFCurveFloatWord(float f) {
  uint32_t word;
  std::memcpy(&word, &f, 4);
  return word;
}
// The low half of word 3: this key's right weight; the high half: the next
// key's left weight.
inline int16_t VFCurveRightWeightBits(uint32_t word3) { return static_cast<int16_t>(word3 & 0xFFFFu); }
inline int16_t VFCurveNextLeftWeightBits(uint32_t word3) { return static_cast<int16_t>(word3 >> 16); }
inline uint32_t VFCurveWeightWord(int16_t right, int16_t next_left) {
  return static_cast<uint32_t>(static_cast<uint16_t>(right)) |
         (static_cast<uint32_t>(static_cast<uint16_t>(next_left)) << 16);
}
// A weight as a double to its 16-bit form, rounded to nearest and clamped
// to the 16-bit range; NaN gives one third.
int16_t VFCurveWeightFromDouble(double weight);
inline double VFCurveWeightToDouble(int16_t bits) { return bits * kFCurveWeightUnit; }

// The three tangent words of a key. Their meaning follows the tangent mode:
//   user and break: word 0 right derivative, word 1 next key's left
//     derivative (value units per second, floats);
//   auto: word 0 right balance, word 1 next key's left balance (percent);
//   TCB: tension, continuity, bias;
//   weighted keys: word 2 holds the two 16-bit weights.
struct VFCurveTangentData {
  uint32_t word[3] = {0, 0, kFCurveDefaultWord3};
  friend bool operator==(const VFCurveTangentData& a, const VFCurveTangentData& b) {
    return a.word[0] == b.word[0] && a.word[1] == b.word[1] && a.word[2] == b.word[2];
  }
};

// Three words per key that are carried and copied but never evaluated.
struct VFCurveKeyExtra {
  uint32_t word[3] = {0, 0, 0};
  friend bool operator==(const VFCurveKeyExtra& a, const VFCurveKeyExtra& b) {
    return a.word[0] == b.word[0] && a.word[1] == b.word[1] && a.word[2] == b.word[2];
  }
};

// One key as a value, for reading and inserting whole keys.
struct VFCurveKey {
  VTime time;
  float value = 0.0f;
  uint32_t flags = kFCurveDefaultKeyFlags;
  VFCurveTangentData tangent;
  VFCurveKeyExtra extra;
};

// True when the flags name one of the three interpolations and, for cubic
// keys, one of the five tangent modes.
bool VFCurveKeyFlagsValid(uint32_t flags);
// Clears the weighted bits where they do not apply (keys that are not cubic,
// TCB keys).
uint32_t VFCurveNormalizeKeyFlags(uint32_t flags);
