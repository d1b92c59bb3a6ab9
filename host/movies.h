// Movies, tracks and media: the movie-framework calls that the importer, the
// media handler and the player make.
//
// A movie has a time scale (600 units per second for a new movie), tracks,
// and an active segment. A track has dimensions, a matrix, an enabled flag,
// at most one media, and an edit list: segments in track order, each a
// duration in the movie's time scale and either a media time (a part of the
// media played at a rate) or nothing (an empty segment). A track's duration
// is the sum of its segments. A media has a type, a time scale, at most one
// data reference, sample descriptions (handles, copied in) and a table of
// sample references (runs of samples at a data offset); its duration is the
// sum of its samples' durations.
//
// Media durations are turned into movie time by rounding up, so that a
// segment always covers all of the media it plays: 182 units at 60 per
// second are 1820 units at 600 per second, one frame at 44100 per second is
// 1 unit at 600.
//
// Objects are reached through opaque pointers. Every routine checks that the
// pointer is a live object (a disposed or forged one is refused with
// invalidMovie, invalidTrack or invalidMedia) and records its result for
// GetMoviesError on the calling thread. Routines that answer a value answer
// 0 (or null) on error. All state is guarded by one lock; any thread may call.
#pragma once

#include <memory>

#include "host/data_references.h"
#include "host/mac_types.h"

struct MovieRecord;
struct TrackRecord;
struct MediaRecord;
using Movie = MovieRecord*;
using Track = TrackRecord*;
using Media = MediaRecord*;

// The fields that start every sample description, in the processor's byte
// order. A description handle holds descSize bytes, this header first.
struct SampleDescription {
  SInt32 descSize;
  OSType dataFormat;
  SInt32 resvd1;
  SInt16 resvd2;
  SInt16 dataRefIndex;
};
using SampleDescriptionPtr = SampleDescription*;
using SampleDescriptionHandle = SampleDescription**;

// Movie time scale of a new movie.
constexpr TimeScale kDefaultMovieTimeScale = 600;

// Media types and characteristics.
constexpr OSType VideoMediaType = FOUR_CHAR_CODE("vide");
constexpr OSType SoundMediaType = FOUR_CHAR_CODE("soun");
constexpr OSType VisualMediaCharacteristic = FOUR_CHAR_CODE("eyes");
constexpr OSType AudioMediaCharacteristic = FOUR_CHAR_CODE("ears");

// GetMovieIndTrackType flags.
enum : long {
  movieTrackMediaType = 1L << 0,
  movieTrackCharacteristic = 1L << 1,
  movieTrackEnabledOnly = 1L << 2,
};

// NewMovie and NewMovieFromFile flags.
enum : long {
  newMovieActive = 1L << 0,
};

// OpenMovieFile permissions.
enum : SInt8 {
  fsCurPerm = 0,
  fsRdPerm = 1,
};

// The calling thread's result of its last movie, track or media routine.
OSErr GetMoviesError();

// --- Movies ------------------------------------------------------------------

// A new empty movie (time scale 600, active segment the whole movie).
Movie NewMovie(long flags);
// Disposes the movie with its tracks and their media. Null is ignored.
void DisposeMovie(Movie movie);
TimeScale GetMovieTimeScale(Movie movie);
// The end of the movie's longest track, in the movie's time scale.
TimeValue GetMovieDuration(Movie movie);
long GetMovieTrackCount(Movie movie);
// The movie's track number `index` (from 1); null (paramErr) for an index
// outside 1 to the count.
Track GetMovieIndTrack(Movie movie, long index);
// The `index`-th track (from 1) among those whose media has the type
// (movieTrackMediaType) or the characteristic (movieTrackCharacteristic)
// `queryType`, counting only enabled tracks with movieTrackEnabledOnly.
// Video media have the visual characteristic and sound media the audible
// one; other media types have neither. Null when there is no such track.
Track GetMovieIndTrackType(Movie movie, long index, OSType queryType, long flags);
// The active segment: start -1 means the whole movie (duration ignored).
// paramErr for a start below -1 or a negative duration; the segment is then
// unchanged.
void SetMovieActiveSegment(Movie movie, TimeValue startTime, TimeValue duration);
void GetMovieActiveSegment(Movie movie, TimeValue* startTime, TimeValue* duration);
// Tells the framework that the movie changed; the movie's change count grows.
void UpdateMovie(Movie movie);
// Host-only: a count that grows with every change of the movie's tracks,
// their edits and enabling, and its active segment, and with UpdateMovie.
long HostGetMovieChangeCount(Movie movie);

// --- Tracks ------------------------------------------------------------------

// A new track without media or edits, enabled, with an identity matrix.
Track NewMovieTrack(Movie movie, Fixed width, Fixed height, SInt16 trackVolume);
// Disposes the track and its media. Null is ignored.
void DisposeMovieTrack(Track track);
Movie GetTrackMovie(Track track);
Media GetTrackMedia(Track track);
void SetTrackEnabled(Track track, Boolean isEnabled);
Boolean GetTrackEnabled(Track track);
void GetTrackDimensions(Track track, Fixed* width, Fixed* height);
void SetTrackDimensions(Track track, Fixed width, Fixed height);
void GetTrackMatrix(Track track, MatrixRecord* matrix);
void SetTrackMatrix(Track track, const MatrixRecord* matrix);
SInt16 GetTrackVolume(Track track);
// The sum of the track's segments, in the movie's time scale.
TimeValue GetTrackDuration(Track track);
// The media time played at track time `value`, or -1 when an empty segment
// plays there or `value` lies outside the track.
TimeValue TrackTimeToMediaTime(TimeValue value, Track track);
// Host-only: the track's segment number `index` (from 1): its start and
// duration in movie time, its media time (-1 for an empty segment) and rate.
// paramErr for an index outside 1 to the count.
long HostGetTrackSegmentCount(Track track);
OSErr HostGetTrackSegment(Track track, long index, TimeValue* trackStart, TimeValue* duration,
                          TimeValue* mediaTime, Fixed* mediaRate);

