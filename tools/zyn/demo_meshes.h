#pragma once
// Part of the sample scene: the skinned tube on a bone chain and the shape-animated mesh.

class VScene;
class VTake;

namespace zyn_tool {

// Adds the objects to the scene and their animation to the two takes.
void AddDemoMeshes(VScene& scene, VTake& first, VTake& second);

}  // namespace zyn_tool
