#include "scene/texture.h"

#include <algorithm>
#include <cmath>

#include "scene/media_file_path.h"
#include "zynfile/zyn_file.h"

namespace {

constexpr int kTextureVersion = 203;

YrSDK::YrVector2<double> FiniteOr(const YrSDK::YrVector2<double>& v, double fallback) {
  return {std::isfinite(v.x) ? v.x : fallback, std::isfinite(v.y) ? v.y : fallback};
}

void WritePair(VZynFile& file, const char* name, const YrSDK::YrVector2<double>& v) {
  const double values[2] = {v.x, v.y};
  file.FieldWriteBegin(name);
  file.FieldWriteDn(values, 2);
  file.FieldWriteEnd();
}

// Reads `count` doubles of a field into `out`; false (out untouched) when
// the field is missing or short.
bool ReadDoubles(VZynFile& file, const char* name, double* out, int count) {
  if (!file.FieldReadBegin(name)) return false;
  bool ok = false;
  if (file.FieldReadGetRemain() >= count) {
    double values[4] = {0, 0, 0, 0};
    ok = file.FieldReadDn(values, count) == count;
    if (ok) std::copy(values, values + count, out);
  }
  file.FieldReadEnd();
  return ok;
}

}  // namespace

VTexture::VTexture(const std::string& name) : VSceneObject("Texture", name, "") {}

void VTexture::SetUVTranslation(const YrSDK::YrVector2<double>& uv) { uv_translation_ = FiniteOr(uv, 0.0); }

void VTexture::SetUVScaling(const YrSDK::YrVector2<double>& uv) { uv_scaling_ = FiniteOr(uv, 1.0); }

std::vector<std::string> VTexture::GetImageCandidates(const std::string& scene_file_path) const {
  return VMediaFileCandidates(file_name_, relative_file_name_, scene_file_path);
}

bool VTexture::Retrieve(VZynFile& file, int mode) {
  if (!VSceneObject::Retrieve(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  // Texts of another type read as empty and keep nothing.
  media_name_ = file.FieldReadC("Media", "");
  file_name_ = file.FieldReadC("FileName", "");
  relative_file_name_ = file.FieldReadC("RelativeFilename", "");

  // The older layout: kept as read, and its placement used when the newer
  // fields are missing.
  VTextureLegacy legacy;
  double pair[2], triple[3];
  if (ReadDoubles(file, "Translation", pair, 2)) {
    legacy.translation = FiniteOr({pair[0], pair[1]}, 0.0);
    legacy.present = true;
  }
  if (ReadDoubles(file, "Scaling", pair, 2)) {
    legacy.scaling = FiniteOr({pair[0], pair[1]}, 1.0);
    legacy.present = true;
  }
  if (ReadDoubles(file, "Rotation", triple, 3)) {
    legacy.rotation = std::isfinite(triple[2]) ? triple[2] : 0.0;
    legacy.present = true;
  }
  auto read_int = [&](const char* name, int& out) {
    if (!file.FieldReadBegin(name)) return;
    if (file.FieldReadGetRemain() >= 1) {
      out = file.FieldReadI();
      legacy.present = true;
    }
    file.FieldReadEnd();
  };
  read_int("SwapUV", legacy.swap_uv);
  read_int("MaterialMode", legacy.material_mode);
  read_int("WrapU", legacy.wrap_u);
  read_int("WrapV", legacy.wrap_v);
  read_int("BlendMode", legacy.blend_mode);
  double alpha = 1.0;
  if (ReadDoubles(file, "TextureAlpha", &alpha, 1)) {
    legacy.alpha = std::isfinite(alpha) ? alpha : 1.0;
    legacy.present = true;
  }
  auto read_text = [&](const char* name, std::string& out) {
    if (!file.FieldReadBegin(name)) return;
    if (file.FieldReadGetRemain() >= 1) {
      out = file.FieldReadC();
      legacy.present = true;
    }
    file.FieldReadEnd();
  };
  read_text("Texture_Mapping_Type", legacy.mapping_type);
  read_text("Texture_Planar_Mapping_Normal", legacy.planar_normal);
  read_text("TextureUse", legacy.texture_use);
  legacy_ = legacy;

  uv_translation_ = legacy.translation;
  uv_scaling_ = legacy.scaling;
  if (ReadDoubles(file, "ModelUVTranslation", pair, 2)) SetUVTranslation({pair[0], pair[1]});
  if (ReadDoubles(file, "ModelUVScaling", pair, 2)) SetUVScaling({pair[0], pair[1]});
  return !file.HasError();
}

bool VTexture::Store(VZynFile& file, int mode) const {
  if (!VSceneObject::Store(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  file.FieldWriteI("Version", kTextureVersion);
  file.FieldWriteC("TextureName", GetFullName());
  if (!media_name_.empty() || !file_name_.empty() || !relative_file_name_.empty()) {
    // The image travels as a clip; one made for the texture alone is named
    // after it.
    file.FieldWriteC("Media", media_name_.empty() ? VObject::MakeFullName("Video", GetName()) : media_name_);
    file.FieldWriteC("FileName", file_name_);
    file.FieldWriteC("RelativeFilename", relative_file_name_);
  }
  WritePair(file, "ModelUVTranslation", uv_translation_);
  WritePair(file, "ModelUVScaling", uv_scaling_);
  file.FieldWriteC("Texture_Alpha_Source", "None");
  return !file.HasError();
}
