#pragma once
// A window's sound: the movie's mixed sound played through an SDL audio
// device in step with the window's clock. The device's thread follows the
// clock: when its own position strays from the clock's (a seek, a pause, a
// late start) by more than a short tolerance, it jumps to the clock.

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <mutex>

#include "tools/zynplay/playback_clock.h"
#include "tools/zynplay/sound_mix.h"

namespace zynplay {

class WindowAudio {
 public:
  explicit WindowAudio(PlaybackClock* clock) : clock_(clock) {}
  ~WindowAudio();
  WindowAudio(const WindowAudio&) = delete;
  WindowAudio& operator=(const WindowAudio&) = delete;

  // Opens a device the first time there is sound to play; a machine without
  // one plays silently.
  void SetMix(std::shared_ptr<const SoundMix> mix);

 private:
  static void Fill(void* self, Uint8* stream, int length);

  PlaybackClock* clock_;
  SDL_AudioDeviceID device_ = 0;
  bool tried_ = false;
  std::mutex mutex_;  // guards mix_ and cursor_ against the device's thread
  std::shared_ptr<const SoundMix> mix_;
  std::int64_t cursor_ = 0;  // next output frame
};

}  // namespace zynplay
