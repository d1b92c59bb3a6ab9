#pragma once
// YrRenderer: the engine's OpenGL renderer as the public interface sees it,
// and YrViewingOptions, the display and viewing modes of its view.
//
// A frame is RenderBegin, PreRender, Render and RenderEnd, called in that
// order on the thread whose OpenGL context is current (see
// YrOGLContextWrapper::BeginRender).

#include <cstdint>
#include <vector>

#include "sdk/yr_component.h"

class VOGLRenderer;

namespace YrSDK {

// Model shading modes (each model's own; "DisplayWhat" sets them all).
enum YrModelShading : int {
  kYrModelShadingDefault = 0,
  kYrModelShadingWire = 1,
  kYrModelShadingFlat = 2,
  kYrModelShadingHard = 3,
  kYrModelShadingTexture = 4,
};

// Viewing modes ("PickingMode").
enum YrViewingMode : int { kYrViewingNormal = 0, kYrViewingXRay = 1, kYrViewingModelsOnly = 2 };

struct YrViewingOptions {
  int DisplayWhat = kYrModelShadingDefault;  // 0 "Default" ... 4 "Textured"
  int PickingMode = kYrViewingNormal;        // 0 "Normal", 1 "X-Ray", 2 "Models Only"
  bool ShowTimeCode = false;
  bool ShowSafeArea = false;
  bool ShowCameraLabel = true;

  // "Default", "Wire Frame", "Flat Shaded", "Hard Shaded", "Textured"; ""
  // outside the table.
  static const char* DisplayWhatLabel(int value);
  // "Normal", "X-Ray", "Models Only"; "" outside the table.
  static const char* PickingModeLabel(int value);
};

// What the last frame sent to OpenGL.
struct YrRenderStats {
  std::uint64_t frames = 0;
  std::uint64_t uploaded_bytes = 0;
  std::uint32_t meshes = 0;
  std::uint32_t triangles = 0;
  std::uint32_t samples = 0;
};

class YrRenderer : public YrComponent {
 public:
  YrRenderer() = default;
  explicit YrRenderer(VOGLRenderer* renderer);
  bool IsValid() const { return renderer_ != nullptr; }

  void SetViewport(int x, int y, int width, int height);
  bool RenderBegin(int x, int y, int width, int height);
  bool PreRender(int layer = 0);
  bool Render(int layer = 0);
  bool RenderEnd();

  YrViewingOptions GetViewingOptions() const;
  bool SetViewingOptions(const YrViewingOptions& options);

  // "CurrentCamera": a camera or a camera switcher; an empty handle means
  // the scene's default camera.
  YrComponent GetCurrentCamera() const;
  bool SetCurrentCamera(const YrComponent& camera);
  // The camera a frame renders through (a switcher's current camera).
  YrComponent GetRenderCamera() const;

  bool FrameCurrentCameraWithModels(bool all);
  // Models under the pixel (x, y from the top-left) of the last frame.
  bool Pick(int x, int y, std::vector<YrComponent>& models);
  // Input types 2 press, 3 release, 4 drag; button 1; modifier 1 Shift,
  // 2 Ctrl; the last value is unused (-1).
  bool MouseInput(int x, int y, int input_type, int button, int modifier, int extra = -1);
  bool KeyboardInput(int key, bool down, bool repeat = false);

  // The OpenGL context went away: forget every texture and buffer.
  void DetachContext();
  YrRenderStats GetStats() const;
  // The scene file's path, for textures named relative to it.
  void SetSceneFilePath(const char* path);

 private:
  VOGLRenderer* renderer_ = nullptr;
};

}  // namespace YrSDK
