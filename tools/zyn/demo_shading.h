#pragma once
// Part of the sample scene: what its meshes are drawn with. Materials of
// distinct colours, a checker texture on the ground plane and shaders for
// the render passes.

#include <cstdint>
#include <string>
#include <vector>

class VScene;

namespace zyn_tool {

// The image file of the checker texture, named after the scene file:
// "<scene stem>_checker.tga".
extern const char kDemoCheckerSuffix[];

// Adds the materials and the texture and connects them to the tube, the
// flag and the ground plane, which must exist. A file lists materials and
// textures after every model and before the deformers: call this between
// the two so that a scene read back keeps the objects' order.
void AddDemoMaterials(VScene& scene);
// Adds the shaders (a file lists them last) and connects them.
void AddDemoShaders(VScene& scene);

// The checker image: a 64 x 64 uncompressed true-colour TGA (type 2, 24
// bits, 8 x 8 pixel squares), as the file's bytes.
std::vector<std::uint8_t> DemoCheckerImage();
// Writes the checker image beside the scene file `scene_path` and points
// the sample's texture at it: "FileName" absolute, "RelativeFilename" the
// bare file name. False when the image cannot be written (the texture then
// keeps its names).
bool WriteDemoTextures(VScene& scene, const std::string& scene_path);

}  // namespace zyn_tool
