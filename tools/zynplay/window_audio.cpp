#include "tools/zynplay/window_audio.h"

#include <cmath>
#include <cstring>

namespace zynplay {
namespace {

// Device buffer in frames: about 21 ms at 48 kHz.
constexpr Uint16 kDeviceFrames = 1024;
// How far the sound may stray from the clock before it jumps: 60 ms.
constexpr double kDriftSeconds = 0.06;

}  // namespace

WindowAudio::~WindowAudio() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for the callback to return
}

void WindowAudio::SetMix(std::shared_ptr<const SoundMix> mix) {
  if (!tried_ && mix && !mix->empty()) {
    tried_ = true;
    if (SDL_WasInit(SDL_INIT_AUDIO) != 0) {
      SDL_AudioSpec want{}, have{};
      want.freq = mix->rate();
      want.format = AUDIO_F32SYS;
      want.channels = kMixChannels;
      want.samples = kDeviceFrames;
      want.callback = &WindowAudio::Fill;
      want.userdata = this;
      device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
      if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  mix_ = std::move(mix);
}

void WindowAudio::Fill(void* self, Uint8* stream, int length) {
  auto* audio = static_cast<WindowAudio*>(self);
  auto* out = reinterpret_cast<float*>(stream);
  const int frames = length / static_cast<int>(sizeof(float) * kMixChannels);
  bool playing = false;
  const double seconds = audio->clock_->Seconds(std::chrono::steady_clock::now(), &playing);
  std::lock_guard<std::mutex> lock(audio->mutex_);
  if (!playing || !audio->mix_) {
    std::memset(stream, 0, static_cast<std::size_t>(length));
    return;
  }
  const int rate = audio->mix_->rate();
  const auto expected = static_cast<std::int64_t>(std::llround(seconds * rate));
  if (std::llabs(expected - audio->cursor_) > static_cast<long long>(kDriftSeconds * rate)) audio->cursor_ = expected;
  audio->mix_->Render(audio->cursor_, frames, out);
  audio->cursor_ += frames;
}

}  // namespace zynplay
