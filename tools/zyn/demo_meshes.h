#pragma once
// Part of the sample scene: the skinned tube on a bone chain, the
// shape-animated flag and the textured ground, with what they are drawn with.

class VScene;
class VTake;

namespace zyn_tool {

// Adds the objects to the scene and their animation to the two takes.
void AddDemoMeshes(VScene& scene, VTake& first, VTake& second);

}  // namespace zyn_tool
