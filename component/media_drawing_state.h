// The drawing state that all media handler instances share: what the last
// idle call saw (to tell whether anything changed), the result of the last
// OpenGL set-up, the port of the current call, the one-time software-mode
// warning and the click that is being dragged.
//
// Only the host's thread reads and writes it (idle calls and events).
#pragma once

#include "component/framework_records.h"
#include "host/mac_types.h"
#include "host/ports.h"

namespace qtzyn {

struct MediaDrawingState {
  SInt32 prevState = 0;          // viewer core load state at the previous idle call
  long prevFlags = 0;            // idle input flags of the last drawn call
  TimeValue prevMediaTime = -1;  // media time of the last drawn call
  OSErr lastError = noErr;       // result of the last OpenGL set-up; every idle call answers it
  GrafPtr currentPort = nullptr; // the port current at the last idle call
  HDC currentPortDC = nullptr;
  bool warningPending = true;    // the software-mode warning has not been shown in this process
  bool dragging = false;         // a click on a track has not ended yet
};

MediaDrawingState& DrawingState();

// Back to the state of a freshly loaded module (for tests that need the
// one-time warning again).
void ResetDrawingState();

}  // namespace qtzyn
