#pragma once
// The media handler driven in-process: its dispatch routine registered from
// code (standing for "QTZyn.qtx", so that its keyboard hook installs), a
// movie whose one track references a scene file written by the engine, a
// drawing port whose text calls are recorded, and helpers that idle and
// send events with real parameter blocks.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "animation/take.h"
#include "animation/take_list.h"
#include "component/component_dispatch.h"
#include "component/component_globals.h"
#include "component/media_drawing_state.h"
#include "component/viewer_core.h"
#include "host/component_manager.h"
#include "host/data_references.h"
#include "host/handles.h"
#include "host/media_handler_calls.h"
#include "host/movies.h"
#include "host/port_text.h"
#include "host/ports.h"
#include "scene/camera.h"
#include "scene/scene.h"
#include "support/scene_memory.h"
#include "support/temp_dir.h"

namespace media_test {

constexpr OSType kZynMediaType = FOUR_CHAR_CODE("vzyn");
constexpr int kPortWidth = 320;
constexpr int kPortHeight = 240;
constexpr long kNoModifierKey = btnState;

inline Component RegisteredHandler() {
  static const Component handler = [] {
    ComponentDescription cd;
    cd.componentType = MediaHandlerType;
    cd.componentSubType = kZynMediaType;
    Component c = RegisterComponent(&cd, &qtzyn::MediaHandlerDispatch, 0, nullptr, nullptr, nullptr);
    HostSetComponentModuleName(c, "QTZyn.qtx");
    return c;
  }();
  return handler;
}

// A scene with `cameras` cameras and `takes` takes of `seconds` each.
inline std::vector<uint8_t> SmallScene(int cameras, int takes, double seconds) {
  VScene scene;
  for (int i = 0; i < cameras; ++i) scene.Add(std::make_unique<VCamera>("Camera " + std::to_string(i + 1)));
  VTakeList& list = scene.takes();
  for (int i = 0; i < takes; ++i) {
    VTake* take = list.Create("Take " + std::to_string(i + 1));
    VTime stop;
    stop.SetSecondDouble(seconds);
    take->local_span = VTimeSpan(VTime(0), stop);
    take->reference_span = take->local_span;
  }
  if (takes > 0) list.SetCurrent(list.Find("Take 1"));
  return testing_support::WriteSceneToMemory(scene, true);
}

struct Texts {
  std::vector<PortTextCall> calls;
  const PortTextCall* Find(const std::string& text) const {
    for (const PortTextCall& c : calls) {
      if (c.text == text) return &c;
    }
    return nullptr;
  }
};

class MediaHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qtzyn::ResetDrawingState();
    port_ = CreatePort(kPortWidth, kPortHeight);
    ASSERT_NE(port_, nullptr);
    SetPort(port_);
    SetPortTextObserver(
        port_, [](GrafPtr, const PortTextCall& call, void* user) { static_cast<Texts*>(user)->calls.push_back(call); },
        &texts_);
  }

  void TearDown() override {
    for (auto it = handlers_.rbegin(); it != handlers_.rend(); ++it) CloseComponent(*it);
    handlers_.clear();
    EXPECT_FALSE(qtzyn::ViewerCore::Exists());
    for (Movie m : movies_) DisposeMovie(m);
    SetPort(nullptr);
    DisposePort(port_);
  }

  // A movie with one track of `width` × `height` whose media's one sample
  // is the whole file at `path`, lasting `duration` 60ths of a second.
  Track MakeTrack(const std::string& path, int width, int height, TimeValue duration = 120) {
    Movie movie = NewMovie(newMovieActive);
    movies_.push_back(movie);
    Track track = NewMovieTrack(movie, IntToFixed(width), IntToFixed(height), 0);
    Handle dataRef = nullptr;
    EXPECT_EQ(HostNewFileDataRef(path.c_str(), &dataRef), noErr);
    Media media = NewTrackMedia(track, kZynMediaType, 60, dataRef, rAliasType);
    DisposeHandle(dataRef);
    auto desc = reinterpret_cast<SampleDescriptionHandle>(NewHandleClear(sizeof(SampleDescription)));
    (*desc)->descSize = sizeof(SampleDescription);
    (*desc)->dataFormat = kZynMediaType;
    const std::string bytes = testing_support::ReadFileBytes(path);
    EXPECT_EQ(AddMediaSampleReference(media, 0, static_cast<unsigned long>(std::max<std::size_t>(bytes.size(), 1)),
                                      duration, desc, 1, 0, nullptr),
              noErr);
    DisposeHandle(reinterpret_cast<Handle>(desc));
    InsertMediaIntoTrack(track, 0, 0, duration, fixed1);
    return track;
  }

  std::string WriteScene(const std::vector<uint8_t>& bytes, const char* name = "scene.zyn") {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(testing_support::WriteFileBytes(path, std::string(bytes.begin(), bytes.end())));
    return path;
  }

  // Opens a handler and initialises it for `track`.
  ComponentInstance OpenFor(Track track) {
    ComponentInstance mh = nullptr;
    EXPECT_EQ(OpenAComponent(RegisteredHandler(), &mh), noErr);
    if (mh == nullptr) return nullptr;
    handlers_.push_back(mh);
    GetMovieCompleteParams gmc;
    gmc.theMovie = GetTrackMovie(track);
    gmc.theTrack = track;
    gmc.theMedia = GetTrackMedia(track);
    gmc.movieScale = 600;
    gmc.mediaScale = 60;
    GetTrackDimensions(track, &gmc.width, &gmc.height);
    GetTrackMatrix(track, &gmc.trackMovieMatrix);
    gmc.moviePort = port_;
    EXPECT_EQ(CallMediaInitialize(mh, &gmc), noErr);
    return mh;
  }

  void Close(ComponentInstance mh) {
    CloseComponent(mh);
    handlers_.erase(std::find(handlers_.begin(), handlers_.end(), mh));
  }

  static qtzyn::MediaGlobals& Globals(ComponentInstance mh) {
    return **reinterpret_cast<qtzyn::MediaGlobalsHandle>(GetComponentInstanceStorage(mh));
  }

  // One idle call; true when it drew. *result gets its answer.
  bool Idle(ComponentInstance mh, TimeValue t, long flagsIn = 0, ComponentResult* result = nullptr) {
    long flagsOut = 0;
    const ComponentResult r = CallMediaIdle(mh, t, flagsIn, &flagsOut, nullptr);
    if (result != nullptr) *result = r;
    return (flagsOut & mDidDraw) != 0;
  }

  // Idles until the scene has loaded or failed (a bounded number of calls).
  qtzyn::LoadState IdleUntilSettled(ComponentInstance mh, TimeValue t = 0) {
    for (int i = 0; i < 2000; ++i) {
      Idle(mh, t);
      const qtzyn::LoadState s = qtzyn::ViewerCore::Get()->loadState.load();
      if (s == qtzyn::LoadState::kLoaded || s == qtzyn::LoadState::kFailed) {
        Idle(mh, t);  // the call that runs "after load"
        return s;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return qtzyn::ViewerCore::Get()->loadState.load();
  }

  // Idles at one time until a call draws nothing (at most `limit` calls);
  // the number of calls that drew.
  int DrawsUntilQuiet(ComponentInstance mh, TimeValue t, int limit = 20) {
    int drawn = 0;
    while (drawn < limit && Idle(mh, t)) ++drawn;
    return drawn;
  }

  ComponentResult SendEvent(ComponentInstance mh, OSType type, long character = 0, long modifiers = kNoModifierKey,
                            short h = 10, short v = 10) {
    QTEventRecord event;
    event.eventType = type;
    event.where.h = h;
    event.where.v = v;
    event.param1 = character;
    event.param2 = modifiers;
    QTAtomContainer container = nullptr;
    QTAtom atom = 0;
    return CallMediaGetActionsForQTEvent(mh, &event, 0, &container, &atom);
  }
  ComponentResult Key(ComponentInstance mh, char c, long modifiers = kNoModifierKey) {
    return SendEvent(mh, kQTEventKey, static_cast<unsigned char>(c), modifiers);
  }

  // The port's pixel at (x, y): red, green, blue.
  std::array<int, 3> Pixel(int x, int y) const {
    const PortDrawContext* dc = GetPortDrawContext(port_);
    const std::uint8_t* p = dc->pixels + y * dc->row_bytes + x * 4;
    return {p[0], p[1], p[2]};
  }

  testing_support::TempDir dir_;
  GrafPtr port_ = nullptr;
  Texts texts_;
  std::vector<ComponentInstance> handlers_;
  std::vector<Movie> movies_;
};

}  // namespace media_test
