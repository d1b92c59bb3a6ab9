#pragma once
// YrEvent: the record handed to the callbacks of the engine's event
// registry (sdk/yr_event_registry.h). Which fields an event fills depends
// on its id.

#include "sdk/yr_take.h"

namespace YrSDK {

enum YrEventId : int {
  // A scene load went on: `percent` (0..100) and `text`, the step.
  kYrEventLoadProgress = 526,
  // A keyboard trigger device received a key: `key` (YrDeviceKeyboardKey),
  // `down`, and `group`, the trigger manager's first active group (-1: none).
  kYrEventTriggerKey = 527,
  // The takes of the engine's scene changed (its "OnTakeChange"), on the
  // thread that changed them: `change` (YrTakeChange) and `take`, the take
  // concerned (for a removed take, valid only until the callback returns).
  kYrEventTakeChange = 528,
};

struct YrEvent {
  int id = 0;
  int percent = 0;
  const char* text = "";
  int key = -1;
  bool down = false;
  int group = -1;
  int change = kYrTakeChangeNone;
  YrTake take;
};

}  // namespace YrSDK
