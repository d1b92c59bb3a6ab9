#pragma once
// Public time values: YrTime holds one time in ticks (46,186,158,000 per
// second) and YrTimeSpan two of them. Modes are given in the public
// numbering of YrTimeMode. Arithmetic, texts and spans follow the engine's
// time rules (saturating at the infinities), applied out of line so that
// this header needs no engine header.

#include <cstdint>
#include <string>

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
  // The ticks of the two infinite times (the engine's own values).
  static constexpr int64_t kInfiniteTicks = INT64_MAX;
  static constexpr int64_t kMinusInfiniteTicks = -INT64_MAX;

  constexpr YrTime() = default;
  constexpr explicit YrTime(int64_t ticks) : mTicks(ticks) {}

  static constexpr YrTime Infinity() { return YrTime(kInfiniteTicks); }
  static constexpr YrTime MinusInfinity() { return YrTime(kMinusInfiniteTicks); }
  static constexpr YrTime Zero() { return YrTime(0); }

  constexpr int64_t Get() const { return mTicks; }
  constexpr void Set(int64_t ticks) { mTicks = ticks; }

  double GetSecondDouble() const;
  void SetSecondDouble(double seconds);
  int64_t GetMilliSeconds() const;
  void SetMilliSeconds(int64_t ms);

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
  YrTime GetFramedTime(bool nearest = false) const;

  // The text form in the current default mode and format, detail 5.
  std::string GetTimeString() const;
  // Parses a text in the current default mode and format; false (time
  // unchanged) when the text is not read.
  bool SetTimeString(const std::string& text);

  YrTime& operator+=(const YrTime& o);
  YrTime& operator-=(const YrTime& o);
  friend YrTime operator+(YrTime a, const YrTime& b) { return a += b; }
  friend YrTime operator-(YrTime a, const YrTime& b) { return a -= b; }
  friend YrTime operator*(const YrTime& a, const YrTime& b);
  friend YrTime operator/(const YrTime& a, const YrTime& b);
  friend YrTime operator*(const YrTime& a, double d);
  friend YrTime operator/(const YrTime& a, double d);
  friend constexpr bool operator==(const YrTime& a, const YrTime& b) { return a.mTicks == b.mTicks; }
  friend constexpr bool operator!=(const YrTime& a, const YrTime& b) { return a.mTicks != b.mTicks; }
  friend constexpr bool operator<(const YrTime& a, const YrTime& b) { return a.mTicks < b.mTicks; }
  friend constexpr bool operator<=(const YrTime& a, const YrTime& b) { return a.mTicks <= b.mTicks; }
  friend constexpr bool operator>(const YrTime& a, const YrTime& b) { return a.mTicks > b.mTicks; }
  friend constexpr bool operator>=(const YrTime& a, const YrTime& b) { return a.mTicks >= b.mTicks; }

 private:
  int64_t mTicks = 0;
};

class YrTimeSpan {
 public:
  constexpr YrTimeSpan() = default;
  constexpr YrTimeSpan(const YrTime& start, const YrTime& stop) : mStart(start), mStop(stop) {}

  constexpr void Set(const YrTime& start, const YrTime& stop) {
    mStart = start;
    mStop = stop;
  }
  constexpr YrTime GetStart() const { return mStart; }
  constexpr YrTime GetStop() const { return mStop; }
  constexpr void SetStart(const YrTime& start) { mStart = start; }
  constexpr void SetStop(const YrTime& stop) { mStop = stop; }

  YrTime GetDuration() const;
  YrTime GetSignedDuration() const;
  constexpr int GetDirection() const { return mStop >= mStart ? 1 : -1; }
  bool IsInside(const YrTime& t) const;

  friend YrTimeSpan operator&(const YrTimeSpan& a, const YrTimeSpan& b);
  friend constexpr bool operator==(const YrTimeSpan& a, const YrTimeSpan& b) {
    return a.mStart == b.mStart && a.mStop == b.mStop;
  }
  friend constexpr bool operator!=(const YrTimeSpan& a, const YrTimeSpan& b) { return !(a == b); }

 private:
  YrTime mStart, mStop;
};

}  // namespace YrSDK
