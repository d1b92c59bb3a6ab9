#pragma once
// The lighting a frame starts with, computed as plain values: the renderer
// only forwards them to OpenGL (light model, then one entry per OpenGL
// light, enabled with its values or disabled).

#include <vector>

class VLight;

struct VLightSlot {
  bool enabled = false;
  double ambient[4] = {0, 0, 0, 1};
  double specular[4] = {0, 0, 0, 1};
  double diffuse[4] = {0, 0, 0, 1};
  double position[4] = {0, 0, 1, 0};
  // Set for spot lights only; OpenGL's own default otherwise.
  bool has_spot_direction = false;
  double spot_direction[3] = {0, 0, -1};
  double spot_cutoff = 180;
  double spot_exponent = 0;
  double constant_attenuation = 1;
  double linear_attenuation = 0;
  double quadratic_attenuation = 0;
};

struct VLightingSetup {
  double model_ambient[4] = {0, 0, 0, 1};  // the scene's ambient colour
  bool separate_specular = false;          // light-model colour control
  bool local_viewer = false;
  bool default_lighting = false;           // the two fixed lights are in use
  // One entry per OpenGL light, 0 to L - 1.
  std::vector<VLightSlot> lights;
};

// The most OpenGL lights one setup describes.
constexpr int kVMaxOpenGLLights = 1024;

// `lights` is the scene's light list in order (null entries are skipped
// like unusable lights); `max_lights` what the driver offers, taken as at
// least 2; `ambient` the scene's ambient colour (non-finite channels count
// as 0); `additive_specular` the "UseAdditiveSpecularLighting" setting.
// Of the first min(count, L) lights, walked from the last to the first,
// each visible light that casts light takes the next OpenGL light; when
// none does, the two default lights are set. Lights that are not used are
// disabled.
VLightingSetup VComputeLighting(const std::vector<const VLight*>& lights, int max_lights, const double ambient[4],
                                bool additive_specular);
