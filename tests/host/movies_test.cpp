#include "host/movies.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/data_references.h"
#include "host/handles.h"

namespace {

constexpr OSType kZynMediaType = FOUR_CHAR_CODE("vzyn");
constexpr TimeScale kMediaScale = 60;

// A cleared 86-byte sample description of `format`, as the importer makes it.
SampleDescriptionHandle newDescription(OSType format, Size size = 86) {
  Handle h = NewHandleClear(size);
  const SInt32 descSize = size;
  std::memcpy(*h, &descSize, 4);
  std::memcpy(*h + 4, &format, 4);
  return reinterpret_cast<SampleDescriptionHandle>(h);
}

void dispose(SampleDescriptionHandle h) { DisposeHandle(reinterpret_cast<Handle>(h)); }

struct MovieFixture : ::testing::Test {
  Movie movie = nullptr;
  Handle dataRef = nullptr;

  void SetUp() override {
    movie = NewMovie(newMovieActive);
    ASSERT_NE(movie, nullptr);
    ASSERT_EQ(HostNewFileDataRef("/data/scene.zyn", &dataRef), noErr);
  }
  void TearDown() override {
    DisposeMovie(movie);
    DisposeHandle(dataRef);
  }

  // A track with a 'vzyn' media holding one sample of `duration` media units
  // that references a whole file of `fileSize` bytes, inserted at `at`.
  Track importTrack(TimeValue duration, long fileSize, TimeValue at = 0) {
    Track track = NewMovieTrack(movie, IntToFixed(640), IntToFixed(480), 0);
    EXPECT_EQ(GetMoviesError(), noErr);
    Media media = NewTrackMedia(track, kZynMediaType, kMediaScale, dataRef, rAliasType);
    EXPECT_EQ(GetMoviesError(), noErr);
    SetTrackEnabled(track, true);
    SampleDescriptionHandle desc = newDescription(kZynMediaType);
    TimeValue sampleTime = -5;
    EXPECT_EQ(AddMediaSampleReference(media, 0, static_cast<unsigned long>(fileSize), duration, desc, 1, 0, &sampleTime),
              noErr);
    EXPECT_EQ(sampleTime, 0);
    dispose(desc);
    EXPECT_EQ(InsertMediaIntoTrack(track, at, 0, GetMediaDuration(media), fixed1), noErr);
    return track;
  }
};

TEST_F(MovieFixture, ANewMovieIsEmptyAt600UnitsPerSecond) {
  EXPECT_EQ(GetMovieTimeScale(movie), 600);
  EXPECT_EQ(GetMovieDuration(movie), 0);
  EXPECT_EQ(GetMovieTrackCount(movie), 0);
  TimeValue start = 0, duration = 9;
  GetMovieActiveSegment(movie, &start, &duration);
  EXPECT_EQ(start, -1);
  EXPECT_EQ(duration, 0);
}

TEST_F(MovieFixture, TrackAndMediaDurationsAreInTheirOwnTimeScales) {
  // 182 units at 60 per second are 1820 at 600 per second.
  Track track = importTrack(182, 123456);
  Media media = GetTrackMedia(track);
  EXPECT_EQ(GetMediaTimeScale(media), kMediaScale);
  EXPECT_EQ(GetMediaDuration(media), 182);
  EXPECT_EQ(GetTrackDuration(track), 1820);
  EXPECT_EQ(GetMovieDuration(movie), 1820);
  EXPECT_EQ(GetMediaTrack(media), track);
  EXPECT_EQ(GetTrackMovie(track), movie);
  Fixed w = 0, h = 0;
  GetTrackDimensions(track, &w, &h);
  EXPECT_EQ(w, IntToFixed(640));
  EXPECT_EQ(h, IntToFixed(480));
  OSType type = 0;
  GetMediaHandlerDescription(media, &type, nullptr, nullptr);
  EXPECT_EQ(type, kZynMediaType);
}

TEST_F(MovieFixture, MediaDurationsRoundUpIntoMovieTime) {
  Track track = NewMovieTrack(movie, 0, 0, 0x100);
  Media media = NewTrackMedia(track, SoundMediaType, 44100, nullptr, 0);
  SampleDescriptionHandle desc = newDescription(FOUR_CHAR_CODE("fl32"), 36);
  ASSERT_EQ(AddMediaSampleReference(media, 0, 8, 1, desc, 44101, 0, nullptr), noErr);
  dispose(desc);
  ASSERT_EQ(InsertMediaIntoTrack(track, 0, 0, 1, fixed1), noErr);  // one frame: 1/73.5 unit
  EXPECT_EQ(GetTrackDuration(track), 1);
  ASSERT_EQ(InsertMediaIntoTrack(track, -1, 1, 44100, fixed1), noErr);  // one second, at the end
  EXPECT_EQ(GetTrackDuration(track), 601);
  EXPECT_EQ(TrackTimeToMediaTime(1, track), 1);
  EXPECT_EQ(TrackTimeToMediaTime(301, track), 1 + 22050);
}

TEST_F(MovieFixture, ASampleReferenceToAWholeFileReadsBack) {
  Track track = importTrack(182, 98765);
  Media media = GetTrackMedia(track);
  for (TimeValue t : {0, 1, 181}) {
    long offset = -1, size = -1, count = -1, descIndex = -1;
    TimeValue sampleTime = -1, perSample = -1;
    SInt16 flags = -1;
    Handle desc = NewHandle(0);
    ASSERT_EQ(GetMediaSampleReference(media, &offset, &size, t, &sampleTime, &perSample,
                                      reinterpret_cast<SampleDescriptionHandle>(desc), &descIndex, 10, &count, &flags),
              noErr)
        << t;
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(size, 98765);
    EXPECT_EQ(sampleTime, 0);
    EXPECT_EQ(perSample, 182);
    EXPECT_EQ(descIndex, 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(flags, 0);
    ASSERT_EQ(GetHandleSize(desc), 86);
    OSType format = 0;
    std::memcpy(&format, *desc + 4, 4);
    EXPECT_EQ(format, kZynMediaType);
    DisposeHandle(desc);
  }
  // No sample plays before 0 or from the media's end on.
  for (TimeValue t : {-1, 182, 10000}) {
    long offset = 77;
    EXPECT_EQ(GetMediaSampleReference(media, &offset, nullptr, t, nullptr, nullptr, nullptr, nullptr, 1, nullptr, nullptr),
              invalidTime)
        << t;
  }
  EXPECT_EQ(GetMediaSampleDescriptionCount(media), 1);
  Handle desc = NewHandle(4);
  GetMediaSampleDescription(media, 1, reinterpret_cast<SampleDescriptionHandle>(desc));
  EXPECT_EQ(GetMoviesError(), noErr);
  EXPECT_EQ(GetHandleSize(desc), 86);
  GetMediaSampleDescription(media, 2, reinterpret_cast<SampleDescriptionHandle>(desc));
  EXPECT_EQ(GetMoviesError(), paramErr);
  DisposeHandle(desc);
}

TEST_F(MovieFixture, SampleRunsGiveOffsetsPerSampleAndShareEqualDescriptions) {
  Track track = NewMovieTrack(movie, 0, 0, 0);
  Media media = NewTrackMedia(track, kZynMediaType, 600, dataRef, rAliasType);
  SampleDescriptionHandle desc = newDescription(kZynMediaType);
  TimeValue t = -1;
  ASSERT_EQ(AddMediaSampleReference(media, 1000, 50, 20, desc, 4, 0, &t), noErr);
  EXPECT_EQ(t, 0);
  ASSERT_EQ(AddMediaSampleReference(media, 5000, 10, 5, desc, 1, 1, &t), noErr);
  EXPECT_EQ(t, 80);
  EXPECT_EQ(GetMediaSampleDescriptionCount(media), 1);
  dispose(desc);
  long offset = 0, count = 0;
  TimeValue sampleTime = 0;
  ASSERT_EQ(GetMediaSampleReference(media, &offset, nullptr, 45, &sampleTime, nullptr, nullptr, nullptr, 100, &count,
                                    nullptr),
            noErr);
  EXPECT_EQ(offset, 1100);
  EXPECT_EQ(sampleTime, 40);
  EXPECT_EQ(count, 2);
  SInt16 flags = 0;
  ASSERT_EQ(GetMediaSampleReference(media, &offset, nullptr, 84, nullptr, nullptr, nullptr, nullptr, 1, nullptr, &flags),
            noErr);
  EXPECT_EQ(offset, 5000);
  EXPECT_EQ(flags, 1);
  EXPECT_EQ(GetMediaDuration(media), 85);
}

TEST_F(MovieFixture, BadSampleReferencesAreRefused) {
  Track track = NewMovieTrack(movie, 0, 0, 0);
  Media media = NewTrackMedia(track, kZynMediaType, 60, dataRef, rAliasType);
  SampleDescriptionHandle desc = newDescription(kZynMediaType);
  EXPECT_EQ(AddMediaSampleReference(media, 0, 1, 0, desc, 1, 0, nullptr), paramErr);   // no duration
  EXPECT_EQ(AddMediaSampleReference(media, 0, 1, 1, desc, 0, 0, nullptr), paramErr);   // no samples
  EXPECT_EQ(AddMediaSampleReference(media, -1, 1, 1, desc, 1, 0, nullptr), paramErr);  // before the file
  EXPECT_EQ(AddMediaSampleReference(media, 0, 1, 1, nullptr, 1, 0, nullptr), paramErr);
  // A description that claims more bytes than its handle holds, or fewer
  // than its header.
  SampleDescriptionHandle lying = newDescription(kZynMediaType, 20);
  SInt32 claim = 86;
  std::memcpy(*reinterpret_cast<Handle>(lying), &claim, 4);
  EXPECT_EQ(AddMediaSampleReference(media, 0, 1, 1, lying, 1, 0, nullptr), paramErr);
  claim = 8;
  std::memcpy(*reinterpret_cast<Handle>(lying), &claim, 4);
  EXPECT_EQ(AddMediaSampleReference(media, 0, 1, 1, lying, 1, 0, nullptr), paramErr);
  dispose(lying);
  // A duration that does not fit a TimeValue.
  ASSERT_EQ(AddMediaSampleReference(media, 0, 1, 0x40000000, desc, 1, 0, nullptr), noErr);
  EXPECT_EQ(AddMediaSampleReference(media, 0, 1, 0x40000000, desc, 1, 0, nullptr), invalidDuration);
  EXPECT_EQ(AddMediaSampleReference(media, 0, 1, 2, desc, 0x7FFFFFFF, 0, nullptr), invalidDuration);
  EXPECT_EQ(GetMediaDuration(media), 0x40000000);
  // Inserting past the media's end, or before its start.
  EXPECT_EQ(InsertMediaIntoTrack(track, 0, 1, 0x40000000, fixed1), invalidDuration);
  EXPECT_EQ(InsertMediaIntoTrack(track, 0, -1, 1, fixed1), invalidTime);
  EXPECT_EQ(InsertMediaIntoTrack(track, -2, 0, 1, fixed1), invalidTime);
  EXPECT_EQ(InsertMediaIntoTrack(track, 0, 0, 1, 0), paramErr);
  // 2^30 units at 60 per second do not fit a TimeValue at 600 per second.
  EXPECT_EQ(InsertMediaIntoTrack(track, 0, 0, 0x40000000, fixed1), invalidDuration);
  EXPECT_EQ(GetTrackDuration(track), 0);
  dispose(desc);
}

TEST_F(MovieFixture, InsertingAfterTheEndLeavesAnEmptySegment) {
  Track track = importTrack(60, 10, 3000);  // one second, starting at 5 s
  EXPECT_EQ(GetTrackDuration(track), 3600);
  ASSERT_EQ(HostGetTrackSegmentCount(track), 2);
  TimeValue start = -1, duration = -1, mediaTime = 0;
  Fixed rate = 0;
  ASSERT_EQ(HostGetTrackSegment(track, 1, &start, &duration, &mediaTime, &rate), noErr);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(duration, 3000);
  EXPECT_EQ(mediaTime, -1);
  ASSERT_EQ(HostGetTrackSegment(track, 2, &start, &duration, &mediaTime, &rate), noErr);
  EXPECT_EQ(start, 3000);
  EXPECT_EQ(duration, 600);
  EXPECT_EQ(mediaTime, 0);
  EXPECT_EQ(rate, fixed1);
  EXPECT_EQ(HostGetTrackSegment(track, 3, &start, nullptr, nullptr, nullptr), paramErr);
  EXPECT_EQ(HostGetTrackSegment(track, 0, &start, nullptr, nullptr, nullptr), paramErr);

  // Table of track times: empty before 5 s, then media time at 60 per second.
  struct Case {
    TimeValue trackTime, mediaTime;
  };
  for (Case c : {Case{-1, -1}, Case{0, -1}, Case{2999, -1}, Case{3000, 0}, Case{3009, 0}, Case{3010, 1},
                 Case{3599, 59}, Case{3600, -1}}) {
    EXPECT_EQ(TrackTimeToMediaTime(c.trackTime, track), c.mediaTime) << c.trackTime;
  }
}

TEST_F(MovieFixture, InsertingInsideASegmentSplitsIt) {
  Track track = importTrack(120, 10);  // two seconds
  Media media = GetTrackMedia(track);
  ASSERT_EQ(InsertMediaIntoTrack(track, 600, 60, 30, fixed1), noErr);  // half a second at 1 s
  EXPECT_EQ(GetTrackDuration(track), 1500);
  EXPECT_EQ(GetMediaDuration(media), 120);
  ASSERT_EQ(HostGetTrackSegmentCount(track), 3);
  TimeValue start = 0, duration = 0, mediaTime = 0;
  HostGetTrackSegment(track, 3, &start, &duration, &mediaTime, nullptr);
  EXPECT_EQ(start, 900);
  EXPECT_EQ(duration, 600);
  EXPECT_EQ(mediaTime, 60);  // the rest of the first insertion
  EXPECT_EQ(TrackTimeToMediaTime(599, track), 59);
  EXPECT_EQ(TrackTimeToMediaTime(600, track), 60);
  EXPECT_EQ(TrackTimeToMediaTime(899, track), 89);
  EXPECT_EQ(TrackTimeToMediaTime(900, track), 60);
  // Inserting at exactly a segment boundary splits nothing.
  ASSERT_EQ(InsertMediaIntoTrack(track, 900, 0, 6, fixed1), noErr);
  EXPECT_EQ(HostGetTrackSegmentCount(track), 4);
  // Zero media duration inserts nothing.
  ASSERT_EQ(InsertMediaIntoTrack(track, 0, 0, 0, fixed1), noErr);
  EXPECT_EQ(HostGetTrackSegmentCount(track), 4);
}

TEST_F(MovieFixture, TheActiveSegmentIsKeptAsGiven) {
  importTrack(182, 10);
  const long before = HostGetMovieChangeCount(movie);
  SetMovieActiveSegment(movie, 0, 1820);
  EXPECT_EQ(GetMoviesError(), noErr);
  TimeValue start = 0, duration = 0;
  GetMovieActiveSegment(movie, &start, &duration);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(duration, 1820);
  EXPECT_GT(HostGetMovieChangeCount(movie), before);
  // Refused values leave it unchanged.
  SetMovieActiveSegment(movie, -2, 5);
  EXPECT_EQ(GetMoviesError(), paramErr);
  SetMovieActiveSegment(movie, 10, -1);
  EXPECT_EQ(GetMoviesError(), paramErr);
  GetMovieActiveSegment(movie, &start, &duration);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(duration, 1820);
  // -1: the whole movie again.
  SetMovieActiveSegment(movie, -1, 0);
  GetMovieActiveSegment(movie, &start, &duration);
  EXPECT_EQ(start, -1);
  EXPECT_EQ(duration, 0);
  GetMovieActiveSegment(movie, nullptr, nullptr);
  EXPECT_EQ(GetMoviesError(), noErr);
}

TEST_F(MovieFixture, EnablingAndFindingTracksByTypeAndCharacteristic) {
  Track zyn = importTrack(60, 10);
  Track video = NewMovieTrack(movie, 0, 0, 0);
  NewTrackMedia(video, VideoMediaType, 600, nullptr, 0);
  Track sound = NewMovieTrack(movie, 0, 0, 0x100);
  NewTrackMedia(sound, SoundMediaType, 44100, nullptr, 0);
  Track bare = NewMovieTrack(movie, 0, 0, 0);
  (void)bare;
  EXPECT_EQ(GetMovieTrackCount(movie), 4);
  EXPECT_EQ(GetMovieIndTrack(movie, 1), zyn);
  EXPECT_EQ(GetMovieIndTrack(movie, 5), nullptr);
  EXPECT_EQ(GetMoviesError(), paramErr);
  EXPECT_EQ(GetMovieIndTrack(movie, 0), nullptr);

  EXPECT_EQ(GetMovieIndTrackType(movie, 1, VideoMediaType, movieTrackMediaType), video);
  EXPECT_EQ(GetMovieIndTrackType(movie, 2, VideoMediaType, movieTrackMediaType), nullptr);
  EXPECT_EQ(GetMovieIndTrackType(movie, 1, VisualMediaCharacteristic, movieTrackCharacteristic), video);
  EXPECT_EQ(GetMovieIndTrackType(movie, 1, AudioMediaCharacteristic, movieTrackCharacteristic), sound);
  EXPECT_EQ(GetMovieIndTrackType(movie, 1, kZynMediaType, movieTrackMediaType), zyn);
  // The scene's own media type has no visual characteristic here.
  EXPECT_EQ(GetMovieIndTrackType(movie, 2, VisualMediaCharacteristic, movieTrackCharacteristic), nullptr);

  EXPECT_TRUE(GetTrackEnabled(video));
  const long before = HostGetMovieChangeCount(movie);
  SetTrackEnabled(video, false);
  EXPECT_FALSE(GetTrackEnabled(video));
  EXPECT_GT(HostGetMovieChangeCount(movie), before);
  EXPECT_EQ(GetMovieIndTrackType(movie, 1, VideoMediaType, movieTrackMediaType | movieTrackEnabledOnly), nullptr);
  EXPECT_EQ(GetMovieIndTrackType(movie, 1, VideoMediaType, movieTrackMediaType), video);
  SetTrackEnabled(video, 2);  // any non-zero value enables
  EXPECT_TRUE(GetTrackEnabled(video));
}

TEST_F(MovieFixture, MediaDataReferencesAreCopies) {
  Track track = importTrack(60, 10);
  Media media = GetTrackMedia(track);
  Handle ref = nullptr;
  OSType type = 0;
  long attributes = -1;
  ASSERT_EQ(GetMediaDataRef(media, 0, &ref, &type, &attributes), noErr);
  EXPECT_NE(ref, dataRef);
  EXPECT_EQ(type, rAliasType);
  EXPECT_EQ(attributes, 0);
  std::string path;
  EXPECT_EQ(HostFileDataRefPath(ref, type, &path), noErr);
  EXPECT_EQ(path, "/data/scene.zyn");
  DisposeHandle(ref);
  EXPECT_EQ(GetMediaDataRef(media, 1, &ref, &type, nullptr), noErr);
  DisposeHandle(ref);
  EXPECT_EQ(GetMediaDataRef(media, 2, &ref, &type, nullptr), badDataRefIndex);
  EXPECT_EQ(ref, nullptr);
}

TEST_F(MovieFixture, AFailedImportRemovesWhatItMade) {
  Track track = importTrack(60, 10);
  Media media = GetTrackMedia(track);
  DisposeTrackMedia(media);
  EXPECT_EQ(GetMoviesError(), noErr);
  EXPECT_EQ(GetTrackMedia(track), nullptr);
  EXPECT_EQ(GetMediaDuration(media), 0);  // dead now
  EXPECT_EQ(GetMoviesError(), invalidMedia);
  EXPECT_EQ(InsertMediaIntoTrack(track, 0, 0, 1, fixed1), invalidMedia);
  DisposeMovieTrack(track);
  EXPECT_EQ(GetMoviesError(), noErr);
  EXPECT_EQ(GetMovieTrackCount(movie), 0);
  EXPECT_EQ(GetTrackDuration(track), 0);
  EXPECT_EQ(GetMoviesError(), invalidTrack);
  DisposeMovieTrack(track);  // twice: refused, no crash
  EXPECT_EQ(GetMoviesError(), invalidTrack);
}

TEST_F(MovieFixture, ASecondMediaForATrackIsRefused) {
  Track track = NewMovieTrack(movie, 0, 0, 0);
  EXPECT_NE(NewTrackMedia(track, kZynMediaType, 60, dataRef, rAliasType), nullptr);
  EXPECT_EQ(NewTrackMedia(track, kZynMediaType, 60, dataRef, rAliasType), nullptr);
  EXPECT_EQ(GetMoviesError(), paramErr);
  Track other = NewMovieTrack(movie, 0, 0, 0);
  EXPECT_EQ(NewTrackMedia(other, kZynMediaType, 0, dataRef, rAliasType), nullptr);
  EXPECT_EQ(GetMoviesError(), paramErr);
  Handle dead = NewHandle(4);
  DisposeHandle(dead);
  EXPECT_EQ(NewTrackMedia(other, kZynMediaType, 60, dead, rAliasType), nullptr);
  EXPECT_EQ(GetMoviesError(), paramErr);
}

TEST_F(MovieFixture, EmptyTracksTakeSegmentsOfAnotherMovie) {
  // A one-second source track at 44100 per second in a movie of its own.
  Movie clip = NewMovie(0);
  Track source = NewMovieTrack(clip, 0, 0, 0x100);
  Media sourceMedia = NewTrackMedia(source, SoundMediaType, 44100, dataRef, rAliasType);
  SampleDescriptionHandle desc = newDescription(FOUR_CHAR_CODE("fl32"), 36);
  ASSERT_EQ(AddMediaSampleReference(sourceMedia, 0, 8, 1, desc, 44100, 0, nullptr), noErr);
  dispose(desc);
  ASSERT_EQ(InsertMediaIntoTrack(source, 0, 0, 44100, fixed1), noErr);
  ASSERT_EQ(GetTrackDuration(source), 600);

  Handle clipRef = nullptr;
  ASSERT_EQ(HostNewFileDataRef("/data/clip.wav", &clipRef), noErr);
  Track added = nullptr;
  ASSERT_EQ(AddEmptyTrackToMovie(source, movie, clipRef, rAliasType, &added), noErr);
  ASSERT_NE(added, nullptr);
  DisposeHandle(clipRef);
  Media addedMedia = GetTrackMedia(added);
  EXPECT_EQ(GetTrackDuration(added), 0);
  EXPECT_EQ(GetMediaDuration(addedMedia), 0);
  EXPECT_EQ(GetMediaTimeScale(addedMedia), 44100);
  EXPECT_EQ(GetMediaSampleDescriptionCount(addedMedia), 1);

  // From 0.25 s of the clip, 0.5 s, placed at 2 s.
  ASSERT_EQ(InsertTrackSegment(source, added, 150, 300, 1200), noErr);
  EXPECT_EQ(GetTrackDuration(added), 1500);
  EXPECT_EQ(GetMediaDuration(addedMedia), 44100);
  EXPECT_EQ(TrackTimeToMediaTime(1199, added), -1);
  EXPECT_EQ(TrackTimeToMediaTime(1200, added), 11025);
  EXPECT_EQ(TrackTimeToMediaTime(1499, added), 11025 + 21976);  // 299 / 600 s, rounded down
  // Beyond the source's end nothing is taken.
  ASSERT_EQ(InsertTrackSegment(source, added, 500, 100000, -1), noErr);
  EXPECT_EQ(GetTrackDuration(added), 1600);
  ASSERT_EQ(InsertTrackSegment(source, added, 600, 100, -1), noErr);
  EXPECT_EQ(GetTrackDuration(added), 1600);

  // The added track outlives the clip's movie.
  DisposeMovie(clip);
  EXPECT_EQ(GetTrackDuration(added), 1600);
  long offset = -1;
  EXPECT_EQ(GetMediaSampleReference(addedMedia, &offset, nullptr, 100, nullptr, nullptr, nullptr, nullptr, 1, nullptr,
                                    nullptr),
            noErr);
  EXPECT_EQ(offset, 800);
  Handle ref = nullptr;
  OSType type = 0;
  ASSERT_EQ(GetMediaDataRef(addedMedia, 0, &ref, &type, nullptr), noErr);
  std::string path;
  EXPECT_EQ(HostFileDataRefPath(ref, type, &path), noErr);
  EXPECT_EQ(path, "/data/clip.wav");
  DisposeHandle(ref);
}

TEST_F(MovieFixture, SegmentsMoveOnlyBetweenMediaOfOneType) {
  Track zyn = importTrack(60, 10);
  Track sound = NewMovieTrack(movie, 0, 0, 0);
  NewTrackMedia(sound, SoundMediaType, 60, nullptr, 0);
  EXPECT_EQ(InsertTrackSegment(zyn, sound, 0, 600, 0), mediaTypesDontMatch);
  EXPECT_EQ(InsertTrackSegment(zyn, zyn, -1, 600, 0), invalidTime);
  EXPECT_EQ(InsertTrackSegment(zyn, zyn, 0, -1, 0), invalidDuration);
  Track none = NewMovieTrack(movie, 0, 0, 0);
  EXPECT_EQ(InsertTrackSegment(zyn, none, 0, 600, 0), invalidMedia);
  Track out = reinterpret_cast<Track>(1);
  EXPECT_EQ(AddEmptyTrackToMovie(none, movie, nullptr, 0, &out), invalidMedia);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(AddEmptyTrackToMovie(zyn, movie, nullptr, 0, nullptr), paramErr);
  // A track into itself: its first second again, at its end.
  ASSERT_EQ(InsertTrackSegment(zyn, zyn, 0, 600, -1), noErr);
  EXPECT_EQ(GetTrackDuration(zyn), 1200);
  EXPECT_EQ(TrackTimeToMediaTime(1199, zyn), 59);
}

TEST(Movies, DeadAndForgedObjectsAreRefused) {
  Movie movie = NewMovie(0);
  Track track = NewMovieTrack(movie, 0, 0, 0);
  DisposeMovie(movie);
  EXPECT_EQ(GetMoviesError(), noErr);
  EXPECT_EQ(GetMovieDuration(movie), 0);
  EXPECT_EQ(GetMoviesError(), invalidMovie);
  EXPECT_EQ(NewMovieTrack(movie, 0, 0, 0), nullptr);
  EXPECT_EQ(GetMoviesError(), invalidMovie);
  EXPECT_EQ(GetTrackDuration(track), 0);  // went with its movie
  EXPECT_EQ(GetMoviesError(), invalidTrack);
  Movie forged = reinterpret_cast<Movie>(&track);
  EXPECT_EQ(GetMovieTrackCount(forged), 0);
  EXPECT_EQ(GetMoviesError(), invalidMovie);
  DisposeMovie(forged);
  EXPECT_EQ(GetMoviesError(), invalidMovie);
  DisposeMovie(nullptr);
  EXPECT_EQ(GetMoviesError(), noErr);
  SetTrackEnabled(nullptr, true);
  EXPECT_EQ(GetMoviesError(), invalidTrack);
  MatrixRecord m;
  GetTrackMatrix(nullptr, &m);
  EXPECT_EQ(GetMoviesError(), invalidTrack);
}

TEST(Movies, TrackMatrixStartsAsIdentity) {
  Movie movie = NewMovie(0);
  Track track = NewMovieTrack(movie, IntToFixed(2), IntToFixed(3), 0);
  MatrixRecord m;
  m.matrix[0][0] = 12345;
  GetTrackMatrix(track, &m);
  EXPECT_EQ(m.matrix[0][0], fixed1);
  EXPECT_EQ(m.matrix[1][1], fixed1);
  EXPECT_EQ(m.matrix[2][2], 0x40000000);
  EXPECT_EQ(m.matrix[2][0], 0);
  MatrixRecord shifted;
  shifted.matrix[2][0] = IntToFixed(10);
  SetTrackMatrix(track, &shifted);
  GetTrackMatrix(track, &m);
  EXPECT_EQ(m.matrix[2][0], IntToFixed(10));
  GetTrackMatrix(track, nullptr);
  EXPECT_EQ(GetMoviesError(), paramErr);
  SetTrackDimensions(track, IntToFixed(7), IntToFixed(8));
  Fixed w = 0, h = 0;
  GetTrackDimensions(track, &w, &h);
  EXPECT_EQ(w, IntToFixed(7));
  EXPECT_EQ(h, IntToFixed(8));
  DisposeMovie(movie);
}

}  // namespace
