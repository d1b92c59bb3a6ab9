#pragma once
// Shaders: "Shader" objects connected to models ("OO" shader -> model; the
// first one connected is the model's shader, a model with none uses the
// scene's default). The subtype is the class name: "LightedShader",
// "FlatShader" or "WireShader". A shader says how its models are drawn and,
// through "Transparency", in which render passes.
//
// Getters hand the renderer values it can use as they are (never NaN, in
// range); the properties keep what was set or read.

#include <string>

#include "scene/matrix.h"
#include "scene/scene_object.h"

class VZynFile;

// "Transparency" of the lighted and flat shaders; a value outside the table
// draws as kVTransparencyNone.
enum VShaderTransparency : int {
  kVTransparencyNone = 0,             // "No Transparency"
  kVTransparencyAccurate = 1,         // "Accurate Transparency"
  kVTransparencyTranslucent = 2,      // "Translucent"
  kVTransparencyMatte = 3,            // "Matte"
  kVTransparency2D = 4,               // "2D Transparency"
  kVTransparencyAdditive = 5,         // "Additive Transparency"
  kVTransparencyTranslucentZSort = 6, // "Translucent(Models Z Sort)"
  kVTransparencyCount = 7,
};

// The flat shader's "ColorSource": the material's diffuse colour, or its
// own "SpecificColor".
enum VFlatColorSource : int { kVFlatColorMaterial = 0, kVFlatColorSpecific = 1 };

class VShader : public VSceneObject {
 public:
  // The name the shader is shown by: "Lighted", "Flat", "Wire Frame".
  virtual const char* GetLabel() const = 0;
  // One of VShaderTransparency.
  virtual int GetTransparency() const { return kVTransparencyNone; }

 protected:
  VShader(const std::string& name, const std::string& subtype) : VSceneObject("Shader", name, subtype) {}
};

class VLightedShader : public VShader {
 public:
  explicit VLightedShader(const std::string& name);
  const char* GetLabel() const override { return "Lighted"; }
  int GetTransparency() const override;

  // "Alpha" clamped to [0, 1] (NaN: 1). The percentages are 100 when not
  // finite.
  double GetAlpha() const;
  bool GetUseContrast() const { return mUseContrast->Get() != 0; }
  double GetContrast() const;
  bool GetUseLuminosity() const { return mUseLuminosity->Get() != 0; }
  double GetLuminosity() const;
  bool GetUseSpecular() const { return mUseSpecular->Get() != 0; }
  double GetSpecular() const;

  void SetAlpha(double alpha) { mAlpha->Set(alpha); }
  void SetUseContrast(bool use) { mUseContrast->Set(use ? 1 : 0); }
  void SetContrast(double percent) { mContrast->Set(percent); }
  void SetUseLuminosity(bool use) { mUseLuminosity->Set(use ? 1 : 0); }
  void SetLuminosity(double percent) { mLuminosity->Set(percent); }
  void SetUseSpecular(bool use) { mUseSpecular->Set(use ? 1 : 0); }
  void SetSpecular(double percent) { mSpecular->Set(percent); }
  void SetTransparency(int transparency) { mTransparency->Set(transparency); }

  // After the properties: "Version", "Contrast", "Luminosity", "Specular",
  // "Alpha"; a reader takes them over the properties.
  bool Retrieve(VZynFile& file, int mode) override;
  bool Store(VZynFile& file, int mode) const override;

  VPropertyDouble* mAlpha;
  VPropertyBool* mUseContrast;
  VPropertyDouble* mContrast;
  VPropertyBool* mUseLuminosity;
  VPropertyDouble* mLuminosity;
  VPropertyBool* mUseSpecular;
  VPropertyDouble* mSpecular;
  VPropertyInt* mTransparency;
};

class VFlatShader : public VShader {
 public:
  explicit VFlatShader(const std::string& name);
  const char* GetLabel() const override { return "Flat"; }
  int GetTransparency() const override;

  double GetAlpha() const;  // as the lighted shader's
  bool GetUseLuminosity() const { return mUseLuminosity->Get() != 0; }
  double GetLuminosityFactor() const;  // percent, 100 when not finite
  // A value outside VFlatColorSource counts as the material's colour.
  int GetColorSource() const;
  // Each channel clamped to [0, 1]; NaN counts as 0.
  YrSDK::YrVector3<double> GetSpecificColor() const;

  void SetAlpha(double alpha) { mAlpha->Set(alpha); }
  void SetUseLuminosity(bool use) { mUseLuminosity->Set(use ? 1 : 0); }
  void SetLuminosityFactor(double percent) { mLuminosityFactor->Set(percent); }
  void SetColorSource(int source) { mColorSource->Set(source); }
  void SetSpecificColor(const VDouble3& rgb) { mSpecificColor->Set(rgb); }
  void SetTransparency(int transparency) { mTransparency->Set(transparency); }

  // After the properties: "Version", "Luminosity" (the factor),
  // "ColorSource", "SpecificColor", "Alpha".
  bool Retrieve(VZynFile& file, int mode) override;
  bool Store(VZynFile& file, int mode) const override;

  VPropertyDouble* mAlpha;
  VPropertyBool* mUseLuminosity;
  VPropertyDouble* mLuminosityFactor;
  VPropertyInt* mColorSource;
  VPropertyDouble3* mSpecificColor;
  VPropertyInt* mTransparency;
};

class VWireShader : public VShader {
 public:
  explicit VWireShader(const std::string& name);
  const char* GetLabel() const override { return "Wire Frame"; }

  // "LineWidth" in pixels; 1 when not finite or not above 0 (OpenGL refuses
  // such widths).
  double GetLineWidth() const;
  void SetLineWidth(double width) { mLineWidth->Set(width); }

  // After the properties: "Version", "LineWidth".
  bool Retrieve(VZynFile& file, int mode) override;
  bool Store(VZynFile& file, int mode) const override;

  VPropertyDouble* mLineWidth;
};
