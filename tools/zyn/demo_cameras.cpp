#include "tools/zyn/demo_cameras.h"

#include "animation/take.h"
#include "scene/scene.h"
#include "tools/zyn/demo_support.h"

namespace zyn_tool {

void AddDemoCameras(VScene&, VTake&, VTake&) {}

}  // namespace zyn_tool
