#include "tools/zynplay/window_player.h"

#include "tools/zynplay/headless_runs.h"

namespace zynplay {

int RunWindows(const PlayerOptions&) { return ReportFailure("windows are not ready yet"); }

}  // namespace zynplay
