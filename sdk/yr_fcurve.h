#pragma once
// YrFCurve and YrFCurveKey: public handles over an animation curve and one
// of its keys (not owned). A key handle is the curve and an index: it
// follows the key at that index, so adding or removing keys before it
// moves it to another key. Empty handles, and handles whose index is out
// of range, answer neutral values (0, time 0) and refuse every change.

#include <string>

#include "sdk/yr_time.h"

class VFCurve;

namespace YrSDK {

// The interpolation of the segment that starts at a key.
enum YrInterpolation {
  kYrInterpolationConstant = 0x02,
  kYrInterpolationLinear = 0x04,
  kYrInterpolationCubic = 0x08,
};

// The tangent mode of a cubic key. Break combines with auto and user
// (kYrTangentModeAuto | kYrTangentModeBreak, kYrTangentModeUser |
// kYrTangentModeBreak): the two sides of the key are set apart.
enum YrTangentMode {
  kYrTangentModeAuto = 0x100,
  kYrTangentModeTCB = 0x200,
  kYrTangentModeUser = 0x400,
  kYrTangentModeBreak = 0x800,
};

class YrFCurveKey {
 public:
  YrFCurveKey() = default;
  YrFCurveKey(VFCurve* curve, int index) : curve_(curve), index_(index) {}
  bool IsValid() const;
  int GetIndex() const { return index_; }

  // "Time": refused when it would not lie strictly between the neighbours'.
  YrTime GetTime() const;
  bool SetTime(const YrTime& time);
  // "Value".
  float GetValue() const;
  bool SetValue(float value);

  // "LeftDerivative" and "RightDerivative": the slopes arriving at and
  // leaving the key, value units per second, as evaluation computes them
  // for every tangent mode. Setting one applies to user and break keys
  // only: the right one is this key's; the left one is kept by the key
  // before, which must start a cubic segment that is not TCB (so the first
  // key's cannot be set).
  double GetLeftDerivative() const;
  bool SetLeftDerivative(float derivative);
  double GetRightDerivative() const;
  bool SetRightDerivative(float derivative);

  // "Tension", "Continuity", "Bias": TCB keys only (0 for other keys).
  float GetTension() const;
  bool SetTension(float tension);
  float GetContinuity() const;
  bool SetContinuity(float continuity);
  float GetBias() const;
  bool SetBias(float bias);

  // "Interpolation".
  YrInterpolation GetInterpolation() const;
  bool SetInterpolation(YrInterpolation interpolation);
  // "TangentMode" of a cubic key, the break bit included; 0 for a key that
  // is not cubic. Setting it keeps the curve's shape where the new mode can
  // hold it: user and break keys take the slopes the key had, auto keys a
  // balance of 0 and TCB keys tension, continuity and bias of 0.
  int GetTangentMode() const;
  bool SetTangentMode(int mode);

 private:
  bool TCBWord(int word, float* value) const;
  bool SetTCBWord(int word, float value);

  VFCurve* curve_ = nullptr;
  int index_ = -1;
};

class YrFCurve {
 public:
  YrFCurve() = default;
  explicit YrFCurve(VFCurve* curve) : curve_(curve) {}
  bool IsValid() const { return curve_ != nullptr; }

  // The value at a time (the curve's own key cache is used and moved).
  double Evaluate(const YrTime& time) const;
  float GetDefaultValue() const;
  bool SetDefaultValue(float value);

  int KeyGetCount() const;
  // The handle of key `index` (empty when out of range).
  YrFCurveKey KeyGet(int index) const;
  // Adds a cubic auto key in time order, or sets the value of the key at
  // that time; answers its index (-1 with an empty handle).
  int KeyAdd(const YrTime& time, float value);
  bool KeyRemove(int index);

  // Changes between EditBegin and EditEnd are announced once, at the end.
  void EditBegin();
  void EditEnd();
  // Removes every key.
  void EditClear();

 private:
  VFCurve* curve_ = nullptr;
};

}  // namespace YrSDK
