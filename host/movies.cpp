#include "host/movies.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_set>

#include "host/handles.h"
#include "host/movies_internal.h"

using host_movies::Segment;
using host_movies::SampleRun;

namespace {

constexpr std::int64_t kMaxTime = std::numeric_limits<TimeValue>::max();

thread_local OSErr t_moviesError = noErr;

struct LiveObjects {
  std::unordered_set<const void*> movies;
  std::unordered_set<const void*> tracks;
  std::unordered_set<const void*> media;
};

LiveObjects& live() {
  static auto* objects = new LiveObjects();  // never destroyed: usable at exit
  return *objects;
}

Movie liveMovie(Movie m) { return m != nullptr && live().movies.count(m) != 0 ? m : nullptr; }
Track liveTrack(Track t) { return t != nullptr && live().tracks.count(t) != 0 ? t : nullptr; }
Media liveMedia(Media m) { return m != nullptr && live().media.count(m) != 0 ? m : nullptr; }

// Media time → movie time, rounded up, for a media played at `rate`.
std::int64_t mediaToMovie(std::int64_t mediaUnits, TimeScale mediaScale, Fixed rate, TimeScale movieScale) {
  if (mediaUnits <= 0) return 0;
  const __int128 num = static_cast<__int128>(mediaUnits) * movieScale * fixed1;
  const __int128 den = static_cast<__int128>(mediaScale) * rate;
  const __int128 result = (num + den - 1) / den;
  return result > kMaxTime + 1 ? kMaxTime + 1 : static_cast<std::int64_t>(result);
}

// Movie time → media time, rounded down.
std::int64_t movieToMedia(std::int64_t movieUnits, TimeScale mediaScale, Fixed rate, TimeScale movieScale) {
  if (movieUnits <= 0) return 0;
  const __int128 num = static_cast<__int128>(movieUnits) * mediaScale * rate;
  const __int128 den = static_cast<__int128>(movieScale) * fixed1;
  const __int128 result = num / den;
  return result > kMaxTime ? kMaxTime : static_cast<std::int64_t>(result);
}

// Movie time in another movie's scale, rounded up.
std::int64_t rescale(std::int64_t value, TimeScale from, TimeScale to) {
  if (value <= 0 || from == to) return value;
  const __int128 result = (static_cast<__int128>(value) * to + from - 1) / from;
  return result > kMaxTime + 1 ? kMaxTime + 1 : static_cast<std::int64_t>(result);
}

std::int64_t trackLength(const TrackRecord* t) {
  std::int64_t total = 0;
  for (const Segment& s : t->edits) total += s.duration;
  return total;
}

void changed(TrackRecord* t) {
  if (t->movie != nullptr) t->movie->changeCount++;
}

// The media time `offset` movie units into segment `s` of a track of `t`.
TimeValue mediaTimeInto(const TrackRecord* t, const Segment& s, std::int64_t offset) {
  if (s.mediaTime < 0) return -1;
  const TimeScale mediaScale = t->media != nullptr ? t->media->timeScale : 1;
  const std::int64_t value = s.mediaTime + movieToMedia(offset, mediaScale, s.rate, t->movie->timeScale);
  return value > kMaxTime ? TimeValue(kMaxTime) : static_cast<TimeValue>(value);
}

// Inserts `pieces` at movie time `at` (-1: the end) of the track; a start past
// the end leaves an empty segment before them.
OSErr insertSegments(TrackRecord* t, std::int64_t at, const std::vector<Segment>& pieces) {
  const std::int64_t total = trackLength(t);
  std::int64_t added = 0;
  for (const Segment& s : pieces) added += s.duration;
  if (added == 0) return noErr;
  if (at < 0) at = total;
  const std::int64_t gap = at > total ? at - total : 0;
  if (total + gap + added > kMaxTime) return invalidDuration;

  std::vector<Segment> result;
  result.reserve(t->edits.size() + pieces.size() + 2);
  std::int64_t start = 0;
  bool inserted = false;
  for (const Segment& s : t->edits) {
    if (!inserted && at <= start) {
      result.insert(result.end(), pieces.begin(), pieces.end());
      inserted = true;
    }
    if (!inserted && at < start + s.duration) {
      // Split the segment that holds `at`.
      const std::int64_t first = at - start;
      Segment head = s;
      head.duration = first;
      Segment tail = s;
      tail.duration = s.duration - first;
      tail.mediaTime = mediaTimeInto(t, s, first);
      result.push_back(head);
      result.insert(result.end(), pieces.begin(), pieces.end());
      result.push_back(tail);
      inserted = true;
    } else {
      result.push_back(s);
    }
    start += s.duration;
  }
  if (!inserted) {
    if (gap > 0) result.push_back(Segment{gap, -1, fixed1});
    result.insert(result.end(), pieces.begin(), pieces.end());
  }
  t->edits.swap(result);
  changed(t);
  return noErr;
}

// A copy of a live handle's bytes, or null.
Handle copyHandle(Handle h) {
  const Size size = GetHandleSize(h);
  if (MemError() != noErr) return nullptr;
  Handle copy = nullptr;
  if (PtrToHand(*h, &copy, size) != noErr) return nullptr;
  return copy;
}

void destroyMedia(Media media) {
  live().media.erase(media);
  if (media->track != nullptr && media->track->media == media) media->track->media = nullptr;
  DisposeHandle(media->dataRef);
  for (Handle h : media->descriptions) DisposeHandle(h);
  delete media;
}

void destroyTrack(Track track) {
  if (track->media != nullptr) destroyMedia(track->media);
  live().tracks.erase(track);
  if (track->movie != nullptr) {
    auto& list = track->movie->tracks;
    for (auto it = list.begin(); it != list.end(); ++it) {
      if (*it == track) {
        list.erase(it);
        break;
      }
    }
    track->movie->changeCount++;
  }
  delete track;
}

bool hasCharacteristic(OSType mediaType, OSType characteristic) {
  return (mediaType == VideoMediaType && characteristic == VisualMediaCharacteristic) ||
         (mediaType == SoundMediaType && characteristic == AudioMediaCharacteristic);
}

// Copies `source` into the live handle `dest`, resizing it.
OSErr copyInto(Handle source, Handle dest) {
  const Size size = GetHandleSize(source);
  GetHandleSize(dest);
  if (MemError() != noErr) return paramErr;
  SetHandleSize(dest, size);
  if (MemError() != noErr) return MemError();
  if (size > 0) std::memcpy(*dest, *source, static_cast<std::size_t>(size));
  return noErr;
}

}  // namespace

