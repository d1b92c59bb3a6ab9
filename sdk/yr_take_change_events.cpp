#include "sdk/bridge/yr_take_change_events.h"

#include <cstdint>

#include "animation/take_list.h"
#include "scene/scene.h"
#include "sdk/yr_event.h"
#include "sdk/yr_event_registry.h"

namespace YrSDK {
namespace {

void OnTakeChange(void* /*target*/, int code, VEventData* data, std::intptr_t /*value*/) {
  if (!YrEventRegistry::HasListeners(kYrEventTakeChange)) return;
  YrEvent event;
  event.id = kYrEventTakeChange;
  event.change = code;
  if (data != nullptr) event.take = YrTake(static_cast<VTakeChangeData*>(data)->take);
  YrEventRegistry::Fire(event);
}

}  // namespace

void YrAnnounceTakeChanges(VScene& scene) {
  VEventBase& changes = scene.takes().OnTakeChange();
  if (!changes.Contains(&scene, &OnTakeChange)) changes.Add(&scene, &OnTakeChange);
}

}  // namespace YrSDK
