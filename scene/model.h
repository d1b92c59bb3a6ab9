#pragma once
// A model of the scene: a transform node stored as a "Model" object. Its
// subtype says how it is drawn ("Null", "Limb", "Root", "Marker"); meshes,
// cameras, lights and camera switchers are models of classes of their own.

#include <string>

#include "scene/transform_node.h"

class VModel : public VTransformNode {
 public:
  VModel(const std::string& name, const std::string& subtype);
};

// The model subtypes the engine knows; anything else becomes "Null".
bool VModelIsKnownSubtype(const std::string& subtype);
