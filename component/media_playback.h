// The media handler's playback routines: initialisation, idle (load,
// evaluate, render, copy into the port), dimensions, matrix and name.
#pragma once

#include "component/component_globals.h"
#include "component/framework_records.h"

namespace qtzyn {

// Selectors.
enum : SInt16 {
  kMediaInitializeSelect = 0x0501,
  kMediaIdleSelect = 0x0503,
  kMediaSetDimensionsSelect = 0x050D,
  kMediaSetMatrixSelect = 0x050F,
  kMediaGetNameSelect = 0x051D,
};

ComponentResult MediaInitialize(MediaGlobalsHandle storage, GetMovieCompleteParams* gmc);
ComponentResult MediaIdle(MediaGlobalsHandle storage, TimeValue atMediaTime, long flagsIn, long* flagsOut,
                          const TimeRecord* movieTime);
ComponentResult MediaSetDimensions(MediaGlobalsHandle storage, Fixed width, Fixed height);
ComponentResult MediaSetMatrix(MediaGlobalsHandle storage, MatrixRecord* trackMovieMatrix);
ComponentResult MediaGetName(MediaGlobalsHandle storage, StringPtr name, long requestedLanguage,
                             long* actualLanguage);

}  // namespace qtzyn
