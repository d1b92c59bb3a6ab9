// The keyboard hook that watches every key while a media handler instance
// holds interaction focus: it records each key's state for the renderer's
// camera moves and offers the keys the scene's triggers know to the viewer
// core, swallowing those it takes (except Escape, which the host sees too).
//
// The hook's handle lives in the viewer core (keyboardHook), which also
// removes it when the focused instance or the last instance closes. The
// procedure runs on whatever thread reports keys; it reaches the core
// through ViewerCore::Get and reads the handle under the core's lock.
#pragma once

#include "host/mac_types.h"

namespace qtzyn {

class ViewerCore;

// The library whose module the hook is installed with.
constexpr const char* kComponentModuleName = "QTZyn.qtx";

// Installs the hook unless the core holds one. cantOpenHandler (-2004) when
// the module cannot be found or the hook cannot be set. Called under the
// core's lock.
OSErr InstallKeyboardHook(ViewerCore& core);
// Removes the core's hook, if any. Called under the core's lock.
void RemoveKeyboardHook(ViewerCore& core);

}  // namespace qtzyn
