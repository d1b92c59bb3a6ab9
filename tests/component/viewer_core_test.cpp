// The viewer core's life, its loading and its failures, driven in-process
// through the media handler's and the importer's dispatch routines.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "component/component_dispatch.h"
#include "host/data_handler.h"
#include "media_handler_fixture.h"
#include "zynfile/zyn_file.h"
#include "document/scene_writer.h"
#include "sdk/yr_system.h"

namespace {

using media_test::MediaHandlerTest;
using qtzyn::LoadError;
using qtzyn::LoadState;
using qtzyn::ViewerCore;

class ViewerCoreTest : public MediaHandlerTest {
 protected:
  // Data reading resources are gone once "after load" has run.
  static void ExpectDataReadingReleased() {
    ViewerCore* core = ViewerCore::Get();
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(core->dataHandler, nullptr);
    EXPECT_EQ(core->dataBuffer, nullptr);
    EXPECT_EQ(core->dataRef, nullptr);
    EXPECT_EQ(core->dataSize, 0);
  }

  ComponentInstance OpenScene(const std::vector<uint8_t>& bytes, const char* name = "scene.zyn") {
    return OpenFor(MakeTrack(WriteScene(bytes, name), 200, 100));
  }
};

Component RegisteredImporter() {
  static const Component importer = [] {
    ComponentDescription cd;
    cd.componentType = MovieImportType;
    cd.componentSubType = media_test::kZynMediaType;
    return RegisterComponent(&cd, &qtzyn::ImporterDispatch, 0, nullptr, nullptr, nullptr);
  }();
  return importer;
}

TEST_F(ViewerCoreTest, InstancesAreNumberedInOrderAndTheLastHandlerCloseDestroysTheCore) {
  const std::vector<uint8_t> scene = media_test::SmallScene(1, 1, 1.0);
  ComponentInstance a = OpenScene(scene, "a.zyn");
  ComponentInstance b = OpenScene(scene, "b.zyn");
  ComponentInstance c = OpenScene(scene, "c.zyn");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(Globals(b).instanceId, Globals(a).instanceId + 1);
  EXPECT_EQ(Globals(c).instanceId, Globals(a).instanceId + 2);
  ViewerCore* core = ViewerCore::Get();
  ASSERT_NE(core, nullptr);
  EXPECT_EQ(core->openInstances, 3);
  EXPECT_EQ(core->activeInstanceId, Globals(a).instanceId);

  // An importer that closes while handlers are open leaves the core alone.
  ComponentInstance importer = nullptr;
  ASSERT_EQ(OpenAComponent(RegisteredImporter(), &importer), noErr);
  CloseComponent(importer);
  EXPECT_EQ(ViewerCore::Get(), core);

  Close(a);
  EXPECT_EQ(ViewerCore::Get(), core);
  EXPECT_EQ(core->activeInstanceId, 0);
  Close(b);
  EXPECT_EQ(ViewerCore::Get(), core);
  Close(c);
  EXPECT_FALSE(ViewerCore::Exists());
}

TEST_F(ViewerCoreTest, ImporterCloseDestroysACoreNoHandlerUses) {
  ViewerCore* core = ViewerCore::GetOrCreate();  // as an import makes it
  EXPECT_TRUE(core->kernelStarted);
  EXPECT_EQ(core->ZynManager().FindProperty("Async").AsInt(), 0);
  EXPECT_EQ(core->ZynManager().FindProperty("ClearBeforeLoad").AsInt(), 1);
  EXPECT_EQ(core->ZynManager().FindProperty("Selected").AsInt(), 0);
  ComponentInstance importer = nullptr;
  ASSERT_EQ(OpenAComponent(RegisteredImporter(), &importer), noErr);
  CloseComponent(importer);
  EXPECT_FALSE(ViewerCore::Exists());
}

TEST_F(ViewerCoreTest, SceneLoadsOnTheLoaderThreadAndAfterLoadReleasesTheData) {
  ComponentInstance mh = OpenScene(media_test::SmallScene(2, 1, 1.0));
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  ViewerCore* core = ViewerCore::Get();
  EXPECT_EQ(core->loadError.load(), LoadError::kNone);
  EXPECT_EQ(core->progress.load(), 0);
  EXPECT_TRUE(core->loaded);
  ExpectDataReadingReleased();
  // A scene of 2 seconds (media duration 120) is not free running without triggers.
  EXPECT_FALSE(Globals(mh).freeRunning);
  EXPECT_FALSE(Globals(mh).triggering);
}

// A parse that fails still runs "after load"; each failure names its cause.
TEST_F(ViewerCoreTest, FailedParsesEndInFailedWithTheirLoadErrorAndReleaseTheData) {
  const std::vector<uint8_t> good = media_test::SmallScene(3, 2, 1.0);
  std::vector<uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);

