#include "sdk/yr_time.h"

#include "core/time.h"
#include "core/time_mode.h"
#include "core/time_span.h"
#include "core/time_text.h"
#include "sdk/bridge/yr_time_convert.h"

namespace YrSDK {

static_assert(YrTime::kInfiniteTicks == kVTimeInfinite, "the public infinite time is the engine's");
static_assert(YrTime::kMinusInfiniteTicks == kVTimeMinusInfinite, "the public minus infinite time is the engine's");

int YrTimeModeToEngine(int public_mode) {
  if (public_mode < kYrTimeMode24 || public_mode > kYrTimeMode23976) return kVTimeModeDefault;
  return VTimeModeOfPublicNumber(public_mode);
}

bool YrTime::SetTime(int hours, int minutes, int seconds, int frame, int field, YrTimeMode mode) {
  VTime time = ToEngineTime(*this);
  const bool set = time.SetTime(hours, minutes, seconds, frame, field, YrTimeModeToEngine(mode));
  mTicks = time.GetTicks();
  return set;
}

bool YrTime::SetTime(int hours, int minutes, int seconds, int frame, int field, int hundredths,
                     YrTimeMode mode) {
  VTime time = ToEngineTime(*this);
  const bool set = time.SetTime(hours, minutes, seconds, frame, field, hundredths, YrTimeModeToEngine(mode));
  mTicks = time.GetTicks();
  return set;
}

bool YrTime::GetTime(int64_t& hours, int64_t& minutes, int64_t& seconds, int64_t& frame, int64_t& field,
                     int64_t& hundredths, YrTimeMode mode) const {
  return ToEngineTime(*this).GetTime(hours, minutes, seconds, frame, field, hundredths, YrTimeModeToEngine(mode));
}

int64_t YrTime::GetFrame(bool cumulative, YrTimeMode mode) const {
  return ToEngineTime(*this).GetFrame(cumulative, YrTimeModeToEngine(mode));
}
int64_t YrTime::GetHours(bool cumulative, YrTimeMode mode) const {
  return ToEngineTime(*this).GetHours(cumulative, YrTimeModeToEngine(mode));
}
int64_t YrTime::GetMinutes(bool cumulative, YrTimeMode mode) const {
  return ToEngineTime(*this).GetMinutes(cumulative, YrTimeModeToEngine(mode));
}
int64_t YrTime::GetSeconds(bool cumulative, YrTimeMode mode) const {
  return ToEngineTime(*this).GetSeconds(cumulative, YrTimeModeToEngine(mode));
}
int64_t YrTime::GetHundredths(YrTimeMode mode) const { return ToEngineTime(*this).GetHundredths(YrTimeModeToEngine(mode)); }

std::string YrTime::GetTimeString() const {
  return VTimeGetString(ToEngineTime(*this), 5, kVTimeModeDefault, kVTimeFormatDefault);
}

bool YrTime::SetTimeString(const std::string& text) {
  VTime time = ToEngineTime(*this);
  const bool read = VTimeSetString(&time, text, kVTimeModeDefault, kVTimeFormatDefault);
  mTicks = time.GetTicks();
  return read;
}

double YrTime::GetSecondDouble() const { return ToEngineTime(*this).GetSecondDouble(); }

void YrTime::SetSecondDouble(double seconds) {
  VTime time;
  time.SetSecondDouble(seconds);
  mTicks = time.GetTicks();
}

int64_t YrTime::GetMilliSeconds() const { return ToEngineTime(*this).GetMilliSeconds(); }

void YrTime::SetMilliSeconds(int64_t ms) {
  VTime time;
  time.SetMilliSeconds(ms);
  mTicks = time.GetTicks();
}

YrTime YrTime::GetFramedTime(bool nearest) const {
  return FromEngineTime(ToEngineTime(*this).GetFramedTime(nearest));
}

YrTime& YrTime::operator+=(const YrTime& o) {
  mTicks = (ToEngineTime(*this) + ToEngineTime(o)).GetTicks();
  return *this;
}

YrTime& YrTime::operator-=(const YrTime& o) {
  mTicks = (ToEngineTime(*this) - ToEngineTime(o)).GetTicks();
  return *this;
}

YrTime operator*(const YrTime& a, const YrTime& b) { return FromEngineTime(ToEngineTime(a) * ToEngineTime(b)); }
YrTime operator/(const YrTime& a, const YrTime& b) { return FromEngineTime(ToEngineTime(a) / ToEngineTime(b)); }
YrTime operator*(const YrTime& a, double d) { return FromEngineTime(ToEngineTime(a) * d); }
YrTime operator/(const YrTime& a, double d) { return FromEngineTime(ToEngineTime(a) / d); }

YrTime YrTimeSpan::GetDuration() const { return FromEngineTime(ToEngineSpan(*this).GetDuration()); }
YrTime YrTimeSpan::GetSignedDuration() const { return FromEngineTime(ToEngineSpan(*this).GetSignedDuration()); }
bool YrTimeSpan::IsInside(const YrTime& t) const { return ToEngineSpan(*this).IsInside(ToEngineTime(t)); }

YrTimeSpan operator&(const YrTimeSpan& a, const YrTimeSpan& b) {
  return FromEngineSpan(ToEngineSpan(a) & ToEngineSpan(b));
}

}  // namespace YrSDK
