// The records behind Movie, Track and Media, shared by the movie routines and
// the sound file reader. Not part of the layer's interface.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "host/movies.h"
#include "host/sound_movies.h"

namespace host_movies {

struct Segment {
  std::int64_t duration = 0;  // movie time units
  TimeValue mediaTime = -1;   // -1: empty segment
  Fixed rate = fixed1;
};

struct SampleRun {
  long dataOffset = 0;
  unsigned long size = 0;  // bytes per sample
  TimeValue durationPerSample = 1;
  long count = 1;
  long descriptionIndex = 1;  // from 1
  SInt16 flags = 0;
  std::int64_t mediaStart = 0;  // media time of the first sample
};


}  // namespace host_movies

struct MediaRecord {
  TrackRecord* track = nullptr;
  OSType type = 0;
  TimeScale timeScale = 1;
  Handle dataRef = nullptr;  // owned copy, or null
  OSType dataRefType = 0;
  std::vector<Handle> descriptions;  // owned copies
  std::vector<host_movies::SampleRun> samples;
  std::int64_t duration = 0;
  std::shared_ptr<const SoundFrames> sound;  // decoded audio of a sound media
};

struct TrackRecord {
  MovieRecord* movie = nullptr;
  MediaRecord* media = nullptr;  // owned
  Fixed width = 0;
  Fixed height = 0;
  SInt16 volume = 0;
  bool enabled = true;
  MatrixRecord matrix;
  std::vector<host_movies::Segment> edits;
};

struct MovieRecord {
  TimeScale timeScale = kDefaultMovieTimeScale;
  std::vector<TrackRecord*> tracks;  // owned
  TimeValue activeStart = -1;
  TimeValue activeDuration = 0;
  bool active = false;
  long changeCount = 0;
};

namespace host_movies {

// The lock that guards every movie, track and media.
std::mutex& Lock();
// Records `err` for GetMoviesError and answers it.
OSErr SetError(OSErr err);

// The caller holds Lock() for all of the following.
// Whether `track` is a live track.
bool IsLiveTrack(Track track);
// Creation registers the objects as live and answers null on allocation
// failure.
Movie CreateMovie(long flags);
Track CreateTrack(Movie movie, Fixed width, Fixed height, SInt16 volume);
Media CreateMedia(Track track, OSType type, TimeScale scale, Handle dataRef, OSType dataRefType);
void DestroyMovie(Movie movie);
// Appends samples (as AddMediaSampleReference) and inserts
// media into the track (as InsertMediaIntoTrack).
OSErr AddSamples(Media media, long dataOffset, unsigned long size, TimeValue durationPerSample, Handle description,
                 long numberOfSamples, SInt16 flags, TimeValue* sampleTime);
OSErr InsertMedia(Track track, TimeValue trackStart, TimeValue mediaTime, TimeValue mediaDuration, Fixed rate);

}  // namespace host_movies
