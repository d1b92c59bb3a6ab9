// The viewer's texts over the scene: the help page, the information lines
// and the prompt that asks for a click to get interaction focus. All are
// placed relative to the track's drawing rectangle.
#pragma once

#include <string>

#include "component/component_globals.h"
#include "host/mac_types.h"

namespace qtzyn {

// What the information lines show, read from the engine.
struct ViewerInformation {
  std::string take;          // the current take's name
  std::string camera;        // "Name" or "Switcher (Camera)"
  std::string displayMode;   // DisplayWhat's label
  std::string viewingMode;   // PickingMode's label
};

// Reads the information lines' values from the engine (the scene must be
// loaded).
ViewerInformation ReadViewerInformation();

// The help page: title, hot keys, camera movements and where to learn more.
void DrawHelpPage(const Rect& drawRect);
// Seven lines of the viewer's state, near-white, inside the information box.
void DrawInformationLines(const Rect& drawRect, const ViewerInformation& info, const MediaGlobals& globals);
// "<Click here to get interaction focus>", centred, with a black shadow.
void DrawFocusPrompt(const Rect& drawRect);

}  // namespace qtzyn
