// KernelHost: the part of the viewer core that the engine talks to. It
// starts and stops the engine kernel, keeps the renderer it fetched once,
// and holds the key and mouse-button states that the renderer's camera
// moves read (Z held zooms) through the engine's host interface.
//
// Key states are written by whichever thread reports keys (the player's
// keyboard hook) without a lock and read by the drawing thread, so each
// state is an atomic byte.
#pragma once

#include <atomic>
#include <memory>

#include "host/mac_types.h"
#include "sdk/yr_kernel_host.h"
#include "sdk/yr_renderer.h"

namespace qtzyn {

// Key codes are the virtual-key numbers of the original platform (the
// player maps its own key events onto them).
constexpr int kVirtualKeyCount = 512;
constexpr int kVirtualKeyShift = 16;
constexpr int kVirtualKeyControl = 17;
constexpr int kVirtualKeyAlt = 18;
constexpr int kVirtualKeyEscape = 27;

struct LastMouseInput {
  double x = 0.0;
  double y = 0.0;
  SInt32 inputType = 0;
  SInt32 button = 0;
  SInt32 modifier = 0;
  SInt32 extra = 0;
};

class KernelHost : public YrSDK::YrKernelHost {
 public:
  // Starts the kernel, clears the key and button states and registers this
  // host with the engine.
  KernelHost();
  // Stops the kernel when it was started.
  ~KernelHost() override;
  KernelHost(const KernelHost&) = delete;
  KernelHost& operator=(const KernelHost&) = delete;

  // --- the engine's host interface -----------------------------------------
  // Itself for interface ids 0 and 11711, null otherwise.
  void* QueryInterface(int interfaceId) override;
  // 1 while virtual key k (1..511) is down; for k = -1, 1 when no key but
  // Shift, Ctrl and Alt is down; 0 otherwise.
  int GetKeyState(int key) const override;
  // 1 while mouse button 1 or 2 is pressed; 0 for any other button.
  int GetMouseButtonState(int button) const override;
  // Keys for the engine; the viewer core overrides it.
  bool KeyboardInput(int key, bool down) override { (void)key; (void)down; return false; }
  // Stores the state of a virtual key below 512; others are ignored.
  void SetVirtualKeyState(int key, bool down) override;
  // Stores the input in lastMouse, the button's state (pressed for input
  // type 2) and passes it to the renderer with integer coordinates.
  bool MouseInput(double x, double y, int inputType, int button, int modifier, int extra) override;

  // The engine's renderer, fetched once when the kernel starts; an invalid
  // handle while the kernel is stopped. Any thread may use it.
  YrSDK::YrRenderer& Renderer();

  bool loaded = false;         // a scene was loaded successfully
  bool kernelStarted = false;  // the kernel's Init succeeded
  LastMouseInput lastMouse;

 protected:
  void StartKernel();
  void StopKernel();

 private:
  std::unique_ptr<YrSDK::YrRenderer> renderer_;
  std::atomic<unsigned char> keyState_[kVirtualKeyCount] = {};
  std::atomic<unsigned char> buttonState_[2] = {};
};

}  // namespace qtzyn
