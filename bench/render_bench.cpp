// Frame rates of the renderer at 640 x 480 on the offscreen context, end to
// end: the player moves to a new time, the frame evaluates, draws and is
// read back. Beside them, the anchor: the same triangles drawn with plain
// buffer objects and one GLSL program on a context of the same kind, read
// back the same way, so that the renderer's cost over raw OpenGL shows.
//
// The heavy scene is a 200,000-triangle sheet, lit by the default lights,
// textured with a checker written to a temporary folder and skinned to four
// animated bones (or not skinned: its geometry then goes to OpenGL once).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "animation/take_list.h"
#include "core/time_ticks.h"
#include "render/gl_functions.h"
#include "render/mesh_draw_data.h"
#include "scene/camera.h"
#include "scene/deformer_cluster.h"
#include "scene/deformer_skin.h"
#include "scene/material.h"
#include "scene/model_polymesh.h"
#include "scene/scene.h"
#include "scene/texture.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_ogl_context_wrapper.h"
#include "sdk/yr_player_control.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_system.h"
#include "tools/common/offscreen_frame.h"
#include "tools/common/process_setup.h"
#include "tools/zyn/demo_scene.h"
#include "tools/zyn/demo_shading.h"
#include "tools/zyn/demo_support.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The player advances one frame of a 60 Hz display per iteration.
constexpr std::int64_t kStepTicks = kVTimeTicksPerSecond / 60;
// Both scenes animate over 120 frames at 30 per second; time wraps there.
constexpr std::int64_t kLoopTicks = 4 * kVTimeTicksPerSecond;

// The heavy sheet: kColumns x kRows quads (two triangles each) in the XY
// plane, facing the camera.
constexpr int kColumns = 500;
constexpr int kRows = 200;
constexpr float kSheetWidth = 20.0f;
constexpr float kSheetHeight = 8.0f;
constexpr double kUVRepeats = 1.0;
// Bones spread evenly along the sheet; each point follows its two nearest.
constexpr int kBones = 4;
constexpr double kBoneSpacing = kSheetWidth / kBones;
constexpr float kBendDegrees = 25.0f;
// The checker: kTextureSide pixels square, in squares of kCheckerSquare.
constexpr int kTextureSide = 256;
constexpr int kCheckerSquare = 16;
constexpr int kTgaHeaderSize = 18;
// Far enough for the sheet to fill most of the frame.
constexpr double kCameraDistance = 26.0;

// --- the process's engine, frames and files --------------------------------------------------

// A folder of this run's files, removed at exit.
const std::filesystem::path& TempFolder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path p =
        std::filesystem::temp_directory_path() / ("qtzyn_render_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return folder;
}

// The offscreen frame of each kind, opened on first use; null (with the
// reason) when no context of that kind can be made.
tools::OffscreenFrame* OffscreenFrameOf(bool software, std::string* message) {
  static std::unique_ptr<tools::OffscreenFrame> frames[2];
  static std::string failures[2];
  const int kind = software ? 1 : 0;
  if (!frames[kind] && failures[kind].empty()) {
    auto frame = std::make_unique<tools::OffscreenFrame>();
    if (frame->Open(kWidth, kHeight, software, &failures[kind])) frames[kind] = std::move(frame);
  }
  if (!frames[kind]) *message = failures[kind];
  return frames[kind].get();
}

// The engine's renderer, told to forget its buffers and textures when it
// moves to another context.
YrSDK::YrRenderer RendererFor(const tools::OffscreenFrame* frame) {
  static const tools::OffscreenFrame* last = nullptr;
  YrSDK::YrRenderer renderer = YrSDK::YrSystem().GetRenderer();
  if (last != nullptr && last != frame) renderer.DetachContext();
  last = frame;
  return renderer;
}

// An empty scene for the next benchmark: the current camera is dropped
// first, as it may belong to the old scene.
VScene& FreshScene() {
  YrSDK::YrSystem().GetRenderer().SetCurrentCamera(YrSDK::YrComponent());
  VScene& scene = *YrSDK::YrKernelObjects::GetScene();
  scene.Clear();
  return scene;
}

