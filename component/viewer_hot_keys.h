// The viewer's hot keys: single letters (either case) that cycle cameras,
// takes, display and viewing modes and toggle the viewer's switches, and
// the help line of each.
#pragma once

#include "component/component_globals.h"
#include "host/mac_types.h"

namespace qtzyn {

struct HotKey {
  char key;          // lower case
  const char* help;  // the help page's line
};

// In the help page's order.
constexpr int kHotKeyCount = 12;
extern const HotKey kHotKeys[kHotKeyCount];

// Runs the hot key `character` typed with `modifiers` for the instance.
// Keys act only when the modifiers are exactly btnState (no modifier key
// down) or include Caps Lock. *handled tells whether the key was the
// viewer's: a hot key, or, while keyboard triggering is on, a key the
// scene's triggers take. paramErr without `handled`; else noErr.
OSErr HandleHotKey(MediaGlobals* globals, int character, long modifiers, bool* handled);

}  // namespace qtzyn
