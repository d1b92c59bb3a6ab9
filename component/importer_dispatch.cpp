// The movie importer ('eat ', 'vzyn'): its selector table, its entry point
// and its standard routines. (Why there is no run-time binder: see
// media_handler_dispatch.cpp.)

#include <array>

#include "component/dispatch_table.h"
#include "component/component_dispatch.h"
#include "component/movie_import.h"
#include "component/viewer_core.h"

namespace qtzyn {
namespace {

ComponentResult ImporterOpen(ImporterGlobalsHandle storage, ComponentInstance self) {
  if (storage != nullptr) return noErr;
  Handle h = NewHandleClear(sizeof(ImporterGlobals));
  if (h == nullptr) return MemError() != noErr ? ComponentResult(MemError()) : ComponentResult(memFullErr);
  auto* globals = reinterpret_cast<ImporterGlobals*>(*h);
  globals->self = self;
  globals->width = kDefaultTrackWidth;
  globals->height = kDefaultTrackHeight;
  SetComponentInstanceStorage(self, h);
  return noErr;
}

ComponentResult ImporterClose(ImporterGlobalsHandle storage, ComponentInstance self) {
  if (storage != nullptr) {
    SetComponentInstanceStorage(self, nullptr);
    DisposeHandle(reinterpret_cast<Handle>(storage));
  }
  ViewerCore* core = ViewerCore::Get();
  if (core != nullptr && core->openInstances < 1) ViewerCore::Destroy();
  return noErr;
}

ComponentResult ImporterCanDo(ImporterGlobalsHandle storage, SInt16 selector);

ComponentResult ImporterVersion(ImporterGlobalsHandle) { return kComponentVersion; }

constexpr int kImporterRangeShift = 7;
constexpr UInt16 kImporterRangeSize = 20;

constexpr DispatchEntry kImporterStandard[kStandardSelectorCount] = {
    kNotImplemented,                // -8 GetMPWorkFunction
    kNotImplemented,                // -7 Unregister
    kNotImplemented,                // -6 Target
    kNotImplemented,                // -5 Register
    RoutineEntry<&ImporterVersion>(),  // -4
    RoutineEntry<&ImporterCanDo>(),    // -3
    RoutineEntry<&ImporterClose>(),    // -2
    RoutineEntry<&ImporterOpen>(),     // -1
};

constexpr std::array<DispatchEntry, kImporterRangeSize> MakeImporterRange0() {
  std::array<DispatchEntry, kImporterRangeSize> entries{};
  for (auto& entry : entries) entry = kNotImplemented;
  entries[kMovieImportFileSelect] = RoutineEntry<&MovieImportFile>();
  entries[kMovieImportDataRefSelect] = RoutineEntry<&MovieImportDataRef>();
  entries[kMovieImportGetMIMETypeListSelect] = RoutineEntry<&MovieImportGetMIMETypeList>();
  return entries;
}
constexpr auto kImporterRange0 = MakeImporterRange0();
constexpr DispatchRange kImporterRanges[] = {{kImporterRangeSize, kImporterRange0.data()}};
constexpr DispatchTable kImporterTable = {kImporterStandard, kImporterRanges, 1, kImporterRangeShift};

ComponentResult ImporterCanDo(ImporterGlobalsHandle, SInt16 selector) {
  ProcInfoType procInfo = 0;
  return EntryImplemented(LookupSelector(kImporterTable, selector, &procInfo)) ? 1 : 0;
}

}  // namespace

ComponentResult ImporterDispatch(ComponentParameters* params, Handle storage) {
  if (params == nullptr) return paramErr;
  ProcInfoType procInfo = 0;
  const DispatchEntry entry = LookupSelector(kImporterTable, params->what, &procInfo);
  return CallEntry(entry, procInfo, storage, params);
}

}  // namespace qtzyn