// A kTextureSide-square checker as an uncompressed 24-bit TGA (type 2,
// bottom-up rows of blue, green, red).
std::vector<std::uint8_t> CheckerTga() {
  std::vector<std::uint8_t> bytes(kTgaHeaderSize, 0);
  bytes[2] = 2;
  bytes[12] = kTextureSide & 0xff;
  bytes[13] = kTextureSide >> 8;
  bytes[14] = kTextureSide & 0xff;
  bytes[15] = kTextureSide >> 8;
  bytes[16] = 24;
  for (int y = 0; y < kTextureSide; ++y) {
    for (int x = 0; x < kTextureSide; ++x) {
      const bool light = ((x / kCheckerSquare) + (y / kCheckerSquare)) % 2 == 0;
      const std::uint8_t bgr[3] = {static_cast<std::uint8_t>(light ? 230 : 160),
                                   static_cast<std::uint8_t>(light ? 230 : 90),
                                   static_cast<std::uint8_t>(light ? 230 : 40)};
      bytes.insert(bytes.end(), bgr, bgr + 3);
    }
  }
  return bytes;
}

// The checker as RGBA rows, as the anchor uploads it.
std::vector<std::uint8_t> CheckerRgba() {
  const std::vector<std::uint8_t> tga = CheckerTga();
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kTextureSide) * kTextureSide * 4);
  for (std::size_t i = 0; i < rgba.size() / 4; ++i) {
    const std::uint8_t* bgr = &tga[kTgaHeaderSize + i * 3];
    rgba[i * 4] = bgr[2];
    rgba[i * 4 + 1] = bgr[1];
    rgba[i * 4 + 2] = bgr[0];
    rgba[i * 4 + 3] = 255;
  }
  return rgba;
}

// Writes the checker once; its path, empty when it cannot be written.
const std::string& CheckerFile() {
  static const std::string path = [] {
    const std::string file = (TempFolder() / "sheet_checker.tga").string();
    const std::vector<std::uint8_t> bytes = CheckerTga();
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) return std::string();
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written ? file : std::string();
  }();
  return path;
}

// --- the heavy scene -------------------------------------------------------------------------

VGeometry Sheet() {
  VGeometry g;
  VLayerElement uv;
  uv.kind = kVLayerUV;
  uv.mapping = kVMappingByVerticeDirect;
  for (int y = 0; y <= kRows; ++y) {
    for (int x = 0; x <= kColumns; ++x) {
      const float u = static_cast<float>(x) / kColumns, v = static_cast<float>(y) / kRows;
      g.points.push_back({(u - 0.5f) * kSheetWidth, (v - 0.5f) * kSheetHeight, 0.0f, 1.0f});
      uv.data.push_back(kUVRepeats * u * kSheetWidth / kSheetHeight);
      uv.data.push_back(kUVRepeats * v);
    }
  }
  for (std::uint32_t y = 0; y < kRows; ++y) {
    for (std::uint32_t x = 0; x < kColumns; ++x) {
      // Counter-clockwise seen from +Z.
      const std::uint32_t a = y * (kColumns + 1) + x;
      const std::uint32_t quad[] = {a, a + 1, a + kColumns + 2, a + kColumns + 1};
      VGeometryAddPolygon(g, quad, 4);
    }
  }
  g.material_assignation = kVMaterialAllSame;
  g.materials = {0};
  g.elements = {uv};
  VLayer layer;
  layer.entries = {{"LayerElementUV", 0}};
  g.layers = {layer};
  return g;
}

// Hat weights over the bones' x positions; the end bones keep the ends.
double BoneWeight(int bone, double x) {
  const double at = -0.5 * kSheetWidth + (bone + 0.5) * kBoneSpacing;
  if ((bone == 0 && x < at) || (bone == kBones - 1 && x > at)) return 1.0;
  const double distance = std::fabs(x - at) / kBoneSpacing;
  return distance < 1.0 ? 1.0 - distance : 0.0;
}

