// The importer's routines driven through its dispatch routine with real
// parameter blocks: the track, media and sample an import makes, its size
// and duration from the file's scan, the sample description byte for byte,
// and what a failed import leaves behind (nothing).

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "component/component_dispatch.h"
#include "component/component_globals.h"
#include "component/movie_import.h"
#include "component/viewer_core.h"
#include "component_test_support.h"
#include "host/component_manager.h"
#include "host/handles.h"
#include "host/movie_import_calls.h"
#include "host/movies.h"
#include "import_scene_files.h"
#include "support/temp_dir.h"

namespace {

using component_test::kTicksPerSecond;
using component_test::SceneFileOptions;
using component_test::WriteSceneFile;

// The importer's dispatch routine registered from code, under a subtype of
// its own so that the module's registration stays the one found by 'vzyn'.
Component InProcessImporter() {
  static const Component importer = [] {
    ComponentDescription cd;
    cd.componentType = MovieImportType;
    cd.componentSubType = FOUR_CHAR_CODE("tzyn");
    return RegisterComponent(&cd, qtzyn::ImporterDispatch, registerComponentAfterExisting, nullptr, nullptr,
                             nullptr);
  }();
  return importer;
}

struct ImportResult {
  ComponentResult result = 0;
  Track used = nullptr;
  TimeValue added = -7;
  long outFlags = 0x100;  // bits the importer must keep
};

class MovieImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(InProcessImporter(), nullptr);
    ASSERT_EQ(OpenAComponent(InProcessImporter(), &importer_), noErr);
    movie_ = NewMovie(newMovieActive);
    ASSERT_NE(movie_, nullptr);
  }
  void TearDown() override {
    DisposeMovie(movie_);
    EXPECT_EQ(CloseComponent(importer_), noErr);
  }

  qtzyn::ImporterGlobals* Globals() const {
    Handle storage = GetComponentInstanceStorage(importer_);
    return storage != nullptr ? reinterpret_cast<qtzyn::ImporterGlobals*>(*storage) : nullptr;
  }

  ImportResult ImportFile(const std::string& path, long inFlags = 0, TimeValue atTime = 0) {
    ImportResult r;
    FSSpec fileRef;
    NativePathNameToFSSpec(path.c_str(), &fileRef, 0);
    r.result = HostComponentCall(importer_, qtzyn::kMovieImportFileSelect, &fileRef, movie_, Track(nullptr), &r.used,
                                 atTime, &r.added, inFlags, &r.outFlags);
    return r;
  }
  ImportResult ImportDataRef(Handle dataRef, OSType type, Movie movie, long inFlags = 0, TimeValue atTime = 0) {
    ImportResult r;
    r.result = HostComponentCall(importer_, qtzyn::kMovieImportDataRefSelect, dataRef, type, movie, Track(nullptr),
                                 &r.used, atTime, &r.added, inFlags, &r.outFlags);
    return r;
  }

  // The size and duration an import of `options` gives.
  struct Imported {
    SInt32 width = 0, height = 0;
    TimeValue duration = 0;
  };
  Imported ImportScene(const SceneFileOptions& options) {
    const std::string path = dir_.File("scene" + std::to_string(++files_) + ".zyn");
    WriteSceneFile(path, options);
    return ImportPath(path);
  }
  Imported ImportPath(const std::string& path) {
    Imported out;
    const ImportResult r = ImportFile(path);
    EXPECT_EQ(r.result, noErr);
    if (r.used == nullptr) return out;
    Fixed w = 0, h = 0;
    GetTrackDimensions(r.used, &w, &h);
    out.width = FixedToInt(w);
    out.height = FixedToInt(h);
    out.duration = GetMediaDuration(GetTrackMedia(r.used));
    EXPECT_EQ(Globals()->width, out.width);
    EXPECT_EQ(Globals()->height, out.height);
    EXPECT_EQ(Globals()->duration, out.duration);
    return out;
  }

  testing_support::TempDir dir_;
  int files_ = 0;
  ComponentInstance importer_ = nullptr;
  Movie movie_ = nullptr;
};