// --- Shared with the sound file reader ------------------------------------------

namespace host_movies {

std::mutex& Lock() {
  static auto* lock = new std::mutex();
  return *lock;
}

OSErr SetError(OSErr err) {
  t_moviesError = err;
  return err;
}

bool IsLiveTrack(Track track) { return liveTrack(track) != nullptr; }

Movie CreateMovie(long flags) {
  Movie movie = new (std::nothrow) MovieRecord;
  if (movie == nullptr) return nullptr;
  movie->active = (flags & newMovieActive) != 0;
  live().movies.insert(movie);
  return movie;
}

Track CreateTrack(Movie movie, Fixed width, Fixed height, SInt16 volume) {
  Track track = new (std::nothrow) TrackRecord;
  if (track == nullptr) return nullptr;
  track->movie = movie;
  track->width = width;
  track->height = height;
  track->volume = volume;
  movie->tracks.push_back(track);
  movie->changeCount++;
  live().tracks.insert(track);
  return track;
}

Media CreateMedia(Track track, OSType type, TimeScale scale, Handle dataRef, OSType dataRefType) {
  Media media = new (std::nothrow) MediaRecord;
  if (media == nullptr) return nullptr;
  if (dataRef != nullptr) {
    media->dataRef = copyHandle(dataRef);
    if (media->dataRef == nullptr) {
      delete media;
      return nullptr;
    }
    media->dataRefType = dataRefType;
  }
  media->track = track;
  media->type = type;
  media->timeScale = scale;
  track->media = media;
  live().media.insert(media);
  return media;
}

void DestroyMovie(Movie movie) {
  while (!movie->tracks.empty()) destroyTrack(movie->tracks.back());
  live().movies.erase(movie);
  delete movie;
}

OSErr AddSamples(Media media, long dataOffset, unsigned long size, TimeValue durationPerSample, Handle description,
                 long numberOfSamples, SInt16 flags, TimeValue* sampleTime) {
  if (dataOffset < 0 || durationPerSample <= 0 || numberOfSamples <= 0) return paramErr;
  const Size handleSize = GetHandleSize(description);
  if (MemError() != noErr || handleSize < static_cast<Size>(sizeof(SampleDescription))) return paramErr;
  SInt32 descSize = 0;
  std::memcpy(&descSize, *description, sizeof(descSize));
  if (descSize < static_cast<SInt32>(sizeof(SampleDescription)) || descSize > handleSize) return paramErr;
  if (numberOfSamples > (kMaxTime - media->duration) / durationPerSample) return invalidDuration;

  long index = 0;
  for (std::size_t i = 0; i < media->descriptions.size(); ++i) {
    Handle held = media->descriptions[i];
    if (GetHandleSize(held) == descSize && std::memcmp(*held, *description, static_cast<std::size_t>(descSize)) == 0) {
      index = static_cast<long>(i) + 1;
      break;
    }
  }
  if (index == 0) {
    Handle copy = nullptr;
    if (PtrToHand(*description, &copy, descSize) != noErr) return memFullErr;
    media->descriptions.push_back(copy);
    index = static_cast<long>(media->descriptions.size());
  }
  SampleRun run;
  run.dataOffset = dataOffset;
  run.size = size;
  run.durationPerSample = durationPerSample;
  run.count = numberOfSamples;
  run.descriptionIndex = index;
  run.flags = flags;
  run.mediaStart = media->duration;
  media->samples.push_back(run);
  media->duration += static_cast<std::int64_t>(numberOfSamples) * durationPerSample;
  if (sampleTime != nullptr) *sampleTime = static_cast<TimeValue>(run.mediaStart);
  return noErr;
}

OSErr InsertMedia(Track track, TimeValue trackStart, TimeValue mediaTime, TimeValue mediaDuration, Fixed rate) {
  Media media = track->media;
  if (media == nullptr) return invalidMedia;
  if (trackStart < -1) return invalidTime;
  if (rate <= 0) return paramErr;
  if (mediaTime < 0 || mediaTime > media->duration) return invalidTime;
  if (mediaDuration < 0 || mediaDuration > media->duration - mediaTime) return invalidDuration;
  if (mediaDuration == 0) return noErr;
  const std::int64_t length = mediaToMovie(mediaDuration, media->timeScale, rate, track->movie->timeScale);
  if (length > kMaxTime) return invalidDuration;
  return insertSegments(track, trackStart, {Segment{length, mediaTime, rate}});
}

}  // namespace host_movies

