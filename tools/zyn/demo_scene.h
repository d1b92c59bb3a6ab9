#pragma once
// The bundled sample scene, built in the running engine: a small model
// hierarchy animated in two takes that together use every interpolation,
// tangent mode and extrapolation the curves know, with meshes, cameras,
// lights and one audio clip.

class VScene;

namespace zyn_tool {

void BuildDemoScene(VScene& scene);

}  // namespace zyn_tool
