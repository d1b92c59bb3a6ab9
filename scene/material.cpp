#include "scene/material.h"

#include <algorithm>
#include <cmath>

#include "scene/property_makers.h"
#include "zynfile/zyn_file.h"

namespace {

constexpr int kMaterialVersion = 102;

double Unit(double v, double nan_value) { return std::isnan(v) ? nan_value : std::clamp(v, 0.0, 1.0); }

YrSDK::YrVector3<double> UnitColor(const VDouble3& c) { return {Unit(c[0], 0.0), Unit(c[1], 0.0), Unit(c[2], 0.0)}; }

void WriteColor(VZynFile& file, const char* name, const VDouble3& c) {
  file.FieldWriteBegin(name);
  file.FieldWriteDn(c.data(), 3);
  file.FieldWriteEnd();
}

}  // namespace

VMaterial::VMaterial(const std::string& name) : VSceneObject("Material", name, "") {
  using namespace vprops;
  mShadingModel = Text(*this, "ShadingModel", kVShadingModelPhong);
  mEmissive = Color(*this, "Emissive", {0, 0, 0}, true);
  mAmbient = Color(*this, "Ambient", {0.2, 0.2, 0.2}, true);
  mDiffuse = Color(*this, "Diffuse", {0.8, 0.8, 0.8}, true);
  mSpecular = Color(*this, "Specular", {0, 0, 0}, true);
  mOpacity = Double(*this, "Opacity", 1.0, true);
  mReflectivity = Double(*this, "Reflectivity", 0.0, true);
  mShininess = Double(*this, "Shininess", 20.0, true);
}

YrSDK::YrVector3<double> VMaterial::GetEmissive() const { return UnitColor(mEmissive->Get()); }
YrSDK::YrVector3<double> VMaterial::GetAmbient() const { return UnitColor(mAmbient->Get()); }
YrSDK::YrVector3<double> VMaterial::GetDiffuse() const { return UnitColor(mDiffuse->Get()); }
YrSDK::YrVector3<double> VMaterial::GetSpecular() const { return UnitColor(mSpecular->Get()); }

double VMaterial::GetOpacity() const { return Unit(mOpacity->Get(), 1.0); }

double VMaterial::GetShininess() const {
  const double s = mShininess->Get();
  return std::isnan(s) ? 0.0 : std::max(s, 0.0);
}

double VMaterial::GetReflectivity() const { return Unit(mReflectivity->Get(), 0.0); }

bool VMaterial::Retrieve(VZynFile& file, int mode) {
  if (!VSceneObject::Retrieve(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  // A field without enough values changes nothing: a damaged record keeps
  // what the properties gave.
  auto read = [&file](const char* name, int count, auto&& apply) {
    if (!file.FieldReadBegin(name)) return;
    if (file.FieldReadGetRemain() >= count) apply();
    file.FieldReadEnd();
  };
  auto color = [&](const char* name, VPropertyDouble3* property) {
    read(name, 3, [&] {
      double rgb[3];
      if (file.FieldReadDn(rgb, 3) == 3) property->Set(VDouble3{rgb[0], rgb[1], rgb[2]});
    });
  };
  read("ShadingModel", 1, [&] {
    // A model name that is not text (or is empty) keeps the current one.
    const std::string model = file.FieldReadC();
    if (!model.empty()) mShadingModel->Set(model);
  });
  color("Ambient", mAmbient);
  color("Diffuse", mDiffuse);
  color("Specular", mSpecular);
  color("Emissive", mEmissive);
  read("Shininess", 1, [&] { mShininess->Set(file.FieldReadD()); });
  read("Alpha", 1, [&] { mOpacity->Set(file.FieldReadD()); });
  read("Reflectivity", 1, [&] { mReflectivity->Set(file.FieldReadD()); });
  return !file.HasError();
}

bool VMaterial::Store(VZynFile& file, int mode) const {
  if (!VSceneObject::Store(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  file.FieldWriteI("Version", kMaterialVersion);
  file.FieldWriteC("ShadingModel", mShadingModel->Get());
  WriteColor(file, "Ambient", mAmbient->Get());
  WriteColor(file, "Diffuse", mDiffuse->Get());
  WriteColor(file, "Specular", mSpecular->Get());
  WriteColor(file, "Emissive", mEmissive->Get());
  file.FieldWriteD("Shininess", mShininess->Get());
  file.FieldWriteD("Alpha", mOpacity->Get());
  file.FieldWriteD("Reflectivity", mReflectivity->Get());
  return !file.HasError();
}
