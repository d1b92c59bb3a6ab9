// An instance's count of idle calls that still draw. The keyboard hook sets
// it from the thread that reports keys, under the viewer core's lock, so
// the host's thread reads and changes it under the same lock.
#pragma once

#include "component/component_globals.h"

namespace qtzyn {

// Idle calls that draw after a change the movie's time does not show
// (initialisation, the end of loading, a key or a drag).
constexpr SInt32 kRedrawCalls = 3;

SInt32 RedrawCount(const MediaGlobals& globals);
void SetRedrawCount(MediaGlobals& globals, SInt32 count);
void CountDownRedraw(MediaGlobals& globals);

}  // namespace qtzyn
