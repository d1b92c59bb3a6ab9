#include "tools/zynplay/playback_clock.h"

#include <algorithm>
#include <cmath>

namespace zynplay {

double PlaybackClock::SecondsLocked(TimePoint now) const {
  if (!playing_) return baseSeconds_;
  return baseSeconds_ + std::chrono::duration<double>(now - anchor_).count();
}

void PlaybackClock::Play(TimePoint now) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (playing_) return;
  // Play at the end starts again from the beginning, as players do.
  if (baseSeconds_ * kScale >= static_cast<double>(duration_ - 1)) baseSeconds_ = 0;
  anchor_ = now;
  playing_ = true;
}

void PlaybackClock::Pause(TimePoint now) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!playing_) return;
  baseSeconds_ = SecondsLocked(now);
  playing_ = false;
}

bool PlaybackClock::playing() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return playing_;
}

void PlaybackClock::Seek(long mediaTime, TimePoint now) {
  std::lock_guard<std::mutex> lock(mutex_);
  baseSeconds_ = static_cast<double>(std::clamp(mediaTime, 0L, duration_ - 1)) / kScale;
  anchor_ = now;
}

long PlaybackClock::MediaTime(TimePoint now) {
  std::lock_guard<std::mutex> lock(mutex_);
  const double units = std::floor(SecondsLocked(now) * kScale);
  if (units >= static_cast<double>(duration_ - 1)) {
    if (playing_) {
      playing_ = false;
      baseSeconds_ = static_cast<double>(duration_ - 1) / kScale;
    }
    return duration_ - 1;
  }
  return units < 0 ? 0 : static_cast<long>(units);
}

double PlaybackClock::Seconds(TimePoint now, bool* playing) const {
  std::lock_guard<std::mutex> lock(mutex_);
  *playing = playing_;
  return SecondsLocked(now);
}

}  // namespace zynplay
