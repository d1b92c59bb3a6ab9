#pragma once
// YrEvent: the record handed to the callbacks of the engine's event
// registry (sdk/yr_event_registry.h). Which fields an event fills depends
// on its id.

namespace YrSDK {

enum YrEventId : int {
  // A scene load went on: `percent` (0..100) and `text`, the step.
  kYrEventLoadProgress = 526,
  // A keyboard trigger device received a key: `key` (YrDeviceKeyboardKey),
  // `down`, and `group`, the trigger manager's first active group (-1: none).
  kYrEventTriggerKey = 527,
};

struct YrEvent {
  int id = 0;
  int percent = 0;
  const char* text = "";
  int key = -1;
  bool down = false;
  int group = -1;
};

}  // namespace YrSDK
