#include "tools/zynplay/sound_mix.h"

#include <algorithm>
#include <cmath>

namespace zynplay {
namespace {

// A track volume of 0x100 plays at full level.
constexpr float kFullVolume = 256.0f;

}  // namespace

SoundMix SoundMix::FromMovie(Movie movie, int rate) {
  SoundMix mix;
  mix.rate_ = rate;
  const TimeScale movieScale = GetMovieTimeScale(movie);
  if (movieScale <= 0) return mix;
  for (long index = 1;; ++index) {
    Track track = GetMovieIndTrackType(movie, index, SoundMediaType, movieTrackMediaType | movieTrackEnabledOnly);
    if (track == nullptr) break;
    std::shared_ptr<const SoundFrames> sound = HostGetTrackSound(track);
    if (!sound || sound->sampleRate <= 0 || sound->channels <= 0 || sound->frameCount() == 0) continue;
    const float gain = static_cast<float>(GetTrackVolume(track)) / kFullVolume;
    const long segments = HostGetTrackSegmentCount(track);
    for (long s = 1; s <= segments; ++s) {
      TimeValue start = 0, duration = 0, mediaTime = 0;
      Fixed mediaRate = fixed1;
      if (HostGetTrackSegment(track, s, &start, &duration, &mediaTime, &mediaRate) != noErr) continue;
      if (mediaTime < 0 || duration <= 0 || mediaRate <= 0) continue;  // an empty segment
      PlacedSound placed;
      placed.sound = sound;
      placed.outStart = static_cast<std::int64_t>(start) * rate / movieScale;
      placed.outEnd = (static_cast<std::int64_t>(start) + duration) * rate / movieScale;
      placed.sourceStart = mediaTime;  // a sound media's time is its frame number
      placed.sourceStep = static_cast<double>(sound->sampleRate) * FixedToFloat(mediaRate) / rate;
      placed.gain = gain;
      mix.sounds_.push_back(placed);
    }
  }
  return mix;
}

std::int64_t SoundMix::end() const {
  std::int64_t last = 0;
  for (const PlacedSound& s : sounds_) last = std::max(last, s.outEnd);
  return last;
}

void SoundMix::Render(std::int64_t start, int frames, float* out) const {
  std::fill(out, out + static_cast<std::size_t>(frames) * kMixChannels, 0.0f);
  const std::int64_t stop = start + frames;
  for (const PlacedSound& s : sounds_) {
    const std::int64_t from = std::max(start, s.outStart);
    const std::int64_t to = std::min(stop, s.outEnd);
    if (from >= to) continue;
    const float* samples = s.sound->samples.data();
    const int channels = s.sound->channels;
    const long last = s.sound->frameCount() - 1;
    const int right = channels > 1 ? 1 : 0;  // mono plays on both sides
    for (std::int64_t f = from; f < to; ++f) {
      const double position = s.sourceStart + static_cast<double>(f - s.outStart) * s.sourceStep;
      if (position < 0) continue;
      const long i0 = static_cast<long>(position);
      if (i0 > last) break;
      const long i1 = i0 < last ? i0 + 1 : i0;
      const float t = static_cast<float>(position - static_cast<double>(i0));
      const float* a = samples + static_cast<std::size_t>(i0) * channels;
      const float* b = samples + static_cast<std::size_t>(i1) * channels;
      float* o = out + static_cast<std::size_t>(f - start) * kMixChannels;
      o[0] += s.gain * (a[0] + t * (b[0] - a[0]));
      o[1] += s.gain * (a[right] + t * (b[right] - a[right]));
    }
  }
  for (int i = 0; i < frames * kMixChannels; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

}  // namespace zynplay
