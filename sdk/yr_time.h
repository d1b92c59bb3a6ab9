#pragma once
// Public time values: YrTime wraps one engine time (ticks, 46,186,158,000
// per second) and YrTimeSpan two of them. Modes are given in the public
// numbering of YrTimeMode.

#include <cstdint>
#include <string>

#include "core/time.h"
#include "core/time_span.h"

namespace YrSDK {

enum YrTimeMode {
  kYrTimeModeDefault = 0,
  kYrTimeMode24 = 1,
  kYrTimeModePAL = 2,  // 25
  kYrTimeMode30 = 3,
  kYrTimeModeNTSCDrop = 4,
  kYrTimeMode50 = 5,
  kYrTimeMode60 = 6,
  kYrTimeMode100 = 7,
  kYrTimeMode120 = 8,
  kYrTimeModeNTSCFull = 9,
  kYrTimeMode30Drop = 10,
  kYrTimeMode23976 = 11,
};

// The engine mode of a public mode number; anything outside 1..11 is 0, the
// current default mode.
int YrTimeModeToEngine(int public_mode);

class YrTime {
 public:
  constexpr YrTime() = default;
  constexpr explicit YrTime(int64_t ticks) : mTime(ticks) {}
  constexpr explicit YrTime(const VTime& time) : mTime(time) {}

  static constexpr YrTime Infinity() { return YrTime(kVTimeInfinite); }
  static constexpr YrTime MinusInfinity() { return YrTime(kVTimeMinusInfinite); }
  static constexpr YrTime Zero() { return YrTime(0); }

  constexpr int64_t Get() const { return mTime.GetTicks(); }
  constexpr void Set(int64_t ticks) { mTime.SetTicks(ticks); }
  constexpr const VTime& GetEngineTime() const { return mTime; }

  double GetSecondDouble() const { return mTime.GetSecondDouble(); }
  void SetSecondDouble(double seconds) { mTime.SetSecondDouble(seconds); }
  int64_t GetMilliSeconds() const { return mTime.GetMilliSeconds(); }
  void SetMilliSeconds(int64_t ms) { mTime.SetMilliSeconds(ms); }

  bool SetTime(int hours, int minutes, int seconds, int frame, int field = 0,
               YrTimeMode mode = kYrTimeModeDefault);
  bool SetTime(int hours, int minutes, int seconds, int frame, int field, int hundredths, YrTimeMode mode);
  bool GetTime(int64_t& hours, int64_t& minutes, int64_t& seconds, int64_t& frame, int64_t& field,
               int64_t& hundredths, YrTimeMode mode = kYrTimeModeDefault) const;

  int64_t GetFrame(bool cumulative = false, YrTimeMode mode = kYrTimeModeDefault) const;
  int64_t GetHours(bool cumulative = false, YrTimeMode mode = kYrTimeModeDefault) const;
  int64_t GetMinutes(bool cumulative = false, YrTimeMode mode = kYrTimeModeDefault) const;
  int64_t GetSeconds(bool cumulative = false, YrTimeMode mode = kYrTimeModeDefault) const;
  int64_t GetHundredths(YrTimeMode mode = kYrTimeModeDefault) const;
  YrTime GetFramedTime(bool nearest = false) const { return YrTime(mTime.GetFramedTime(nearest)); }

  // The text form in the current default mode and format, detail 5.
  std::string GetTimeString() const;
  // Parses a text in the current default mode and format; false (time
  // unchanged) when the text is not read.
  bool SetTimeString(const std::string& text);

  YrTime& operator+=(const YrTime& o) { mTime += o.mTime; return *this; }
  YrTime& operator-=(const YrTime& o) { mTime -= o.mTime; return *this; }
  friend YrTime operator+(const YrTime& a, const YrTime& b) { return YrTime(a.mTime + b.mTime); }
  friend YrTime operator-(const YrTime& a, const YrTime& b) { return YrTime(a.mTime - b.mTime); }
  friend YrTime operator*(const YrTime& a, const YrTime& b) { return YrTime(a.mTime * b.mTime); }
  friend YrTime operator/(const YrTime& a, const YrTime& b) { return YrTime(a.mTime / b.mTime); }
  friend YrTime operator*(const YrTime& a, double d) { return YrTime(a.mTime * d); }
  friend YrTime operator/(const YrTime& a, double d) { return YrTime(a.mTime / d); }
  friend bool operator==(const YrTime& a, const YrTime& b) { return a.mTime == b.mTime; }
  friend bool operator!=(const YrTime& a, const YrTime& b) { return a.mTime != b.mTime; }
  friend bool operator<(const YrTime& a, const YrTime& b) { return a.mTime < b.mTime; }
  friend bool operator<=(const YrTime& a, const YrTime& b) { return a.mTime <= b.mTime; }
  friend bool operator>(const YrTime& a, const YrTime& b) { return a.mTime > b.mTime; }
  friend bool operator>=(const YrTime& a, const YrTime& b) { return a.mTime >= b.mTime; }

 private:
  VTime mTime;
};

class YrTimeSpan {
 public:
  constexpr YrTimeSpan() = default;
  constexpr YrTimeSpan(const YrTime& start, const YrTime& stop)
      : mSpan(start.GetEngineTime(), stop.GetEngineTime()) {}

  void Set(const YrTime& start, const YrTime& stop) { mSpan.Set(start.GetEngineTime(), stop.GetEngineTime()); }
  YrTime GetStart() const { return YrTime(mSpan.GetStart()); }
  YrTime GetStop() const { return YrTime(mSpan.GetStop()); }
  void SetStart(const YrTime& start) { mSpan.SetStart(start.GetEngineTime()); }
  void SetStop(const YrTime& stop) { mSpan.SetStop(stop.GetEngineTime()); }

  YrTime GetDuration() const { return YrTime(mSpan.GetDuration()); }
  YrTime GetSignedDuration() const { return YrTime(mSpan.GetSignedDuration()); }
  int GetDirection() const { return mSpan.GetDirection(); }
  bool IsInside(const YrTime& t) const { return mSpan.IsInside(t.GetEngineTime()); }

  friend YrTimeSpan operator&(const YrTimeSpan& a, const YrTimeSpan& b) {
    VTimeSpan s = a.mSpan & b.mSpan;
    return YrTimeSpan(YrTime(s.GetStart()), YrTime(s.GetStop()));
  }
  friend bool operator==(const YrTimeSpan& a, const YrTimeSpan& b) { return a.mSpan == b.mSpan; }
  friend bool operator!=(const YrTimeSpan& a, const YrTimeSpan& b) { return a.mSpan != b.mSpan; }

 private:
  VTimeSpan mSpan;
};

static_assert(sizeof(YrTime) == sizeof(VTime), "YrTime holds one engine time and nothing else");
static_assert(sizeof(YrTimeSpan) == 2 * sizeof(VTime), "YrTimeSpan holds two engine times");

}  // namespace YrSDK
