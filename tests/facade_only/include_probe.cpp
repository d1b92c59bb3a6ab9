// Includes the header its target names; its tests expect the build to fail
// because the header is out of the target's reach.
#include "sdk/yr_system.h"
#include QTZYN_PROBE_HEADER
