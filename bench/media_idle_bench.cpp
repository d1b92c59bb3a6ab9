// The media handler's idle call, as a player makes it through the
// component's dispatch, on the sample scene at 640 x 480:
//
// - an idle call with nothing to draw (the movie paused, nothing new), beside
//   the anchor of a dispatched call that does nothing (the media's name);
// - a playing movie's idle call: the scene evaluated at the new time,
//   rendered offscreen, the frame copied into the port and the text layer
//   drawn over it; beside it the anchors of the renderer alone drawing the
//   same frames through the same context wrapper into a port, and of filling
//   the port once.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>
#include <string>

#include "bench/bench_main.h"
#include "component/component_dispatch.h"
#include "component/component_globals.h"
#include "component/viewer_core.h"
#include "host/component_manager.h"
#include "host/data_references.h"
#include "host/handles.h"
#include "host/media_handler_calls.h"
#include "host/movies.h"
#include "host/ports.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_ogl_context_wrapper.h"
#include "sdk/yr_player_control.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_system.h"
#include "sdk/yr_time.h"
#include "sdk/yr_zyn_manager.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr OSType kZynMediaType = FOUR_CHAR_CODE("vzyn");
// The sample's first take lasts 4 s: 240 media units at 60 a second.
constexpr TimeValue kLoopUnits = 240;
const std::string kSample = std::string(QTZYN_EXAMPLES_DIR) + "/sample.zyn";

Component Handler() {
  static const Component handler = [] {
    ComponentDescription cd;
    cd.componentType = MediaHandlerType;
    cd.componentSubType = kZynMediaType;
    return RegisterComponent(&cd, &qtzyn::MediaHandlerDispatch, 0, nullptr, nullptr, nullptr);
  }();
  return handler;
}

// A movie of the sample scene, its media handler initialised and loaded,
// drawing into a port of its size.
class SamplePlayer {
 public:
  SamplePlayer() {
    port_ = CreatePort(kWidth, kHeight);
    SetPort(port_);
    movie_ = NewMovie(newMovieActive);
    Track track = NewMovieTrack(movie_, IntToFixed(kWidth), IntToFixed(kHeight), 0);
    Handle dataRef = nullptr;
    HostNewFileDataRef(kSample.c_str(), &dataRef);
    Media media = NewTrackMedia(track, kZynMediaType, 60, dataRef, rAliasType);
    DisposeHandle(dataRef);
    auto desc = reinterpret_cast<SampleDescriptionHandle>(NewHandleClear(sizeof(SampleDescription)));
    (*desc)->descSize = sizeof(SampleDescription);
    (*desc)->dataFormat = kZynMediaType;
    AddMediaSampleReference(media, 0, 1, kLoopUnits, desc, 1, 0, nullptr);
    DisposeHandle(reinterpret_cast<Handle>(desc));
    InsertMediaIntoTrack(track, 0, 0, kLoopUnits, fixed1);
    OpenAComponent(Handler(), &mh_);
    GetMovieCompleteParams gmc;
    gmc.theMovie = movie_;
    gmc.theTrack = track;
    gmc.theMedia = media;
    gmc.width = IntToFixed(kWidth);
    gmc.height = IntToFixed(kHeight);
    gmc.moviePort = port_;
    CallMediaInitialize(mh_, &gmc);
    for (int i = 0; i < 20000; ++i) {
      Idle(0, mMustDraw);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      const qtzyn::LoadState s = qtzyn::ViewerCore::Get()->loadState.load();
      if (s == qtzyn::LoadState::kLoaded || s == qtzyn::LoadState::kFailed) break;
    }
    Idle(0, 0);  // after load
  }
  ~SamplePlayer() {
    CloseComponent(mh_);
    DisposeMovie(movie_);
    SetPort(nullptr);
    DisposePort(port_);
  }
  bool Loaded() const { return qtzyn::ViewerCore::Exists() && qtzyn::ViewerCore::Get()->loadState == qtzyn::LoadState::kLoaded; }
  long Idle(TimeValue t, long flagsIn) {
    long flagsOut = 0;
    CallMediaIdle(mh_, t, flagsIn, &flagsOut, nullptr);
    return flagsOut;
  }
  ComponentInstance handler() const { return mh_; }
  GrafPtr port() const { return port_; }

