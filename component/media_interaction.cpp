#include "component/media_interaction.h"

namespace qtzyn {

// Not written yet: answered as a selector without a routine.

ComponentResult MediaHasCharacteristic(MediaGlobalsHandle, OSType, Boolean*) { return badComponentSelector; }

ComponentResult MediaHitTestForTargetRefCon(MediaGlobalsHandle, long, Point, long*) {
  return badComponentSelector;
}

ComponentResult MediaHitTestTargetRefCon(MediaGlobalsHandle, long, long, Point, Boolean*) {
  return badComponentSelector;
}

ComponentResult MediaGetActionsForQTEvent(MediaGlobalsHandle, QTEventRecordPtr, long, QTAtomContainer*,
                                          QTAtom*) {
  return badComponentSelector;
}

ComponentResult MediaRefConSetProperty(MediaGlobalsHandle, long, long, void*) { return badComponentSelector; }

ComponentResult MediaRefConGetProperty(MediaGlobalsHandle, long, long, void*) { return badComponentSelector; }

ComponentResult MediaNavigateTargetRefCon(MediaGlobalsHandle, long, long*) { return badComponentSelector; }

}  // namespace qtzyn
