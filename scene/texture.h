#pragma once
// A texture ("Texture" object): the image a model's surface shows, placed
// on the model's UVs with a translation and a scaling. Meshes pick their
// textures among those connected to the model ("OO" texture -> model), in
// connection order.
//
// The image is named twice: by an absolute path ("FileName") and by a path
// relative to the scene file ("RelativeFilename"), so that a scene moved
// together with its images still finds them.

#include <string>
#include <vector>

#include "scene/matrix.h"
#include "scene/scene_object.h"

class VZynFile;

// What an older (version 5 layout) texture record says beyond the image
// and its placement. Kept as read; a scene is always written in the newer
// layout, which has no room for it.
struct VTextureLegacy {
  bool present = false;  // the record carried any of these fields
  YrSDK::YrVector2<double> translation{0, 0}, scaling{1, 1};
  double rotation = 0.0;  // degrees
  int swap_uv = 0, material_mode = 0, wrap_u = 0, wrap_v = 0, blend_mode = 0;
  double alpha = 1.0;
  std::string mapping_type;    // "UV", "Planar", "Spherical", ...
  std::string planar_normal;   // "X", "Y" or "Z"
  std::string texture_use;     // "", "Standard", "ShadowMap", ...
};

class VTexture : public VSceneObject {
 public:
  explicit VTexture(const std::string& name);

  // The absolute path of the image file; empty when none.
  const std::string& GetFileName() const { return file_name_; }
  void SetFileName(const std::string& path) { file_name_ = path; }
  // The image's path relative to the scene file's folder; empty when none.
  const std::string& GetRelativeFileName() const { return relative_file_name_; }
  void SetRelativeFileName(const std::string& path) { relative_file_name_ = path; }
  // The name of the clip that carries the image ("Media"); empty when the
  // record named none.
  const std::string& GetMediaName() const { return media_name_; }
  void SetMediaName(const std::string& name) { media_name_ = name; }

  // Placement on the model's UVs ("ModelUVTranslation", "ModelUVScaling"):
  // never NaN or infinite (such values read as 0 and 1).
  YrSDK::YrVector2<double> GetUVTranslation() const { return uv_translation_; }
  YrSDK::YrVector2<double> GetUVScaling() const { return uv_scaling_; }
  void SetUVTranslation(const YrSDK::YrVector2<double>& uv);
  void SetUVScaling(const YrSDK::YrVector2<double>& uv);

  const VTextureLegacy& GetLegacy() const { return legacy_; }

  // The image files to try, in order: the absolute "FileName", then
  // "RelativeFilename" joined with the folder of `scene_file_path` (as it
  // is when it is absolute itself, and once more with '\' read as '/' for
  // files written on Windows). Empty names and repeats are left out.
  std::vector<std::string> GetImageCandidates(const std::string& scene_file_path) const;

  // After the properties the block carries "Version" (203), "TextureName",
  // "Media" with "FileName" and "RelativeFilename" (when there is an
  // image), "ModelUVTranslation", "ModelUVScaling" and
  // "Texture_Alpha_Source". A reader also accepts the older layout's
  // fields (see VTextureLegacy); its "Translation" and "Scaling" place the
  // image when the newer fields are missing.
  bool Retrieve(VZynFile& file, int mode) override;
  bool Store(VZynFile& file, int mode) const override;

 private:
  std::string file_name_;
  std::string relative_file_name_;
  std::string media_name_;
  YrSDK::YrVector2<double> uv_translation_{0, 0};
  YrSDK::YrVector2<double> uv_scaling_{1, 1};
  VTextureLegacy legacy_;
};
