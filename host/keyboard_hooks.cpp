#include "host/keyboard_hooks.h"

#include <algorithm>
#include <mutex>
#include <vector>

struct HostKeyboardHook {
  HOOKPROC proc = nullptr;
  HINSTANCE module = nullptr;
};

namespace {

// Hooks in installation order; the newest is called first. A hook is
// installed and removed on the host's thread while keys may be reported
// from another, so the chain is guarded; the procedures run outside the
// lock (a hook may remove itself or take its own locks).
std::mutex g_hooksMutex;
std::vector<HHOOK> g_hooks;

}  // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, std::uint32_t threadId) {
  if (idHook != WH_KEYBOARD || proc == nullptr || module == nullptr || threadId != 0) return nullptr;
  std::lock_guard<std::mutex> lock(g_hooksMutex);
  auto* hook = new HostKeyboardHook{proc, module};
  g_hooks.push_back(hook);
  return hook;
}

Boolean UnhookWindowsHookEx(HHOOK hook) {
  std::lock_guard<std::mutex> lock(g_hooksMutex);
  auto it = std::find(g_hooks.begin(), g_hooks.end(), hook);
  if (it == g_hooks.end()) return false;
  g_hooks.erase(it);
  delete hook;
  return true;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  HOOKPROC next = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_hooksMutex);
    auto it = std::find(g_hooks.begin(), g_hooks.end(), hook);
    // The hook before this one in installation order is the next to call.
    if (it != g_hooks.end() && it != g_hooks.begin()) next = (*(it - 1))->proc;
  }
  return next != nullptr ? next(code, wParam, lParam) : 0;
}

bool HostSendKeyboardEvent(int virtualKey, bool down) {
  HOOKPROC newest = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_hooksMutex);
    if (!g_hooks.empty()) newest = g_hooks.back()->proc;
  }
  if (newest == nullptr || virtualKey < 0) return false;
  const LPARAM lParam = down ? 1 : static_cast<LPARAM>(std::uint32_t(1) << 31) | 1;
  return newest(HC_ACTION, static_cast<WPARAM>(virtualKey), lParam) != 0;
}