  // A protected scene opened without its password.
  const std::string protectedPath = dir_.File("sealed.zyn");
  {
    VScene scene;
    scene.Add(std::make_unique<VCamera>("Camera 1"));
    VZynFile file;
    file.SetPassword("secret");
    ASSERT_TRUE(file.CreateFile(protectedPath, true, true, ""));
    std::string message;
    ASSERT_TRUE(VZynSceneWriter(file, scene, nullptr).Write(&message)) << message;
    ASSERT_TRUE(file.CloseFile());
  }
  const std::vector<uint8_t> notAScene = {'n', 'o', 't', ' ', 'a', ' ', 's', 'c', 'e', 'n', 'e'};

  struct Case {
    const char* name;
    std::string path;
    LoadError error;
  };
  const Case cases[] = {
      {"not a scene", WriteScene(notAScene, "text.zyn"), LoadError::kInvalidFile},
      {"truncated", WriteScene(truncated, "truncated.zyn"), LoadError::kInvalidFile},
      {"password protected", protectedPath, LoadError::kPasswordProtected},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ComponentInstance mh = OpenFor(MakeTrack(c.path, 200, 100));
    ASSERT_EQ(IdleUntilSettled(mh), LoadState::kFailed);
    EXPECT_EQ(ViewerCore::Get()->loadError.load(), c.error);
    EXPECT_FALSE(ViewerCore::Get()->loaded);
    ExpectDataReadingReleased();
    // The failure stays until the instance closes.
    Idle(mh, 0);
    EXPECT_EQ(ViewerCore::Get()->loadState.load(), LoadState::kFailed);
    Close(mh);
  }
}

TEST_F(ViewerCoreTest, FileThatVanishedBeforePlayFailsAsNotOpened) {
  const std::string path = WriteScene(media_test::SmallScene(1, 1, 1.0));
  ComponentInstance mh = OpenFor(MakeTrack(path, 200, 100));
  ASSERT_EQ(std::remove(path.c_str()), 0);
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kFailed);
  EXPECT_EQ(ViewerCore::Get()->loadError.load(), LoadError::kOpenFailed);
  ExpectDataReadingReleased();
}

// Bytes that have not all arrived end the attempt with the state still
// Loading (the loading panel stays); closing releases what was opened.
TEST_F(ViewerCoreTest, DataNotYetArrivedLeavesTheStateLoading) {
  ComponentInstance mh = OpenScene(media_test::SmallScene(3, 1, 1.0));
  setenv(kDataPieceSizeVariable, "64", 1);
  for (int i = 0; i < 3; ++i) Idle(mh, 0);
  unsetenv(kDataPieceSizeVariable);
  ViewerCore* core = ViewerCore::Get();
  EXPECT_EQ(core->loadState.load(), LoadState::kLoading);
  EXPECT_NE(core->dataHandler, nullptr);
  EXPECT_GT(core->dataSize, 0);
  EXPECT_LT(core->availableSize, core->dataSize);
  Close(mh);
  EXPECT_FALSE(ViewerCore::Exists());
}

// A file delivered in pieces: each idle call tries once more, reading on
// from the pieces already read, and the scene loads once every byte is
// there (a scene read short would fail as damaged).
TEST_F(ViewerCoreTest, AFileDeliveredInPiecesLoadsOnceItsLastPieceHasArrived) {
  const std::vector<uint8_t> bytes = media_test::SmallScene(3, 1, 1.0);
  constexpr SInt32 kPiece = 256;
  ComponentInstance mh = OpenScene(bytes);
  setenv(kDataPieceSizeVariable, std::to_string(kPiece).c_str(), 1);
  Idle(mh, 0);  // opens the data handler, which reads the variable
  unsetenv(kDataPieceSizeVariable);
  ViewerCore* core = ViewerCore::Get();
  ASSERT_EQ(core->loadState.load(), LoadState::kLoading);
  ASSERT_TRUE(core->AwaitsData());
  EXPECT_EQ(core->dataSize, static_cast<SInt32>(bytes.size()));
  // An attempt makes two calls to the data handler (the read that finds
  // too little, then the available size), each letting one piece arrive:
  // more than one attempt in a call would show as a larger step.
  const int bound = static_cast<int>(bytes.size()) / kPiece + 2;
  int calls = 1;
  for (SInt32 before = core->availableSize; core->AwaitsData() && calls < bound; ++calls) {
    Idle(mh, 0);
    if (core->AwaitsData() && core->availableSize < core->dataSize) {  // the last piece may be short
      EXPECT_EQ(core->availableSize - before, 2 * kPiece) << "call " << calls;
    }
    before = core->availableSize;
  }
  EXPECT_FALSE(core->AwaitsData()) << "still waiting after " << calls << " calls";
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kLoaded);
  EXPECT_EQ(core->loadError.load(), LoadError::kNone);
  EXPECT_TRUE(core->loaded);
  ExpectDataReadingReleased();
  EXPECT_FALSE(core->AwaitsData());
}

