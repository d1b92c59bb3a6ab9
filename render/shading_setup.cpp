#include "render/shading_setup.h"

#include <algorithm>
#include <cmath>

#include "scene/scene.h"

namespace {

constexpr double kMaxShininess = 128.0;  // the largest specular exponent OpenGL takes
constexpr double kMinFogStart = 0.01;
constexpr double kFogDensityScale = 0.0005;

double Finite(double v, double fallback = 0.0) { return std::isfinite(v) ? v : fallback; }

}  // namespace

VMaterialSetup VLightedMaterialSetup(const VMaterialInput& m, const VLightedShaderInput& s) {
  VMaterialSetup out{};
  const double alpha = std::clamp(Finite(m.opacity, 1.0) * Finite(s.alpha, 1.0), 0.0, 1.0);

  const double specular_scale = Finite(s.specular) * 0.01;
  for (int i = 0; i < 3; ++i) {
    double value = m.specular[i];
    if (s.use_specular)
      value = specular_scale <= 1.0 ? specular_scale * m.specular[i]
                                    : m.specular[i] + (1.0 - m.specular[i]) * (specular_scale - 1.0);
    out.specular[i] = static_cast<float>(Finite(value));
  }
  out.specular[3] = 1.0f;

  const double l = Finite(s.luminosity) * 0.01;
  const double c = Finite(s.contrast) * 0.01;
  for (int i = 0; i < 3; ++i) {
    const double a_in = m.ambient[i], d_in = m.diffuse[i];
    double ambient = a_in, diffuse = d_in;
    if (s.use_contrast) {
      const double a = std::max(1.0 - c, 0.0);
      const double b = 1.0 - std::fabs(c - 1.0);
      ambient = a * d_in + b * a_in;
      diffuse = c * d_in;
      const double sum = ambient + diffuse;
      // Keeps the material's overall brightness; a (near) black result stays
      // black rather than dividing by almost nothing.
      if (sum > 0.01) {
        const double k = (a_in + d_in) / sum;
        ambient *= k;
        diffuse *= k;
      } else {
        ambient = diffuse = 0.0;
      }
    }
    if (s.use_luminosity) {
      ambient *= l;
      diffuse *= l;
    }
    out.ambient[i] = static_cast<float>(Finite(ambient));
    out.diffuse[i] = static_cast<float>(Finite(diffuse));
    out.emission[i] = static_cast<float>(Finite(m.emissive[i]));
  }
  out.ambient[3] = 0.0f;
  out.diffuse[3] = static_cast<float>(alpha);
  out.emission[3] = 1.0f;
  out.shininess = static_cast<float>(std::clamp(Finite(m.shininess), 0.0, kMaxShininess));
  return out;
}

VFogSetup VComputeFog(const VSceneSettings& settings) {
  VFogSetup fog;
  fog.enabled = settings.fog_enable != 0;
  fog.mode = settings.fog_mode == 1 || settings.fog_mode == 2 ? settings.fog_mode : 0;
  for (int i = 0; i < 4; ++i) fog.color[i] = static_cast<float>(std::clamp(Finite(settings.fog_color[i], 1.0), 0.0, 1.0));
  const double start = std::max(Finite(settings.fog_start), kMinFogStart);
  const double end = std::max(Finite(settings.fog_end), start + kMinFogStart);
  fog.start = static_cast<float>(start);
  fog.end = static_cast<float>(end);
  fog.density = static_cast<float>(std::max(Finite(settings.fog_density), 0.0) * kFogDensityScale);
  return fog;
}
