// A large binary scene (~200 MB) from the importer's MovieImportFile to the
// viewer core's load state Loaded (import, media handler open and
// initialise, idle calls that read the file through the data handler and
// parse it on the loader thread), beside the anchor: the same file loaded
// directly with the engine's scene loader.
//
// The scene is the one the scene-loading benchmark writes (1000 animated
// models, ~10 million keys); it is written once to /tmp.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "animation/fcurve_node.h"
#include "bench/bench_main.h"
#include "bench/key_heavy_scene.h"
#include "component/component_dispatch.h"
#include "component/viewer_core.h"
#include "host/component_manager.h"
#include "host/data_handler.h"
#include "host/handles.h"
#include "host/data_references.h"
#include "host/media_handler_calls.h"
#include "host/movie_import_calls.h"
#include "host/movies.h"
#include "host/ports.h"
#include "scene/model.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_zyn_manager.h"

namespace {

constexpr OSType kZyn = FOUR_CHAR_CODE("vzyn");
const char* const kScenePath = "/tmp/qtzyn_viewer_scene.zyn";
constexpr int kIdleEveryMs = 16;

int64_t FileSize(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 ? st.st_size : 0;
}

void EnsureScene() {
  if (FileSize(kScenePath) > 0) return;
  YrSDK::YrKernel::Init("");
  bench_scenes::BuildKeyHeavyScene(*YrSDK::YrKernelObjects::GetScene());
  YrSDK::YrZynManager manager;
  if (!manager.Save(kScenePath, true)) std::fprintf(stderr, "save: %s\n", manager.GetLastMessage().c_str());
  YrSDK::YrKernel::Close();
}

void RegisterComponents() {
  static const bool registered = [] {
    ComponentDescription cd;
    cd.componentType = MovieImportType;
    cd.componentSubType = ImporterSubTypeForPath(kScenePath);  // found by the file's extension
    RegisterComponent(&cd, &qtzyn::ImporterDispatch, 0, nullptr, nullptr, nullptr);
    cd.componentType = MediaHandlerType;
    cd.componentSubType = kZyn;
    RegisterComponent(&cd, &qtzyn::MediaHandlerDispatch, 0, nullptr, nullptr, nullptr);
    return true;
  }();
  (void)registered;
}

// Import, open and initialise the media handler; false on failure.
bool ImportAndOpen(Movie movie, ComponentInstance* handler) {
  ComponentInstance importer = nullptr;
  if (OpenImporterForPath(kScenePath, &importer) != noErr) return false;
  FSSpec sceneFile;
  NativePathNameToFSSpec(kScenePath, &sceneFile, 0);
  Track track = nullptr;
  TimeValue added = 0;
  long outFlags = 0;
  const ComponentResult imported = CallMovieImportFile(importer, &sceneFile, movie, nullptr, &track, 0, &added, 0, &outFlags);
  const OSErr opened = imported == noErr ? OpenMediaHandlerForMedia(GetTrackMedia(track), handler) : OSErr(paramErr);
  CloseComponent(importer);
  if (opened != noErr) return false;
  GetMovieCompleteParams gmc;
  gmc.theMovie = movie;
  gmc.theTrack = track;
  gmc.theMedia = GetTrackMedia(track);
  gmc.movieScale = 600;
  gmc.mediaScale = 60;
  gmc.width = IntToFixed(160);
  gmc.height = IntToFixed(120);
  GetTrackMatrix(track, &gmc.trackMovieMatrix);
  GetPort(&gmc.moviePort);
  return CallMediaInitialize(*handler, &gmc) == noErr;
}

// Import, open and idle until the viewer core has loaded; false on failure.
bool ImportAndLoad(Movie movie, ComponentInstance* handler) {
  if (!ImportAndOpen(movie, handler)) return false;
  // Idle calls come at a player's frame rate; between them the state is
  // watched every millisecond, so that what is timed is the moment the
  // loader thread reports Loaded (not the first frame drawn after it).
  for (int tick = 0;; ++tick) {
    const qtzyn::LoadState state = qtzyn::ViewerCore::Get()->loadState.load();
    if (state == qtzyn::LoadState::kLoaded) return true;
    if (state == qtzyn::LoadState::kFailed) return false;
    if (tick % kIdleEveryMs == 0) {
      long flagsOut = 0;
      CallMediaIdle(*handler, 0, 0, &flagsOut, nullptr);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

void BM_ViewerImportToLoaded(benchmark::State& state) {
  EnsureScene();
  RegisterComponents();
  GrafPtr port = CreatePort(160, 120);
  SetPort(port);
  for (auto _ : state) {
    Movie movie = NewMovie(newMovieActive);
    ComponentInstance handler = nullptr;
    const bool ok = ImportAndLoad(movie, &handler);
    state.PauseTiming();
    if (handler != nullptr) CloseComponent(handler);  // clears the scene, stops the engine
    DisposeMovie(movie);
    state.ResumeTiming();
    if (!ok) {
      state.SkipWithError("the scene did not load through the viewer");
      break;
    }
  }
  SetPort(nullptr);
  DisposePort(port);
  state.counters["MB"] = static_cast<double>(FileSize(kScenePath)) / 1e6;
}

// Anchor: the engine alone, from the file's path.
void BM_EngineLoadAnchor(benchmark::State& state) {
  EnsureScene();
  YrSDK::YrKernel::Init("");
  for (auto _ : state) {
    YrSDK::YrZynManager manager;
    const bool ok = manager.LoadBegin(kScenePath) && manager.Load();
    manager.LoadEnd();
    state.PauseTiming();
    YrSDK::YrKernelObjects::GetScene()->Clear();
    state.ResumeTiming();
    if (!ok) {
      state.SkipWithError(manager.GetLastMessage().c_str());
      break;
    }
  }
  YrSDK::YrKernel::Close();
  state.counters["MB"] = static_cast<double>(FileSize(kScenePath)) / 1e6;
}

// The part of the viewer's time that the engine's own load does not have:
// the file's bytes read through the data handler into a handle, in the
// viewer core's pieces.
void BM_DataHandlerRead(benchmark::State& state) {
  EnsureScene();
  Handle dataRef = nullptr;
  HostNewFileDataRef(kScenePath, &dataRef);
  for (auto _ : state) {
    DataHandler dh = nullptr;
    bool ok = OpenAComponent(GetDataHandler(dataRef, rAliasType, kDataHCanRead), &dh) == noErr &&
              DataHSetDataRef(dh, dataRef) == noErr && DataHOpenForRead(dh) == noErr;
    long size = 0;
    ok = ok && DataHGetFileSize(dh, &size) == noErr;
    Handle bytes = ok ? NewHandle(size) : nullptr;
    constexpr long kPiece = 4 << 20;
    for (long done = 0; bytes != nullptr && done < size && ok; done += kPiece) {
      ok = DataHGetData(dh, bytes, done, done, std::min(kPiece, size - done)) == noErr;
    }
    if (bytes != nullptr) DisposeHandle(bytes);
    if (dh != nullptr) {
      DataHCloseForRead(dh);
      CloseComponent(dh);
    }
    if (!ok) {
      state.SkipWithError("the data handler could not read the scene");
      break;
    }
  }
  DisposeHandle(dataRef);
}

// Closing the movie a quarter of a second into the load: the time Close
// takes, the loader thread stopped and joined and the scene cleared.
void BM_CloseDuringLoad(benchmark::State& state) {
  EnsureScene();
  RegisterComponents();
  GrafPtr port = CreatePort(160, 120);
  SetPort(port);
  for (auto _ : state) {
    state.PauseTiming();
    Movie movie = NewMovie(newMovieActive);
    ComponentInstance handler = nullptr;
    const bool ok = ImportAndOpen(movie, &handler);
    long flagsOut = 0;
    if (ok) CallMediaIdle(handler, 0, 0, &flagsOut, nullptr);  // starts the loader thread
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    const bool loading = ok && qtzyn::ViewerCore::Get()->loadState.load() == qtzyn::LoadState::kLoading;
    state.ResumeTiming();
    if (handler != nullptr) CloseComponent(handler);
    state.PauseTiming();
    DisposeMovie(movie);
    state.ResumeTiming();
    if (!loading) {
      state.SkipWithError("the load was not running when the movie closed");
      break;
    }
  }
  SetPort(nullptr);
  DisposePort(port);
}

// The first run of each warms the page cache and the allocator; the
// medians of the repetitions are what to compare.
BENCHMARK(BM_EngineLoadAnchor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Repetitions(4);
BENCHMARK(BM_ViewerImportToLoaded)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Repetitions(4);
BENCHMARK(BM_CloseDuringLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_DataHandlerRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Repetitions(4);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
