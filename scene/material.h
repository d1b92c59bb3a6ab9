#pragma once
// A material ("Material" object): the colours and factors a model's
// surface is lit with. Meshes pick their materials among those connected to
// the model ("OO" material -> model), in connection order.
//
// The getters hand the renderer values it can send as they are: colours
// clamped to [0, 1], factors never NaN; the properties keep what was set
// or read.

#include <string>

#include "scene/matrix.h"
#include "scene/scene_object.h"

class VZynFile;

// The name of the material a model without one is drawn with.
inline constexpr const char kVDefaultMaterialName[] = "DefaultMat";
// The only shading model the engine knows.
inline constexpr const char kVShadingModelPhong[] = "phong";

class VMaterial : public VSceneObject {
 public:
  explicit VMaterial(const std::string& name);

  const std::string& GetShadingModel() const { return mShadingModel->Get(); }
  // Each channel clamped to [0, 1]; NaN counts as 0.
  YrSDK::YrVector3<double> GetEmissive() const;
  YrSDK::YrVector3<double> GetAmbient() const;
  YrSDK::YrVector3<double> GetDiffuse() const;
  YrSDK::YrVector3<double> GetSpecular() const;
  // "Opacity" clamped to [0, 1]; NaN counts as opaque (a damaged value must
  // not hide the model).
  double GetOpacity() const;
  // "Shininess" at least 0; NaN counts as 0. The renderer caps it at 128.
  double GetShininess() const;
  // "Reflectivity" clamped to [0, 1]; NaN counts as 0.
  double GetReflectivity() const;

  void SetShadingModel(const std::string& model) { mShadingModel->Set(model); }
  void SetEmissive(const VDouble3& rgb) { mEmissive->Set(rgb); }
  void SetAmbient(const VDouble3& rgb) { mAmbient->Set(rgb); }
  void SetDiffuse(const VDouble3& rgb) { mDiffuse->Set(rgb); }
  void SetSpecular(const VDouble3& rgb) { mSpecular->Set(rgb); }
  void SetOpacity(double opacity) { mOpacity->Set(opacity); }
  void SetShininess(double shininess) { mShininess->Set(shininess); }
  void SetReflectivity(double reflectivity) { mReflectivity->Set(reflectivity); }

  // After the properties the block carries "Version", "ShadingModel",
  // "Ambient", "Diffuse", "Specular", "Emissive", "Shininess", "Alpha" (the
  // opacity) and "Reflectivity"; a reader takes them over the properties.
  bool Retrieve(VZynFile& file, int mode) override;
  bool Store(VZynFile& file, int mode) const override;

  VPropertyText* mShadingModel;
  VPropertyDouble3* mEmissive;
  VPropertyDouble3* mAmbient;
  VPropertyDouble3* mDiffuse;
  VPropertyDouble3* mSpecular;
  VPropertyDouble* mOpacity;
  VPropertyDouble* mReflectivity;
  VPropertyDouble* mShininess;
};
