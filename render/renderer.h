#pragma once
// The "OpenGL Renderer": draws one frame of the evaluated scene for one
// camera into the OpenGL context current on the calling thread.
//
// A frame runs RenderBegin, PreRender, Render and RenderEnd in that order.
// Render sets the camera's projection and view, the lights and the fog,
// then runs the pass groups in order; every pass draws the models whose
// shader (or display mode) asked for it. Mesh geometry lives in buffer
// objects, built once per geometry change; a deforming mesh sends only its
// positions and normals again, and only when its evaluation changed.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/object.h"
#include "core/property.h"
#include "render/lighting_program.h"
#include "render/texture_pool.h"

class VCamera;
class VScene;
class VSceneObject;
class VTransformNode;
struct VGLFunctions;
struct VMeshCache;

// Viewing modes ("PickingMode" of the viewing options).
enum VViewingMode : int { kVViewingNormal = 0, kVViewingXRay = 1, kVViewingModelsOnly = 2 };

// The options of the view a renderer draws: the display mode applied to
// every model (0 keeps each model's own), the viewing mode, and the overlay
// switches.
struct VViewOptions {
  int display_what = 0;
  int picking_mode = kVViewingNormal;
  bool show_time_code = false;
  bool show_safe_area = false;
  bool show_camera_label = true;
};

// What a frame sent to OpenGL, for tests and benchmarks.
struct VRenderStats {
  std::uint64_t frames = 0;
  std::uint64_t uploaded_bytes = 0;  // geometry sent this frame
  std::uint32_t meshes = 0;          // meshes drawn this frame
  std::uint32_t triangles = 0;       // triangles drawn this frame (every pass and sample)
  std::uint32_t samples = 0;         // passes of the multi-sample frame (1 when single)
};

// OpenGL capabilities, queried once at the first frame.
struct VRenderCaps {
  int accum_bits = 0;  // red + green + blue + alpha
  int alpha_bits = 0;
  int depth_bits = 0;
  int max_texture_size = 0;
  int max_lights = 0;  // at least 2 once queried
  bool buffers = false;
};

class VOGLRenderer : public VObject {
 public:
  VOGLRenderer();
  ~VOGLRenderer() override;

  // The scene to draw (null: only the clear colour); the scene file's path
  // finds textures named relative to it.
  void SetScene(VScene* scene);
  VScene* GetScene() const { return scene_; }
  void SetSceneFilePath(const std::string& path) { scene_path_ = path; }

  // --- the frame ------------------------------------------------------------------------------
  void SetViewport(int x, int y, int width, int height);
  // Queries the capabilities at the first frame and stores the viewport;
  // false when no OpenGL context is current.
  bool RenderBegin(int x, int y, int width, int height);
  // Clears to "ClearColor" and records the layer.
  bool PreRender(int layer);
  bool Render(int layer);
  // Draws the overlay of a single-layer frame and restores the viewport.
  bool RenderEnd();

  // --- the camera -----------------------------------------------------------------------------
  // The camera a frame renders through: "CurrentCamera" (a switcher gives
  // its current camera), else the scene's default camera, else the
  // producer perspective; null without a scene.
  VCamera* GetRenderCamera() const;
  // The object "CurrentCamera" names (a camera or a camera switcher).
  VSceneObject* GetCurrentCamera() const;
  bool SetCurrentCamera(VSceneObject* camera);

  // --- modes ---------------------------------------------------------------------------------
  int GetViewingMode() const { return viewing_mode_; }
  void SetViewingMode(int mode);
  // Every model's shading mode (0 keeps each model's own).
  void SetModelsShading(int shading);

  // The view's options. Setting them switches the viewing mode when the
  // picking mode differs, and gives every model the display mode when it is
  // not 0. Getting them refreshes the picking mode from the renderer.
  VViewOptions GetViewOptions() const;
  void SetViewOptions(const VViewOptions& options);

