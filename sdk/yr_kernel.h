#pragma once
// Starting and stopping the engine: the class registry gets its factories
// and the scene is made; Close clears the scene and stops the engine.

class VScene;
class VOGLRenderer;
class VDeviceSet;

#include "sdk/yr_kernel_host.h"

namespace YrSDK {

class YrKernel {
 public:
  // Starts the engine once; answers true when it runs.
  static bool Init(const char* parameters = "");
  static void Close();
  static bool IsStarted();
  // The engine's scene; null while the engine is stopped. Both may be
  // asked for from any thread; what they point to is not guarded.
  static VScene* GetScene();
  // The engine's renderer, made at start; null while the engine is stopped.
  static VOGLRenderer* GetRenderer();
  // The system's devices and trigger manager; null while stopped.
  static VDeviceSet* GetDevices();
  // The embedding application (not owned); null for none. Kept across
  // Init and Close.
  static void SetHost(YrKernelHost* host);
  static YrKernelHost* GetHost();
};

}  // namespace YrSDK
