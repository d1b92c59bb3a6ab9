// The active instance's OpenGL work in an idle call: the set-up of the
// offscreen buffer (a pbuffer, else a software context after a one-time
// warning), and one frame: the scene at the media time, rendered, the
// OpenGL panel of the screen laid over it and the pixels copied into the
// port.
#pragma once

#include "component/component_globals.h"
#include "component/viewer_core.h"

namespace qtzyn {

// (Re)allocates the viewer core's context for pixelWidth × pixelHeight and
// prepares the view. userCanceledErr (-128) when a side is below 1, when
// there is no context wrapper, or when neither buffer can be made.
OSErr SetUpOpenGL(MediaGlobals& globals, ViewerCore& core);

// Evaluates the scene at `atMediaTime` (media units, 60 a second, from the
// current take's start), renders it unless the help page covers it, draws
// the panel that the load state asks for and copies the frame into the
// port's device context given at the set-up.
void DrawOpenGLFrame(MediaGlobals& globals, ViewerCore& core, LoadState state, TimeValue atMediaTime);

}  // namespace qtzyn