 private:
  GrafPtr port_ = nullptr;
  Movie movie_ = nullptr;
  ComponentInstance mh_ = nullptr;
};

void BM_IdleNothingToDraw(benchmark::State& state) {
  SamplePlayer player;
  if (!player.Loaded()) return state.SkipWithError("the sample did not load");
  while (player.Idle(0, 0) != 0) {
  }
  long drawn = 0;
  for (auto _ : state) drawn += player.Idle(0, 0);
  if (drawn != 0) state.SkipWithError("an idle call drew");
}
BENCHMARK(BM_IdleNothingToDraw);

// Anchor: one dispatched call that does nothing but answer.
void BM_AnchorDispatchedCall(benchmark::State& state) {
  SamplePlayer player;
  unsigned char name[256];
  for (auto _ : state) benchmark::DoNotOptimize(CallMediaGetName(player.handler(), name, 0, nullptr));
}
BENCHMARK(BM_AnchorDispatchedCall);

void BM_IdlePlayingSample(benchmark::State& state) {
  SamplePlayer player;
  if (!player.Loaded()) return state.SkipWithError("the sample did not load");
  TimeValue t = 0;
  for (auto _ : state) {
    t = (t + 1) % kLoopUnits;
    if (player.Idle(t, 0) == 0) return state.SkipWithError("a playing idle call drew nothing");
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_IdlePlayingSample)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with the track holding focus: no prompt over the frame.
void BM_IdlePlayingSampleFocused(benchmark::State& state) {
  SamplePlayer player;
  if (!player.Loaded()) return state.SkipWithError("the sample did not load");
  (*reinterpret_cast<qtzyn::MediaGlobalsHandle>(GetComponentInstanceStorage(player.handler())))->hasFocus = true;
  TimeValue t = 0;
  for (auto _ : state) {
    t = (t + 1) % kLoopUnits;
    if (player.Idle(t, 0) == 0) return state.SkipWithError("a playing idle call drew nothing");
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_IdlePlayingSampleFocused)->Unit(benchmark::kMillisecond)->UseRealTime();

// Anchor: the renderer alone draws the same frames through a wrapper of its
// own into a port: the player moves, the frame renders and is copied.
void BM_AnchorRendererAlone(benchmark::State& state) {
  SamplePlayer player;  // keeps the kernel and the loaded scene
  if (!player.Loaded()) return state.SkipWithError("the sample did not load");
  YrSDK::YrOGLContextWrapper context(true);
  YrSDK::YrPixelFormatDescriptor descriptor;
  YrSDK::YrOGLContextWrapper::DefaultPixelFormat(descriptor);
  auto* dc = reinterpret_cast<YrSDK::YrDrawContext*>(GetPortHDC(player.port()));
  if (!context.AllocateForcingPBuffer(dc, descriptor, kWidth, kHeight, false) &&
      !context.AllocateForcingSWContext(dc, descriptor, kWidth, kHeight)) {
    return state.SkipWithError("no context");
  }
  YrSDK::YrRenderer renderer = YrSDK::YrSystem().GetRenderer();
  int frame = 0;
  for (auto _ : state) {
    frame = (frame + 1) % kLoopUnits;
    context.BeginRender(dc);
    YrSDK::YrTime time;
    time.SetTime(0, 0, 0, frame, 0, YrSDK::kYrTimeMode60);
    YrSDK::YrPlayerControl().Goto(time);
    renderer.RenderBegin(0, 0, kWidth, kHeight);
    renderer.PreRender(-1);
    renderer.Render(-1);
    renderer.RenderEnd();
    context.EndRender(&YrSDK::YrOGLContextWrapper::RenderOperationBlit, 0);
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AnchorRendererAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

// Anchor: one fill of the whole port.
void BM_AnchorPortFill(benchmark::State& state) {
  GrafPtr port = CreatePort(kWidth, kHeight);
  SetPort(port);
  Rect all;
  SetRect(&all, 0, 0, kWidth, kHeight);
  RGBColor colour{0x1000, 0x2000, 0x3000};
  for (auto _ : state) {
    colour.red = static_cast<std::uint16_t>(colour.red + 1);
    RGBForeColor(&colour);
    PaintRect(&all);
  }
  SetPort(nullptr);
  DisposePort(port);
}
BENCHMARK(BM_AnchorPortFill);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