struct HeavyScene {
  VModelPolymesh* sheet = nullptr;
  VCamera* camera = nullptr;
};

// The sheet with its material and texture, four bones bending about X over
// a 120-frame take, a camera in front; the skin only when `skinned`.
HeavyScene BuildHeavyScene(VScene& scene, bool skinned) {
  using zyn_tool::AddModel;
  using zyn_tool::AddNode;
  using zyn_tool::Axis;
  HeavyScene heavy;
  heavy.camera = AddNode(scene, std::make_unique<VCamera>("Bench Camera"), nullptr);
  heavy.camera->LookFrom({0, 0, kCameraDistance}, {0, 0, 0}, {0, 1, 0});
  heavy.camera->mNearPlane->Set(1);
  heavy.camera->mFarPlane->Set(1000);
  // The meshes alone: the anchor draws no grid and no axis gizmo.
  heavy.camera->mViewShowGrid->Set(false);
  heavy.camera->mViewShowAxis->Set(false);
  heavy.sheet = AddNode(scene, std::make_unique<VModelPolymesh>("Sheet"), nullptr);
  heavy.sheet->SetGeometry(Sheet());
  VModel* bones[kBones];
  for (int b = 0; b < kBones; ++b) {
    bones[b] = AddModel(scene, ("Sheet Bone " + std::to_string(b + 1)).c_str(), "Limb", nullptr);
    bones[b]->TranslationProperty()->Set(VDouble3{-0.5 * kSheetWidth + (b + 0.5) * kBoneSpacing, 0, 0});
  }

  auto* material = static_cast<VMaterial*>(scene.Add(std::make_unique<VMaterial>("Sheet White")));
  material->SetDiffuse({0.9, 0.9, 0.9});
  material->SetAmbient({0.2, 0.2, 0.2});
  heavy.sheet->ConnectSrc(material);
  auto* texture = static_cast<VTexture*>(scene.Add(std::make_unique<VTexture>("Sheet Checker")));
  texture->SetFileName(CheckerFile());
  heavy.sheet->ConnectSrc(texture);

  if (skinned) {
    auto* skin = static_cast<VDeformerSkin*>(scene.Add(std::make_unique<VDeformerSkin>("Sheet Skin")));
    heavy.sheet->ConnectSrc(skin);
    const auto& points = heavy.sheet->GetGeometry().points;
    for (int b = 0; b < kBones; ++b) {
      auto* cluster = static_cast<VDeformerCluster*>(
          scene.Add(std::make_unique<VDeformerCluster>("Sheet Cluster " + std::to_string(b + 1))));
      skin->ConnectSrc(cluster);
      cluster->ConnectSrc(bones[b]);
      cluster->SetTransforms(heavy.sheet->GetMatrix(kVSpaceGlobal), bones[b]->GetMatrix(kVSpaceGlobal));
      std::vector<std::int32_t> indexes;
      std::vector<double> weights;
      for (std::size_t i = 0; i < points.size(); ++i) {
        const double w = BoneWeight(b, points[i].x);
        if (w <= 0) continue;
        indexes.push_back(static_cast<std::int32_t>(i));
        weights.push_back(w);
      }
      cluster->SetWeights(indexes, weights);
    }
  }

  // The bones bend the sheet towards the camera and away, in turn.
  VTakeList& takes = scene.takes();
  VTake* take = takes.Create("Wave");
  take->local_span = VTimeSpan(zyn_tool::Frame(0), zyn_tool::Frame(120));
  take->reference_span = take->local_span;
  VFCurveNode *t, *r, *s;
  for (int b = 0; b < kBones; ++b) {
    VTake::ModelAnimation* a = take->AddModel(bones[b]->GetFullName());
    a->channels.push_back(zyn_tool::TransformChannel(*bones[b], &t, &r, &s));
    VFCurve& ry = Axis(*r, 1);
    ry.KeyAdd(zyn_tool::Frame(0), 0.0f);
    ry.KeyAdd(zyn_tool::Frame(60), b % 2 == 0 ? kBendDegrees : -kBendDegrees);
    ry.KeyAdd(zyn_tool::Frame(120), 0.0f);
  }
  takes.SetCurrent(take);
  return heavy;
}

