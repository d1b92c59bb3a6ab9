#include "component/media_playback.h"

#include <cstring>

#include "component/media_drawing_state.h"
#include "component/media_frame.h"
#include "component/media_text_layer.h"
#include "component/redraw_count.h"
#include "component/viewer_core.h"
#include "sdk/yr_ogl_context_wrapper.h"
#include "sdk/yr_view_panels.h"

namespace qtzyn {
namespace {

// The component has no log output: traces are written nowhere.
void Trace(const char* /*format*/, ...) {}

// The base media handler's routine that records what this handler does.
constexpr SInt16 kMediaSetHandlerCapabilitiesSelect = 0x0002;
constexpr long kHandlerCapabilities = handlerHasSpatial | handlerNeedsBuffer | handlerWantsTime | handlerCGrafPortOnly;

const unsigned char kMediaName[] = "\x06" "3D ZYN";

bool NothingChanged(const MediaGlobals& g, const MediaDrawingState& d, LoadState state, long flagsIn,
                    TimeValue atMediaTime) {
  return (flagsIn & mMustDraw) == 0 && RedrawCount(g) <= 0 && d.currentPortDC == g.lastPortDC &&
         static_cast<SInt32>(state) == d.prevState && flagsIn == d.prevFlags && atMediaTime == d.prevMediaTime &&
         (g.softwareWarning || (!g.freeRunning && state != LoadState::kLoading));
}

// The buffer is made again when the port, the track's size or the
// synchronous-drawing flag changed, or when none was ever made.
bool NeedsOpenGLSetUp(const MediaGlobals& g, const MediaDrawingState& d, const ViewerCore& core, long flagsIn) {
  const int width = g.drawRect.right - g.drawRect.left;
  const int height = g.drawRect.bottom - g.drawRect.top;
  return d.currentPortDC != g.lastPortDC || width != g.pixelWidth || height != g.pixelHeight ||
         width != g.bufferWidth || height != g.bufferHeight || !core.glReady ||
         ((flagsIn ^ d.prevFlags) & mSyncDrawing) != 0;
}

}  // namespace

ComponentResult MediaInitialize(MediaGlobalsHandle storage, GetMovieCompleteParams* gmc) {
  MediaGlobals* g = GlobalsOf(storage);
  if (g == nullptr) return badComponentInstance;
  if (gmc == nullptr) return paramErr;
  g->width = gmc->width;
  g->height = gmc->height;
  g->matrix = gmc->trackMovieMatrix;
  g->movie = gmc->theMovie;
  g->track = gmc->theTrack;
  g->media = gmc->theMedia;
  g->pixelWidth = 0;
  g->pixelHeight = 0;
  g->showInfo = false;
  g->showHelp = false;
  g->softwareWarning = false;
  g->freeRunning = false;
  g->hasFocus = false;
  g->triggering = false;
  g->lightsOn = true;
  SetRedrawCount(*g, kRedrawCalls);
  SetRect(&g->naturalRect, 0, 0, static_cast<short>(FixedToInt(g->width)), static_cast<short>(FixedToInt(g->height)));
  if (g->delegate != nullptr) {
    HostComponentCall(g->delegate, kMediaSetHandlerCapabilitiesSelect, kHandlerCapabilities, kHandlerCapabilities);
  }
  ViewerCore* core = ViewerCore::GetOrCreate();
  if (!core->glContext) core->glContext = std::make_unique<YrSDK::YrOGLContextWrapper>(true);
  return noErr;
}

ComponentResult MediaSetDimensions(MediaGlobalsHandle storage, Fixed width, Fixed height) {
  MediaGlobals* g = GlobalsOf(storage);
  if (g == nullptr) return badComponentInstance;
  g->width = width;
  g->height = height;
  g->pixelWidth = FixedToInt(width);
  g->pixelHeight = FixedToInt(height);
  YrSDK::YrViewPanels::SetViewport(0, 0, g->pixelWidth, g->pixelHeight);
  return noErr;
}

ComponentResult MediaSetMatrix(MediaGlobalsHandle storage, MatrixRecord* trackMovieMatrix) {
  MediaGlobals* g = GlobalsOf(storage);
  if (g == nullptr) return badComponentInstance;
  if (trackMovieMatrix == nullptr) return paramErr;
  std::memcpy(&g->matrix, trackMovieMatrix, sizeof g->matrix);
  return noErr;
}

ComponentResult MediaGetName(MediaGlobalsHandle, StringPtr name, long, long*) {
  if (name == nullptr) return paramErr;
  std::memcpy(name, kMediaName, sizeof kMediaName - 1);
  return noErr;
}

ComponentResult MediaIdle(MediaGlobalsHandle storage, TimeValue atMediaTime, long flagsIn, long* flagsOut,
                          const TimeRecord*) {
  MediaGlobals* g = GlobalsOf(storage);
  if (g == nullptr) return badComponentInstance;
  ViewerCore* core = ViewerCore::GetOrCreate();
  const LoadState state = core->loadState.load();
  if (core->activeInstanceId == 0) core->activeInstanceId = g->instanceId;
  const bool active = core->activeInstanceId == g->instanceId;

  MediaDrawingState& d = DrawingState();
  GetPort(&d.currentPort);
  d.currentPortDC = GetPortHDC(d.currentPort);

  if (NothingChanged(*g, d, state, flagsIn, atMediaTime)) {
    if (flagsOut != nullptr && *flagsOut == mDidDraw) CountDownRedraw(*g);
  } else {
    d.prevMediaTime = atMediaTime;
    SetRect(&g->drawRect, 0, 0, FixRound(g->width), FixRound(g->height));
    TransformRect(&g->matrix, &g->drawRect, nullptr);
    if (active && NeedsOpenGLSetUp(*g, d, *core, flagsIn)) {
      Trace("re-initialize the OGL view\n");
      g->portDC = d.currentPortDC;
      g->pixelWidth = g->drawRect.right - g->drawRect.left;
      g->pixelHeight = g->drawRect.bottom - g->drawRect.top;
      d.lastError = SetUpOpenGL(*g, *core);
      if (d.lastError != noErr) return d.lastError;
    }
    d.prevFlags = flagsIn;
    if (active) DrawOpenGLFrame(*g, *core, state, atMediaTime);
    DrawTextLayer(*g, active, state, core->loadError.load());
    if (flagsOut != nullptr) *flagsOut = mDidDraw;
    CountDownRedraw(*g);
  }

  if (active) {
    const auto prev = static_cast<LoadState>(d.prevState);
    // A file whose bytes had not all arrived is tried again, once a call.
    if (state == LoadState::kIdle || (state == LoadState::kLoading && core->AwaitsData())) {
      core->StartLoading(g);
    } else if ((state == LoadState::kLoaded && prev != LoadState::kLoaded) ||
               (state == LoadState::kFailed && prev != LoadState::kFailed)) {
      core->AfterLoad(g);
      SetRedrawCount(*g, kRedrawCalls);
    }
  }
  d.prevState = static_cast<SInt32>(state);
  g->lastPortDC = d.currentPortDC;
  return d.lastError;
}

}  // namespace qtzyn
