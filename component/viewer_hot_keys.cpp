#include "component/viewer_hot_keys.h"

#include <cmath>
#include <limits>
#include <vector>

#include "component/framework_records.h"
#include "component/viewer_core.h"
#include "host/movies.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_system.h"
#include "sdk/yr_trigger_manager.h"

namespace qtzyn {

const HotKey kHotKeys[kHotKeyCount] = {
    {'a', "   - Toggle Axis: ' a '"},
    {'c', "   - Cycle Camera: ' c '"},
    {'d', "   - Cycle Display Mode: ' d '"},
    {'f', "   - Frame All Models: ' f '"},
    {'g', "   - Toggle Grid: ' g '"},
    {'h', "   - Toggle That Help Menu: ' h '"},
    {'i', "   - Toggle Information: ' i '"},
    {'k', "   - Toggle Keyboard Triggering: ' k '"},
    {'l', "   - Toggle Lights: ' l '"},
    {'r', "   - Toggle Free Running: ' r '"},
    {'t', "   - Cycle Take: ' t '"},
    {'v', "   - Cycle Viewing Mode: ' v '"},
};

namespace {

constexpr int kDisplayModeCount = 5;  // "Default" to "Textured"
constexpr int kViewingModeCount = 3;  // "Normal" to "Models Only"
constexpr double kMediaUnitsPerSecond = 60.0;
constexpr double kMovieUnitsPerMediaUnit = 10.0;  // 600 / 60

const char* const kAxisDisplay = "ViewShowAxis";
const char* const kGridDisplay = "ViewShowGrid";

// The camera the viewer shows: the renderer's "CurrentCamera", or the
// camera it renders through when none is named.
YrSDK::YrComponent ShownCamera(YrSDK::YrRenderer& renderer) {
  YrSDK::YrComponent current = renderer.GetCurrentCamera();
  return current.IsValid() ? current : renderer.GetRenderCamera();
}

void SetEveryCameraSwitch(const std::vector<YrSDK::YrComponent>& cameras, const char* name, bool on) {
  for (const YrSDK::YrComponent& camera : cameras) camera.FindProperty(name).SetInt(on ? 1 : 0);
}

void ToggleAxis(YrSDK::YrRenderer& renderer) {
  const bool shown = ShownCamera(renderer).FindProperty(kAxisDisplay).AsInt() != 0;
  SetEveryCameraSwitch(YrSDK::YrSystem().GetCameras(), kAxisDisplay, !shown);
}

void ToggleGrid(YrSDK::YrRenderer& renderer) {
  const std::vector<YrSDK::YrComponent> cameras = YrSDK::YrSystem().GetCameras();
  YrSDK::YrProperty grid = ShownCamera(renderer).FindProperty(kGridDisplay);
  for (std::size_t i = 0; !grid.IsValid() && i < cameras.size(); ++i) grid = cameras[i].FindProperty(kGridDisplay);
  const bool shown = grid.IsValid() ? grid.AsInt() != 0 : true;
  SetEveryCameraSwitch(cameras, kGridDisplay, !shown);
}

void CycleCamera(YrSDK::YrRenderer& renderer) {
  const std::vector<YrSDK::YrComponent> cameras = YrSDK::YrSystem().GetCameras();
  if (cameras.empty()) return;
  const YrSDK::YrComponent current = renderer.GetCurrentCamera();
  std::size_t index = cameras.size();
  for (std::size_t i = 0; i < cameras.size(); ++i) {
    if (cameras[i] == current) index = i;
  }
  renderer.SetCurrentCamera(cameras[(index + 1) % cameras.size()]);
}

void CycleDisplayMode(YrSDK::YrRenderer& renderer) {
  YrSDK::YrViewingOptions options = renderer.GetViewingOptions();
  // "Default" is never reached again: the key cycles the four model modes.
  options.DisplayWhat = (options.DisplayWhat + 1) % kDisplayModeCount;
  if (options.DisplayWhat <= 0) options.DisplayWhat = 1;
  renderer.SetViewingOptions(options);
}

void CycleViewingMode(YrSDK::YrRenderer& renderer) {
  YrSDK::YrViewingOptions options = renderer.GetViewingOptions();
  options.PickingMode = (options.PickingMode + 1) % kViewingModeCount;
  if (options.PickingMode < 0) options.PickingMode = 0;
  renderer.SetViewingOptions(options);
}

void SwitchLights(const MediaGlobals& globals) {
  const std::vector<YrSDK::YrComponent> lights = YrSDK::YrSystem().GetLights();
  // The flags were saved from this same list after loading; a count left
  // unset means one flag per light.
  std::size_t saved_count = 0;
  if (globals.savedLights != nullptr) {
    saved_count = globals.savedLightCount > 0 ? static_cast<std::size_t>(globals.savedLightCount) : lights.size();
  }
  for (std::size_t i = 0; i < lights.size(); ++i) {
    // A light the saved flags do not cover counts as on.
    const bool saved = i >= saved_count || globals.savedLights[i];
    lights[i].FindProperty("CastLightOnObject").SetInt(globals.lightsOn && saved ? 1 : 0);
  }
}

// The movie plays the current take: its active segment becomes the take's
// length in movie units.
void CycleTake(const MediaGlobals& globals) {
  YrSDK::YrSystem system;
  const int count = system.GetTakeCount();
  if (count > 1) {
    const YrSDK::YrTake current = system.GetCurrentTake();
    int index = count - 1;  // a current take outside the list: the first one follows
    for (int i = 0; i < count; ++i) {
      if (system.GetTake(i) == current) index = i;
    }
    system.SetCurrentTake(system.GetTake((index + 1) % count));
  }
  const YrSDK::YrTake take = system.GetCurrentTake();
  if (!take.IsValid() || globals.movie == nullptr) return;
  const double seconds = take.GetLocalTimeSpan().GetDuration().GetSecondDouble();
  // A damaged take may be longer than a movie time holds.
  double units = (std::ceil(seconds * kMediaUnitsPerSecond) + 1.0) * kMovieUnitsPerMediaUnit;
  if (!std::isfinite(units) || units > std::numeric_limits<TimeValue>::max()) {
    units = std::numeric_limits<TimeValue>::max();
  }
  if (units < 1.0) {
    SetMovieActiveSegment(globals.movie, -1, 0);
  } else {
    SetMovieActiveSegment(globals.movie, 0, static_cast<TimeValue>(units));
  }
  UpdateMovie(globals.movie);
}

// The keyboard hook reads the flag on its own thread, under the core's
// lock; the engine's trigger manager follows it.
void ToggleTriggering(MediaGlobals& globals, ViewerCore* core) {
  if (core == nullptr) {
    globals.triggering = !globals.triggering;
    return;
  }
  core->Lock();
  globals.triggering = !globals.triggering;
  const bool on = globals.triggering;
  core->Unlock();
  if (core->loadState.load() == LoadState::kLoaded) YrSDK::YrTriggerManager().FindProperty("Active").SetInt(on ? 1 : 0);
}

bool IsHotKey(int lower) {
  for (const HotKey& k : kHotKeys) {
    if (k.key == lower) return true;
  }
  return false;
}

// Keys the scene's triggers take while keyboard triggering is on: Home,
// End, Page Up, Page Down, Return, Escape, the arrows, space, the digits and
// one more code.
bool IsTriggerCharacter(int c) {
  return c == 1 || c == 4 || c == 11 || c == 12 || c == 13 || c == 27 || (c >= 28 && c <= 32) ||
         (c >= '0' && c <= '9') || c == 202;
}

// Runs a hot key that changes the engine's scene or view.
void RunEngineKey(MediaGlobals& globals, int lower, YrSDK::YrRenderer& renderer) {
  switch (lower) {
    case 'a': ToggleAxis(renderer); break;
    case 'c': CycleCamera(renderer); break;
    case 'd': CycleDisplayMode(renderer); break;
    case 'f': renderer.FrameCurrentCameraWithModels(true); break;
    case 'g': ToggleGrid(renderer); break;
    case 'l': SwitchLights(globals); break;
    case 't': CycleTake(globals); break;
    case 'v': CycleViewingMode(renderer); break;
    default: break;
  }
}

}  // namespace

OSErr HandleHotKey(MediaGlobals* globals, int character, long modifiers, bool* handled) {
  if (handled == nullptr || globals == nullptr) return paramErr;
  *handled = false;
  if (modifiers != btnState && (modifiers & alphaLock) == 0) return noErr;
  const int lower = character >= 'A' && character <= 'Z' ? character - 'A' + 'a' : character;
  if (IsHotKey(lower)) {
    *handled = true;
    switch (lower) {
      case 'h': globals->showHelp = !globals->showHelp; break;
      case 'i': globals->showInfo = !globals->showInfo; break;
      case 'r': globals->freeRunning = !globals->freeRunning; break;
      case 'l': globals->lightsOn = !globals->lightsOn; break;
      default: break;
    }
    ViewerCore* core = ViewerCore::Get();
    if (lower == 'k') ToggleTriggering(*globals, core);
    // The engine's scene is touched only once the loader thread is done
    // with it, and only for the instance that shows it.
    if (core != nullptr && core->loadState.load() == LoadState::kLoaded &&
        core->activeInstanceId == globals->instanceId) {
      YrSDK::YrRenderer& renderer = core->Renderer();
      if (renderer.IsValid()) RunEngineKey(*globals, lower, renderer);
    }
  }
  if (globals->triggering && IsTriggerCharacter(character)) *handled = true;
  return noErr;
}

}  // namespace qtzyn