// --- the anchor --------------------------------------------------------------------------------

// Lit per vertex, as the fixed-function lights the renderer uses are; the
// texture modulates the lit colour per fragment.
const char kVertexShader[] = R"(#version 120
attribute vec3 position;
attribute vec3 normal;
attribute vec2 uv;
uniform mat4 model_view_projection;
uniform mat4 model_view;
uniform vec3 light_direction;
varying vec3 lit;
varying vec2 texture_coordinate;
void main() {
  float lambert = abs(dot(normalize(mat3(model_view) * normal), light_direction));
  lit = vec3(0.2 + 0.8 * lambert);
  texture_coordinate = uv;
  gl_Position = model_view_projection * vec4(position, 1.0);
}
)";

const char kFragmentShader[] = R"(#version 120
uniform sampler2D image;
varying vec3 lit;
varying vec2 texture_coordinate;
void main() {
  gl_FragColor = vec4(texture2D(image, texture_coordinate).rgb * lit, 1.0);
}
)";

enum AnchorAttribute : GLuint { kAttributePosition, kAttributeNormal, kAttributeUV };
enum AnchorBuffer { kAnchorPositions, kAnchorNormals, kAnchorUVs, kAnchorTriangles, kAnchorBufferCount };

// Column-major 4 x 4 product a * b, as OpenGL composes matrices.
void Multiply(const double* a, const double* b, float* out) {
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
      out[column * 4 + row] = static_cast<float>(sum);
    }
}

// Raw OpenGL on a pbuffer context of its own, allocated as the offscreen
// frame allocates its own.
class Anchor {
 public:
  ~Anchor() {
    if (!context_.IsAllocated()) return;
    if (const VGLFunctions* gl = Current()) {
      if (buffers_[0] != 0) gl->DeleteBuffers(kAnchorBufferCount, buffers_);
      if (texture_ != 0) gl->DeleteTextures(1, &texture_);
      if (program_ != 0) gl->DeleteProgram(program_);
    }
    context_.Free();
  }

  // The context, the program, the buffers holding `data` and the checker;
  // false with a message when any of them cannot be made.
  bool Open(const VMeshDrawData& data, std::string* message) {
    pixels_.assign(static_cast<std::size_t>(kWidth) * kHeight * 4, 0);
    dc_.pixels = pixels_.data();
    dc_.width = kWidth;
    dc_.height = kHeight;
    dc_.row_bytes = kWidth * 4;
    dc_.top_down = false;
    YrSDK::YrPixelFormatDescriptor descriptor;
    YrSDK::YrOGLContextWrapper::DefaultPixelFormat(descriptor);
    if (!context_.AllocateForcingPBuffer(&dc_, descriptor, kWidth, kHeight, true)) {
      *message = "no offscreen context: " + context_.GetFailureReason();
      return false;
    }
    const VGLFunctions* gl = Current();
    if (gl == nullptr || !gl->has_shaders || !gl->has_buffers) {
      *message = "the context has no shaders or no buffer objects";
      return false;
    }
    if (!MakeProgram(*gl)) {
      *message = "the anchor's program does not compile or link";
      return false;
    }
    gl->GenBuffers(kAnchorBufferCount, buffers_);
    auto upload = [&](int slot, GLenum target, const void* bytes, std::size_t size, GLenum usage) {
      gl->BindBuffer(target, buffers_[slot]);
      gl->BufferData(target, static_cast<GLsizeiptr>(size), bytes, usage);
    };
    upload(kAnchorPositions, GL_ARRAY_BUFFER, data.positions.data(), data.positions.size() * sizeof(float),
           GL_DYNAMIC_DRAW);
    upload(kAnchorNormals, GL_ARRAY_BUFFER, data.normals.data(), data.normals.size() * sizeof(float), GL_DYNAMIC_DRAW);
    upload(kAnchorUVs, GL_ARRAY_BUFFER, data.uvs.data(), data.uvs.size() * sizeof(float), GL_STATIC_DRAW);
    upload(kAnchorTriangles, GL_ELEMENT_ARRAY_BUFFER, data.triangles.data(),
           data.triangles.size() * sizeof(std::uint32_t), GL_STATIC_DRAW);
    index_count_ = static_cast<GLsizei>(data.triangles.size());

    const std::vector<std::uint8_t> rgba = CheckerRgba();
    gl->GenTextures(1, &texture_);
    gl->BindTexture(GL_TEXTURE_2D, texture_);
    gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl->TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    gl->TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kTextureSide, kTextureSide, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());

