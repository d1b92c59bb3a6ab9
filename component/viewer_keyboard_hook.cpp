#include "component/viewer_keyboard_hook.h"

#include "component/viewer_core.h"
#include "host/keyboard_hooks.h"

namespace qtzyn {
namespace {

constexpr LPARAM kKeyUpBit = LPARAM(1) << 31;

LRESULT KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  const int virtualKey = wParam < static_cast<WPARAM>(kVirtualKeyCount) ? static_cast<int>(wParam) : -1;
  bool handled = false;
  HHOOK hook = nullptr;
  if (ViewerCore* core = ViewerCore::Get()) {
    const bool down = (lParam & kKeyUpBit) == 0;
    if (virtualKey >= 0) core->SetVirtualKeyState(virtualKey, down);
    const int engineKey = virtualKey >= 0 ? ViewerCore::EngineKeyOfVirtualKey(virtualKey) : -1;
    if (engineKey >= 0) handled = core->KeyboardInput(engineKey, down);
    core->Lock();
    hook = core->keyboardHook;
    core->Unlock();
  }
  const LRESULT next = CallNextHookEx(hook, code, wParam, lParam);
  return handled && virtualKey != kVirtualKeyEscape ? 1 : next;
}

}  // namespace

OSErr InstallKeyboardHook(ViewerCore& core) {
  if (core.keyboardHook != nullptr) return noErr;
  HINSTANCE module = GetModuleHandle(kComponentModuleName);
  if (module == nullptr) return cantOpenHandler;
  core.keyboardHook = SetWindowsHookEx(WH_KEYBOARD, &KeyboardHookProc, module, 0);
  return core.keyboardHook != nullptr ? noErr : cantOpenHandler;
}

void RemoveKeyboardHook(ViewerCore& core) {
  if (core.keyboardHook != nullptr) UnhookWindowsHookEx(core.keyboardHook);
  core.keyboardHook = nullptr;
}

}  // namespace qtzyn
