#pragma once
// The movie clock of a window: media time advancing in real time while
// playing, held while paused, moved by scrubbing. The sound thread reads it
// too, so every member is read and written under the clock's lock.

#include <chrono>
#include <mutex>

namespace zynplay {

class PlaybackClock {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  // Media units per second.
  static constexpr long kScale = 60;

  explicit PlaybackClock(long duration) : duration_(duration < 1 ? 1 : duration) {}

  void Play(TimePoint now);
  void Pause(TimePoint now);
  bool playing() const;
  // Moves to `mediaTime` (clamped into the movie), keeping play or pause.
  void Seek(long mediaTime, TimePoint now);
  // The media time at `now`: whole media units, at most duration - 1. A
  // playing clock that reaches the end pauses there.
  long MediaTime(TimePoint now);
  // Seconds from the movie's start at `now` (without pausing at the end),
  // and whether the clock plays: what the sound follows.
  double Seconds(TimePoint now, bool* playing) const;
  long duration() const { return duration_; }

 private:
  double SecondsLocked(TimePoint now) const;

  mutable std::mutex mutex_;
  const long duration_;
  bool playing_ = false;
  double baseSeconds_ = 0;  // position at anchor_
  TimePoint anchor_{};
};

}  // namespace zynplay
