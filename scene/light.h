#pragma once
// A light: a model of subtype "Light" that shines along its node's +X axis
// (like a camera, an interest node turns that axis through look-at). It
// gives the renderer the values one OpenGL light needs; see
// lighting_setup.h for how a frame's lights are chosen.

#include <string>

#include "scene/model.h"

// "LightType" values.
enum VLightType : int { kVLightPoint = 0, kVLightInfinite = 1, kVLightSpot = 2 };

class VZynFile;

class VLight : public VModel {
 public:
  explicit VLight(const std::string& name);

  int GetLightType() const;  // a value outside the table counts as a point light
  bool CastsLight() const { return mCastLightOnObject->Get() != 0; }
  // "Intensity" in percent, raised to at least 0 (NaN counts as 0).
  double GetIntensity() const;
  // "Cone angle" in degrees, at least 0 (NaN counts as 0).
  double GetConeAngle() const;
  // "Color" with every channel clamped to [0, 1] (NaN counts as 0).
  YrSDK::YrVector3<double> GetColor() const;

  // The three colours sent to OpenGL (RGBA). The light's brightness is
  // carried by its attenuation (100 / intensity), so the colours are not
  // scaled by it: ambient is black (a light adds no flat light of its own),
  // specular and diffuse are "Color" with alpha 1.
  void GetAmbient(double out[4]) const;
  void GetSpecular(double out[4]) const;
  void GetDiffuse(double out[4]) const;
  // The OpenGL position: the global position with w = 1, or for an
  // infinite light the unit direction it shines from with w = 0.
  void GetPosition(double out[4], const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  // The unit direction the light shines along: its aimed +X axis.
  YrSDK::YrVector3<double> GetDirection(const VEvaluateInfo& info = VEvaluateInfo::Default()) const;

  // Sent values of a spot: cut-off min(0.6 * cone, 89) and the exponent
  // e + 128 * ((clamp(1 - (1.2 * cone / 180)^2, 0, 1))^8 + 0.015), clamped
  // to [0, 128], e being the exponent bias.
  double GetSpotCutoff() const;
  double GetSpotExponent() const;
  // Constant attenuation max(100 / (I + 0.000001), 0.000001).
  double GetConstantAttenuation() const;
  // The exponent bias of the spot's falloff: the light's own state, 0
  // unless set; not stored in files.
  double GetExponentBias() const { return exponent_bias_; }
  void SetExponentBias(double bias);

  // After the properties the block carries "LightTypeVersion", "LightType",
  // "CastLight", "Color", "Intensity", "ConeAngle" and
  // "IntensityInfluenceFog"; a reader takes them over the properties.
  bool Retrieve(VZynFile& file, int mode) override;
  bool Store(VZynFile& file, int mode) const override;

  VPropertyDouble3* mColor;
  VPropertyDouble* mIntensity;
  VPropertyDouble* mConeAngle;
  VPropertyInt* mLightType;
  VPropertyBool* mCastLightOnObject;
  VPropertyBool* mLightIntensityInfluenceFog;
  VPropertyBool* mDrawGroundProjection;
  VPropertyBool* mDrawFrontFacingVolumetricLight;
  VPropertyBool* mDrawVolumetricLight;
  VPropertyBool* mResetLight;
  VPropertyObject* mGobo;

 private:
  double exponent_bias_ = 0.0;
};