using host_movies::Lock;
using host_movies::SetError;

OSErr GetMoviesError() { return t_moviesError; }

// --- Movies ------------------------------------------------------------------

Movie NewMovie(long flags) {
  std::lock_guard<std::mutex> lock(Lock());
  Movie movie = host_movies::CreateMovie(flags);
  SetError(movie != nullptr ? noErr : memFullErr);
  return movie;
}

void DisposeMovie(Movie movie) {
  std::lock_guard<std::mutex> lock(Lock());
  if (movie == nullptr) {
    SetError(noErr);
    return;
  }
  if (liveMovie(movie) == nullptr) {
    SetError(invalidMovie);
    return;
  }
  host_movies::DestroyMovie(movie);
  SetError(noErr);
}

TimeScale GetMovieTimeScale(Movie movie) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMovie(movie) == nullptr) return SetError(invalidMovie), 0;
  SetError(noErr);
  return movie->timeScale;
}

TimeValue GetMovieDuration(Movie movie) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMovie(movie) == nullptr) return SetError(invalidMovie), 0;
  std::int64_t longest = 0;
  for (const TrackRecord* t : movie->tracks) {
    const std::int64_t length = trackLength(t);
    if (length > longest) longest = length;
  }
  SetError(noErr);
  return static_cast<TimeValue>(longest);
}

long GetMovieTrackCount(Movie movie) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMovie(movie) == nullptr) return SetError(invalidMovie), 0;
  SetError(noErr);
  return static_cast<long>(movie->tracks.size());
}

Track GetMovieIndTrack(Movie movie, long index) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMovie(movie) == nullptr) return SetError(invalidMovie), nullptr;
  if (index < 1 || index > static_cast<long>(movie->tracks.size())) return SetError(paramErr), nullptr;
  SetError(noErr);
  return movie->tracks[static_cast<std::size_t>(index - 1)];
}

