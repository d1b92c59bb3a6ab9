// The viewer core: the one record per process that every instance of both
// components shares. It is created by the first importer call or media
// handler Open and destroyed when the last media handler instance closes
// (or by the importer's Close when no media handler instance is open).
//
// What the components' Open and Close rely on is here: the count of open
// media handler instances, the active instance, the importing flag and the
// load state. Starting the engine, loading the scene and drawing join this
// record with playback.
#pragma once

#include "component/component_globals.h"
#include "host/mac_types.h"

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

class ViewerCore {
 public:
  // The viewer core, created when there is none.
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
  // instance's loading state is released; the instance's saved lights are
  // freed. When no instance is left open the viewer core is destroyed, so
  // the caller must not use it afterwards.
  void CloseInstance(MediaGlobals* globals);

  SInt32 activeInstanceId = 0;  // 0: none
  SInt32 openInstances = 0;
  bool importing = false;
  LoadState loadState = LoadState::kIdle;
  LoadError loadError = LoadError::kNone;
  SInt32 progress = 0;

 private:
  ViewerCore() = default;
  ~ViewerCore() = default;
};

}  // namespace qtzyn
