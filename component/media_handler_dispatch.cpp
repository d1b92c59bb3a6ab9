// The media handler ('mhlr', 'vzyn'): its selector table, its entry point
// and its standard routines. Selectors without a routine go to the base
// media handler that each instance opens as its delegate.
//
// The library is built against our own framework layer, which stands in the
// framework's place and is linked directly: the library needs no run-time
// binder that finds and binds the framework's library (for either
// component), and no operating-system version check in Open, and has
// neither.

#include <array>
#include <atomic>

#include "component/dispatch_table.h"
#include "component/component_dispatch.h"
#include "component/media_interaction.h"
#include "component/media_playback.h"
#include "component/viewer_core.h"

namespace qtzyn {
namespace {

// Instance ids: 1 for the first media handler instance of the module's life.
// Atomic, so that instances opened on two threads never share an id.
std::atomic<SInt32> g_nextInstanceId{1};

ComponentResult MediaTarget(MediaGlobalsHandle storage, ComponentInstance target) {
  MediaGlobals* globals = GlobalsOf(storage);
  if (globals == nullptr) return badComponentInstance;
  globals->target = target;
  ComponentSetTarget(globals->delegate, target);
  return noErr;
}

ComponentResult MediaOpen(MediaGlobalsHandle storage, ComponentInstance self) {
  ViewerCore* core = ViewerCore::GetOrCreate();
  SInt32 instanceId = 0;
  if (storage == nullptr) {
    Handle h = NewHandleClear(sizeof(MediaGlobals));
    if (h == nullptr) return MemError() != noErr ? ComponentResult(MemError()) : ComponentResult(memFullErr);
    SetComponentInstanceStorage(self, h);
    auto* globals = reinterpret_cast<MediaGlobals*>(*h);
    globals->self = self;
    globals->instanceId = g_nextInstanceId++;
    instanceId = globals->instanceId;
    if (OpenADefaultComponent(MediaHandlerType, kBaseMediaHandlerSubType, &globals->delegate) != noErr ||
        globals->delegate == nullptr) {
      // The storage is detached before it goes, so that the Close that
      // follows a failed Open finds none and disposes nothing a second time.
      SetComponentInstanceStorage(self, nullptr);
      DisposeHandle(h);
      return cantOpenHandler;
    }
    globals->target = self;
    MediaTarget(reinterpret_cast<MediaGlobalsHandle>(h), self);
  } else if (MediaGlobals* globals = GlobalsOf(storage)) {
    instanceId = globals->instanceId;
  }
  core->OpenInstance(instanceId);
  return noErr;
}

ComponentResult MediaClose(MediaGlobalsHandle storage, ComponentInstance self) {
  MediaGlobals* globals = GlobalsOf(storage);
  if (globals == nullptr) return noErr;
  if (ViewerCore* core = ViewerCore::Get()) core->CloseInstance(globals);  // may destroy the core
  if (globals->delegate != nullptr) CloseComponent(globals->delegate);
  SetComponentInstanceStorage(self, nullptr);
  DisposeHandle(reinterpret_cast<Handle>(storage));
  return noErr;
}

ComponentResult MediaCanDo(MediaGlobalsHandle storage, SInt16 selector);

ComponentResult MediaVersion(MediaGlobalsHandle) { return kComponentVersion; }

constexpr int kMediaRangeShift = 8;
constexpr UInt16 kMediaRangeCount = 6;
constexpr int kMediaSelectorsRange = 5;  // selectors 0x500 to 0x56D
constexpr UInt16 kMediaRangeSize = 110;

constexpr DispatchEntry kMediaStandard[kStandardSelectorCount] = {
    kNoRoutine,                       // -8 GetMPWorkFunction: delegated
    kNotImplemented,                  // -7 Unregister
    RoutineEntry<&MediaTarget>(),     // -6
    kNotImplemented,                  // -5 Register
    RoutineEntry<&MediaVersion>(),    // -4
    RoutineEntry<&MediaCanDo>(),      // -3
    RoutineEntry<&MediaClose>(),      // -2
    RoutineEntry<&MediaOpen>(),       // -1
};

constexpr std::size_t MediaIndex(SInt16 selector) {
  return static_cast<std::size_t>(selector) & ((1u << kMediaRangeShift) - 1u);
}

constexpr std::array<DispatchEntry, kMediaRangeSize> MakeMediaRange5() {
  std::array<DispatchEntry, kMediaRangeSize> entries{};  // every other selector: delegated
  entries[MediaIndex(kMediaInitializeSelect)] = RoutineEntry<&MediaInitialize>();
  entries[MediaIndex(kMediaIdleSelect)] = RoutineEntry<&MediaIdle>();
  entries[MediaIndex(kMediaSetDimensionsSelect)] = RoutineEntry<&MediaSetDimensions>();
  entries[MediaIndex(kMediaSetMatrixSelect)] = RoutineEntry<&MediaSetMatrix>();
  entries[MediaIndex(kMediaHasCharacteristicSelect)] = RoutineEntry<&MediaHasCharacteristic>();
  entries[MediaIndex(kMediaGetNameSelect)] = RoutineEntry<&MediaGetName>();
  entries[MediaIndex(kMediaHitTestForTargetRefConSelect)] = RoutineEntry<&MediaHitTestForTargetRefCon>();
  entries[MediaIndex(kMediaHitTestTargetRefConSelect)] = RoutineEntry<&MediaHitTestTargetRefCon>();
  entries[MediaIndex(kMediaGetActionsForQTEventSelect)] = RoutineEntry<&MediaGetActionsForQTEvent>();
  entries[MediaIndex(kMediaDisposeTargetRefConSelect)] = kNoErrorRoutine;
  entries[MediaIndex(kMediaRefConSetPropertySelect)] = RoutineEntry<&MediaRefConSetProperty>();
  entries[MediaIndex(kMediaRefConGetPropertySelect)] = RoutineEntry<&MediaRefConGetProperty>();
  entries[MediaIndex(kMediaNavigateTargetRefConSelect)] = RoutineEntry<&MediaNavigateTargetRefCon>();
  return entries;
}
constexpr auto kMediaRange5 = MakeMediaRange5();
constexpr DispatchRange kMediaRanges[kMediaRangeCount] = {
    {}, {}, {}, {}, {}, {kMediaRangeSize, kMediaRange5.data()}};
static_assert(kMediaSelectorsRange == (kMediaInitializeSelect >> kMediaRangeShift), "media selectors lie in range 5");
constexpr DispatchTable kMediaTable = {kMediaStandard, kMediaRanges, kMediaRangeCount, kMediaRangeShift};

ComponentResult MediaCanDo(MediaGlobalsHandle storage, SInt16 selector) {
  ProcInfoType procInfo = 0;
  if (EntryImplemented(LookupSelector(kMediaTable, selector, &procInfo))) return 1;
  MediaGlobals* globals = GlobalsOf(storage);
  if (globals == nullptr || globals->delegate == nullptr) return 0;
  return ComponentFunctionImplemented(globals->delegate, selector);
}

}  // namespace

ComponentResult MediaHandlerDispatch(ComponentParameters* params, Handle storage) {
  if (params == nullptr) return paramErr;
  ProcInfoType procInfo = 0;
  const DispatchEntry entry = LookupSelector(kMediaTable, params->what, &procInfo);
  if (entry.kind == RoutineKind::kNoRoutine) {
    // No routine here: the base media handler answers. Without storage (a
    // call before Open, or after a failed one) there is no delegate to ask.
    MediaGlobals* globals = GlobalsOf(reinterpret_cast<MediaGlobalsHandle>(storage));
    if (globals == nullptr || globals->delegate == nullptr) return badComponentSelector;
    return DelegateComponentCall(params, globals->delegate);
  }
  return CallEntry(entry, procInfo, storage, params);
}

}  // namespace qtzyn
