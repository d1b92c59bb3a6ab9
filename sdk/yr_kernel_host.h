#pragma once
// YrKernelHost: what the application that embeds the engine offers it. The
// engine keeps one host (YrKernel::SetHost) and asks it for key and mouse
// button states; the renderer's camera moves read them (Z held zooms).

namespace YrSDK {

class YrKernelHost {
 public:
  virtual ~YrKernelHost() = default;
  // The host itself for the interface ids it answers, else null.
  virtual void* QueryInterface(int interfaceId) = 0;
  // 1 while the virtual key is down; -1 asks whether no key but Shift,
  // Ctrl and Alt is down.
  virtual int GetKeyState(int key) const = 0;
  // 1 while mouse button 1 or 2 is pressed.
  virtual int GetMouseButtonState(int button) const = 0;
  virtual bool KeyboardInput(int key, bool down) = 0;
  virtual void SetVirtualKeyState(int key, bool down) = 0;
  virtual bool MouseInput(double x, double y, int inputType, int button, int modifier, int extra) = 0;
};

}  // namespace YrSDK
