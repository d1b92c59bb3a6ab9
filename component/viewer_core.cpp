#include "component/viewer_core.h"

#include <strings.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "host/data_references.h"
#include "host/handles.h"
#include "sdk/yr_audio_clip.h"
#include "sdk/yr_device.h"
#include "sdk/yr_device_keyboard_key.h"
#include "sdk/yr_event_registry.h"
#include "sdk/yr_system.h"
#include "sdk/yr_take.h"
#include "sdk/yr_trigger_manager.h"

namespace qtzyn {

namespace {

// The hook's thread reads the pointer (KeyboardInput reaches the core
// through it) while the host's thread creates and destroys the core.
std::atomic<ViewerCore*> g_viewerCore{nullptr};

// The component has no log output: traces are written nowhere.
void Trace(const char* /*format*/, ...) {}

constexpr SInt32 kRedrawCalls = 3;
constexpr TimeValue kMovieUnitsPerSecond = 600;
constexpr SInt32 kReadPiece = 4 << 20;

// A Load that fails on a file without a password seal read a damaged file;
// it is reported as such, not as a password problem.
enum LoadResult { kLoadOk = 0, kLoadNoKernel = 1, kLoadBeginFailed = 2, kLoadFailed = 3, kLoadDamaged = 4 };

// The scene loader's options, in the order they are applied.
void ApplyLoadOptions(YrSDK::YrZynManager& manager) {
  static const struct {
    const char* name;
    bool value;
  } kOptions[] = {
      {"Async", false},
      {"Models", true},
      {"ModelsMerge", false},
      {"ModelsAnimation", true},
      {"Devices", true},
      {"DevicesAnimation", true},
      {"Constraints", true},
      {"ConstraintsMerge", false},
      {"Selected", false},
      {"ClearBeforeLoad", true},
      {"LoadSettings", true},
      {"LoadTimeFormatSettings", true},
      {"LoadDefaultCameraSettings", true},
      {"LoadCameraSwitcherSettings", true},
      {"LoadGlobalLightingSettings", true},
  };
  for (const auto& option : kOptions) manager.FindProperty(option.name).SetInt(option.value ? 1 : 0);
  manager.FindProperty("Password").SetString("");
}

// Seconds to movie units, truncated; clamped to what a TimeValue holds.
TimeValue MovieUnits(double seconds) {
  const double units = std::trunc(seconds * kMovieUnitsPerSecond);
  if (!(units == units)) return 0;  // NaN
  return static_cast<TimeValue>(std::clamp(units, double(INT32_MIN), double(INT32_MAX)));
}

// The extension of a length-prefixed file name is "zyn", ignoring case.
bool HasZynExtension(const Str255 name) {
  const std::string text(reinterpret_cast<const char*>(name + 1), name[0]);
  const size_t dot = text.find_last_of('.');
  const size_t separator = text.find_last_of("/\\");
  if (dot == std::string::npos || (separator != std::string::npos && separator > dot)) return false;
  return strcasecmp(text.c_str() + dot + 1, "zyn") == 0;
}

}  // namespace

ViewerCore* ViewerCore::GetOrCreate() {
  ViewerCore* core = g_viewerCore.load();
  if (core == nullptr) {
    core = new ViewerCore();
    g_viewerCore.store(core);
  }
  return core;
}

ViewerCore* ViewerCore::Get() { return g_viewerCore.load(); }

void ViewerCore::Destroy() {
  ViewerCore* core = g_viewerCore.exchange(nullptr);
  delete core;
}

ViewerCore::ViewerCore() {
  ApplyLoadOptions(zynManager_);
  zynManager_.SetCancelFlag(&stopLoading_);
}

ViewerCore::~ViewerCore() {
  StopLoaderThread();
  // A key being forwarded finishes before the core goes.
  Lock();
  Unlock();
  ReleaseDataReading();
  if (keyboardHook != nullptr) UnhookWindowsHookEx(keyboardHook);
  keyboardHook = nullptr;
  StopKernel();
  glContext.reset();
}

void ViewerCore::OpenInstance(SInt32 instanceId) {
  ++openInstances;
  if (activeInstanceId == 0) activeInstanceId = instanceId;
}

void ViewerCore::CloseInstance(MediaGlobals* globals) {
  const bool active = globals != nullptr && globals->instanceId == activeInstanceId;
  --openInstances;
  if (active) {
    StopLoaderThread();
    loadState = LoadState::kClosing;
    ReleaseDataReading();
    zynManager_.Clear();
    loaded = false;
    activeInstanceId = 0;
    loadState = LoadState::kIdle;
  }
  if (globals != nullptr) {
    // The hook must not reach an instance that is going.
    Lock();
    if (focusInstance != nullptr && *focusInstance == globals) {
      focusInstance = nullptr;
      if (keyboardHook != nullptr) UnhookWindowsHookEx(keyboardHook);
      keyboardHook = nullptr;
    }
    Unlock();
    delete[] globals->savedLights;
    globals->savedLights = nullptr;
    globals->savedLightCount = 0;
  }
  if (openInstances > 0) return;
  Destroy();
}

// --- reading the sample -------------------------------------------------------

OSErr ViewerCore::StartLoading(MediaGlobals* globals) {
  if (globals == nullptr) return paramErr;
  awaitingData_ = false;
  loadState = LoadState::kLoading;
  if (dataRef == nullptr) {
    OSErr err = GetMediaDataRef(globals->media, 0, &dataRef, &dataRefType, &dataRefAttributes);
    if (err != noErr || dataRef == nullptr) return FailOpening(err != noErr ? err : OSErr(badDataRefIndex));
  }
  if (!importing && dataBuffer == nullptr) {
    long offset = 0;
    if (GetMediaSampleReference(globals->media, &offset, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr,
                                nullptr) == noErr) {
      dataOffset = static_cast<SInt32>(std::clamp<long>(offset, 0, INT32_MAX));
    }
  }
  if (dataHandler == nullptr) {
    const OSErr err = OpenDataHandler();
    if (err != noErr) return FailOpening(err);
  }
  const OSErr err = ReadSample();
  if (err == notEnoughDataErr) {
    awaitingData_ = true;
    return err;
  }
  if (err != noErr) return FailOpening(err);
  // At most one loader thread: one that ran before has finished (the state
  // went back to Idle only after its join).
  StopLoaderThread();
  stopLoading_ = false;
  loaderThread_ = std::thread(&ViewerCore::LoaderBody, this);
  return noErr;
}

OSErr ViewerCore::OpenDataHandler() {
  DataHandlerComponent component = GetDataHandler(dataRef, dataRefType, kDataHCanRead);
  if (component == nullptr) return invalidDataRef;
  OSErr err = OpenAComponent(component, &dataHandler);
  if (err != noErr) {
    dataHandler = nullptr;
    return err;
  }
  ComponentResult result = DataHSetDataRef(dataHandler, dataRef);
  if (result == couldNotResolveDataRef) {
    Boolean changed = false;
    result = DataHResolveDataRef(dataHandler, dataRef, &changed, true);
  }
  if (result == noErr) result = DataHOpenForRead(dataHandler);
  return static_cast<OSErr>(result);
}

OSErr ViewerCore::ReadSample() {
  if (dataSize <= 0 || dataBuffer == nullptr) {
    long fileSize = 0;
    const ComponentResult result = DataHGetFileSize(dataHandler, &fileSize);
    if (result != noErr) return static_cast<OSErr>(result);
    const long size = fileSize - dataOffset;
    // The buffer's size is a 32-bit count; a larger file cannot be read.
    if (size <= 0 || size > INT32_MAX) return size <= 0 ? OSErr(eofErr) : OSErr(memFullErr);
    if (dataBuffer != nullptr) DisposeHandle(dataBuffer);
    dataBuffer = NewHandle(static_cast<Size>(size));
    if (dataBuffer == nullptr) return MemError() != noErr ? MemError() : OSErr(memFullErr);
    dataSize = static_cast<SInt32>(size);
    dataRead = 0;
  }
  // The sample is read in pieces: each read goes through a buffer of the
  // data handler's own, and a piece of a few megabytes stays in the cache
  // on its way into ours, where one read of the whole file would not. A
  // retry after notEnoughDataErr reads on from the last whole piece.
  ComponentResult result = noErr;
  while (dataRead < dataSize && result == noErr) {
    const SInt32 piece = std::min(kReadPiece, dataSize - dataRead);
    result = DataHGetData(dataHandler, dataBuffer, dataRead, static_cast<long>(dataOffset) + dataRead, piece);
    if (result == noErr) dataRead += piece;
  }
  if (result == notEnoughDataErr) {
    long available = 0;
    if (DataHGetAvailableFileSize(dataHandler, &available) == noErr) {
      availableSize = static_cast<SInt32>(std::clamp<long>(available, 0, INT32_MAX));
    }
  }
  return static_cast<OSErr>(result);
}

// The file could not be read: the failure screen ("Could not open the
// file.") replaces a loading panel that would never end.
OSErr ViewerCore::FailOpening(OSErr err) {
  progress = 0;
  loadError = LoadError::kOpenFailed;
  loadState = LoadState::kFailed;
  return err;
}

// --- the loader thread --------------------------------------------------------

void ViewerCore::OnLoadProgress(const YrSDK::YrEvent& event, void* user) {
  static_cast<ViewerCore*>(user)->progress = std::clamp(event.percent, 0, 100);
}

void ViewerCore::LoaderBody() {
  const bool listening = YrSDK::YrEventRegistry::Register(YrSDK::kYrEventLoadProgress, &OnLoadProgress, this);
  const int result = LoadFromMemory();
  if (listening) YrSDK::YrEventRegistry::Unregister(YrSDK::kYrEventLoadProgress, &OnLoadProgress, this);
  progress = 0;
  if (result == kLoadOk) {
    loadError = LoadError::kNone;
    loadState = LoadState::kLoaded;
    return;
  }
  loadError = result == kLoadBeginFailed || result == kLoadDamaged ? LoadError::kInvalidFile
              : result == kLoadFailed                               ? LoadError::kPasswordProtected
                                                                    : LoadError::kOpenFailed;
  loadState = LoadState::kFailed;
}

int ViewerCore::LoadFromMemory() {
  if (!kernelStarted) return kLoadNoKernel;
  zynManager_.Clear();
  if (!zynManager_.LoadBegin(*dataBuffer, static_cast<size_t>(dataSize))) return kLoadBeginFailed;
  const bool ok = zynManager_.Load();
  zynManager_.LoadEnd();
  if (!ok) return zynManager_.IsPasswordProtected() ? kLoadFailed : kLoadDamaged;
  loaded = true;
  PrepareCameras();
  return kLoadOk;
}

// Every camera shows the grid and axis as the renderer's current camera
// does.
void ViewerCore::PrepareCameras() {
  YrSDK::YrComponent current = Renderer().GetCurrentCamera();
  const bool grid = current.FindProperty("ViewShowGrid").AsInt() != 0;
  const bool axis = current.FindProperty("ViewShowAxis").AsInt() != 0;
  for (YrSDK::YrComponent& camera : YrSDK::YrSystem().GetCameras()) {
    camera.FindProperty("ViewShowAxis").SetInt(axis ? 1 : 0);
    camera.FindProperty("ViewShowGrid").SetInt(grid ? 1 : 0);
  }
}

void ViewerCore::StopLoaderThread() {
  if (!loaderThread_.joinable()) return;
  stopLoading_ = true;
  loaderThread_.join();
}

void ViewerCore::ReleaseDataReading() {
  awaitingData_ = false;
  dataSize = 0;
  availableSize = 0;
  dataRead = 0;
  if (dataBuffer != nullptr) DisposeHandle(dataBuffer);
  dataBuffer = nullptr;
  if (dataHandler != nullptr) {
    DataHCloseForRead(dataHandler);
    CloseComponent(dataHandler);
  }
  dataHandler = nullptr;
  if (dataRef != nullptr) DisposeHandle(dataRef);
  dataRef = nullptr;
  dataRefType = 0;
  dataRefAttributes = 0;
}

// --- after load ---------------------------------------------------------------

void ViewerCore::AfterLoad(MediaGlobals* globals) {
  if (globals != nullptr && loadState == LoadState::kLoaded) {
    LoadAudio(globals->movie, GetTrackDuration(globals->track));
    SaveLights(globals);
    StartTriggering(globals);
    globals->freeRunning = GetMediaDuration(globals->media) <= 2 || globals->triggering;
    DisableVideoTracks(globals->movie);
  }
  ReleaseDataReading();
}

void ViewerCore::SaveLights(MediaGlobals* globals) {
  delete[] globals->savedLights;
  globals->savedLights = nullptr;
  globals->savedLightCount = 0;
  const std::vector<YrSDK::YrComponent> lights = YrSDK::YrSystem().GetLights();
  if (lights.empty()) return;
  globals->savedLights = new bool[lights.size()];
  globals->savedLightCount = static_cast<SInt32>(lights.size());
  for (size_t i = 0; i < lights.size(); ++i) {
    globals->savedLights[i] = lights[i].FindProperty("CastLightOnObject").AsInt() != 0;
  }
}

void ViewerCore::StartTriggering(MediaGlobals* globals) {
  YrSDK::YrSystem system;
  bool found = false;
  for (int i = 0; i < system.GetDeviceCount() && !found; ++i) {
    found = system.GetDevice(i)
                .QueryInterface(YrSDK::kYrDeviceInterface)
                .QueryInterface(YrSDK::kYrKeyboardTriggerInterface)
                .IsValid();
  }
  YrSDK::YrTriggerManager triggers;
  const int groups = triggers.GetGroupCount();
  bool anyActive = false;
  for (int g = 0; g < groups && !anyActive; ++g) anyActive = triggers.GetGroupActive(g);
  if (groups > 0) {
    triggers.FindProperty("Active").SetInt(1);
    if (!anyActive) triggers.SetGroupActive(0, true);
  }
  const bool triggering = found || anyActive;
  Lock();
  globals->triggering = triggering;
  Unlock();
  triggers.FindProperty("Active").SetInt(triggering ? 1 : 0);
}

// The movie shows the scene alone: video that came with a Zyn file is off.
void ViewerCore::DisableVideoTracks(Movie movie) {
  Str255 name = {0};
  if (dataHandler == nullptr || DataHGetFileName(dataHandler, name) != noErr || !HasZynExtension(name)) return;
  for (long i = 1;; ++i) {
    Track track = GetMovieIndTrackType(movie, i, VideoMediaType, movieTrackMediaType);
    if (track == nullptr) break;
    SetTrackEnabled(track, false);
  }
  for (long i = 1;; ++i) {
    Track track = GetMovieIndTrackType(movie, i, VisualMediaCharacteristic, movieTrackCharacteristic);
    if (track == nullptr) break;
    SetTrackEnabled(track, false);
  }
  UpdateMovie(movie);
}

// --- audio ----------------------------------------------------------------------

OSErr ViewerCore::LoadAudio(Movie movie, TimeValue trackDuration) {
  if (!loaded || !kernelStarted) return userCanceledErr;
  YrSDK::YrSystem system;
  if (!system.IsValid()) return userCanceledErr;
  std::string sceneFile;
  if (dataRef != nullptr) HostFileDataRefPath(dataRef, dataRefType, &sceneFile);
  const int count = system.GetAudioClipCount();
  if (count > 0) Trace("\nLoading ZYN Audio...\n");
  OSErr last = noErr;
  for (int i = count - 1; i >= 0; --i) {
    Trace(" - '%s'...", system.GetAudioClip(i).name.c_str());
    last = ImportClip(movie, trackDuration, i, sceneFile);
    system.RemoveAudioClip(i);
    Trace(" Ok!\n");
  }
  if (count > 0) UpdateMovie(movie);
  return last;
}

ViewerCore::ClipPlacement ViewerCore::PlaceClip(TimeValue takeStart, TimeValue clipStart, TimeValue clipDuration,
                                                TimeValue trackDuration) {
  // 64-bit differences: both starts come from the file.
  const long long lead = static_cast<long long>(takeStart) - clipStart;  // how much of the clip precedes the take
  ClipPlacement placement;
  placement.srcIn = static_cast<TimeValue>(std::clamp<long long>(lead, 0, INT32_MAX));
  placement.dstIn = static_cast<TimeValue>(std::clamp<long long>(-lead, 0, INT32_MAX));
  const long long playable = std::min<long long>(static_cast<long long>(clipDuration) - placement.srcIn,
                                                 static_cast<long long>(trackDuration) - placement.dstIn);
  placement.srcDuration = static_cast<TimeValue>(std::clamp<long long>(playable, 0, INT32_MAX));
  return placement;
}

OSErr ViewerCore::ImportClip(Movie movie, TimeValue trackDuration, int clip, const std::string& sceneFile) {
  YrSDK::YrSystem system;
  const YrSDK::YrAudioClip audio = system.GetAudioClip(clip);
  const std::string path = system.FindAudioClipFile(clip, sceneFile);
  if (path.empty()) return fnfErr;
  FSSpec soundFile;
  OSErr err = NativePathNameToFSSpec(path.c_str(), &soundFile, 0);
  if (err != noErr) return err;
  SInt16 fileRef = 0;
  err = OpenMovieFile(&soundFile, &fileRef, fsRdPerm);
  if (err != noErr) return err;
  Movie clipMovie = nullptr;
  err = NewMovieFromFile(&clipMovie, fileRef, nullptr, nullptr, newMovieActive, nullptr);
  if (err != noErr) {
    CloseMovieFile(fileRef);
    return err;
  }
  AliasHandle alias = nullptr;
  err = NewAliasMinimal(&soundFile, &alias);
  Track source = GetMovieIndTrack(clipMovie, 1);
  Track track = nullptr;
  if (err == noErr) err = AddEmptyTrackToMovie(source, movie, alias, rAliasType, &track);
  if (err == noErr) {
    const YrSDK::YrTake take = system.GetCurrentTake();
    const TimeValue takeStart = MovieUnits(take.IsValid() ? take.GetLocalTimeSpan().GetStart().GetSecondDouble() : 0.0);
    const ClipPlacement place =
        PlaceClip(takeStart, MovieUnits(audio.start.GetSecondDouble()), GetTrackDuration(source), trackDuration);
    if (place.srcDuration > 0) {
      err = InsertTrackSegment(source, track, place.srcIn, place.srcDuration, place.dstIn);
    }
    // A clip that is not heard leaves no empty track behind.
    if (err != noErr || place.srcDuration <= 0) DisposeMovieTrack(track);
  }
  if (alias != nullptr) DisposeHandle(alias);
  CloseMovieFile(fileRef);
  DisposeMovie(clipMovie);
  return err;
}

// --- keys ---------------------------------------------------------------------

bool ViewerCore::KeyboardInput(int engineKey, bool down) {
  if (engineKey < 0 || engineKey >= YrSDK::kYrKeyCount) return false;
  std::lock_guard<std::recursive_mutex> guard(lock_);
  MediaGlobals* globals = focusInstance != nullptr ? *focusInstance : nullptr;
  if (globals == nullptr || !globals->triggering) return false;
  YrSDK::YrRenderer& renderer = Renderer();
  if (!renderer.IsValid()) return false;
  globals->redrawCount = kRedrawCalls;
  renderer.KeyboardInput(engineKey, down, false);
  return true;
}

int ViewerCore::EngineKeyOfVirtualKey(int virtualKey) {
  constexpr int kPageUp = 33, kDown = 40, kReturn = 13, kEscape = 27, kSpace = 32;
  constexpr int kDigit0 = 48, kDigit1 = 49, kDigit9 = 57, kF1 = 112, kF12 = 123;
  if (virtualKey >= kPageUp && virtualKey <= kDown) return YrSDK::kYrKeyPageUp + (virtualKey - kPageUp);
  if (virtualKey == kReturn) return YrSDK::kYrKeyReturn;
  if (virtualKey == kEscape) return YrSDK::kYrKeyEscape;
  if (virtualKey == kSpace) return YrSDK::kYrKeySpace;
  if (virtualKey >= kDigit1 && virtualKey <= kDigit9) return YrSDK::kYrKey1 + (virtualKey - kDigit1);
  if (virtualKey == kDigit0) return YrSDK::kYrKey0;
  if (virtualKey >= kF1 && virtualKey <= kF12) return YrSDK::kYrKeyF1 + (virtualKey - kF1);
  return -1;
}

}  // namespace qtzyn
