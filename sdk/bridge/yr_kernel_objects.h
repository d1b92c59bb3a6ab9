#pragma once
// The running engine's own objects, for the facade's sources and engine
// programs (this header is not public: the facade hands out handles).

class VScene;
class VOGLRenderer;
class VDeviceSet;

namespace YrSDK {

class YrKernelObjects {
 public:
  // The engine's scene; null while the engine is stopped. Both may be
  // asked for from any thread; what they point to is not guarded.
  static VScene* GetScene();
  // The engine's renderer, made at start; null while the engine is stopped.
  static VOGLRenderer* GetRenderer();
  // The system's devices and trigger manager; null while stopped.
  static VDeviceSet* GetDevices();
};

}  // namespace YrSDK