Track GetMovieIndTrackType(Movie movie, long index, OSType queryType, long flags) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMovie(movie) == nullptr) return SetError(invalidMovie), nullptr;
  const bool byType = (flags & movieTrackMediaType) != 0;
  const bool byCharacteristic = (flags & movieTrackCharacteristic) != 0;
  if (byType == byCharacteristic || index < 1) return SetError(paramErr), nullptr;
  long seen = 0;
  for (TrackRecord* t : movie->tracks) {
    if ((flags & movieTrackEnabledOnly) != 0 && !t->enabled) continue;
    if (t->media == nullptr) continue;
    const bool matches = byType ? t->media->type == queryType : hasCharacteristic(t->media->type, queryType);
    if (matches && ++seen == index) {
      SetError(noErr);
      return t;
    }
  }
  SetError(noErr);
  return nullptr;
}

void SetMovieActiveSegment(Movie movie, TimeValue startTime, TimeValue duration) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMovie(movie) == nullptr) {
    SetError(invalidMovie);
    return;
  }
  if (startTime < -1 || (startTime >= 0 && duration < 0)) {
    SetError(paramErr);
    return;
  }
  movie->activeStart = startTime;
  movie->activeDuration = startTime == -1 ? 0 : duration;
  movie->changeCount++;
  SetError(noErr);
}

void GetMovieActiveSegment(Movie movie, TimeValue* startTime, TimeValue* duration) {
  std::lock_guard<std::mutex> lock(Lock());
  if (startTime != nullptr) *startTime = -1;
  if (duration != nullptr) *duration = 0;
  if (liveMovie(movie) == nullptr) {
    SetError(invalidMovie);
    return;
  }
  if (startTime != nullptr) *startTime = movie->activeStart;
  if (duration != nullptr) *duration = movie->activeDuration;
  SetError(noErr);
}

void UpdateMovie(Movie movie) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMovie(movie) == nullptr) {
    SetError(invalidMovie);
    return;
  }
  movie->changeCount++;
  SetError(noErr);
}

long HostGetMovieChangeCount(Movie movie) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMovie(movie) == nullptr) return SetError(invalidMovie), 0;
  SetError(noErr);
  return movie->changeCount;
}

// --- Tracks ------------------------------------------------------------------

Track NewMovieTrack(Movie movie, Fixed width, Fixed height, SInt16 trackVolume) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMovie(movie) == nullptr) return SetError(invalidMovie), nullptr;
  Track track = host_movies::CreateTrack(movie, width, height, trackVolume);
  SetError(track != nullptr ? noErr : memFullErr);
  return track;
}

void DisposeMovieTrack(Track track) {
  std::lock_guard<std::mutex> lock(Lock());
  if (track == nullptr) {
    SetError(noErr);
    return;
  }
  if (liveTrack(track) == nullptr) {
    SetError(invalidTrack);
    return;
  }
  destroyTrack(track);
  SetError(noErr);
}

Movie GetTrackMovie(Track track) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) return SetError(invalidTrack), nullptr;
  SetError(noErr);
  return track->movie;
}

Media GetTrackMedia(Track track) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) return SetError(invalidTrack), nullptr;
  SetError(noErr);
  return track->media;
}

void SetTrackEnabled(Track track, Boolean isEnabled) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) {
    SetError(invalidTrack);
    return;
  }
  if (track->enabled != (isEnabled != 0)) {
    track->enabled = isEnabled != 0;
    changed(track);
  }
  SetError(noErr);
}

Boolean GetTrackEnabled(Track track) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) return SetError(invalidTrack), false;
  SetError(noErr);
  return track->enabled;
}

void GetTrackDimensions(Track track, Fixed* width, Fixed* height) {
  std::lock_guard<std::mutex> lock(Lock());
  if (width != nullptr) *width = 0;
  if (height != nullptr) *height = 0;
  if (liveTrack(track) == nullptr) {
    SetError(invalidTrack);
    return;
  }
  if (width != nullptr) *width = track->width;
  if (height != nullptr) *height = track->height;
  SetError(noErr);
}

void SetTrackDimensions(Track track, Fixed width, Fixed height) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) {
    SetError(invalidTrack);
    return;
  }
  track->width = width;
  track->height = height;
  changed(track);
  SetError(noErr);
}

void GetTrackMatrix(Track track, MatrixRecord* matrix) {
  std::lock_guard<std::mutex> lock(Lock());
  if (matrix == nullptr) {
    SetError(paramErr);
    return;
  }
  if (liveTrack(track) == nullptr) {
    SetError(invalidTrack);
    return;
  }
  *matrix = track->matrix;
  SetError(noErr);
}

