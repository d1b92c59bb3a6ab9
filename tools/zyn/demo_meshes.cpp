#include "tools/zyn/demo_meshes.h"

#include "animation/take.h"
#include "scene/scene.h"
#include "tools/zyn/demo_support.h"

namespace zyn_tool {

void AddDemoMeshes(VScene&, VTake&, VTake&) {}

}  // namespace zyn_tool
