// The text layer that every idle call that draws lays over the track, with
// the port's own text calls: the title screen, the software-mode warning,
// the notices of an instance that does not play, the load failure, and
// over a loaded scene the help page or the information lines and the focus
// prompt.
#pragma once

#include "component/component_globals.h"
#include "component/viewer_core.h"

namespace qtzyn {

void DrawTextLayer(const MediaGlobals& globals, bool active, LoadState state, LoadError error);

}  // namespace qtzyn