    // Read the buffer frames are drawn into (a pbuffer may have one only).
    GLint draw_buffer = GL_BACK;
    gl->GetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
    gl->ReadBuffer(static_cast<GLenum>(draw_buffer));
    gl->PixelStorei(GL_PACK_ALIGNMENT, 4);
    const bool ok = gl->GetError() == GL_NO_ERROR;
    if (!ok) *message = "OpenGL error while setting up the anchor";
    return ok;
  }

  // One frame: positions and normals sent again when `data` is given, the
  // triangles drawn in one call, the pixels read back as BGRA.
  bool Draw(const float* model_view_projection, const float* model_view, const VMeshDrawData* data) {
    const VGLFunctions* gl = Current();
    if (gl == nullptr) return false;
    gl->Viewport(0, 0, kWidth, kHeight);
    gl->Enable(GL_DEPTH_TEST);
    gl->DepthFunc(GL_LEQUAL);
    gl->ClearColor(0, 0, 0, 1);
    gl->Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl->UseProgram(program_);
    gl->UniformMatrix4fv(mvp_location_, 1, GL_FALSE, model_view_projection);
    gl->UniformMatrix4fv(model_view_location_, 1, GL_FALSE, model_view);
    gl->Uniform3f(light_location_, 0.0f, 0.0f, 1.0f);
    gl->Uniform1i(image_location_, 0);
    gl->BindTexture(GL_TEXTURE_2D, texture_);

    auto attribute = [&](GLuint index, int slot, GLint size) {
      gl->BindBuffer(GL_ARRAY_BUFFER, buffers_[slot]);
      gl->EnableVertexAttribArray(index);
      gl->VertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, 0, nullptr);
    };
    if (data != nullptr) {
      gl->BindBuffer(GL_ARRAY_BUFFER, buffers_[kAnchorPositions]);
      gl->BufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(data->positions.size() * sizeof(float)),
                        data->positions.data());
      gl->BindBuffer(GL_ARRAY_BUFFER, buffers_[kAnchorNormals]);
      gl->BufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(data->normals.size() * sizeof(float)),
                        data->normals.data());
    }
    attribute(kAttributePosition, kAnchorPositions, 3);
    attribute(kAttributeNormal, kAnchorNormals, 3);
    attribute(kAttributeUV, kAnchorUVs, 2);
    gl->BindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers_[kAnchorTriangles]);
    gl->DrawElements(GL_TRIANGLES, index_count_, GL_UNSIGNED_INT, nullptr);
    gl->ReadPixels(0, 0, kWidth, kHeight, GL_BGRA, GL_UNSIGNED_BYTE, pixels_.data());
    return true;
  }

  // The pixel at (x, y), y from the bottom, as 0xBBGGRRAA.
  std::uint32_t PixelAt(int x, int y) const {
    const std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * kWidth + x) * 4];
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
  }
  std::string RendererName() const { return context_.GetRendererString(); }

 private:
  // The anchor's context made current (the renderer's frame may have made
  // its own current since); its entry points.
  const VGLFunctions* Current() {
    if (!context_.MakeCurrent(&dc_)) return nullptr;
    return VGLCurrent();
  }

  bool MakeProgram(const VGLFunctions& gl) {
    auto compile = [&](GLenum type, const char* source) -> GLuint {
      const GLuint shader = gl.CreateShader(type);
      gl.ShaderSource(shader, 1, &source, nullptr);
      gl.CompileShader(shader);
      GLint compiled = GL_FALSE;
      gl.GetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
      if (compiled == GL_TRUE) return shader;
      gl.DeleteShader(shader);
      return 0;
    };
    const GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (vertex == 0 || fragment == 0) return false;
    program_ = gl.CreateProgram();
    gl.AttachShader(program_, vertex);
    gl.AttachShader(program_, fragment);
    gl.BindAttribLocation(program_, kAttributePosition, "position");
    gl.BindAttribLocation(program_, kAttributeNormal, "normal");
    gl.BindAttribLocation(program_, kAttributeUV, "uv");
    gl.LinkProgram(program_);
    gl.DeleteShader(vertex);
    gl.DeleteShader(fragment);
    GLint linked = GL_FALSE;
    gl.GetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) return false;
    mvp_location_ = gl.GetUniformLocation(program_, "model_view_projection");
    model_view_location_ = gl.GetUniformLocation(program_, "model_view");
    light_location_ = gl.GetUniformLocation(program_, "light_direction");
    image_location_ = gl.GetUniformLocation(program_, "image");
    return true;
  }

  YrSDK::YrOGLContextWrapper context_;
  YrSDK::YrDrawContext dc_;
  std::vector<std::uint8_t> pixels_;
  GLuint program_ = 0;
  GLuint buffers_[kAnchorBufferCount] = {};
  GLuint texture_ = 0;
  GLsizei index_count_ = 0;
  GLint mvp_location_ = -1, model_view_location_ = -1, light_location_ = -1, image_location_ = -1;
};

