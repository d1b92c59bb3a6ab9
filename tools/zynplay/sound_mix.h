#pragma once
// The movie's sound as one stream: every enabled sound track's segments
// placed at their track times, resampled to one output rate, mixed to
// stereo and scaled by the track's volume. Mixing is done on demand for a
// window of output frames, so no buffer of the whole sound is ever held.

#include <cstdint>
#include <memory>
#include <vector>

#include "host/movies.h"
#include "host/sound_movies.h"

namespace zynplay {

constexpr int kMixRate = 48000;
constexpr int kMixChannels = 2;

// One segment of a sound track, in output frames.
struct PlacedSound {
  std::shared_ptr<const SoundFrames> sound;
  std::int64_t outStart = 0;  // first output frame
  std::int64_t outEnd = 0;    // one past the last
  double sourceStart = 0;     // source frame at outStart
  double sourceStep = 1;      // source frames per output frame
  float gain = 1;
};

class SoundMix {
 public:
  // The sound tracks of `movie` as they stand now.
  static SoundMix FromMovie(Movie movie, int rate = kMixRate);

  bool empty() const { return sounds_.empty(); }
  int rate() const { return rate_; }
  // One past the last output frame that holds sound.
  std::int64_t end() const;
  // Writes `frames` stereo frames (interleaved) from output frame `start`:
  // silence where nothing plays, samples clamped to [-1, 1].
  void Render(std::int64_t start, int frames, float* out) const;

  void Add(const PlacedSound& sound) { sounds_.push_back(sound); }

 private:
  std::vector<PlacedSound> sounds_;
  int rate_ = kMixRate;
};

}  // namespace zynplay
