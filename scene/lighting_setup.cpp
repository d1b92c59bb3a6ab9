#include "scene/lighting_setup.h"

#include <algorithm>
#include <cmath>

#include "scene/light.h"

namespace {

void Copy4(double out[4], double a, double b, double c, double d) {
  out[0] = a;
  out[1] = b;
  out[2] = c;
  out[3] = d;
}

void SetDefaultLighting(VLightingSetup& setup) {
  setup.local_viewer = false;
  setup.default_lighting = true;
  for (VLightSlot& slot : setup.lights) slot = VLightSlot{};
  const double directions[2][4] = {{-0.2, 0.2, 0.6, 0.0}, {0.6, 0.4, -0.75, 0.0}};
  for (int i = 0; i < 2; ++i) {
    VLightSlot& slot = setup.lights[static_cast<size_t>(i)];
    slot.enabled = true;
    Copy4(slot.ambient, 0, 0, 0, 1);
    Copy4(slot.specular, 0.7, 0.7, 0.7, 0);
    Copy4(slot.diffuse, 0.8, 0.8, 0.8, 0);
    std::copy(directions[i], directions[i] + 4, slot.position);
    slot.spot_cutoff = 180;
    slot.spot_exponent = 0;
    slot.constant_attenuation = 1;
    slot.linear_attenuation = 0;
    slot.quadratic_attenuation = 0;
  }
}

VLightSlot SlotOf(const VLight& light) {
  VLightSlot slot;
  slot.enabled = true;
  light.GetAmbient(slot.ambient);
  light.GetSpecular(slot.specular);
  light.GetDiffuse(slot.diffuse);
  light.GetPosition(slot.position);
  slot.constant_attenuation = light.GetConstantAttenuation();
  if (light.GetLightType() == kVLightSpot) {
    const auto direction = light.GetDirection();
    slot.has_spot_direction = true;
    slot.spot_direction[0] = direction.x;
    slot.spot_direction[1] = direction.y;
    slot.spot_direction[2] = direction.z;
    slot.spot_cutoff = light.GetSpotCutoff();
    slot.spot_exponent = light.GetSpotExponent();
  } else {
    slot.spot_cutoff = 180;
  }
  return slot;
}

}  // namespace

VLightingSetup VComputeLighting(const std::vector<const VLight*>& lights, int max_lights, const double ambient[4],
                                bool additive_specular) {
  VLightingSetup setup;
  for (int i = 0; i < 4; ++i) {
    const double v = ambient ? ambient[i] : (i == 3 ? 1.0 : 0.0);
    setup.model_ambient[i] = std::isfinite(v) ? v : 0.0;
  }
  setup.separate_specular = additive_specular;
  const int count_l = std::clamp(max_lights, 2, kVMaxOpenGLLights);
  setup.lights.assign(static_cast<size_t>(count_l), VLightSlot{});
  if (lights.empty()) {
    SetDefaultLighting(setup);
    return setup;
  }
  setup.local_viewer = true;
  const int considered = std::min(static_cast<int>(lights.size()), count_l);
  int used = 0;
  for (int i = considered - 1; i >= 0; --i) {
    const VLight* light = lights[static_cast<size_t>(i)];
    if (!light || !light->IsVisible() || !light->CastsLight()) continue;
    setup.lights[static_cast<size_t>(used++)] = SlotOf(*light);
  }
  if (used == 0) SetDefaultLighting(setup);
  return setup;
}