// --- benchmarks ----------------------------------------------------------------------------

// The next time of the loop: one display frame later, wrapping at the end
// of the take.
YrSDK::YrTime NextTime(std::int64_t* ticks) {
  *ticks = (*ticks + kStepTicks) % kLoopTicks;
  return YrSDK::YrTime(*ticks);
}

void SetFrameCounters(benchmark::State& state, const tools::OffscreenFrame& frame, const YrSDK::YrRenderer& renderer) {
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["triangles"] = static_cast<double>(renderer.GetStats().triangles);
  state.SetLabel(std::string(frame.Kind()) + ", " + frame.RendererName());
}

void SampleSceneFrame(benchmark::State& state, bool software) {
  std::string message;
  tools::OffscreenFrame* frame = OffscreenFrameOf(software, &message);
  if (frame == nullptr) {
    state.SkipWithError(message.c_str());
    return;
  }
  VScene& scene = FreshScene();
  zyn_tool::BuildDemoScene(scene);
  const std::string scene_path = (TempFolder() / "demo.zyn").string();
  if (!zyn_tool::WriteDemoTextures(scene, scene_path)) {
    state.SkipWithError("unable to write the sample's texture");
    return;
  }
  YrSDK::YrRenderer renderer = RendererFor(frame);
  renderer.SetSceneFilePath(scene_path.c_str());
  YrSDK::YrPlayerControl player;
  std::int64_t ticks = 0;
  player.Goto(YrSDK::YrTime(ticks));
  frame->Render(renderer);  // buffers and the texture made once
  for (auto _ : state) {
    player.Goto(NextTime(&ticks));
    if (!frame->Render(renderer)) {
      state.SkipWithError("the frame failed");
      break;
    }
  }
  SetFrameCounters(state, *frame, renderer);
}

