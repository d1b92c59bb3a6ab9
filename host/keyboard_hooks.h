// Keyboard hooks: the component watches every key while one of its
// instances holds interaction focus. The player reports each key down and
// up with HostSendKeyboardEvent; the installed hooks see it, newest first,
// each passing it on with CallNextHookEx, and the answer tells the player
// whether a hook swallowed the key.
//
// Messages follow the original platform: wParam is the virtual-key code;
// bit 31 of lParam is set when the key goes up.
#pragma once

#include <cstdint>

#include "host/mac_types.h"

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
struct HostKeyboardHook;
using HHOOK = HostKeyboardHook*;
using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);
using HINSTANCE = void*;

constexpr int WH_KEYBOARD = 2;
constexpr int HC_ACTION = 0;

// The module of a registered component library whose file name is
// `moduleName` ("QTZyn.qtx"), or null.
HINSTANCE GetModuleHandle(const char* moduleName);
// Installs a keyboard hook (WH_KEYBOARD only, for all threads: threadId 0);
// null when the type, the procedure or the module is missing.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, std::uint32_t threadId);
// Removes a hook; false when it is not installed.
Boolean UnhookWindowsHookEx(HHOOK hook);
// Passes the message to the hook installed before `hook` (0 when none).
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// --- The player's side ---------------------------------------------------------

// Reports a key to the hooks; true when a hook swallowed it (answered
// non-zero).
bool HostSendKeyboardEvent(int virtualKey, bool down);
