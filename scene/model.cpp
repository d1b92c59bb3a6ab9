#include "scene/model.h"

#include "core/property_definition.h"
#include "core/property_type.h"

VModel::VModel(const std::string& name, const std::string& subtype)
    : VSceneObject("Model", name, VModelIsKnownSubtype(subtype) ? subtype : "Null") {
  mTranslationProperty = AddPropertyT<VPropertyDouble3>("Lcl Translation", kPropertyTypeVector3d, kPropertyDefAnimatable);
  mRotationProperty = AddPropertyT<VPropertyDouble3>("Lcl Rotation", kPropertyTypeVector3d, kPropertyDefAnimatable);
  mScalingProperty = AddPropertyT<VPropertyDouble3>("Lcl Scaling", kPropertyTypeVector3d, kPropertyDefAnimatable);
  mVisibilityProperty = AddPropertyT<VPropertyDouble>("Visibility", kPropertyTypeDouble, kPropertyDefAnimatable);
  mScalingProperty->Set(VDouble3{1.0, 1.0, 1.0});
  mVisibilityProperty->Set(1.0);
}

bool VModelIsKnownSubtype(const std::string& subtype) {
  static const char* const kSubtypes[] = {"Null", "Mesh", "Camera", "Light", "CameraSwitcher",
                                          "Limb", "Root", "Marker"};
  for (const char* known : kSubtypes) {
    if (subtype == known) return true;
  }
  return false;
}
