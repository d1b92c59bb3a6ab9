#include "scene/model_shading.h"

#include "scene/material.h"
#include "scene/shader.h"
#include "scene/texture.h"
#include "scene/transform_node.h"

namespace {

template <class T>
std::vector<T*> SourcesOf(const VTransformNode& model) {
  std::vector<T*> found;
  for (int i = 0; i < model.GetSrcCount(); ++i) {
    if (auto* object = dynamic_cast<T*>(model.GetSrc(i))) found.push_back(object);
  }
  return found;
}

}  // namespace

std::vector<VMaterial*> VGetModelMaterials(const VTransformNode& model) { return SourcesOf<VMaterial>(model); }

std::vector<VTexture*> VGetModelTextures(const VTransformNode& model) { return SourcesOf<VTexture>(model); }

VShader* VGetModelShader(const VTransformNode& model) {
  for (int i = 0; i < model.GetSrcCount(); ++i) {
    if (auto* shader = dynamic_cast<VShader*>(model.GetSrc(i))) return shader;
  }
  return nullptr;
}
