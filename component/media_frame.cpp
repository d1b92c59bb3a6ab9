#include "component/media_frame.h"

#include <cmath>
#include <cstdint>

#include "component/media_drawing_state.h"
#include "sdk/yr_ogl_context_wrapper.h"
#include "sdk/yr_player_control.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_system.h"
#include "sdk/yr_time.h"
#include "sdk/yr_view_panels.h"

namespace qtzyn {
namespace {

constexpr double kMediaFramesPerSecond = 60.0;
constexpr int kColourComponents = 3;
constexpr int kClearColourComponents = 4;

// The component has no log output: traces are written nowhere.
void Trace(const char* /*format*/, ...) {}

// A port's device context is a PortDrawContext, laid out as the renderer's
// draw context.
YrSDK::YrDrawContext* DrawContextOf(HDC dc) { return static_cast<YrSDK::YrDrawContext*>(dc); }

// The engine's time for a media time: the current take's start, in whole
// 60ths of a second rounded up, plus the media time.
void GotoMediaTime(TimeValue atMediaTime) {
  const double start = YrSDK::YrSystem().GetCurrentTake().GetLocalTimeSpan().GetStart().GetSecondDouble();
  double frame = std::ceil(start * kMediaFramesPerSecond) + static_cast<double>(atMediaTime);
  // A damaged take's start may lie beyond what a frame number holds.
  if (!std::isfinite(frame)) frame = 0.0;
  if (frame > INT32_MAX) frame = INT32_MAX;
  if (frame < INT32_MIN) frame = INT32_MIN;
  YrSDK::YrTime time;
  time.SetTime(0, 0, 0, static_cast<int>(frame), 0, YrSDK::kYrTimeMode60);
  YrSDK::YrPlayerControl().Goto(time);
}

// The shown camera's background becomes the frame's clear colour.
void UseCameraBackground(YrSDK::YrRenderer& renderer) {
  const YrSDK::YrComponent camera = renderer.GetRenderCamera();
  double background[kColourComponents] = {};
  if (!camera.FindProperty("BackgroundColor").GetDoubles(background, kColourComponents)) return;
  YrSDK::YrProperty clear = renderer.FindProperty("ClearColor");
  double colour[kClearColourComponents] = {0.0, 0.0, 0.0, 1.0};
  clear.GetDoubles(colour, kClearColourComponents);
  for (int i = 0; i < kColourComponents; ++i) colour[i] = background[i];
  clear.SetDoubles(colour, kClearColourComponents);
}

// The frame goes where the track lies in the port: the copy is moved by
// the drawing rectangle's corner (`user` points to it).
bool BlitAtTrack(YrSDK::YrDrawContext* destination, int dx, int dy, int dw, int dh, YrSDK::YrDrawContext* source,
                 int sx, int sy, int sw, int sh, std::intptr_t user, const YrSDK::YrOffscreenRecord* record) {
  const Rect* r = reinterpret_cast<const Rect*>(user);
  return YrSDK::YrOGLContextWrapper::RenderOperationBlit(destination, dx + r->left, dy + r->top, dw, dh, source, sx,
                                                         sy, sw, sh, 0, record);
}

void DrawPanel(const MediaGlobals& globals, const ViewerCore& core, LoadState state) {
  const int w = globals.pixelWidth, h = globals.pixelHeight;
  if (state != LoadState::kLoaded && state != LoadState::kFailed) {
    YrSDK::YrViewPanels::DrawLoadingPanel(w, h, core.progress.load());
  } else if (globals.showHelp) {
    YrSDK::YrViewPanels::DrawHelpBackground(w, h);
  } else if (globals.showInfo) {
    YrSDK::YrViewPanels::DrawInformationBox(w, h);
  }
}

}  // namespace

OSErr SetUpOpenGL(MediaGlobals& globals, ViewerCore& core) {
  const int w = globals.pixelWidth, h = globals.pixelHeight;
  if (w < 1 || h < 1 || !core.glContext) return userCanceledErr;
  YrSDK::YrOGLContextWrapper& context = *core.glContext;
  YrSDK::YrDrawContext* dc = DrawContextOf(globals.portDC);
  globals.bufferWidth = 0;
  globals.bufferHeight = 0;
  context.Free();
  YrSDK::YrPixelFormatDescriptor descriptor;
  YrSDK::YrOGLContextWrapper::DefaultPixelFormat(descriptor);
  if (!context.AllocateForcingPBuffer(dc, descriptor, w, h, false)) {
    MediaDrawingState& drawing = DrawingState();
    if (drawing.warningPending) {
      globals.softwareWarning = true;
      drawing.warningPending = false;
    }
    YrSDK::YrOGLContextWrapper::DefaultPixelFormat(descriptor);
    if (!context.AllocateForcingSWContext(dc, descriptor, w, h)) return userCanceledErr;
  }
  if (context.MakeCurrent(dc)) YrSDK::YrViewPanels::PrepareView(w, h);
  globals.bufferWidth = w;
  globals.bufferHeight = h;
  core.glReady = true;
  return noErr;
}

void DrawOpenGLFrame(MediaGlobals& globals, ViewerCore& core, LoadState state, TimeValue atMediaTime) {
  if (!core.glContext) return;
  YrSDK::YrOGLContextWrapper& context = *core.glContext;
  if (!context.BeginRender(DrawContextOf(globals.portDC))) return;
  // The engine's scene is read only once the loader thread is done with it.
  if (state == LoadState::kLoaded) {
    YrSDK::YrRenderer& renderer = core.Renderer();
    GotoMediaTime(atMediaTime);
    if (renderer.IsValid()) {
      UseCameraBackground(renderer);
      if (!globals.showHelp) {
        renderer.RenderBegin(0, 0, globals.pixelWidth, globals.pixelHeight);
        renderer.PreRender(-1);
        renderer.Render(-1);
        renderer.RenderEnd();
      }
    }
  }
  DrawPanel(globals, core, state);
  if (!context.EndRender(&BlitAtTrack, reinterpret_cast<std::intptr_t>(&globals.drawRect))) Trace("blit failed\n");
}

}  // namespace qtzyn
