#pragma once
// A model of the scene: a transform node stored as a "Model" object. Its
// subtype says how it is drawn ("Null", "Limb", "Root", "Marker"); meshes,
// cameras, lights and camera switchers are models of classes of their own.

#include <string>

#include "scene/transform_node.h"

// How a model is drawn, whatever its shader asks: as set by the viewer's
// display modes ("Wire Frame", "Flat Shaded", "Hard Shaded", "Textured").
enum VModelShading : int {
  kVModelShadingDefault = 0,
  kVModelShadingWire,
  kVModelShadingFlat,
  kVModelShadingHard,
  kVModelShadingTexture,
};

class VModel : public VTransformNode {
 public:
  VModel(const std::string& name, const std::string& subtype);

  // A display state of the viewer, not stored in files; a value outside
  // VModelShading becomes kVModelShadingDefault.
  VModelShading GetShadingMode() const { return shading_mode_; }
  void SetShadingMode(int mode);

 private:
  VModelShading shading_mode_ = kVModelShadingDefault;
};

// The model subtypes the engine knows; anything else becomes "Null".
bool VModelIsKnownSubtype(const std::string& subtype);
