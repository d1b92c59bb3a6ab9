#include "component/viewer_keyboard_hook.h"

#include <condition_variable>
#include <mutex>

#include "component/viewer_core.h"
#include "host/keyboard_hooks.h"

namespace qtzyn {
namespace {

constexpr LPARAM kKeyUpBit = LPARAM(1) << 31;

// The core the hook serves, its hook, and how many procedures use the core
// right now.
struct HookState {
  std::mutex mutex;
  std::condition_variable idle;
  ViewerCore* core = nullptr;
  HHOOK hook = nullptr;
  int running = 0;
};

HookState& State() {
  static HookState state;
  return state;
}

LRESULT KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  HookState& s = State();
  ViewerCore* core = nullptr;
  HHOOK hook = nullptr;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    core = s.core;
    hook = s.hook;
    if (core != nullptr) ++s.running;
  }
  const int virtualKey = wParam < static_cast<WPARAM>(kVirtualKeyCount) ? static_cast<int>(wParam) : -1;
  bool handled = false;
  if (core != nullptr) {
    const bool down = (lParam & kKeyUpBit) == 0;
    if (virtualKey >= 0) core->SetVirtualKeyState(virtualKey, down);
    const int engineKey = virtualKey >= 0 ? ViewerCore::EngineKeyOfVirtualKey(virtualKey) : -1;
    if (engineKey >= 0) handled = core->KeyboardInput(engineKey, down);
    std::lock_guard<std::mutex> lock(s.mutex);
    if (--s.running == 0) s.idle.notify_all();
  }
  const LRESULT next = CallNextHookEx(hook, code, wParam, lParam);
  return handled && virtualKey != kVirtualKeyEscape ? 1 : next;
}

// With the state's mutex held.
void Unhook(ViewerCore& core) {
  HookState& s = State();
  if (s.hook != nullptr) UnhookWindowsHookEx(s.hook);
  s.hook = nullptr;
  s.core = nullptr;
  core.keyboardHook = nullptr;
}

}  // namespace

OSErr InstallKeyboardHook(ViewerCore& core) {
  HookState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.hook != nullptr && s.core == &core) return noErr;
  HINSTANCE module = GetModuleHandle(kComponentModuleName);
  if (module == nullptr) return cantOpenHandler;
  HHOOK hook = SetWindowsHookEx(WH_KEYBOARD, &KeyboardHookProc, module, 0);
  if (hook == nullptr) return cantOpenHandler;
  if (s.hook != nullptr) UnhookWindowsHookEx(s.hook);
  s.hook = hook;
  s.core = &core;
  core.keyboardHook = hook;
  return noErr;
}

void RemoveKeyboardHook(ViewerCore& core) {
  std::lock_guard<std::mutex> lock(State().mutex);
  Unhook(core);
}

void ReleaseKeyboardHook(ViewerCore& core) {
  HookState& s = State();
  std::unique_lock<std::mutex> lock(s.mutex);
  Unhook(core);
  s.idle.wait(lock, [&s] { return s.running == 0; });
}

}  // namespace qtzyn