  // --- interaction ---------------------------------------------------------------------------
  // Moves the render camera so that every visible model (or every model
  // when `all`) fits the view; false when there is nothing to frame.
  bool FrameCurrentCameraWithModels(bool all);
  // The models under the pixel (x, y) of the last frame's viewport, y
  // counted from the top, nearest first.
  bool Pick(int x, int y, std::vector<VTransformNode*>& models);
  // Input types: 2 press, 3 release, 4 drag. Modifier: 1 Shift, 2 Ctrl.
  // A plain drag orbits, Shift pans, Ctrl dollies, Z held zooms.
  bool MouseInput(int x, int y, int input_type, int button, int modifier, int extra);
  // Records the key's state (the zoom gesture reads Z); true when used.
  bool KeyboardInput(int key, bool down, bool repeat);
  // Where the gestures read key states (virtual-key codes): the function
  // answers 1 or 0, or -1 when it cannot tell, and the renderer then uses
  // the states KeyboardInput recorded. Null: those alone.
  using KeyStateFunction = int (*)(int key);
  void SetKeyStateSource(KeyStateFunction source) { key_state_source_ = source; }

  // Lit meshes are drawn by one GLSL program where the context has shaders
  // (the same image, less work on a software rasteriser), else by the
  // fixed-function pipeline. QTZYN_GL_FIXED_FUNCTION=1 turns the program off.
  void SetUseLightingProgram(bool use) { use_lighting_program_ = use; }
  bool IsLightingProgramInUse() const { return use_lighting_program_ && lighting_.IsReady(); }

  // The context went away: every OpenGL name is forgotten without a call.
  void DetachContext();

  const VRenderStats& GetStats() const { return stats_; }
  const VRenderCaps& GetCaps() const { return caps_; }

  // Properties.
  VPropertyObject* mCurrentCamera;
  VPropertyBool* mAutoEvaluate;
  VPropertyBool* mBackground;
  VPropertyInt* mZSortMode;
  VPropertyInt* mLayerCount;
  VPropertyBool* mVerticalInvert;
  VPropertyDouble4* mClearColor;

 private:
  struct Frame;
  struct DrawItem;
  struct Gesture;

  void QueryCaps(const VGLFunctions& gl);
  void DrawFrame(const VGLFunctions& gl, VCamera* camera);
  void DrawSamples(const VGLFunctions& gl, VCamera* camera);
  void SetupCamera(const VGLFunctions& gl, VCamera& camera, Frame& frame);
  void SetupLights(const VGLFunctions& gl, Frame& frame);
  void SetupFog(const VGLFunctions& gl);
  void CollectItems(const VGLFunctions& gl, Frame& frame);
  void RunPass(const VGLFunctions& gl, int pass, Frame& frame);
  void DrawMesh(const VGLFunctions& gl, const DrawItem& item, int pass, Frame& frame);
  void DrawGizmos(const VGLFunctions& gl, Frame& frame);
  void DrawGrid(const VGLFunctions& gl, Frame& frame);
  void DrawAxis(const VGLFunctions& gl, Frame& frame);
  void ClearToBackground(const VGLFunctions& gl, VCamera* camera);
  void BackgroundColor(VCamera* camera, float out[4]) const;

  VScene* scene_ = nullptr;
  std::string scene_path_;
  int viewport_[4] = {0, 0, 0, 0};
  int layer_ = 0;
  int viewing_mode_ = kVViewingNormal;
  bool separate_specular_ = false;  // "UseAdditiveSpecularLighting" this frame
  std::uint8_t light_kind_[VLightingProgram::kMaxLights] = {};  // this frame's OpenGL lights (0 off)
  bool local_viewer_ = false;
  int fog_mode_ = -1;  // this frame's fog; -1 none
  VLightingProgram lighting_;
  bool use_lighting_program_ = true;
  VViewOptions view_options_;
  VRenderCaps caps_;
  std::uint64_t context_id_ = 0;  // the context the kept OpenGL names belong to
  VRenderStats stats_;
  std::unique_ptr<VMeshCache> meshes_;
  VTexturePool textures_;
  // This frame's textures by texture object: file names are resolved once
  // per texture and frame, not once per batch.
  std::unordered_map<const void*, unsigned int> frame_textures_;
  unsigned int sample_texture_ = 0;
  int sample_texture_size_[2] = {0, 0};
  std::unique_ptr<Gesture> gesture_;
  bool key_down_[512] = {};
  KeyStateFunction key_state_source_ = nullptr;
  bool IsKeyDown(int key) const;
  std::vector<double> last_view_, last_projection_;  // of the last frame, for picking
};
