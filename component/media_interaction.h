// The media handler's interaction routines: characteristics, hit tests,
// events turned into viewer actions, and interaction focus.
#pragma once

#include "component/component_globals.h"
#include "component/framework_records.h"

namespace qtzyn {

// Selectors.
enum : SInt16 {
  kMediaHasCharacteristicSelect = 0x051A,
  kMediaHitTestForTargetRefConSelect = 0x0546,
  kMediaHitTestTargetRefConSelect = 0x0547,
  kMediaGetActionsForQTEventSelect = 0x0548,
  kMediaDisposeTargetRefConSelect = 0x0549,
  kMediaRefConSetPropertySelect = 0x0569,
  kMediaRefConGetPropertySelect = 0x056A,
  kMediaNavigateTargetRefConSelect = 0x056B,
};

ComponentResult MediaHasCharacteristic(MediaGlobalsHandle storage, OSType characteristic, Boolean* hasIt);
ComponentResult MediaHitTestForTargetRefCon(MediaGlobalsHandle storage, long flags, Point loc,
                                            long* targetRefCon);
ComponentResult MediaHitTestTargetRefCon(MediaGlobalsHandle storage, long targetRefCon, long flags, Point loc,
                                         Boolean* wasHit);
ComponentResult MediaGetActionsForQTEvent(MediaGlobalsHandle storage, QTEventRecordPtr event, long targetRefCon,
                                          QTAtomContainer* container, QTAtom* atom);
ComponentResult MediaRefConSetProperty(MediaGlobalsHandle storage, long refCon, long propertyType,
                                       void* propertyValue);
ComponentResult MediaRefConGetProperty(MediaGlobalsHandle storage, long refCon, long propertyType,
                                       void* propertyValue);
ComponentResult MediaNavigateTargetRefCon(MediaGlobalsHandle storage, long navigation, long* refCon);

}  // namespace qtzyn
