#include "component/media_interaction.h"

#include "component/media_drawing_state.h"
#include "component/redraw_count.h"
#include "component/viewer_core.h"
#include "component/viewer_hot_keys.h"
#include "component/viewer_keyboard_hook.h"

namespace qtzyn {
namespace {

// Renderer mouse input.
constexpr int kMousePress = 2;
constexpr int kMouseRelease = 3;
constexpr int kMouseDrag = 4;
constexpr int kMouseButton = 1;
constexpr int kNoExtra = -1;

// The instance's interaction target: the address of its natural rectangle.
long TargetOf(MediaGlobals* g) { return reinterpret_cast<long>(&g->naturalRect); }

// The renderer's modifier for an event's modifier bits: 1 Shift, 2 Ctrl
// (the command key), 3 both.
int MouseModifier(long modifiers) {
  return ((modifiers & shiftKey) != 0 ? 1 : 0) | ((modifiers & cmdKey) != 0 ? 2 : 0);
}

bool InTrack(MediaGlobals* g, Point where) {
  MatrixRecord matrix;
  GetTrackMatrix(g->track, &matrix);
  Rect r = g->naturalRect;
  TransformRect(&matrix, &r, nullptr);
  return PtInRect(where, &r) != 0;
}

// Mouse input moves the camera only once the loader thread is done with the
// scene; the button state is kept either way.
void SendMouse(const QTEventRecord& event, int inputType) {
  ViewerCore* core = ViewerCore::Get();
  if (core == nullptr) return;
  const double x = event.where.h;
  const double y = -static_cast<double>(event.where.v);
  const int modifier = MouseModifier(event.param2);
  if (core->loadState.load() == LoadState::kLoaded) {
    core->MouseInput(x, y, inputType, kMouseButton, modifier, kNoExtra);
  } else {
    core->lastMouse = LastMouseInput{x, y, inputType, kMouseButton, modifier, kNoExtra};
  }
}

}  // namespace

ComponentResult MediaHasCharacteristic(MediaGlobalsHandle, OSType characteristic, Boolean* hasIt) {
  if (hasIt == nullptr) return paramErr;
  if (characteristic == kCharacteristicHasActions || characteristic == kCharacteristicCanFocus) *hasIt = true;
  return noErr;
}

ComponentResult MediaHitTestForTargetRefCon(MediaGlobalsHandle storage, long, Point loc, long* targetRefCon) {
  if (targetRefCon == nullptr) return paramErr;
  MediaGlobals* g = GlobalsOf(storage);
  if (g == nullptr) return badComponentInstance;
  *targetRefCon = InTrack(g, loc) ? TargetOf(g) : 0;
  return noErr;
}

ComponentResult MediaHitTestTargetRefCon(MediaGlobalsHandle storage, long targetRefCon, long, Point loc,
                                         Boolean* wasHit) {
  if (wasHit == nullptr) return paramErr;
  MediaGlobals* g = GlobalsOf(storage);
  if (g == nullptr) return badComponentInstance;
  *wasHit = targetRefCon == TargetOf(g) && InTrack(g, loc);
  return noErr;
}

ComponentResult MediaGetActionsForQTEvent(MediaGlobalsHandle storage, QTEventRecordPtr event, long,
                                          QTAtomContainer* container, QTAtom* atom) {
  if (event == nullptr || container == nullptr || atom == nullptr) return paramErr;
  *container = nullptr;
  *atom = 0;
  MediaGlobals* g = GlobalsOf(storage);
  if (g == nullptr) return badComponentInstance;
  MediaDrawingState& drawing = DrawingState();
  switch (event->eventType) {
    case kQTEventKey: {
      const int character = static_cast<int>(event->param1 & 0xFF);
      // The keyboard hook gives a plain space to the scene's triggers.
      if (g->triggering && character == ' ' && event->param2 == 0) return noErr;
      SetRedrawCount(*g, kRedrawCalls);
      bool handled = false;
      const OSErr err = HandleHotKey(g, character, event->param2, &handled);
      if (err != noErr) return err;
      return handled ? kEventHandledByMediaHandler : noErr;
    }
    case kQTEventMouseClick:
      SendMouse(*event, kMousePress);
      drawing.dragging = true;
      g->softwareWarning = false;
      return noErr;
    case kQTEventMouseClickEnd:
      SetRedrawCount(*g, kRedrawCalls);
      SendMouse(*event, kMouseRelease);
      drawing.dragging = false;
      return kEventHandledByMediaHandler;
    case kQTEventMouseMoved:
      if (drawing.dragging) {
        SetRedrawCount(*g, kRedrawCalls);
        SendMouse(*event, kMouseDrag);
      }
      return noErr;
    default:
      return noErr;
  }
}

ComponentResult MediaRefConSetProperty(MediaGlobalsHandle storage, long refCon, long propertyType,
                                       void* propertyValue) {
  if (propertyType != kRefConPropertyHasFocus) return paramErr;
  MediaGlobals* g = GlobalsOf(storage);
  if (g == nullptr) return badComponentInstance;
  if (refCon != TargetOf(g)) return noErr;
  ViewerCore* core = ViewerCore::GetOrCreate();
  core->Lock();
  g->hasFocus = propertyValue != nullptr;
  if (g->hasFocus) {
    core->focusInstance = storage;
    // Without a hook the keys still come as events; the focus call
    // succeeds either way.
    InstallKeyboardHook(*core);
  } else if (core->focusInstance == storage || core->focusInstance == nullptr) {
    core->focusInstance = nullptr;
    RemoveKeyboardHook(*core);
  }
  core->Unlock();
  return noErr;
}

ComponentResult MediaRefConGetProperty(MediaGlobalsHandle storage, long refCon, long propertyType,
                                       void* propertyValue) {
  if (propertyValue == nullptr || propertyType != kRefConPropertyCanHaveFocus) return paramErr;
  MediaGlobals* g = GlobalsOf(storage);
  if (g == nullptr) return badComponentInstance;
  *static_cast<Boolean*>(propertyValue) = refCon == TargetOf(g);
  return noErr;
}

ComponentResult MediaNavigateTargetRefCon(MediaGlobalsHandle storage, long, long* refCon) {
  if (refCon == nullptr) return paramErr;
  MediaGlobals* g = GlobalsOf(storage);
  if (g == nullptr) return badComponentInstance;
  if (*refCon == TargetOf(g)) {
    *refCon = 0;
  } else if (*refCon == 0) {
    *refCon = TargetOf(g);
  } else {
    return paramErr;
  }
  return noErr;
}

}  // namespace qtzyn
