#include "sdk/yr_time.h"

#include "core/time_mode.h"
#include "core/time_text.h"

namespace YrSDK {

int YrTimeModeToEngine(int public_mode) {
  if (public_mode < kYrTimeMode24 || public_mode > kYrTimeMode23976) return kVTimeModeDefault;
  return VTimeModeOfPublicNumber(public_mode);
}

bool YrTime::SetTime(int hours, int minutes, int seconds, int frame, int field, YrTimeMode mode) {
  return mTime.SetTime(hours, minutes, seconds, frame, field, YrTimeModeToEngine(mode));
}

bool YrTime::SetTime(int hours, int minutes, int seconds, int frame, int field, int hundredths,
                     YrTimeMode mode) {
  return mTime.SetTime(hours, minutes, seconds, frame, field, hundredths, YrTimeModeToEngine(mode));
}

bool YrTime::GetTime(int64_t& hours, int64_t& minutes, int64_t& seconds, int64_t& frame, int64_t& field,
                     int64_t& hundredths, YrTimeMode mode) const {
  return mTime.GetTime(hours, minutes, seconds, frame, field, hundredths, YrTimeModeToEngine(mode));
}

int64_t YrTime::GetFrame(bool cumulative, YrTimeMode mode) const {
  return mTime.GetFrame(cumulative, YrTimeModeToEngine(mode));
}
int64_t YrTime::GetHours(bool cumulative, YrTimeMode mode) const {
  return mTime.GetHours(cumulative, YrTimeModeToEngine(mode));
}
int64_t YrTime::GetMinutes(bool cumulative, YrTimeMode mode) const {
  return mTime.GetMinutes(cumulative, YrTimeModeToEngine(mode));
}
int64_t YrTime::GetSeconds(bool cumulative, YrTimeMode mode) const {
  return mTime.GetSeconds(cumulative, YrTimeModeToEngine(mode));
}
int64_t YrTime::GetHundredths(YrTimeMode mode) const { return mTime.GetHundredths(YrTimeModeToEngine(mode)); }

std::string YrTime::GetTimeString() const {
  return VTimeGetString(mTime, 5, kVTimeModeDefault, kVTimeFormatDefault);
}

bool YrTime::SetTimeString(const std::string& text) {
  return VTimeSetString(&mTime, text, kVTimeModeDefault, kVTimeFormatDefault);
}

}  // namespace YrSDK