TEST_F(MovieImportTest, MakesOneEnabledTrackWhoseOneSampleIsTheWholeFile) {
  const std::string path = dir_.File("scene.zyn");
  SceneFileOptions options;
  options.takeTicks = {2 * kTicksPerSecond, 301 * kTicksPerSecond / 100};
  WriteSceneFile(path, options);
  const long fileSize = static_cast<long>(testing_support::ReadFileBytes(path).size());

  const ImportResult r = ImportFile(path, 0, 0);
  ASSERT_EQ(r.result, noErr);
  ASSERT_EQ(GetMovieTrackCount(movie_), 1);
  EXPECT_EQ(r.used, GetMovieIndTrack(movie_, 1));
  EXPECT_EQ(r.outFlags, 0x100 | movieImportCreateTrack);
  EXPECT_TRUE(GetTrackEnabled(r.used));
  EXPECT_EQ(GetTrackVolume(r.used), 0);

  Media media = GetTrackMedia(r.used);
  OSType type = 0;
  GetMediaHandlerDescription(media, &type, nullptr, nullptr);
  EXPECT_EQ(type, FOUR_CHAR_CODE("vzyn"));
  EXPECT_EQ(GetMediaTimeScale(media), 60);
  // ceil(3.01 × 60) + 1 media units; at the movie's 600 per second, ten times that.
  EXPECT_EQ(GetMediaDuration(media), 182);
  EXPECT_EQ(r.added, 1820);
  EXPECT_EQ(GetTrackDuration(r.used), 1820);

  long offset = -1, size = -1, count = 0;
  ASSERT_EQ(GetMediaSampleReference(media, &offset, &size, 0, nullptr, nullptr, nullptr, nullptr, 10, &count,
                                    nullptr),
            noErr);
  EXPECT_EQ(offset, 0);
  EXPECT_EQ(size, fileSize);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(GetMediaSampleDescriptionCount(media), 1);

  // The media names the file through an 'alis' reference.
  Handle dataRef = nullptr;
  OSType dataRefType = 0;
  ASSERT_EQ(GetMediaDataRef(media, 1, &dataRef, &dataRefType, nullptr), noErr);
  std::string referenced;
  EXPECT_EQ(HostFileDataRefPath(dataRef, dataRefType, &referenced), noErr);
  EXPECT_EQ(referenced, path);
  DisposeHandle(dataRef);
  EXPECT_FALSE(qtzyn::ViewerCore::Get()->importing);
}

TEST_F(MovieImportTest, TheSampleDescriptionHoldsTheImageDescriptionInTheProcessorsByteOrder) {
  const std::string path = dir_.File("scene.zyn");
  SceneFileOptions options;
  options.headerMode = "Fixed Resolution";
  options.headerW = 321;
  options.headerH = 123;
  // 1100 s: 66001 media units, whose frame count keeps the low 16 bits (465).
  options.takeTicks = {1100 * kTicksPerSecond};
  WriteSceneFile(path, options);
  const SInt32 fileSize = static_cast<SInt32>(testing_support::ReadFileBytes(path).size());
  const ImportResult r = ImportFile(path);
  ASSERT_EQ(r.result, noErr);

  Handle got = NewHandleClear(0);
  GetMediaSampleDescription(GetTrackMedia(r.used), 1, reinterpret_cast<SampleDescriptionHandle>(got));
  ASSERT_EQ(GetHandleSize(got), 86);

  unsigned char want[86] = {};
  auto put = [&want](std::size_t at, auto value) { std::memcpy(want + at, &value, sizeof value); };
  put(0, SInt32(86));
  put(4, OSType(0x767A796E));  // 'vzyn'
  put(32, SInt16(321));
  put(34, SInt16(123));
  put(36, Fixed(0x00480000));
  put(40, Fixed(0x00480000));
  put(44, fileSize);
  put(48, UInt16(66001 & 0xFFFF));
  put(82, SInt16(32));
  put(84, SInt16(-1));
  EXPECT_EQ(std::memcmp(*got, want, sizeof want), 0);
  DisposeHandle(got);
}

struct SizeCase {
  const char* mode;
  double w, h;
  SInt32 width, height;
};