void SetTrackMatrix(Track track, const MatrixRecord* matrix) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) {
    SetError(invalidTrack);
    return;
  }
  track->matrix = matrix != nullptr ? *matrix : MatrixRecord();  // null: identity
  changed(track);
  SetError(noErr);
}

SInt16 GetTrackVolume(Track track) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) return SetError(invalidTrack), 0;
  SetError(noErr);
  return track->volume;
}

TimeValue GetTrackDuration(Track track) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) return SetError(invalidTrack), 0;
  SetError(noErr);
  return static_cast<TimeValue>(trackLength(track));
}

TimeValue TrackTimeToMediaTime(TimeValue value, Track track) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) return SetError(invalidTrack), -1;
  SetError(noErr);
  if (value < 0) return -1;
  std::int64_t start = 0;
  for (const Segment& s : track->edits) {
    if (value < start + s.duration) return mediaTimeInto(track, s, value - start);
    start += s.duration;
  }
  return -1;
}

long HostGetTrackSegmentCount(Track track) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) return SetError(invalidTrack), 0;
  SetError(noErr);
  return static_cast<long>(track->edits.size());
}

OSErr HostGetTrackSegment(Track track, long index, TimeValue* trackStart, TimeValue* duration, TimeValue* mediaTime,
                          Fixed* mediaRate) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) return SetError(invalidTrack);
  if (index < 1 || index > static_cast<long>(track->edits.size())) return SetError(paramErr);
  std::int64_t start = 0;
  for (long i = 1; i < index; ++i) start += track->edits[static_cast<std::size_t>(i - 1)].duration;
  const Segment& s = track->edits[static_cast<std::size_t>(index - 1)];
  if (trackStart != nullptr) *trackStart = static_cast<TimeValue>(start);
  if (duration != nullptr) *duration = static_cast<TimeValue>(s.duration);
  if (mediaTime != nullptr) *mediaTime = s.mediaTime;
  if (mediaRate != nullptr) *mediaRate = s.rate;
  return SetError(noErr);
}

OSErr InsertMediaIntoTrack(Track track, TimeValue trackStart, TimeValue mediaTime, TimeValue mediaDuration,
                           Fixed mediaRate) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) return SetError(invalidTrack);
  return SetError(host_movies::InsertMedia(track, trackStart, mediaTime, mediaDuration, mediaRate));
}

OSErr InsertTrackSegment(Track srcTrack, Track dstTrack, TimeValue srcIn, TimeValue srcDuration, TimeValue dstIn) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(srcTrack) == nullptr || liveTrack(dstTrack) == nullptr) return SetError(invalidTrack);
  Media source = srcTrack->media;
  Media dest = dstTrack->media;
  if (source == nullptr || dest == nullptr) return SetError(invalidMedia);
  if (source->type != dest->type) return SetError(mediaTypesDontMatch);
  if (srcIn < 0 || dstIn < -1) return SetError(invalidTime);
  if (srcDuration < 0) return SetError(invalidDuration);

  // The part of the source's edits between srcIn and its end, cut at the
  // source track's end.
  const std::int64_t end = std::min<std::int64_t>(static_cast<std::int64_t>(srcIn) + srcDuration, trackLength(srcTrack));
  std::vector<Segment> pieces;
  std::int64_t start = 0;
  for (const Segment& s : srcTrack->edits) {
    const std::int64_t from = std::max<std::int64_t>(start, srcIn);
    const std::int64_t to = std::min<std::int64_t>(start + s.duration, end);
    if (from < to) {
      Segment piece = s;
      piece.duration = rescale(to - from, srcTrack->movie->timeScale, dstTrack->movie->timeScale);
      piece.mediaTime = mediaTimeInto(srcTrack, s, from - start);
      pieces.push_back(piece);
    }
    start += s.duration;
  }
  if (pieces.empty()) return SetError(noErr);

  if (dest != source) {
    // The destination plays the source's samples: it takes a copy of them
    // the first time, and must not hold different ones.
    const bool same = dest->sound == source->sound && dest->duration == source->duration &&
                      dest->samples.size() == source->samples.size();
    if (dest->timeScale != source->timeScale) return SetError(paramErr);
    if (!dest->samples.empty() && !same) return SetError(paramErr);
    if (dest->samples.empty()) {
      std::vector<Handle> copies;
      for (Handle h : source->descriptions) {
        Handle copy = copyHandle(h);
        if (copy == nullptr) {
          for (Handle c : copies) DisposeHandle(c);
          return SetError(memFullErr);
        }
        copies.push_back(copy);
      }
      for (Handle h : dest->descriptions) DisposeHandle(h);
      dest->descriptions.swap(copies);
      dest->samples = source->samples;
      dest->duration = source->duration;
      dest->sound = source->sound;
    }
  }
  return SetError(insertSegments(dstTrack, dstIn, pieces));
}

