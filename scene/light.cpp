#include "scene/light.h"

#include <algorithm>
#include <cmath>

#include "scene/property_makers.h"
#include "scene/vector_math.h"
#include "zynfile/zyn_file.h"

using vmath::Vec3;

namespace {

constexpr int kLightTypeVersion = 201;

}  // namespace

VLight::VLight(const std::string& name) : VModel(name, "Light") {
  using namespace vprops;
  mColor = Color(*this, "Color", {1, 1, 1}, true);
  mIntensity = Double(*this, "Intensity", 100.0, true);
  mConeAngle = Double(*this, "Cone angle", 45.0, true);
  mLightType = Enum(*this, "LightType", {"Point Light", "Infinite Light", "Spot Light"});
  mCastLightOnObject = Bool(*this, "CastLightOnObject", true);
  mLightIntensityInfluenceFog = Bool(*this, "LightIntensityInfluenceFog", false);
  mDrawGroundProjection = Bool(*this, "DrawGroundProjection", false);
  mDrawFrontFacingVolumetricLight = Bool(*this, "DrawFrontFacingVolumetricLight", false);
  mDrawVolumetricLight = Bool(*this, "DrawVolumetricLight", false);
  mResetLight = Action(*this, "ResetLight");
  mGobo = AddPropertyT<VPropertyObject>("GoboProperty", kPropertyTypeObject);
}

int VLight::GetLightType() const {
  const int type = mLightType->Get();
  return type == kVLightInfinite || type == kVLightSpot ? type : kVLightPoint;
}

double VLight::GetIntensity() const {
  const double i = mIntensity->Get();
  return std::isnan(i) ? 0.0 : std::max(i, 0.0);
}

double VLight::GetConeAngle() const {
  const double cone = mConeAngle->Get();
  return std::isnan(cone) ? 0.0 : std::max(cone, 0.0);
}

Vec3 VLight::GetColor() const {
  const VDouble3 c = mColor->Get();
  auto channel = [](double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); };
  return {channel(c[0]), channel(c[1]), channel(c[2])};
}

void VLight::GetAmbient(double out[4]) const {
  out[0] = out[1] = out[2] = 0.0;
  out[3] = 1.0;
}

void VLight::GetSpecular(double out[4]) const {
  const Vec3 c = GetColor();
  out[0] = c.x;
  out[1] = c.y;
  out[2] = c.z;
  out[3] = 1.0;
}

void VLight::GetDiffuse(double out[4]) const { GetSpecular(out); }

Vec3 VLight::GetDirection(const VEvaluateInfo& info) const {
  return vmath::Normalised(vmath::Row(GetRotationMatrix(kVSpaceGlobal, info), 0), Vec3{1, 0, 0});
}

void VLight::GetPosition(double out[4], const VEvaluateInfo& info) const {
  if (GetLightType() == kVLightInfinite) {
    const Vec3 from = vmath::Scale(GetDirection(info), -1.0);
    out[0] = from.x;
    out[1] = from.y;
    out[2] = from.z;
    out[3] = 0.0;
    return;
  }
  const auto& t = GetTranslation(kVSpaceGlobal, info);
  const Vec3 p = vmath::FiniteOr(Vec3{t.x, t.y, t.z}, Vec3{0, 0, 0});
  out[0] = p.x;
  out[1] = p.y;
  out[2] = p.z;
  out[3] = 1.0;
}

double VLight::GetSpotCutoff() const {
  // The cone widened by 1.2 and halved; OpenGL accepts 0 to 90 for a spot.
  return std::min(0.6 * GetConeAngle(), 89.0);
}

double VLight::GetSpotExponent() const {
  const double ratio = 1.2 * GetConeAngle() / 180.0;
  const double base = std::clamp(1.0 - ratio * ratio, 0.0, 1.0);
  const double exponent = exponent_bias_ + 128.0 * (std::pow(base, 8.0) + 0.015);
  return std::clamp(exponent, 0.0, 128.0);
}

double VLight::GetConstantAttenuation() const {
  return std::max(100.0 / (GetIntensity() + 0.000001), 0.000001);
}

void VLight::SetExponentBias(double bias) {
  if (std::isfinite(bias)) exponent_bias_ = bias;
}

bool VLight::Retrieve(VZynFile& file, int mode) {
  if (!VModel::Retrieve(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  // A field without values changes nothing (a damaged record must not turn
  // the light dark or into another type).
  auto read = [&file](const char* name, int count, auto&& apply) {
    if (!file.FieldReadBegin(name)) return;
    if (file.FieldReadGetRemain() >= count) apply();
    file.FieldReadEnd();
  };
  read("LightType", 1, [&] { mLightType->Set(file.FieldReadI()); });
  read("CastLight", 1, [&] { mCastLightOnObject->Set(file.FieldReadI() != 0 ? 1 : 0); });
  read("Color", 3, [&] {
    double rgb[3];
    if (file.FieldReadDn(rgb, 3) == 3) mColor->Set(VDouble3{rgb[0], rgb[1], rgb[2]});
  });
  read("Intensity", 1, [&] { mIntensity->Set(file.FieldReadD()); });
  read("ConeAngle", 1, [&] { mConeAngle->Set(file.FieldReadD()); });
  read("IntensityInfluenceFog", 1, [&] { mLightIntensityInfluenceFog->Set(file.FieldReadI() != 0 ? 1 : 0); });
  return !file.HasError();
}

bool VLight::Store(VZynFile& file, int mode) const {
  if (!VModel::Store(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  file.FieldWriteI("LightTypeVersion", kLightTypeVersion);
  file.FieldWriteI("LightType", mLightType->Get());
  file.FieldWriteI("CastLight", mCastLightOnObject->Get() ? 1 : 0);
  const VDouble3 color = mColor->Get();
  file.FieldWriteBegin("Color");
  file.FieldWriteDn(color.data(), 3);
  file.FieldWriteEnd();
  file.FieldWriteD("Intensity", mIntensity->Get());
  file.FieldWriteD("ConeAngle", mConeAngle->Get());
  file.FieldWriteI("IntensityInfluenceFog", mLightIntensityInfluenceFog->Get() ? 1 : 0);
  return !file.HasError();
}