TEST_F(MovieImportTest, EachSizeModeOfTheHeaderGivesItsTrackSize) {
  const SizeCase cases[] = {
      {"Window Size", 640, 480, 500, 280},
      {"Fixed Ratio", 1.5, 0.5, 750, 140},
      {"Fixed Ratio", 0.0019, 1, 0, 280},  // products are truncated, even to 0
      {"Fixed Resolution", 640, 480, 640, 480},
      {"Fixed Resolution", 640.99, 480.5, 640, 480},
      {"Fixed Width Resolution", 320, 0.75, 320, 240},
      {"Fixed Width Resolution", 320, 0, 320, 320},  // 0 or less counts as 1.0
      {"Fixed Height Resolution", 1.5, 300, 450, 300},
      {"Fixed Height Resolution", 333, -2, 333, 1},
      {"Fixed Resolution", -640, 0, 1, 1},
      {"fixed resolution", 640, 480, 500, 280},  // names compare exactly
      {"", 640, 480, 500, 280},
      {"Fixed Resolution", 1e300, 1e-300, 32767, 0},  // kept to what a track can hold
  };
  for (const SizeCase& c : cases) {
    SceneFileOptions options;
    options.headerMode = c.mode;
    options.headerW = c.w;
    options.headerH = c.h;
    const Imported got = ImportScene(options);
    EXPECT_EQ(got.width, c.width) << c.mode << " " << c.w << " x " << c.h;
    EXPECT_EQ(got.height, c.height) << c.mode << " " << c.w << " x " << c.h;
  }
}

TEST_F(MovieImportTest, WithoutTheHeadersCameraTheScenesDefaultCameraSizesTheTrack) {
  for (bool binary : {true, false}) {
    SceneFileOptions options;
    options.binary = binary;
    options.headerCamera = false;
    options.cameraMode = 3;  // Fixed Width Resolution
    options.cameraW = 320;
    options.cameraH = 0.75;
    options.takeTicks = {2 * kTicksPerSecond, 301 * kTicksPerSecond / 100};
    const Imported got = ImportScene(options);
    EXPECT_EQ(got.width, 320) << binary;
    EXPECT_EQ(got.height, 240) << binary;
    EXPECT_EQ(got.duration, 182) << binary;
  }
}

TEST_F(MovieImportTest, TheLongestTakeSetsTheDurationWhereverTheTakesAreListed) {
  struct Case {
    bool binary, summary;
    std::vector<std::int64_t> takes;
    TimeValue duration;
  };
  const Case cases[] = {
      {true, true, {2 * kTicksPerSecond, 301 * kTicksPerSecond / 100}, 182},  // the document summary
      {true, false, {2 * kTicksPerSecond, 301 * kTicksPerSecond / 100}, 182},  // the scene
      {false, false, {301 * kTicksPerSecond / 100, 2 * kTicksPerSecond}, 182},
      {true, true, {-3 * kTicksPerSecond}, 181},             // a take that runs backwards
      {true, true, {kTicksPerSecond / 60}, 2},               // exactly one unit: no rounding up
      {true, true, {kTicksPerSecond / 60 + 1}, 3},           // one tick more: the next unit
      {true, true, {0}, 1},
      {true, true, {}, 1},
  };
  for (const Case& c : cases) {
    SceneFileOptions options;
    options.binary = c.binary;
    options.documentSummary = c.summary;
    options.takeTicks = c.takes;
    EXPECT_EQ(ImportScene(options).duration, c.duration) << c.binary << c.summary << " " << c.takes.size();
  }
}

TEST_F(MovieImportTest, ABinaryFileIsSizedAndTimedFromItsHeaderAndSummaryAlone) {
  // Damaging the main section's contents changes nothing: only the header
  // and the document summary are read.
  const std::string path = dir_.File("scene.zyn");
  SceneFileOptions options;
  options.headerMode = "Fixed Width Resolution";
  options.headerW = 320;
  options.headerH = 0.75;
  options.takeTicks = {2 * kTicksPerSecond, 301 * kTicksPerSecond / 100};
  WriteSceneFile(path, options);
  std::string bytes = testing_support::ReadFileBytes(path);
  const std::size_t middle = bytes.size() / 3;
  for (std::size_t i = middle; i < middle + 64; ++i) bytes[i] = '\xEE';
  ASSERT_TRUE(testing_support::WriteFileBytes(path, bytes));
  const Imported got = ImportPath(path);
  EXPECT_EQ(got.width, 320);
  EXPECT_EQ(got.height, 240);
  EXPECT_EQ(got.duration, 182);
}

