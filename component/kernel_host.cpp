#include "component/kernel_host.h"

#include "sdk/yr_kernel.h"
#include "sdk/yr_system.h"

namespace qtzyn {
namespace {

// The component has no log output: traces are written nowhere.
void Trace(const char* /*format*/, ...) {}

constexpr int kHostInterfaceId = 11711;

}  // namespace

KernelHost::KernelHost() {
  StartKernel();
  YrSDK::YrKernel::SetHost(this);
}

KernelHost::~KernelHost() {
  if (YrSDK::YrKernel::GetHost() == this) YrSDK::YrKernel::SetHost(nullptr);
  StopKernel();
}

void KernelHost::StartKernel() {
  Trace("\nStarting Kernel...");
  if (YrSDK::YrKernel::Init("")) {
    kernelStarted = true;
    // Fetched here, once, so that the threads that use it only read it.
    renderer_ = std::make_unique<YrSDK::YrRenderer>(YrSDK::YrSystem().GetRenderer());
    Trace(" Ok!\n");
  } else {
    Trace(" Error!\n");
  }
}

void KernelHost::StopKernel() {
  if (!kernelStarted) return;
  Trace("\nStopping Kernel...");
  renderer_.reset();
  YrSDK::YrKernel::Close();
  kernelStarted = false;
  Trace(" Ok!\n");
}

void* KernelHost::QueryInterface(int interfaceId) {
  return interfaceId == 0 || interfaceId == kHostInterfaceId ? this : nullptr;
}

int KernelHost::GetKeyState(int key) const {
  if (key >= 1 && key < kVirtualKeyCount) return keyState_[key].load(std::memory_order_relaxed);
  if (key != -1) return 0;
  for (int k = 1; k < kVirtualKeyCount; ++k) {
    if (k == kVirtualKeyShift || k == kVirtualKeyControl || k == kVirtualKeyAlt) continue;
    if (keyState_[k].load(std::memory_order_relaxed) != 0) return 0;
  }
  return 1;
}

int KernelHost::GetMouseButtonState(int button) const {
  return button == 1 || button == 2 ? buttonState_[button - 1].load(std::memory_order_relaxed) : 0;
}

void KernelHost::SetVirtualKeyState(int key, bool down) {
  if (key >= 0 && key < kVirtualKeyCount) keyState_[key].store(down ? 1 : 0, std::memory_order_relaxed);
}

bool KernelHost::MouseInput(double x, double y, int inputType, int button, int modifier, int extra) {
  lastMouse = LastMouseInput{x, y, inputType, button, modifier, extra};
  if (button == 1 || button == 2) buttonState_[button - 1].store(inputType == 2 ? 1 : 0, std::memory_order_relaxed);
  YrSDK::YrRenderer& renderer = Renderer();
  if (!renderer.IsValid()) return false;
  return renderer.MouseInput(static_cast<int>(x), static_cast<int>(y), inputType, button, modifier, extra);
}

YrSDK::YrRenderer& KernelHost::Renderer() {
  static YrSDK::YrRenderer none;  // an invalid handle, while the kernel is stopped
  return renderer_ ? *renderer_ : none;
}

}  // namespace qtzyn
