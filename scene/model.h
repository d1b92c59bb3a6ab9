#pragma once
// A model of the scene: a node of the transform hierarchy with its local
// translation, rotation and scaling and its visibility, all animatable.
// Meshes, cameras and lights are models of their own subtypes.

#include <string>

#include "core/property.h"
#include "scene/scene_object.h"

class VModel : public VSceneObject {
 public:
  VModel(const std::string& name, const std::string& subtype);

  VPropertyDouble3* mTranslationProperty;
  VPropertyDouble3* mRotationProperty;
  VPropertyDouble3* mScalingProperty;
  VPropertyDouble* mVisibilityProperty;
};

// The model subtypes the engine knows; anything else becomes "Null".
bool VModelIsKnownSubtype(const std::string& subtype);