TEST_F(MovieImportTest, FilesThatCannotBeScannedGiveTheDefaultsSilently) {
  const std::string notScene = dir_.File("text.zyn");
  ASSERT_TRUE(testing_support::WriteFileBytes(notScene, "just some text\nand more\n"));
  const std::string empty = dir_.File("empty.zyn");
  ASSERT_TRUE(testing_support::WriteFileBytes(empty, ""));
  const std::string scene = dir_.File("scene.zyn");
  SceneFileOptions options;
  options.takeTicks = {3 * kTicksPerSecond};
  WriteSceneFile(scene, options);
  const std::string whole = testing_support::ReadFileBytes(scene);
  // Cut inside the 27-byte header and inside the header extension.
  std::vector<std::string> paths = {notScene, empty, dir_.File("missing.zyn")};
  for (std::size_t cut : {std::size_t(10), std::size_t(26), std::size_t(40)}) {
    paths.push_back(dir_.File("cut" + std::to_string(cut) + ".zyn"));
    ASSERT_TRUE(testing_support::WriteFileBytes(paths.back(), whole.substr(0, cut)));
  }
  for (const std::string& path : paths) {
    const ImportResult r = ImportFile(path);
    ASSERT_EQ(r.result, noErr) << path;
    Fixed w = 0, h = 0;
    GetTrackDimensions(r.used, &w, &h);
    EXPECT_EQ(FixedToInt(w), 500) << path;
    EXPECT_EQ(FixedToInt(h), 280) << path;
    EXPECT_EQ(GetMediaDuration(GetTrackMedia(r.used)), 1) << path;
  }
}

TEST_F(MovieImportTest, AProtectedFileIsSizedByItsHeaderAlone) {
  const std::string path = dir_.File("sealed.zyn");
  VScene scene;
  scene.takes().Create("Take 001")->local_span = VTimeSpan(VTime(0), VTime(3 * kTicksPerSecond));
  VZynFile file;
  file.SetPassword("secret");
  file.SetHeaderCamera("Fixed Resolution", 720, 576);
  ASSERT_TRUE(file.CreateFile(path, true, true, "Model::Cam"));
  std::string message;
  ASSERT_TRUE(VZynSceneWriter(file, scene, nullptr).Write(&message)) << message;
  ASSERT_TRUE(file.CloseFile());
  // Its takes are sealed: without the password the duration stays 1/60 s.
  const Imported got = ImportPath(path);
  EXPECT_EQ(got.width, 720);
  EXPECT_EQ(got.height, 576);
  EXPECT_EQ(got.duration, 1);
}

TEST_F(MovieImportTest, TruncatedScenesImportWithoutHarmAtEveryCut) {
  for (bool binary : {true, false}) {
    for (bool header : {true, false}) {
      const std::string path = dir_.File("whole.zyn");
      SceneFileOptions options;
      options.binary = binary;
      options.headerCamera = header;
      options.cameraMode = 2;
      options.takeTicks = {3 * kTicksPerSecond};
      WriteSceneFile(path, options);
      const std::string whole = testing_support::ReadFileBytes(path);
      const std::string cutPath = dir_.File("cut.zyn");
      for (std::size_t cut = 0; cut < whole.size(); cut += whole.size() / 13 + 1) {
        ASSERT_TRUE(testing_support::WriteFileBytes(cutPath, whole.substr(0, cut)));
        const Imported got = ImportPath(cutPath);
        EXPECT_GE(got.duration, 1);
        EXPECT_LE(got.duration, 181);
        EXPECT_GE(got.width, 0);
      }
    }
  }
}

TEST_F(MovieImportTest, AnImportByReferenceIsNotSizedFromAnEarlierFile) {
  SceneFileOptions options;
  options.takeTicks = {3 * kTicksPerSecond};
  const std::string first = dir_.File("first.zyn");
  WriteSceneFile(first, options);
  ASSERT_EQ(ImportFile(first).result, noErr);
  EXPECT_EQ(Globals()->path[0], '\0');

  // Directly by reference, the stored path is empty: the defaults.
  Handle dataRef = nullptr;
  ASSERT_EQ(HostNewFileDataRef(first.c_str(), &dataRef), noErr);
  const ImportResult r = ImportDataRef(dataRef, rAliasType, movie_);
  DisposeHandle(dataRef);
  ASSERT_EQ(r.result, noErr);
  EXPECT_EQ(Globals()->width, 500);
  EXPECT_EQ(Globals()->height, 280);
  EXPECT_EQ(Globals()->duration, 1);
  EXPECT_EQ(GetMovieTrackCount(movie_), 2);  // a second import adds a track of its own
}

