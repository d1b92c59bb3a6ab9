#include "host/sound_movies.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "host/data_references.h"
#include "host/handles.h"
#include "host/movies.h"
#include "support/temp_dir.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr long kFrames = 22050;  // half a second
constexpr double kPi = 3.14159265358979323846;

// A 440 Hz tone on the left channel and 660 Hz on the right, at half volume.
std::vector<float> tone(long frames) {
  std::vector<float> samples(static_cast<std::size_t>(frames * kChannels));
  for (long i = 0; i < frames; ++i) {
    samples[static_cast<std::size_t>(i * 2)] = static_cast<float>(0.5 * std::sin(2 * kPi * 440 * i / kRate));
    samples[static_cast<std::size_t>(i * 2 + 1)] = static_cast<float>(0.5 * std::sin(2 * kPi * 660 * i / kRate));
  }
  return samples;
}

bool writeSound(const std::string& path, int format, long frames) {
  SF_INFO info = {};
  info.samplerate = kRate;
  info.channels = kChannels;
  info.format = format;
  SNDFILE* sf = sf_open(path.c_str(), SFM_WRITE, &info);
  if (sf == nullptr) return false;
  const std::vector<float> samples = tone(frames);
  const sf_count_t written = sf_writef_float(sf, samples.data(), frames);
  sf_close(sf);
  return written == frames;
}

// Opens `path` as a movie; answers the first error.
OSErr openSoundMovie(const std::string& path, Movie* movie) {
  *movie = nullptr;
  FSSpec fileSpec;
  OSErr err = NativePathNameToFSSpec(path.c_str(), &fileSpec, 0);
  if (err != noErr) return err;
  SInt16 refNum = 0;
  err = OpenMovieFile(&fileSpec, &refNum, fsRdPerm);
  if (err != noErr) return err;
  SInt16 resId = 99;
  err = NewMovieFromFile(movie, refNum, &resId, nullptr, newMovieActive, nullptr);
  EXPECT_EQ(resId, 0);
  EXPECT_EQ(CloseMovieFile(refNum), noErr);
  return err;
}

struct Format {
  const char* name;
  int format;
  float tolerance;
};

class SoundFiles : public ::testing::TestWithParam<Format> {};

TEST_P(SoundFiles, OpenAsAMovieWithOneSoundTrack) {
  TempDir dir;
  const std::string path = dir.File(std::string("tone.") + GetParam().name);
  ASSERT_TRUE(writeSound(path, GetParam().format, kFrames));
  Movie movie = nullptr;
  ASSERT_EQ(openSoundMovie(path, &movie), noErr);
  ASSERT_NE(movie, nullptr);
  EXPECT_EQ(GetMovieTimeScale(movie), 600);
  ASSERT_EQ(GetMovieTrackCount(movie), 1);
  Track track = GetMovieIndTrack(movie, 1);
  EXPECT_TRUE(GetTrackEnabled(track));
  Media media = GetTrackMedia(track);
  OSType type = 0;
  GetMediaHandlerDescription(media, &type, nullptr, nullptr);
  EXPECT_EQ(type, SoundMediaType);
  EXPECT_EQ(GetMediaTimeScale(media), kRate);
  EXPECT_EQ(GetMediaDuration(media), kFrames);
  EXPECT_EQ(GetTrackDuration(track), 300);  // half a second at 600 per second
  EXPECT_EQ(GetMovieDuration(movie), 300);
  EXPECT_EQ(GetMovieIndTrackType(movie, 1, AudioMediaCharacteristic, movieTrackCharacteristic), track);
  EXPECT_EQ(GetMovieIndTrackType(movie, 1, VisualMediaCharacteristic, movieTrackCharacteristic), nullptr);

  Handle ref = nullptr;
  OSType refType = 0;
  ASSERT_EQ(GetMediaDataRef(media, 0, &ref, &refType, nullptr), noErr);
  std::string refPath;
  EXPECT_EQ(HostFileDataRefPath(ref, refType, &refPath), noErr);
  EXPECT_EQ(refPath, path);
  DisposeHandle(ref);

  std::shared_ptr<const SoundFrames> sound = HostGetTrackSound(track);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->channels, kChannels);
  EXPECT_EQ(sound->sampleRate, kRate);
  ASSERT_EQ(sound->frameCount(), kFrames);
  const std::vector<float> expected = tone(kFrames);
  float worst = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) worst = std::max(worst, std::fabs(sound->samples[i] - expected[i]));
  EXPECT_LE(worst, GetParam().tolerance);

  long descriptions = GetMediaSampleDescriptionCount(media);
  ASSERT_EQ(descriptions, 1);
  Handle desc = NewHandle(0);
  GetMediaSampleDescription(media, 1, reinterpret_cast<SampleDescriptionHandle>(desc));
  ASSERT_EQ(GetHandleSize(desc), 36);
  OSType format = 0;
  SInt16 channels = 0;
  std::memcpy(&format, *desc + 4, 4);
  std::memcpy(&channels, *desc + 24, 2);
  EXPECT_EQ(format, kFloat32SoundFormat);
  EXPECT_EQ(channels, kChannels);
  DisposeHandle(desc);
  DisposeMovie(movie);
}

