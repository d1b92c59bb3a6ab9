#pragma once
// YrEventRegistry: process-wide callbacks by event id (sdk/yr_event.h).
//
// Any thread may register, unregister and fire. A firing holds the
// registry's shared lock while it calls the callbacks, so once Unregister
// returns the callback is not running and will not run again; for the same
// reason a callback must not register or unregister anything itself.

#include "sdk/yr_event.h"

namespace YrSDK {

using YrEventCallback = void (*)(const YrEvent& event, void* user);

class YrEventRegistry {
 public:
  // False when the same callback and user are already registered for the id.
  static bool Register(int eventId, YrEventCallback callback, void* user);
  // False when they were not registered.
  static bool Unregister(int eventId, YrEventCallback callback, void* user);
  // Calls every callback registered for event.id, in registration order.
  static void Fire(const YrEvent& event);
  // Whether anything listens to the id (lets a hot path skip its record).
  static bool HasListeners(int eventId);
};

}  // namespace YrSDK
