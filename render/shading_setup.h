#pragma once
// What the shaders send to OpenGL, computed as plain values so that the
// arithmetic is tested without a context: the lighted shader's material
// set-up and the scene's fog.

struct VSceneSettings;

// A material's colours (each channel in [0, 1]) and its scalar values.
struct VMaterialInput {
  double ambient[3] = {0.2, 0.2, 0.2};
  double diffuse[3] = {0.8, 0.8, 0.8};
  double specular[3] = {0, 0, 0};
  double emissive[3] = {0, 0, 0};
  double opacity = 1.0;
  double shininess = 0.0;
};

// The lighted shader's properties that shape the material.
struct VLightedShaderInput {
  double alpha = 1.0;
  bool use_contrast = false;
  double contrast = 100.0;
  bool use_luminosity = false;
  double luminosity = 100.0;
  bool use_specular = false;
  double specular = 100.0;
};

// Front-face material values, as glMaterialfv takes them.
struct VMaterialSetup {
  float ambient[4];   // alpha 0
  float diffuse[4];   // alpha = opacity x shader alpha, at most 1
  float specular[4];
  float emission[4];
  float shininess;    // at most 128, OpenGL's limit
};

VMaterialSetup VLightedMaterialSetup(const VMaterialInput& material, const VLightedShaderInput& shader);

// The OpenGL fog of a frame.
struct VFogSetup {
  bool enabled = false;
  int mode = 0;  // 0 linear, 1 exponential, 2 exponential squared
  float color[4] = {1, 1, 1, 1};
  float start = 0.01f;
  float end = 0.02f;
  float density = 0.0f;
};

// From the scene's "FogOptions": start raised to at least 0.01, end to at
// least start + 0.01, density = "FogDensity" x 0.0005; any mode but 1 and 2
// is linear.
VFogSetup VComputeFog(const VSceneSettings& settings);
