#include "scene/shader.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "scene/property_makers.h"
#include "zynfile/zyn_file.h"

namespace {

constexpr int kLightedShaderVersion = 101;
constexpr int kFlatShaderVersion = 101;
constexpr int kWireShaderVersion = 100;

const std::vector<std::string>& TransparencyTexts() {
  static const std::vector<std::string> texts = {
      "No Transparency",       "Accurate Transparency", "Translucent", "Matte", "2D Transparency",
      "Additive Transparency", "Translucent(Models Z Sort)"};
  return texts;
}

int TransparencyOf(int value) { return value >= 0 && value < kVTransparencyCount ? value : kVTransparencyNone; }

double UnitAlpha(double alpha) { return std::isnan(alpha) ? 1.0 : std::clamp(alpha, 0.0, 1.0); }

double Percent(double value) { return std::isfinite(value) ? value : 100.0; }

// Reads one field's values when it has at least `count`; a short or missing
// field changes nothing.
template <class Apply>
void ReadField(VZynFile& file, const char* name, int count, Apply&& apply) {
  if (!file.FieldReadBegin(name)) return;
  if (file.FieldReadGetRemain() >= count) apply();
  file.FieldReadEnd();
}

void ReadDouble(VZynFile& file, const char* name, VPropertyDouble* property) {
  ReadField(file, name, 1, [&] { property->Set(file.FieldReadD()); });
}

}  // namespace

// --- lighted ------------------------------------------------------------------

VLightedShader::VLightedShader(const std::string& name) : VShader(name, "LightedShader") {
  using namespace vprops;
  mAlpha = Double(*this, "Alpha", 1.0, true);
  mUseContrast = Bool(*this, "UseContrast", false);
  mContrast = Double(*this, "Contrast", 100.0, true);
  mUseLuminosity = Bool(*this, "UseLuminosity", false);
  mLuminosity = Double(*this, "Luminosity", 100.0, true);
  mUseSpecular = Bool(*this, "UseSpecular", false);
  mSpecular = Double(*this, "Specular", 100.0, true);
  mTransparency = Enum(*this, "Transparency", TransparencyTexts());
}

int VLightedShader::GetTransparency() const { return TransparencyOf(mTransparency->Get()); }
double VLightedShader::GetAlpha() const { return UnitAlpha(mAlpha->Get()); }
double VLightedShader::GetContrast() const { return Percent(mContrast->Get()); }
double VLightedShader::GetLuminosity() const { return Percent(mLuminosity->Get()); }
double VLightedShader::GetSpecular() const { return Percent(mSpecular->Get()); }

bool VLightedShader::Retrieve(VZynFile& file, int mode) {
  if (!VShader::Retrieve(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  ReadDouble(file, "Contrast", mContrast);
  ReadDouble(file, "Luminosity", mLuminosity);
  ReadDouble(file, "Specular", mSpecular);
  ReadDouble(file, "Alpha", mAlpha);
  return !file.HasError();
}

bool VLightedShader::Store(VZynFile& file, int mode) const {
  if (!VShader::Store(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  file.FieldWriteI("Version", kLightedShaderVersion);
  file.FieldWriteD("Contrast", mContrast->Get());
  file.FieldWriteD("Luminosity", mLuminosity->Get());
  file.FieldWriteD("Specular", mSpecular->Get());
  file.FieldWriteD("Alpha", mAlpha->Get());
  return !file.HasError();
}

// --- flat -----------------------------------------------------------------------

VFlatShader::VFlatShader(const std::string& name) : VShader(name, "FlatShader") {
  using namespace vprops;
  mAlpha = Double(*this, "Alpha", 1.0, true);
  mUseLuminosity = Bool(*this, "UseLuminosity", false);
  mLuminosityFactor = Double(*this, "LuminosityFactor", 100.0, true);
  mColorSource = Enum(*this, "ColorSource", {"Material Color", "Specific Color"});
  mSpecificColor = Color(*this, "SpecificColor", {1, 1, 1}, true);
  mTransparency = Enum(*this, "Transparency", TransparencyTexts());
}

int VFlatShader::GetTransparency() const { return TransparencyOf(mTransparency->Get()); }
double VFlatShader::GetAlpha() const { return UnitAlpha(mAlpha->Get()); }
double VFlatShader::GetLuminosityFactor() const { return Percent(mLuminosityFactor->Get()); }

int VFlatShader::GetColorSource() const {
  return mColorSource->Get() == kVFlatColorSpecific ? kVFlatColorSpecific : kVFlatColorMaterial;
}

YrSDK::YrVector3<double> VFlatShader::GetSpecificColor() const {
  const VDouble3 c = mSpecificColor->Get();
  auto channel = [](double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); };
  return {channel(c[0]), channel(c[1]), channel(c[2])};
}

bool VFlatShader::Retrieve(VZynFile& file, int mode) {
  if (!VShader::Retrieve(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  ReadDouble(file, "Luminosity", mLuminosityFactor);
  ReadField(file, "ColorSource", 1, [&] { mColorSource->Set(file.FieldReadI()); });
  ReadField(file, "SpecificColor", 3, [&] {
    double rgb[3];
    if (file.FieldReadDn(rgb, 3) == 3) mSpecificColor->Set(VDouble3{rgb[0], rgb[1], rgb[2]});
  });
  ReadDouble(file, "Alpha", mAlpha);
  return !file.HasError();
}

bool VFlatShader::Store(VZynFile& file, int mode) const {
  if (!VShader::Store(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  file.FieldWriteI("Version", kFlatShaderVersion);
  file.FieldWriteD("Luminosity", mLuminosityFactor->Get());
  file.FieldWriteI("ColorSource", mColorSource->Get());
  const VDouble3 color = mSpecificColor->Get();
  file.FieldWriteBegin("SpecificColor");
  file.FieldWriteDn(color.data(), 3);
  file.FieldWriteEnd();
  file.FieldWriteD("Alpha", mAlpha->Get());
  return !file.HasError();
}

// --- wire -----------------------------------------------------------------------

VWireShader::VWireShader(const std::string& name) : VShader(name, "WireShader") {
  mLineWidth = vprops::Double(*this, "LineWidth", 1.0);
}

double VWireShader::GetLineWidth() const {
  const double width = mLineWidth->Get();
  return std::isfinite(width) && width > 0.0 ? width : 1.0;
}

bool VWireShader::Retrieve(VZynFile& file, int mode) {
  if (!VShader::Retrieve(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  ReadDouble(file, "LineWidth", mLineWidth);
  return !file.HasError();
}

bool VWireShader::Store(VZynFile& file, int mode) const {
  if (!VShader::Store(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  file.FieldWriteI("Version", kWireShaderVersion);
  file.FieldWriteD("LineWidth", mLineWidth->Get());
  return !file.HasError();
}
