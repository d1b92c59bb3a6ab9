#pragma once
// The lighting of lit meshes as one GLSL program that reads the
// fixed-function state (lights, material, light model, fog, texture matrix)
// through the compatibility built-ins, so the frame sets OpenGL state the
// same way whichever pipeline draws. It computes what the fixed-function
// pipeline computes: per-vertex lighting with attenuation and spot cones,
// local or infinite viewer, single or separate specular colour, a modulated
// texture and linear, exponential or squared-exponential fog. On a software
// rasteriser the fixed-function pipeline pays for every state it supports;
// the program pays only for this.

#include "render/gl_functions.h"

class VLightingProgram {
 public:
  static constexpr int kMaxLights = 8;

  // Compiles and links on the current context; false (and Use does
  // nothing) when the context has no shaders or the program fails.
  bool Build(const VGLFunctions& gl);
  bool IsReady() const { return program_ != 0; }
  // Forgets the program without a call: its context went away.
  void Detach() { *this = VLightingProgram(); }

  // Binds the program with this frame's lights (`enabled` per OpenGL
  // light), viewer and fog (-1 off, else 0 linear, 1 exp, 2 exp2).
  void Use(const VGLFunctions& gl, const bool enabled[kMaxLights], bool local_viewer, int fog_mode) const;
  // Per batch: texturing and the specular colour's place.
  void SetBatch(const VGLFunctions& gl, bool textured, bool separate_specular) const;
  void Release(const VGLFunctions& gl) const;

 private:
  GLuint program_ = 0;
  GLint light_on_ = -1, local_viewer_ = -1, fog_mode_ = -1, textured_ = -1, separate_ = -1, sampler_ = -1;
};
