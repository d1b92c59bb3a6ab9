#include "scene/model.h"

VModel::VModel(const std::string& name, const std::string& subtype)
    : VTransformNode("Model", name, VModelIsKnownSubtype(subtype) ? subtype : "Null") {}

void VModel::SetShadingMode(int mode) {
  shading_mode_ = mode >= kVModelShadingDefault && mode <= kVModelShadingTexture ? static_cast<VModelShading>(mode)
                                                                                 : kVModelShadingDefault;
}

bool VModelIsKnownSubtype(const std::string& subtype) {
  static const char* const kSubtypes[] = {"Null", "Mesh", "Camera", "Light", "CameraSwitcher",
                                          "Limb", "Root", "Marker"};
  for (const char* known : kSubtypes) {
    if (subtype == known) return true;
  }
  return false;
}
