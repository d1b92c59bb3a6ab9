// The keyboard hook that watches every key while a media handler instance
// holds interaction focus: it records each key's state for the renderer's
// camera moves and offers the keys the scene's triggers know to the viewer
// core, swallowing those it takes (except Escape, which the host sees too).
//
// Threads: the hook procedure runs on whatever thread reports keys. It
// reaches the viewer core only between InstallKeyboardHook and
// ReleaseKeyboardHook, and ReleaseKeyboardHook waits for a procedure that
// is still running, so the core may be destroyed right after it.
#pragma once

#include "host/mac_types.h"

namespace qtzyn {

class ViewerCore;

// The library whose module the hook is installed with.
constexpr const char* kComponentModuleName = "QTZyn.qtx";

// Installs the hook for `core` unless it is installed. cantOpenHandler
// (-2004) when the module cannot be found or the hook cannot be set.
// Called under the core's lock.
OSErr InstallKeyboardHook(ViewerCore& core);
// Removes the hook without waiting (focus lost; called under the core's
// lock, which a running procedure may be waiting for).
void RemoveKeyboardHook(ViewerCore& core);
// Removes the hook and waits until no procedure uses the core (before the
// core goes; not under its lock).
void ReleaseKeyboardHook(ViewerCore& core);

}  // namespace qtzyn