// Inserts the media's part [mediaTime, mediaTime + mediaDuration) at track
// time `trackStart` (-1: at the track's end), played at `mediaRate` (above 0).
// Segments from trackStart on move later; a start past the track's end
// leaves an empty segment before the new one. invalidMedia without media,
// invalidTime or invalidDuration for a part outside the media or a start
// below -1, paramErr for a rate of 0 or less, invalidDuration when the track
// would last longer than a TimeValue holds. A duration of 0 inserts nothing.
OSErr InsertMediaIntoTrack(Track track, TimeValue trackStart, TimeValue mediaTime, TimeValue mediaDuration,
                           Fixed mediaRate);
// Copies the segments of `srcTrack` between srcIn and srcIn + srcDuration
// (its movie's time scale; the part past the source track's end is left out)
// into `dstTrack` at dstIn (its movie's time scale), as InsertMediaIntoTrack
// places them. Both tracks need media of the same type (mediaTypesDontMatch).
// When the destination has its own media, that media takes a copy of the
// source media's samples and sound data the first time, so that it plays
// the same; it must not hold other samples already (paramErr).
OSErr InsertTrackSegment(Track srcTrack, Track dstTrack, TimeValue srcIn, TimeValue srcDuration, TimeValue dstIn);
// A new track in `dstMovie` like `srcTrack` (dimensions, matrix, volume,
// enabling) with a new media of the same type and time scale on the given
// data reference, holding copies of the source's sample descriptions but
// no samples and no edits. paramErr without dstTrack; *dstTrack is null on
// error.
OSErr AddEmptyTrackToMovie(Track srcTrack, Movie dstMovie, Handle dataRef, OSType dataRefType, Track* dstTrack);

// --- Media -------------------------------------------------------------------

// A new media of `mediaType` for the track, `timeScale` units per second
// (above 0), on the data reference (copied; null: none). paramErr for a
// track that already has media or a bad time scale, memFullErr.
Media NewTrackMedia(Track track, OSType mediaType, TimeScale timeScale, Handle dataRef, OSType dataRefType);
// Disposes the media; its track keeps its segments but plays nothing.
void DisposeTrackMedia(Media media);
Track GetMediaTrack(Media media);
TimeScale GetMediaTimeScale(Media media);
TimeValue GetMediaDuration(Media media);
// The media type in *mediaType; the creator name is empty and the
// manufacturer 0. Each out pointer may be null.
void GetMediaHandlerDescription(Media media, OSType* mediaType, Str255 creatorName, OSType* creatorManufacturer);
// The media's data reference number `index` (0 or 1: a media has one):
// a new handle (the caller disposes it), its type and attributes (0).
// badDataRefIndex for any other index or a media without a reference.
OSErr GetMediaDataRef(Media media, SInt16 index, Handle* dataRef, OSType* dataRefType, long* dataRefAttributes);

// Appends `numberOfSamples` samples of `durationPerSample` each (above 0),
// `size` bytes each, starting at `dataOffset` in the media's data, described
// by `sampleDescriptionH` (a live handle holding at least descSize bytes,
// descSize at least the header's; an equal description already held is
// shared). *sampleTime (when given) receives the media time of the first.
// paramErr for bad arguments, invalidDuration when the media would last
// longer than a TimeValue holds.
OSErr AddMediaSampleReference(Media media, long dataOffset, unsigned long size, TimeValue durationPerSample,
                              SampleDescriptionHandle sampleDescriptionH, long numberOfSamples, SInt16 sampleFlags,
                              TimeValue* sampleTime);
// The sample that plays at media time `time`: its data offset and size,
// the media time where it starts, its duration, its description (copied into
// `sampleDescriptionH` when given, resized to fit) and description number
// (from 1), how many samples of the same run follow from it (at most
// `maxNumberOfSamples`, at least 1), and its flags. Every out pointer may be
// null. invalidTime when no sample plays at `time`.
OSErr GetMediaSampleReference(Media media, long* dataOffset, long* size, TimeValue time, TimeValue* sampleTime,
                              TimeValue* durationPerSample, SampleDescriptionHandle sampleDescriptionH,
                              long* sampleDescriptionIndex, long maxNumberOfSamples, long* numberOfSamples,
                              SInt16* sampleFlags);
long GetMediaSampleDescriptionCount(Media media);
// Copies description number `index` (from 1) into `descH` (resized).
void GetMediaSampleDescription(Media media, long index, SampleDescriptionHandle descH);

// --- Movie files ---------------------------------------------------------------

// Opens the file for reading (fsRdPerm or fsCurPerm; paramErr for another
// permission). fnfErr when it is missing or not a regular file.
OSErr OpenMovieFile(const FSSpec* fileSpec, SInt16* resRefNum, SInt8 permission);
OSErr CloseMovieFile(SInt16 resRefNum);
// A new movie from an open movie file. The only movie files this layer
// reads are sound files (see host/sound_movies.h): the movie has one enabled
// sound track. noMovieFound for a file that is not a sound file, paramErr
// for a bad reference number. *resId becomes 0, resName empty,
// *dataRefWasChanged false (each when given).
OSErr NewMovieFromFile(Movie* theMovie, SInt16 resRefNum, SInt16* resId, StringPtr resName, SInt16 newMovieFlags,
                       Boolean* dataRefWasChanged);
