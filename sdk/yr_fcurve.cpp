#include "sdk/yr_fcurve.h"

#include "animation/fcurve.h"
#include "sdk/bridge/yr_time_convert.h"

namespace YrSDK {

static_assert(kYrInterpolationConstant == kFCurveInterpolationConstant &&
                  kYrInterpolationLinear == kFCurveInterpolationLinear &&
                  kYrInterpolationCubic == kFCurveInterpolationCubic,
              "the public interpolations are the key flags");
static_assert(kYrTangentModeAuto == kFCurveTangentAuto && kYrTangentModeTCB == kFCurveTangentTCB &&
                  kYrTangentModeUser == kFCurveTangentUser && kYrTangentModeBreak == kFCurveTangentBreak,
              "the public tangent modes are the key flags");

namespace {

// Words of TCB keys.
constexpr int kTensionWord = 0;
constexpr int kContinuityWord = 1;
constexpr int kBiasWord = 2;
// Words of user and break keys.
constexpr int kRightDerivativeWord = 0;
constexpr int kNextLeftDerivativeWord = 1;

bool IsCubic(const VFCurve& curve, int index) {
  return curve.KeyGetInterpolation(index) == kFCurveInterpolationCubic;
}

bool HasUserTangents(const VFCurve& curve, int index) {
  const uint32_t mode = curve.KeyGetTangentMode(index);
  return IsCubic(curve, index) && (mode == kFCurveTangentUser || mode == kFCurveTangentUserBreak);
}

bool HasTCBTangents(const VFCurve& curve, int index) {
  return IsCubic(curve, index) && curve.KeyGetTangentMode(index) == kFCurveTangentTCB;
}

bool SetWord(VFCurve& curve, int index, int word, float value) {
  VFCurveTangentData data = curve.KeyGetTangentData(index);
  data.word[word] = VFCurveFloatWord(value);
  return curve.KeySetTangentData(index, data);
}

}  // namespace

// ---------------------------------------------------------------- YrFCurveKey

bool YrFCurveKey::IsValid() const { return curve_ != nullptr && index_ >= 0 && index_ < curve_->KeyGetCount(); }

YrTime YrFCurveKey::GetTime() const { return IsValid() ? FromEngineTime(curve_->KeyGetTime(index_)) : YrTime(); }

bool YrFCurveKey::SetTime(const YrTime& time) {
  return IsValid() && curve_->KeySetTime(index_, ToEngineTime(time));
}

float YrFCurveKey::GetValue() const { return IsValid() ? curve_->KeyGetValue(index_) : 0.0f; }

bool YrFCurveKey::SetValue(float value) { return IsValid() && curve_->KeySetValue(index_, value); }

double YrFCurveKey::GetLeftDerivative() const { return IsValid() ? curve_->KeyGetLeftDerivative(index_) : 0.0; }

bool YrFCurveKey::SetLeftDerivative(float derivative) {
  // The slope arriving at a user key is kept by the key before, as its
  // next-left word; evaluation reads it when that key starts a cubic
  // segment whose words are slopes or balances (after a TCB key the words
  // are tension, continuity and bias, and the slope is computed).
  if (!IsValid() || index_ == 0 || !HasUserTangents(*curve_, index_)) return false;
  if (!IsCubic(*curve_, index_ - 1) || HasTCBTangents(*curve_, index_ - 1)) return false;
  return SetWord(*curve_, index_ - 1, kNextLeftDerivativeWord, derivative);
}

double YrFCurveKey::GetRightDerivative() const { return IsValid() ? curve_->KeyGetRightDerivative(index_) : 0.0; }

bool YrFCurveKey::SetRightDerivative(float derivative) {
  if (!IsValid() || !HasUserTangents(*curve_, index_)) return false;
  return SetWord(*curve_, index_, kRightDerivativeWord, derivative);
}

bool YrFCurveKey::TCBWord(int word, float* value) const {
  *value = 0.0f;
  if (!IsValid() || !HasTCBTangents(*curve_, index_)) return false;
  *value = VFCurveWordFloat(curve_->KeyGetTangentData(index_).word[word]);
  return true;
}

bool YrFCurveKey::SetTCBWord(int word, float value) {
  return IsValid() && HasTCBTangents(*curve_, index_) && SetWord(*curve_, index_, word, value);
}

float YrFCurveKey::GetTension() const {
  float value;
  TCBWord(kTensionWord, &value);
  return value;
}
bool YrFCurveKey::SetTension(float tension) { return SetTCBWord(kTensionWord, tension); }

float YrFCurveKey::GetContinuity() const {
  float value;
  TCBWord(kContinuityWord, &value);
  return value;
}
bool YrFCurveKey::SetContinuity(float continuity) { return SetTCBWord(kContinuityWord, continuity); }

float YrFCurveKey::GetBias() const {
  float value;
  TCBWord(kBiasWord, &value);
  return value;
}
bool YrFCurveKey::SetBias(float bias) { return SetTCBWord(kBiasWord, bias); }

YrInterpolation YrFCurveKey::GetInterpolation() const {
  return IsValid() ? static_cast<YrInterpolation>(curve_->KeyGetInterpolation(index_)) : kYrInterpolationCubic;
}

bool YrFCurveKey::SetInterpolation(YrInterpolation interpolation) {
  return IsValid() && curve_->KeySetInterpolation(index_, static_cast<uint32_t>(interpolation));
}

int YrFCurveKey::GetTangentMode() const {
  return IsValid() && IsCubic(*curve_, index_) ? static_cast<int>(curve_->KeyGetTangentMode(index_)) : 0;
}

bool YrFCurveKey::SetTangentMode(int mode) {
  if (!IsValid() || !IsCubic(*curve_, index_)) return false;
  const auto bits = static_cast<uint32_t>(mode);
  const bool with_break = (bits & kFCurveTangentBreak) != 0;
  const bool to_user = bits == kFCurveTangentUser || bits == kFCurveTangentUserBreak;
  const bool to_auto = bits == kFCurveTangentAuto || bits == kFCurveTangentAutoBreak;
  if (!to_user && !to_auto && bits != kFCurveTangentTCB) return false;
  const int next = index_ + 1 < curve_->KeyGetCount() ? index_ + 1 : -1;
  // The slopes as they are now, so that the curve keeps its shape.
  const auto left = static_cast<float>(curve_->KeyGetLeftDerivative(index_));
  const auto right = static_cast<float>(curve_->KeyGetRightDerivative(index_));
  // This key's next-left word belongs to the next key (its slope when that
  // key is a user key, its balance when auto); a TCB key held its
  // continuity there instead.
  float next_left = VFCurveWordFloat(curve_->KeyGetTangentData(index_).word[kNextLeftDerivativeWord]);
  if (HasTCBTangents(*curve_, index_)) {
    next_left = next >= 0 && HasUserTangents(*curve_, next) ? static_cast<float>(curve_->KeyGetLeftDerivative(next))
                                                            : 0.0f;
  }
  curve_->EditBegin();
  bool ok = to_user ? curve_->KeySetUser(index_, right, next_left, with_break)
            : to_auto ? curve_->KeySetAuto(index_, 0.0f, next_left, with_break)
                      : curve_->KeySetTCB(index_, 0.0f, 0.0f, 0.0f);
  // The word this key's left side reads is kept by the key before.
  const int before = index_ - 1;
  if (ok && before >= 0 && IsCubic(*curve_, before) && !HasTCBTangents(*curve_, before) && bits != kFCurveTangentTCB) {
    ok = SetWord(*curve_, before, kNextLeftDerivativeWord, to_user ? left : 0.0f);
  }
  curve_->EditEnd();
  return ok;
}

// ---------------------------------------------------------------- YrFCurve

double YrFCurve::Evaluate(const YrTime& time) const {
  return curve_ ? curve_->Evaluate(ToEngineTime(time)) : 0.0;
}

float YrFCurve::GetDefaultValue() const { return curve_ ? curve_->GetDefaultValue() : 0.0f; }

bool YrFCurve::SetDefaultValue(float value) {
  if (!curve_) return false;
  curve_->SetDefaultValue(value);
  return true;
}

int YrFCurve::KeyGetCount() const { return curve_ ? curve_->KeyGetCount() : 0; }

YrFCurveKey YrFCurve::KeyGet(int index) const {
  return curve_ && index >= 0 && index < curve_->KeyGetCount() ? YrFCurveKey(curve_, index) : YrFCurveKey();
}

int YrFCurve::KeyAdd(const YrTime& time, float value) {
  return curve_ ? curve_->KeyAdd(ToEngineTime(time), value) : -1;
}

bool YrFCurve::KeyRemove(int index) { return curve_ && curve_->KeyRemove(index); }

void YrFCurve::EditBegin() {
  if (curve_) curve_->EditBegin();
}

void YrFCurve::EditEnd() {
  if (curve_) curve_->EditEnd();
}

void YrFCurve::EditClear() {
  if (curve_) curve_->EditClear();
}

}  // namespace YrSDK