// A file that shrinks while its pieces arrive can never be read whole: the
// retry ends on the failure screen instead of loading for ever.
TEST_F(ViewerCoreTest, AFileThatShrinksWhileArrivingFailsAsNotOpened) {
  const std::vector<uint8_t> bytes = media_test::SmallScene(3, 1, 1.0);
  const std::string path = WriteScene(bytes);
  ComponentInstance mh = OpenFor(MakeTrack(path, 200, 100));
  setenv(kDataPieceSizeVariable, "128", 1);
  Idle(mh, 0);
  unsetenv(kDataPieceSizeVariable);
  ASSERT_TRUE(ViewerCore::Get()->AwaitsData());
  ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(bytes.size() / 2)), 0);
  ASSERT_EQ(IdleUntilSettled(mh), LoadState::kFailed);
  EXPECT_EQ(ViewerCore::Get()->loadError.load(), LoadError::kOpenFailed);
  EXPECT_FALSE(ViewerCore::Get()->AwaitsData());
  ExpectDataReadingReleased();
}

TEST_F(ViewerCoreTest, SecondInstanceReadsItsFileOnlyOnceTheFirstHasClosed) {
  ComponentInstance first = OpenScene(media_test::SmallScene(1, 1, 1.0), "first.zyn");
  ComponentInstance second = OpenScene(media_test::SmallScene(4, 1, 1.0), "second.zyn");
  ASSERT_EQ(IdleUntilSettled(first), LoadState::kLoaded);
  const size_t firstCameras = YrSDK::YrSystem().GetCameras().size();
  for (int i = 0; i < 5; ++i) Idle(second, 0);
  ViewerCore* core = ViewerCore::Get();
  EXPECT_EQ(core->activeInstanceId, Globals(first).instanceId);
  EXPECT_EQ(core->dataHandler, nullptr);
  EXPECT_EQ(YrSDK::YrSystem().GetCameras().size(), firstCameras);

  Close(first);
  ASSERT_EQ(ViewerCore::Get(), core);
  EXPECT_EQ(core->loadState.load(), LoadState::kIdle);
  EXPECT_TRUE(YrSDK::YrSystem().GetCameras().size() < firstCameras);  // the scene was cleared
  ASSERT_EQ(IdleUntilSettled(second), LoadState::kLoaded);
  EXPECT_EQ(core->activeInstanceId, Globals(second).instanceId);
  EXPECT_EQ(YrSDK::YrSystem().GetCameras().size(), firstCameras + 3);
}

// Closing while the loader thread parses stops it; the core goes with it.
// (Run under TSan and ASan: no race with the thread, nothing leaked.)
TEST_F(ViewerCoreTest, ClosingDuringALoadStopsTheLoaderThread) {
  VScene scene;
  VTake* take = scene.takes().Create("Take 1");
  take->local_span = VTimeSpan(VTime(0), VTime(46186158000LL));
  for (int m = 0; m < 400; ++m) {
    auto* model = scene.Add(std::make_unique<VCamera>("Camera " + std::to_string(m)));
    (void)model;
  }
  const std::vector<uint8_t> bytes = testing_support::WriteSceneToMemory(scene, true);
  for (int attempt = 0; attempt < 3; ++attempt) {
    ComponentInstance mh = OpenScene(bytes, "big.zyn");
    Idle(mh, 0);  // starts the loader thread
    Close(mh);
    EXPECT_FALSE(ViewerCore::Exists());
  }
}

TEST_F(ViewerCoreTest, EngineKeysOfVirtualKeys) {
  const std::pair<int, int> table[] = {{33, 0}, {34, 1}, {35, 2}, {36, 3}, {37, 4},  {38, 5},  {39, 6},
                                       {40, 7}, {13, 8}, {27, 9}, {32, 10}, {49, 11}, {57, 19}, {48, 20},
                                       {112, 21}, {123, 32}};
  for (const auto& [virtualKey, engineKey] : table) {
    EXPECT_EQ(ViewerCore::EngineKeyOfVirtualKey(virtualKey), engineKey) << virtualKey;
  }
  for (int none : {0, 12, 31, 41, 47, 58, 65, 90, 111, 124, 511, 512, -1}) {
    EXPECT_EQ(ViewerCore::EngineKeyOfVirtualKey(none), -1) << none;
  }
}

}  // namespace
