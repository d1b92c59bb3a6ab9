#pragma once
// The lighting of lit meshes as GLSL programs that read the fixed-function
// state (lights, material, light model, fog, texture matrix) through the
// compatibility built-ins, so the frame sets OpenGL state the same way
// whichever pipeline draws. They compute what the fixed-function pipeline
// computes: per-vertex lighting with attenuation and spot cones, local or
// infinite viewer, single or separate specular colour, a modulated texture
// and linear, exponential or squared-exponential fog. On a software
// rasteriser the fixed-function pipeline pays for every state it supports;
// a program pays only for what it does.
//
// One program per combination of light kinds, viewer, texturing, specular
// colour and fog, made on first use: each is straight-line code over
// constant light indices that computes only what its state needs, as the
// fixed-function pipeline specialises itself.

#include <cstdint>
#include <unordered_map>

#include "render/gl_functions.h"

// What one program is made for. Light kinds: 0 off, 1 directional,
// 2 point, 3 spot (attenuated and cut off).
struct VLightingVariant {
  std::uint8_t light_kind[8] = {};
  bool local_viewer = false;
  bool textured = false;
  bool specular = true;  // the material has a specular colour
  bool separate_specular = false;
  int fog_mode = -1;  // -1 none, 0 linear, 1 exp, 2 exp2

  std::uint64_t Key() const {
    std::uint64_t key = 0;
    for (int i = 0; i < 8; ++i) key |= static_cast<std::uint64_t>(light_kind[i] & 3u) << (2 * i);
    key |= (local_viewer ? 1ull : 0ull) << 16;
    key |= (textured ? 1ull : 0ull) << 17;
    key |= (specular ? 1ull : 0ull) << 18;
    key |= (separate_specular ? 1ull : 0ull) << 19;
    key |= static_cast<std::uint64_t>(fog_mode + 1) << 20;
    return key;
  }
};

class VLightingProgram {
 public:
  static constexpr int kMaxLights = 8;

  // Whether programs can be used on the current context (it has shaders
  // and the first program compiles).
  bool Prepare(const VGLFunctions& gl);
  bool IsReady() const { return ready_; }
  // Forgets every program without a call: their context went away.
  void Detach() { *this = VLightingProgram(); }

  // Binds the variant's program (made on first use); false when it cannot
  // be made, and the fixed-function pipeline then draws.
  bool Use(const VGLFunctions& gl, const VLightingVariant& variant);
  void Release(const VGLFunctions& gl) const;
  std::size_t ProgramCount() const { return programs_.size(); }

 private:
  GLuint Make(const VGLFunctions& gl, const VLightingVariant& variant);

  bool ready_ = false;
  bool failed_ = false;
  std::unordered_map<std::uint64_t, GLuint> programs_;  // 0: could not be made
};