OSErr AddEmptyTrackToMovie(Track srcTrack, Movie dstMovie, Handle dataRef, OSType dataRefType, Track* dstTrack) {
  std::lock_guard<std::mutex> lock(Lock());
  if (dstTrack == nullptr) return SetError(paramErr);
  *dstTrack = nullptr;
  if (liveTrack(srcTrack) == nullptr) return SetError(invalidTrack);
  if (liveMovie(dstMovie) == nullptr) return SetError(invalidMovie);
  Media source = srcTrack->media;
  if (source == nullptr) return SetError(invalidMedia);
  if (dataRef != nullptr && (GetHandleSize(dataRef), MemError() != noErr)) return SetError(paramErr);
  if (dataRef == nullptr) {
    dataRef = source->dataRef;
    dataRefType = source->dataRefType;
  }
  Track track = host_movies::CreateTrack(dstMovie, srcTrack->width, srcTrack->height, srcTrack->volume);
  if (track == nullptr) return SetError(memFullErr);
  track->matrix = srcTrack->matrix;
  track->enabled = srcTrack->enabled;
  Media media = host_movies::CreateMedia(track, source->type, source->timeScale, dataRef, dataRefType);
  bool ok = media != nullptr;
  for (std::size_t i = 0; ok && i < source->descriptions.size(); ++i) {
    Handle copy = copyHandle(source->descriptions[i]);
    ok = copy != nullptr;
    if (ok) media->descriptions.push_back(copy);
  }
  if (!ok) {
    destroyTrack(track);
    return SetError(memFullErr);
  }
  *dstTrack = track;
  return SetError(noErr);
}

// --- Media -------------------------------------------------------------------

Media NewTrackMedia(Track track, OSType mediaType, TimeScale timeScale, Handle dataRef, OSType dataRefType) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveTrack(track) == nullptr) return SetError(invalidTrack), nullptr;
  if (track->media != nullptr || timeScale <= 0) return SetError(paramErr), nullptr;
  if (dataRef != nullptr && (GetHandleSize(dataRef), MemError() != noErr)) return SetError(paramErr), nullptr;
  Media media = host_movies::CreateMedia(track, mediaType, timeScale, dataRef, dataRefType);
  SetError(media != nullptr ? noErr : memFullErr);
  return media;
}

void DisposeTrackMedia(Media media) {
  std::lock_guard<std::mutex> lock(Lock());
  if (media == nullptr) {
    SetError(noErr);
    return;
  }
  if (liveMedia(media) == nullptr) {
    SetError(invalidMedia);
    return;
  }
  if (media->track != nullptr) changed(media->track);
  destroyMedia(media);
  SetError(noErr);
}

Track GetMediaTrack(Media media) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMedia(media) == nullptr) return SetError(invalidMedia), nullptr;
  SetError(noErr);
  return media->track;
}

TimeScale GetMediaTimeScale(Media media) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMedia(media) == nullptr) return SetError(invalidMedia), 0;
  SetError(noErr);
  return media->timeScale;
}

TimeValue GetMediaDuration(Media media) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMedia(media) == nullptr) return SetError(invalidMedia), 0;
  SetError(noErr);
  return static_cast<TimeValue>(media->duration);
}

void GetMediaHandlerDescription(Media media, OSType* mediaType, Str255 creatorName, OSType* creatorManufacturer) {
  std::lock_guard<std::mutex> lock(Lock());
  if (mediaType != nullptr) *mediaType = 0;
  if (creatorName != nullptr) creatorName[0] = 0;
  if (creatorManufacturer != nullptr) *creatorManufacturer = 0;
  if (liveMedia(media) == nullptr) {
    SetError(invalidMedia);
    return;
  }
  if (mediaType != nullptr) *mediaType = media->type;
  SetError(noErr);
}

