#pragma once
// Starting and stopping the engine: the class registry gets its factories
// and the scene is made; Close clears the scene and stops the engine. The
// scene, renderer and devices are reached through YrSystem's handles.

#include "sdk/yr_kernel_host.h"

namespace YrSDK {

class YrKernel {
 public:
  // Starts the engine once; answers true when it runs.
  static bool Init(const char* parameters = "");
  static void Close();
  static bool IsStarted();
  // The embedding application (not owned); null for none. Kept across
  // Init and Close.
  static void SetHost(YrKernelHost* host);
  static YrKernelHost* GetHost();
};

}  // namespace YrSDK