TEST_F(MovieImportTest, MustUseTrackIsRefusedWithNothingMade) {
  const std::string path = dir_.File("scene.zyn");
  WriteSceneFile(path, SceneFileOptions());
  const ImportResult r = ImportFile(path, movieImportMustUseTrack);
  EXPECT_EQ(r.result, paramErr);
  EXPECT_EQ(GetMovieTrackCount(movie_), 0);
  EXPECT_EQ(r.used, nullptr);
  EXPECT_EQ(r.outFlags, 0x100);
  EXPECT_EQ(r.added, -7);
  EXPECT_FALSE(qtzyn::ViewerCore::Get()->importing);
}

TEST_F(MovieImportTest, AFailedTrackMediaOrSampleLeavesNoTrackOrMediaBehind) {
  const std::string path = dir_.File("scene.zyn");
  WriteSceneFile(path, SceneFileOptions());
  Handle dataRef = nullptr;
  ASSERT_EQ(HostNewFileDataRef(path.c_str(), &dataRef), noErr);

  // The track: a movie that is gone.
  Movie gone = NewMovie(0);
  DisposeMovie(gone);
  ImportResult r = ImportDataRef(dataRef, rAliasType, gone);
  EXPECT_EQ(r.result, invalidMovie);

  // The media: a reference that is not a live handle, refused after the
  // track was made.
  char* notAHandle[1] = {nullptr};
  r = ImportDataRef(reinterpret_cast<Handle>(notAHandle), rAliasType, movie_);
  EXPECT_EQ(r.result, paramErr);
  EXPECT_EQ(GetMovieTrackCount(movie_), 0);

  // The insertion into the track, after the media and its sample were made.
  r = ImportDataRef(dataRef, rAliasType, movie_, 0, -5);
  EXPECT_EQ(r.result, invalidTime);
  EXPECT_EQ(GetMovieTrackCount(movie_), 0);
  EXPECT_EQ(r.used, nullptr);
  EXPECT_EQ(r.outFlags, 0x100);
  EXPECT_EQ(r.added, -7);
  EXPECT_FALSE(qtzyn::ViewerCore::Get()->importing);

  // The same instance imports again once the movie is good.
  r = ImportDataRef(dataRef, rAliasType, movie_);
  EXPECT_EQ(r.result, noErr);
  EXPECT_EQ(GetMovieTrackCount(movie_), 1);
  DisposeHandle(dataRef);
}

TEST(MovieImportMimeList, AnswersTheRegisteredMimeAtomContainer) {
  const Component importer = component_test::FindComponent(MovieImportType, FOUR_CHAR_CODE("vzyn"));
  ASSERT_NE(importer, nullptr);
  ComponentInstance ci = nullptr;
  ASSERT_EQ(OpenAComponent(importer, &ci), noErr);
  QTAtomContainer mime = nullptr;
  ASSERT_EQ(HostComponentCall(ci, qtzyn::kMovieImportGetMIMETypeListSelect, &mime), noErr);
  ASSERT_NE(mime, nullptr);
  Handle resource = nullptr;
  ASSERT_EQ(GetComponentPublicResource(importer, FOUR_CHAR_CODE("mime"), 128, &resource), noErr);
  const std::string got(*mime, static_cast<std::size_t>(GetHandleSize(mime)));
  EXPECT_EQ(got, std::string(*resource, static_cast<std::size_t>(GetHandleSize(resource))));
  EXPECT_EQ(got.size(), 12u + 218u);
  EXPECT_NE(got.find("animation/zentrax-zyn"), std::string::npos);
  EXPECT_NE(got.find("animation/x-zentrax-zyn"), std::string::npos);
  EXPECT_EQ(HostComponentCall(ci, qtzyn::kMovieImportGetMIMETypeListSelect, static_cast<QTAtomContainer*>(nullptr)),
            paramErr);
  DisposeHandle(mime);
  DisposeHandle(resource);
  EXPECT_EQ(CloseComponent(ci), noErr);
}

}  // namespace
