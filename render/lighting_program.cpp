#include "render/lighting_program.h"

#include <cstdio>

namespace {

const char kVertexShader[] = R"(#version 120
uniform float light_on[8];
uniform bool local_viewer;
uniform bool separate_specular;
void main() {
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  vec3 n = normalize(gl_NormalMatrix * gl_Normal);
  vec3 v = local_viewer ? normalize(-eye.xyz) : vec3(0.0, 0.0, 1.0);
  vec4 primary = gl_FrontMaterial.emission + gl_FrontMaterial.ambient * gl_LightModel.ambient;
  vec4 secondary = vec4(0.0);
  for (int i = 0; i < 8; ++i) {
    if (light_on[i] < 0.5) continue;
    vec3 l;
    float attenuation = 1.0;
    if (gl_LightSource[i].position.w == 0.0) {
      l = normalize(gl_LightSource[i].position.xyz);
    } else {
      vec3 d = gl_LightSource[i].position.xyz - eye.xyz;
      float distance = length(d);
      l = distance > 0.0 ? d / distance : vec3(0.0, 0.0, 1.0);
      attenuation = 1.0 / (gl_LightSource[i].constantAttenuation + gl_LightSource[i].linearAttenuation * distance +
                           gl_LightSource[i].quadraticAttenuation * distance * distance);
      if (gl_LightSource[i].spotCutoff <= 90.0) {
        float c = dot(-l, normalize(gl_LightSource[i].spotDirection));
        attenuation *= c >= gl_LightSource[i].spotCosCutoff ? pow(max(c, 0.0), gl_LightSource[i].spotExponent) : 0.0;
      }
    }
    float ndl = max(dot(n, l), 0.0);
    vec4 lit = gl_LightSource[i].ambient * gl_FrontMaterial.ambient +
               ndl * gl_LightSource[i].diffuse * gl_FrontMaterial.diffuse;
    vec4 specular = vec4(0.0);
    if (ndl > 0.0) {
      float s = max(dot(n, normalize(l + v)), 0.0);
      float shine = gl_FrontMaterial.shininess > 0.0 ? pow(s, gl_FrontMaterial.shininess) : 1.0;
      specular = shine * gl_LightSource[i].specular * gl_FrontMaterial.specular;
    }
    primary += attenuation * lit;
    secondary += attenuation * specular;
  }
  if (!separate_specular) {
    primary += secondary;
    secondary = vec4(0.0);
  }
  primary.a = gl_FrontMaterial.diffuse.a;
  gl_FrontColor = clamp(primary, 0.0, 1.0);
  gl_FrontSecondaryColor = clamp(secondary, 0.0, 1.0);
  gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
  gl_FogFragCoord = abs(eye.z);
  gl_Position = ftransform();
}
)";

const char kFragmentShader[] = R"(#version 120
uniform sampler2D image;
uniform bool textured;
uniform int fog_mode;
void main() {
  vec4 c = gl_Color;
  if (textured) c *= texture2D(image, gl_TexCoord[0].st);
  c.rgb += gl_SecondaryColor.rgb;
  if (fog_mode >= 0) {
    float z = gl_FogFragCoord;
    float f;
    if (fog_mode == 1) f = exp(-gl_Fog.density * z);
    else if (fog_mode == 2) f = exp(-(gl_Fog.density * z) * (gl_Fog.density * z));
    else f = (gl_Fog.end - z) * gl_Fog.scale;
    c.rgb = mix(gl_Fog.color.rgb, c.rgb, clamp(f, 0.0, 1.0));
  }
  gl_FragColor = c;
}
)";

GLuint Compile(const VGLFunctions& gl, GLenum type, const char* source) {
  const GLuint shader = gl.CreateShader(type);
  if (shader == 0) return 0;
  gl.ShaderSource(shader, 1, &source, nullptr);
  gl.CompileShader(shader);
  GLint ok = GL_FALSE;
  gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[512] = {};
    gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "lighting program: %s shader does not compile (%s); using the fixed-function pipeline\n",
                 type == GL_VERTEX_SHADER ? "vertex" : "fragment", log);
    gl.DeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

bool VLightingProgram::Build(const VGLFunctions& gl) {
  if (program_ != 0) return true;
  if (!gl.has_shaders) return false;
  const GLuint vertex = Compile(gl, GL_VERTEX_SHADER, kVertexShader);
  const GLuint fragment = vertex ? Compile(gl, GL_FRAGMENT_SHADER, kFragmentShader) : 0;
  if (fragment == 0) {
    if (vertex) gl.DeleteShader(vertex);
    return false;
  }
  const GLuint program = gl.CreateProgram();
  gl.AttachShader(program, vertex);
  gl.AttachShader(program, fragment);
  gl.LinkProgram(program);
  gl.DeleteShader(vertex);
  gl.DeleteShader(fragment);
  GLint linked = GL_FALSE;
  gl.GetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) {
    gl.DeleteProgram(program);
    return false;
  }
  program_ = program;
  light_on_ = gl.GetUniformLocation(program, "light_on");
  local_viewer_ = gl.GetUniformLocation(program, "local_viewer");
  fog_mode_ = gl.GetUniformLocation(program, "fog_mode");
  textured_ = gl.GetUniformLocation(program, "textured");
  separate_ = gl.GetUniformLocation(program, "separate_specular");
  sampler_ = gl.GetUniformLocation(program, "image");
  while (gl.GetError() != GL_NO_ERROR) {
  }
  return true;
}

void VLightingProgram::Use(const VGLFunctions& gl, const bool enabled[kMaxLights], bool local_viewer,
                           int fog_mode) const {
  if (program_ == 0) return;
  gl.UseProgram(program_);
  float on[kMaxLights];
  for (int i = 0; i < kMaxLights; ++i) on[i] = enabled[i] ? 1.0f : 0.0f;
  gl.Uniform1fv(light_on_, kMaxLights, on);
  gl.Uniform1i(local_viewer_, local_viewer ? 1 : 0);
  gl.Uniform1i(fog_mode_, fog_mode);
  gl.Uniform1i(sampler_, 0);
  gl.Uniform1i(textured_, 0);
  gl.Uniform1i(separate_, 0);
}

void VLightingProgram::SetBatch(const VGLFunctions& gl, bool textured, bool separate_specular) const {
  if (program_ == 0) return;
  gl.Uniform1i(textured_, textured ? 1 : 0);
  gl.Uniform1i(separate_, separate_specular ? 1 : 0);
}

void VLightingProgram::Release(const VGLFunctions& gl) const {
  if (program_ != 0) gl.UseProgram(0);
}