OSErr GetMediaDataRef(Media media, SInt16 index, Handle* dataRef, OSType* dataRefType, long* dataRefAttributes) {
  std::lock_guard<std::mutex> lock(Lock());
  if (dataRef != nullptr) *dataRef = nullptr;
  if (dataRefType != nullptr) *dataRefType = 0;
  if (dataRefAttributes != nullptr) *dataRefAttributes = 0;
  if (liveMedia(media) == nullptr) return SetError(invalidMedia);
  if ((index != 0 && index != 1) || media->dataRef == nullptr) return SetError(badDataRefIndex);
  if (dataRef != nullptr) {
    *dataRef = copyHandle(media->dataRef);
    if (*dataRef == nullptr) return SetError(memFullErr);
  }
  if (dataRefType != nullptr) *dataRefType = media->dataRefType;
  return SetError(noErr);
}

OSErr AddMediaSampleReference(Media media, long dataOffset, unsigned long size, TimeValue durationPerSample,
                              SampleDescriptionHandle sampleDescriptionH, long numberOfSamples, SInt16 sampleFlags,
                              TimeValue* sampleTime) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMedia(media) == nullptr) return SetError(invalidMedia);
  return SetError(host_movies::AddSamples(media, dataOffset, size, durationPerSample,
                                          reinterpret_cast<Handle>(sampleDescriptionH), numberOfSamples, sampleFlags,
                                          sampleTime));
}

OSErr GetMediaSampleReference(Media media, long* dataOffset, long* size, TimeValue time, TimeValue* sampleTime,
                              TimeValue* durationPerSample, SampleDescriptionHandle sampleDescriptionH,
                              long* sampleDescriptionIndex, long maxNumberOfSamples, long* numberOfSamples,
                              SInt16* sampleFlags) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMedia(media) == nullptr) return SetError(invalidMedia);
  const SampleRun* run = nullptr;
  for (const SampleRun& r : media->samples) {
    if (time >= r.mediaStart && time < r.mediaStart + static_cast<std::int64_t>(r.count) * r.durationPerSample) {
      run = &r;
      break;
    }
  }
  if (run == nullptr) return SetError(invalidTime);
  const long k = static_cast<long>((time - run->mediaStart) / run->durationPerSample);
  if (sampleDescriptionH != nullptr) {
    const OSErr err = copyInto(media->descriptions[static_cast<std::size_t>(run->descriptionIndex - 1)],
                               reinterpret_cast<Handle>(sampleDescriptionH));
    if (err != noErr) return SetError(err);
  }
  if (dataOffset != nullptr) {
    const unsigned __int128 offset = static_cast<unsigned __int128>(run->dataOffset) +
                                     static_cast<unsigned __int128>(k) * run->size;
    *dataOffset = offset > static_cast<unsigned __int128>(std::numeric_limits<long>::max())
                      ? std::numeric_limits<long>::max()
                      : static_cast<long>(offset);
  }
  if (size != nullptr) *size = static_cast<long>(run->size);
  if (sampleTime != nullptr) {
    *sampleTime = static_cast<TimeValue>(run->mediaStart + static_cast<std::int64_t>(k) * run->durationPerSample);
  }
  if (durationPerSample != nullptr) *durationPerSample = run->durationPerSample;
  if (sampleDescriptionIndex != nullptr) *sampleDescriptionIndex = run->descriptionIndex;
  if (numberOfSamples != nullptr) {
    const long left = run->count - k;
    *numberOfSamples = maxNumberOfSamples < 1 ? 1 : (maxNumberOfSamples < left ? maxNumberOfSamples : left);
  }
  if (sampleFlags != nullptr) *sampleFlags = run->flags;
  return SetError(noErr);
}

long GetMediaSampleDescriptionCount(Media media) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMedia(media) == nullptr) return SetError(invalidMedia), 0;
  SetError(noErr);
  return static_cast<long>(media->descriptions.size());
}

void GetMediaSampleDescription(Media media, long index, SampleDescriptionHandle descH) {
  std::lock_guard<std::mutex> lock(Lock());
  if (liveMedia(media) == nullptr) {
    SetError(invalidMedia);
    return;
  }
  if (index < 1 || index > static_cast<long>(media->descriptions.size()) || descH == nullptr) {
    SetError(paramErr);
    return;
  }
  SetError(copyInto(media->descriptions[static_cast<std::size_t>(index - 1)], reinterpret_cast<Handle>(descH)));
}
