// Includes the header its target names; the tests of these probes expect
// the build to fail because that header is out of the target's reach.
#include QTZYN_PROBE_HEADER
