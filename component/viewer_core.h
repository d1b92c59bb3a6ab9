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
// without a lock, so they are atomics. The lock serialises focus changes
// with the keys that the keyboard hook forwards.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "component/component_globals.h"
#include "component/kernel_host.h"
#include "host/keyboard_hooks.h"
#include "host/mac_types.h"
#include "sdk/yr_ogl_context_wrapper.h"

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

  // Called by MediaIdle for the active instance while the state is Idle:
  // reads the media's sample through a data handler and starts the loader
  // thread. Answers the framework error that stopped it (the state then
  // stays Loading), or noErr.
  OSErr StartLoading(MediaGlobals* globals);
  // Called by MediaIdle for the active instance once the state has become
  // Loaded or Failed: audio, saved lights, keyboard triggering, free
  // running, video tracks; then the data reading resources are released.
  void AfterLoad(MediaGlobals* globals);
  // Brings the scene's audio clips into `movie` as sound tracks, placed by
  // the current take's start; -128 when no scene is loaded.
  OSErr LoadAudio(Movie movie, TimeValue trackDuration);

  // Keys reported by the keyboard hook: while the focus instance has
  // triggering on and the renderer exists, the key goes to the renderer
  // (under the lock) and counts as handled.
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
  SInt32 dataOffset = 0;     // the sample's offset in the file
  Handle dataBuffer = nullptr;
  ComponentInstance dataHandler = nullptr;
  Handle dataRef = nullptr;
  OSType dataRefType = 0;
  long dataRefAttributes = 0;

 private:
  ViewerCore();
  ~ViewerCore() override;

  void LoaderBody();
  void StopLoaderThread();
  void ReleaseDataReading();

  std::recursive_mutex lock_;
  std::thread loaderThread_;
};

}  // namespace qtzyn
