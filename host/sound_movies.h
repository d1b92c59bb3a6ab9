// Sound files opened as movies: WAV, AIFF, FLAC and Ogg Vorbis (whatever the
// installed libsndfile reads). OpenMovieFile / NewMovieFromFile (declared in
// host/movies.h) make a movie with one enabled sound track: media type
// 'soun', media time scale the sample rate, one sample per frame, media
// duration the frame count, the file as its 'alis' data reference, and the
// whole media inserted at track time 0 (so the track lasts the sound's length
// in the movie's time scale, 600 per second, rounded up).
//
// The file is decoded once, when the movie is made, to interleaved 32-bit
// float frames, which the player reaches through HostGetTrackSound. The
// decoded data is shared, not copied, when a sound track's segments are
// inserted into another movie's track (AddEmptyTrackToMovie and
// InsertTrackSegment), so it outlives the sound file's own movie.
//
// Hostile files: anything libsndfile does not recognise answers
// noMovieFound; a file that claims more frames than it holds decodes what it
// holds; decoding stops with memFullErr beyond kMaxDecodedSamples samples,
// and files of more than kMaxSoundChannels channels are refused.
#pragma once

#include <memory>
#include <vector>

#include "host/mac_types.h"
#include "host/movies.h"

// Largest number of decoded samples (frames × channels) held for one file:
// 512 MiB of floats, more than an hour of 48 kHz stereo.
constexpr long kMaxDecodedSamples = 1L << 27;
constexpr int kMaxSoundChannels = 64;

// Sample description data format of a decoded sound: 32-bit float.
constexpr OSType kFloat32SoundFormat = FOUR_CHAR_CODE("fl32");

// Decoded audio: `samples` holds frames × channels interleaved floats.
struct SoundFrames {
  std::vector<float> samples;
  int channels = 0;
  int sampleRate = 0;
  long frameCount() const { return channels > 0 ? static_cast<long>(samples.size()) / channels : 0; }
};

// Host-only: the decoded audio that a sound track plays (its media time t is
// frame t), or null when the track is not live or has no decoded sound.
std::shared_ptr<const SoundFrames> HostGetTrackSound(Track track);