INSTANTIATE_TEST_SUITE_P(Formats, SoundFiles,
                         ::testing::Values(Format{"wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0.0f},
                                           Format{"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1.0f / 16384},
                                           Format{"aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 1.0f / 1000000},
                                           Format{"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 0.1f}),
                         [](const ::testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

TEST(SoundMovies, FilesThatAreNotSoundAreRefused) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty.wav", ""},
      {"text.wav", "This is not a sound file at all, just some words.\n"},
      {"header.wav", std::string("RIFF\x24\x00\x00\x00WAVEfmt ", 16)},
      {"scene.zyn", "Morvane ZYN Binary  \x00\x00\x00\x00"},
      {"zeros.aiff", std::string(4096, '\0')},
  };
  for (const Case& c : cases) {
    const std::string path = dir.File(c.name);
    ASSERT_TRUE(WriteFileBytes(path, c.bytes));
    Movie movie = reinterpret_cast<Movie>(1);
    EXPECT_EQ(openSoundMovie(path, &movie), noMovieFound) << c.name;
    EXPECT_EQ(movie, nullptr);
    EXPECT_EQ(GetMoviesError(), noMovieFound);
  }
}

TEST(SoundMovies, MissingFilesAndFoldersAreNotOpened) {
  TempDir dir;
  Movie movie = nullptr;
  EXPECT_EQ(openSoundMovie(dir.File("absent.wav"), &movie), fnfErr);
  FSSpec fileSpec;
  ASSERT_EQ(NativePathNameToFSSpec(dir.path().c_str(), &fileSpec, 0), noErr);
  SInt16 refNum = 7;
  EXPECT_EQ(OpenMovieFile(&fileSpec, &refNum, fsRdPerm), fnfErr);
  EXPECT_EQ(refNum, 0);
  EXPECT_EQ(OpenMovieFile(&fileSpec, &refNum, 3), paramErr);  // writing is not offered
  EXPECT_EQ(OpenMovieFile(nullptr, &refNum, fsRdPerm), paramErr);
  EXPECT_EQ(CloseMovieFile(12345), paramErr);
  EXPECT_EQ(NewMovieFromFile(&movie, 12345, nullptr, nullptr, 0, nullptr), paramErr);
  EXPECT_EQ(NewMovieFromFile(nullptr, 1, nullptr, nullptr, 0, nullptr), paramErr);
}

TEST(SoundMovies, TruncatedFilesDecodeWhatTheyHoldWithoutCrashing) {
  TempDir dir;
  const std::string whole = dir.File("whole.wav");
  ASSERT_TRUE(writeSound(whole, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4410));
  const std::string bytes = ReadFileBytes(whole);
  const std::string flacPath = dir.File("whole.flac");
  ASSERT_TRUE(writeSound(flacPath, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 4410));
  const std::string flac = ReadFileBytes(flacPath);
  for (const auto& [name, full] : {std::pair<std::string, std::string>{"cut.wav", bytes}, {"cut.flac", flac}}) {
    for (std::size_t length = 0; length < full.size(); length += 97) {
      const std::string path = dir.File(name);
      ASSERT_TRUE(WriteFileBytes(path, full.substr(0, length)));
      Movie movie = nullptr;
      const OSErr err = openSoundMovie(path, &movie);
      if (err != noErr) {
        EXPECT_EQ(err, noMovieFound) << name << " " << length;
        EXPECT_EQ(movie, nullptr);
        continue;
      }
      Track track = GetMovieIndTrack(movie, 1);
      std::shared_ptr<const SoundFrames> sound = HostGetTrackSound(track);
      ASSERT_NE(sound, nullptr);
      EXPECT_LE(sound->frameCount(), 4410) << name << " " << length;
      EXPECT_EQ(GetMediaDuration(GetTrackMedia(track)), sound->frameCount());
      DisposeMovie(movie);
    }
  }
}

TEST(SoundMovies, AFileDeletedAfterOpeningIsStillRead) {
  TempDir dir;
  const std::string path = dir.File("gone.wav");
  ASSERT_TRUE(writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, kFrames));
  FSSpec fileSpec;
  ASSERT_EQ(NativePathNameToFSSpec(path.c_str(), &fileSpec, 0), noErr);
  SInt16 refNum = 0;
  ASSERT_EQ(OpenMovieFile(&fileSpec, &refNum, fsRdPerm), noErr);
  ASSERT_EQ(::unlink(path.c_str()), 0);
  Movie movie = nullptr;
  ASSERT_EQ(NewMovieFromFile(&movie, refNum, nullptr, nullptr, 0, nullptr), noErr);
  EXPECT_EQ(GetMediaDuration(GetTrackMedia(GetMovieIndTrack(movie, 1))), kFrames);
  EXPECT_EQ(CloseMovieFile(refNum), noErr);
  EXPECT_EQ(CloseMovieFile(refNum), paramErr);
  DisposeMovie(movie);
}

// The audio import of a scene: the clip's track copied into the scene's movie
// at the clip's start, after which the clip's own movie goes away.
TEST(SoundMovies, AClipTrackKeepsItsSoundInTheSceneMovie) {
  TempDir dir;
  const std::string path = dir.File("clip.flac");
  ASSERT_TRUE(writeSound(path, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, kFrames));
  Movie scene = NewMovie(newMovieActive);
  Movie clip = nullptr;
  ASSERT_EQ(openSoundMovie(path, &clip), noErr);
  FSSpec fileSpec;
  ASSERT_EQ(NativePathNameToFSSpec(path.c_str(), &fileSpec, 0), noErr);
  AliasHandle alias = nullptr;
  ASSERT_EQ(NewAliasMinimal(&fileSpec, &alias), noErr);
  Track clipTrack = GetMovieIndTrack(clip, 1);
  Track added = nullptr;
  ASSERT_EQ(AddEmptyTrackToMovie(clipTrack, scene, alias, rAliasType, &added), noErr);
  DisposeHandle(alias);
  ASSERT_EQ(InsertTrackSegment(clipTrack, added, 0, GetTrackDuration(clipTrack), 1200), noErr);
  DisposeMovie(clip);

  EXPECT_EQ(GetTrackDuration(added), 1500);
  EXPECT_EQ(TrackTimeToMediaTime(1200, added), 0);
  std::shared_ptr<const SoundFrames> sound = HostGetTrackSound(added);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->frameCount(), kFrames);
  EXPECT_EQ(GetMovieIndTrackType(scene, 1, AudioMediaCharacteristic, movieTrackCharacteristic), added);
  DisposeMovie(scene);
  EXPECT_EQ(HostGetTrackSound(added), nullptr);
  EXPECT_EQ(GetMoviesError(), invalidTrack);
  // The decoded frames held by the caller stay valid.
  EXPECT_EQ(sound->frameCount(), kFrames);
}

}  // namespace
