#include "component/media_playback.h"

namespace qtzyn {

// Not written yet: answered as a selector without a routine.

ComponentResult MediaInitialize(MediaGlobalsHandle, GetMovieCompleteParams*) { return badComponentSelector; }

ComponentResult MediaIdle(MediaGlobalsHandle, TimeValue, long, long*, const TimeRecord*) {
  return badComponentSelector;
}

ComponentResult MediaSetDimensions(MediaGlobalsHandle, Fixed, Fixed) { return badComponentSelector; }

ComponentResult MediaSetMatrix(MediaGlobalsHandle, MatrixRecord*) { return badComponentSelector; }

ComponentResult MediaGetName(MediaGlobalsHandle, StringPtr, long, long*) { return badComponentSelector; }

}  // namespace qtzyn
