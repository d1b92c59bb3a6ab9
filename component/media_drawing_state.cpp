#include "component/media_drawing_state.h"

namespace qtzyn {
namespace {
MediaDrawingState g_drawingState;
}  // namespace

MediaDrawingState& DrawingState() { return g_drawingState; }

void ResetDrawingState() { g_drawingState = MediaDrawingState{}; }

}  // namespace qtzyn
