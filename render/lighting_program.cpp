#include "render/lighting_program.h"

#include <cstdio>
#include <string>

namespace {

// The light's share of one vertex, for a light index known when compiling;
// KIND 1 directional, 2 point, 3 spot.
const char kLightFunctions[] = R"(
void AddDirectional(in gl_LightSourceParameters light, in vec3 n, in vec3 v, inout vec4 primary,
                    inout vec4 secondary) {
  vec3 l = normalize(light.position.xyz);
  float ndl = max(dot(n, l), 0.0);
  primary += light.ambient * gl_FrontMaterial.ambient + ndl * light.diffuse * gl_FrontMaterial.diffuse;
#if SPECULAR
  if (ndl > 0.0) {
    float s = max(dot(n, normalize(l + v)), 0.0);
    float shine = gl_FrontMaterial.shininess > 0.0 ? pow(s, gl_FrontMaterial.shininess) : 1.0;
    secondary += shine * light.specular * gl_FrontMaterial.specular;
  }
#endif
}
void AddPositional(in gl_LightSourceParameters light, in bool spot, in vec3 eye, in vec3 n, in vec3 v,
                   inout vec4 primary, inout vec4 secondary) {
  vec3 d = light.position.xyz - eye;
  float distance = length(d);
  vec3 l = distance > 0.0 ? d / distance : vec3(0.0, 0.0, 1.0);
  float attenuation = 1.0 / (light.constantAttenuation + light.linearAttenuation * distance +
                             light.quadraticAttenuation * distance * distance);
  if (spot) {
    float c = dot(-l, normalize(light.spotDirection));
    attenuation *= c >= light.spotCosCutoff ? pow(max(c, 0.0), light.spotExponent) : 0.0;
  }
  float ndl = max(dot(n, l), 0.0);
  primary += attenuation * (light.ambient * gl_FrontMaterial.ambient + ndl * light.diffuse * gl_FrontMaterial.diffuse);
#if SPECULAR
  if (ndl > 0.0) {
    float s = max(dot(n, normalize(l + v)), 0.0);
    float shine = gl_FrontMaterial.shininess > 0.0 ? pow(s, gl_FrontMaterial.shininess) : 1.0;
    secondary += attenuation * shine * light.specular * gl_FrontMaterial.specular;
  }
#endif
}
)";

const char kVertexMain[] = R"(
void main() {
  vec4 eye = gl_ModelViewMatrix * gl_Vertex;
  vec3 n = normalize(gl_NormalMatrix * gl_Normal);
#if LOCAL_VIEWER
  vec3 v = normalize(-eye.xyz);
#else
  vec3 v = vec3(0.0, 0.0, 1.0);
#endif
  vec4 primary = gl_FrontMaterial.emission + gl_FrontMaterial.ambient * gl_LightModel.ambient;
  vec4 secondary = vec4(0.0);
  ADD_LIGHTS
#if SEPARATE_SPECULAR
  gl_FrontSecondaryColor = clamp(secondary, 0.0, 1.0);
#else
  primary += secondary;
#endif
  primary.a = gl_FrontMaterial.diffuse.a;
  gl_FrontColor = clamp(primary, 0.0, 1.0);
#if TEXTURED
  gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
#endif
  gl_FogFragCoord = abs(eye.z);
  gl_Position = ftransform();
}
)";

const char kFragment[] = R"(
uniform sampler2D image;
void main() {
  vec4 c = gl_Color;
#if TEXTURED
  c *= texture2D(image, gl_TexCoord[0].st);
#endif
#if SEPARATE_SPECULAR
  c.rgb += gl_SecondaryColor.rgb;
#endif
#if FOG_MODE >= 0
  float z = gl_FogFragCoord;
#if FOG_MODE == 1
  float f = exp(-gl_Fog.density * z);
#elif FOG_MODE == 2
  float f = exp(-(gl_Fog.density * z) * (gl_Fog.density * z));
#else
  float f = (gl_Fog.end - z) * gl_Fog.scale;
#endif
  c.rgb = mix(gl_Fog.color.rgb, c.rgb, clamp(f, 0.0, 1.0));
#endif
  gl_FragColor = c;
}
)";

std::string Header(const VLightingVariant& v) {
  char text[256];
  std::snprintf(text, sizeof text,
                "#version 120\n#define LOCAL_VIEWER %d\n#define TEXTURED %d\n#define SPECULAR %d\n"
                "#define SEPARATE_SPECULAR %d\n#define FOG_MODE %d\n",
                v.local_viewer ? 1 : 0, v.textured ? 1 : 0, v.specular ? 1 : 0,
                v.separate_specular && v.specular ? 1 : 0, v.fog_mode);
  return text;
}

GLuint Compile(const VGLFunctions& gl, GLenum type, const std::string& source) {
  const GLuint shader = gl.CreateShader(type);
  if (shader == 0) return 0;
  const char* text = source.c_str();
  gl.ShaderSource(shader, 1, &text, nullptr);
  gl.CompileShader(shader);
  GLint ok = GL_FALSE;
  gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[512] = {};
    gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "lighting program: a %s shader does not compile (%s); the fixed-function pipeline draws\n",
                 type == GL_VERTEX_SHADER ? "vertex" : "fragment", log);
    gl.DeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

GLuint VLightingProgram::Make(const VGLFunctions& gl, const VLightingVariant& variant) {
  std::string lights;
  for (int i = 0; i < kMaxLights; ++i) {
    const std::string light = "gl_LightSource[" + std::to_string(i) + "]";
    switch (variant.light_kind[i]) {
      case 1: lights += "AddDirectional(" + light + ", n, v, primary, secondary);\n  "; break;
      case 2: lights += "AddPositional(" + light + ", false, eye.xyz, n, v, primary, secondary);\n  "; break;
      case 3: lights += "AddPositional(" + light + ", true, eye.xyz, n, v, primary, secondary);\n  "; break;
      default: break;
    }
  }
  std::string main = kVertexMain;
  main.replace(main.find("ADD_LIGHTS"), 10, lights);
  const std::string header = Header(variant);
  const GLuint vertex = Compile(gl, GL_VERTEX_SHADER, header + kLightFunctions + main);
  const GLuint fragment = vertex ? Compile(gl, GL_FRAGMENT_SHADER, header + kFragment) : 0;
  if (fragment == 0) {
    if (vertex) gl.DeleteShader(vertex);
    return 0;
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
    return 0;
  }
  gl.UseProgram(program);
  gl.Uniform1i(gl.GetUniformLocation(program, "image"), 0);
  gl.UseProgram(0);
  while (gl.GetError() != GL_NO_ERROR) {
  }
  return program;
}

bool VLightingProgram::Prepare(const VGLFunctions& gl) {
  if (ready_ || failed_) return ready_;
  if (!gl.has_shaders) {
    failed_ = true;
    return false;
  }
  // The plainest variant tells whether the context takes these programs.
  const VLightingVariant plain;
  const GLuint program = Make(gl, plain);
  programs_[plain.Key()] = program;
  ready_ = program != 0;
  failed_ = !ready_;
  return ready_;
}

bool VLightingProgram::Use(const VGLFunctions& gl, const VLightingVariant& variant) {
  if (!ready_) return false;
  auto found = programs_.find(variant.Key());
  if (found == programs_.end()) found = programs_.emplace(variant.Key(), Make(gl, variant)).first;
  if (found->second == 0) return false;
  gl.UseProgram(found->second);
  return true;
}

void VLightingProgram::Release(const VGLFunctions& gl) const {
  if (ready_) gl.UseProgram(0);
}
