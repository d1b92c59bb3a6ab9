#pragma once
// Part of the sample scene: three cameras with a camera switcher, and point, spot and infinite lights.

class VScene;
class VTake;

namespace zyn_tool {

// Adds the objects to the scene and their animation to the two takes.
void AddDemoCameras(VScene& scene, VTake& first, VTake& second);

}  // namespace zyn_tool