void BM_SampleSceneFrame(benchmark::State& state) { SampleSceneFrame(state, false); }
BENCHMARK(BM_SampleSceneFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SampleSceneSoftware(benchmark::State& state) { SampleSceneFrame(state, true); }
BENCHMARK(BM_SampleSceneSoftware)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HeavySceneFrame(benchmark::State& state) {
  const bool skinned = state.range(0) != 0;
  std::string message;
  tools::OffscreenFrame* frame = OffscreenFrameOf(false, &message);
  if (frame == nullptr) {
    state.SkipWithError(message.c_str());
    return;
  }
  if (CheckerFile().empty()) {
    state.SkipWithError("unable to write the texture");
    return;
  }
  const HeavyScene heavy = BuildHeavyScene(FreshScene(), skinned);
  YrSDK::YrRenderer renderer = RendererFor(frame);
  renderer.SetSceneFilePath("");
  renderer.SetCurrentCamera(YrSDK::YrComponent(heavy.camera));
  YrSDK::YrPlayerControl player;
  std::int64_t ticks = 0;
  player.Goto(YrSDK::YrTime(ticks));
  frame->Render(renderer);
  const double first_bytes = static_cast<double>(renderer.GetStats().uploaded_bytes);
  double uploaded = 0;
  for (auto _ : state) {
    player.Goto(NextTime(&ticks));
    if (!frame->Render(renderer)) {
      state.SkipWithError("the frame failed");
      break;
    }
    uploaded += static_cast<double>(renderer.GetStats().uploaded_bytes);
  }
  // The sheet covers the middle of the frame: a black pixel there means
  // nothing was drawn.
  if ((frame->PixelAt(kWidth / 2, kHeight / 2) & 0xFFFFFF00u) == 0) state.SkipWithError("the sheet is not drawn");
  SetFrameCounters(state, *frame, renderer);
  state.counters["first_frame_bytes"] = first_bytes;
  state.counters["uploaded_bytes"] = benchmark::Counter(uploaded, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_HeavySceneFrame)->ArgName("skinned")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// The heavy sheet's triangles as the renderer draws them (its own welding
// and batching), drawn raw; with `reupload`, positions and normals are sent
// again every frame, the bytes the renderer sends for the skinned sheet.
void BM_AnchorRawGL(benchmark::State& state) {
  const bool reupload = state.range(0) != 0;
  HeavyScene heavy = BuildHeavyScene(FreshScene(), false);
  VMeshDrawData data;
  VBuildMeshDrawData(heavy.sheet->GetGeometry(), heavy.sheet->GetTriangulation(), data);
  const YrSDK::YrMatrix projection = heavy.camera->GetProjectionMatrix(kWidth, kHeight);
  const YrSDK::YrMatrix view = heavy.camera->GetViewMatrix();
  const YrSDK::YrMatrix model = heavy.sheet->GetGlobalGeometricMatrix();
  float model_view[16], model_view_projection[16];
  Multiply(view.Data(), model.Data(), model_view);
  double model_view_d[16];
  for (int i = 0; i < 16; ++i) model_view_d[i] = model_view[i];
  Multiply(projection.Data(), model_view_d, model_view_projection);

  Anchor anchor;
  std::string message;
  if (!anchor.Open(data, &message)) {
    state.SkipWithError(message.c_str());
    return;
  }
  const VMeshDrawData* resent = reupload ? &data : nullptr;
  anchor.Draw(model_view_projection, model_view, resent);
  for (auto _ : state) {
    if (!anchor.Draw(model_view_projection, model_view, resent)) {
      state.SkipWithError("the frame failed");
      break;
    }
  }
  if ((anchor.PixelAt(kWidth / 2, kHeight / 2) & 0xFFFFFF00u) == 0) state.SkipWithError("the sheet is not drawn");
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["triangles"] = static_cast<double>(data.TriangleCount());
  state.counters["vertices"] = static_cast<double>(data.VertexCount());
  state.counters["uploaded_bytes"] =
      reupload ? static_cast<double>((data.positions.size() + data.normals.size()) * sizeof(float)) : 0.0;
  state.SetLabel("raw OpenGL, " + anchor.RendererName());
}
BENCHMARK(BM_AnchorRawGL)->ArgName("reupload")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  tools::TuneAllocator();
  benchmark::Initialize(&argc, argv);
  if (!YrSDK::YrKernel::Init("")) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  YrSDK::YrKernel::Close();
  std::error_code ignored;
  std::filesystem::remove_all(TempFolder(), ignored);
  return 0;
}
