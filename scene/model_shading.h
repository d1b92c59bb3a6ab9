#pragma once
// What a model is drawn with, found through its connections: the materials,
// textures and shaders connected to it ("OO" material, texture or shader ->
// model), in connection order. A mesh's per-polygon material and texture
// ids index these lists; the first shader is the model's shader.

#include <vector>

class VTransformNode;
class VMaterial;
class VTexture;
class VShader;

std::vector<VMaterial*> VGetModelMaterials(const VTransformNode& model);
std::vector<VTexture*> VGetModelTextures(const VTransformNode& model);
// Null when no shader of a class the engine knows is connected: the model
// is then drawn with the scene's default shader.
VShader* VGetModelShader(const VTransformNode& model);
