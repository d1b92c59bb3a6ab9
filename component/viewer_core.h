// The viewer core: the one record per process that every instance of both
// components shares. It is created by the first importer call or media
// handler Open and destroyed when the last media handler instance closes
// (or by the importer's Close when no media handler instance is open).
//
// It starts the engine (through its KernelHost part), reads the scene
// file's bytes through the data handler, parses them on a loader thread,
// brings the scene's audio into the movie and prepares the viewer's state.
//
// Threads: the host's thread calls every routine here and draws; the loader
// thread writes loadState, loadError and progress, which the drawing reads
// without a lock, so they are atomics (the state is stored last, so a
// reader that sees Loaded or Failed also sees the rest of the load). The
// lock serialises focus changes with the keys that the keyboard hook
// forwards. Closing the active instance during a load sets a stop flag that
// the engine's reader polls, so the loader thread ends promptly.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "component/component_globals.h"
#include "component/kernel_host.h"
#include "host/data_handler.h"
#include "host/keyboard_hooks.h"
#include "host/mac_types.h"
#include "host/movies.h"
#include "sdk/yr_event.h"
#include "sdk/yr_ogl_context_wrapper.h"
#include "sdk/yr_zyn_manager.h"

namespace qtzyn {

enum class LoadState : SInt32 {
  kIdle = 0,     // nothing read yet
  kLoaded = 1,
  kLoading = 2,  // data being read or parsed
  kFailed = 3,
  kClosing = 4,
};

enum class LoadError : SInt32 {
  kNone = 0,
  kInvalidFile = 1,
  kPasswordProtected = 2,
  kOpenFailed = 3,
};

class ViewerCore : public KernelHost {
 public:
  // The viewer core, created when there is none (which starts the kernel
  // and applies the load options).
  static ViewerCore* GetOrCreate();
  // The viewer core, or null.
  static ViewerCore* Get();
  static bool Exists() { return Get() != nullptr; }
  // Deletes the viewer core if there is one and forgets it.
  static void Destroy();

  // A media handler instance opened: one more open instance; it becomes the
  // active one when there is none.
  void OpenInstance(SInt32 instanceId);
  // A media handler instance closes: one fewer open instance; the active
  // instance's loading is stopped and its resources released; the
  // instance's saved lights are freed. When no instance is left open the
  // keyboard hook goes and the viewer core is destroyed, so the caller must
  // not use it afterwards.
  void CloseInstance(MediaGlobals* globals);

  // Called by MediaIdle for the active instance while the state is Idle
  // (and again while AwaitsData()): reads the media's sample through a
  // data handler and starts the loader thread. Answers the framework error
  // that stopped it, or noErr. When the data handler has not got all bytes
  // yet (notEnoughDataErr) the state stays Loading; any other error (a file
  // that is gone, one too large, no memory) ends in Failed with
  // kOpenFailed, so that after load releases what was opened and the
  // failure screen shows.
  OSErr StartLoading(MediaGlobals* globals);
  // True while the state is Loading, no loader thread runs and the last
  // start ended with notEnoughDataErr: MediaIdle then starts loading again
  // (once per idle call), and each attempt reads on from the bytes already
  // in the buffer, so a file that arrives in pieces plays once it is whole.
  bool AwaitsData() const {
    return awaitingData_ && loadState == LoadState::kLoading && !loaderThread_.joinable();
  }
  // Called by MediaIdle for the active instance once the state has become
  // Loaded or Failed: audio, saved lights, keyboard triggering, free
  // running, video tracks; then the data reading resources are released.
  void AfterLoad(MediaGlobals* globals);
  // Brings the scene's audio clips into `movie` as sound tracks, placed by
  // the current take's start; -128 when no scene is loaded. A clip that
  // cannot be opened is skipped; the answer is the last clip's result.
  OSErr LoadAudio(Movie movie, TimeValue trackDuration);
  // Where one clip goes, in movie units (1/600 s): the clip starts at
  // `clipStart` and lasts `clipDuration`, the take starts at `takeStart`,
  // and the movie's track lasts `trackDuration`. Movie time 0 is the take's
  // start, so a clip that began earlier is cut at its head and one that
  // begins later is placed after the take's start; nothing plays past the
  // track's end. A duration of 0 or less means the clip is not heard.
  struct ClipPlacement {
    TimeValue srcIn = 0;
    TimeValue srcDuration = 0;
    TimeValue dstIn = 0;
  };
  static ClipPlacement PlaceClip(TimeValue takeStart, TimeValue clipStart, TimeValue clipDuration,
                                 TimeValue trackDuration);

  // Keys reported by the keyboard hook (engine keys, see
  // EngineKeyOfVirtualKey): while the focus instance has triggering on and
  // the renderer exists, the key goes to the renderer (under the lock), the
  // instance redraws and the key counts as handled. Any thread.
  bool KeyboardInput(int engineKey, bool down) override;

  // Focus changes and forwarded keys.
  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }

  // Engine key (YrDeviceKeyboardKey) of a virtual key, -1 when the key has
  // none.
  static int EngineKeyOfVirtualKey(int virtualKey);

  SInt32 activeInstanceId = 0;  // 0: none
  SInt32 openInstances = 0;
  bool importing = false;       // set while MovieImportDataRef runs
  bool glReady = false;         // the OpenGL context was allocated at least once
  MediaGlobalsHandle focusInstance = nullptr;
  std::unique_ptr<YrSDK::YrOGLContextWrapper> glContext;  // made by MediaInitialize
  HHOOK keyboardHook = nullptr;  // installed while an instance holds focus

  std::atomic<LoadState> loadState{LoadState::kIdle};
  std::atomic<LoadError> loadError{LoadError::kNone};
  std::atomic<SInt32> progress{0};  // percent

  // Data reading (host thread only, and the loader thread between its
  // start and its join).
  SInt32 dataSize = 0;       // bytes to read: file size less the sample's offset
  SInt32 availableSize = 0;  // what the data handler reported as available
  SInt32 dataRead = 0;       // bytes of the sample already in dataBuffer
  SInt32 dataOffset = 0;     // the sample's offset in the file
  Handle dataBuffer = nullptr;
  DataHandler dataHandler = nullptr;
  Handle dataRef = nullptr;
  OSType dataRefType = 0;
  long dataRefAttributes = 0;

  // The scene loader, with the load options applied once at creation.
  YrSDK::YrZynManager& ZynManager() { return zynManager_; }

 private:
  ViewerCore();
  ~ViewerCore() override;

  OSErr OpenDataHandler();
  OSErr ReadSample();
  OSErr FailOpening(OSErr err);
  void LoaderBody();
  int LoadFromMemory();
  void PrepareCameras();
  void StopLoaderThread();
  void ReleaseDataReading();
  void SaveLights(MediaGlobals* globals);
  void StartTriggering(MediaGlobals* globals);
  void DisableVideoTracks(Movie movie);
  OSErr ImportClip(Movie movie, TimeValue trackDuration, int clip, const std::string& sceneFile);
  static void OnLoadProgress(const YrSDK::YrEvent& event, void* user);

  std::recursive_mutex lock_;
  std::thread loaderThread_;
  std::atomic<bool> stopLoading_{false};  // polled by the engine's reader
  bool awaitingData_ = false;  // the last start ended with notEnoughDataErr
  YrSDK::YrZynManager zynManager_;
};

}  // namespace qtzyn
