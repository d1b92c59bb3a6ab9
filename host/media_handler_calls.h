// The framework's calls into a media handler, as a player makes them: each
// one sends its selector with its arguments to the handler instance (see
// HostComponentCall). The names carry a "Call" prefix so that they never
// meet a handler's own routines of the same framework names.
#pragma once

#include "host/component_manager.h"
#include "host/mac_types.h"
#include "host/media_handler_records.h"
#include "host/movies.h"

// Selectors of the media handler calls.
enum class MediaHandlerSelect : SInt16 {
  kInitialize = 0x0501,
  kIdle = 0x0503,
  kSetDimensions = 0x050D,
  kSetMatrix = 0x050F,
  kHasCharacteristic = 0x051A,
  kGetName = 0x051D,
  kHitTestForTargetRefCon = 0x0546,
  kHitTestTargetRefCon = 0x0547,
  kGetActionsForQTEvent = 0x0548,
  kDisposeTargetRefCon = 0x0549,
  kRefConSetProperty = 0x0569,
  kRefConGetProperty = 0x056A,
  kNavigateTargetRefCon = 0x056B,
};

// Opens the media handler of the media's type ('mhlr', subtype = the media
// type). invalidMedia for a media that is not live, cantOpenHandler when no
// handler of that type is registered or it refuses to open.
OSErr OpenMediaHandlerForMedia(Media media, ComponentInstance* handler);

ComponentResult CallMediaInitialize(ComponentInstance mh, GetMovieCompleteParams* gmc);
ComponentResult CallMediaIdle(ComponentInstance mh, TimeValue atMediaTime, long flagsIn, long* flagsOut,
                              const TimeRecord* movieTime);
ComponentResult CallMediaSetDimensions(ComponentInstance mh, Fixed width, Fixed height);
ComponentResult CallMediaSetMatrix(ComponentInstance mh, MatrixRecord* trackMovieMatrix);
ComponentResult CallMediaGetName(ComponentInstance mh, StringPtr name, long requestedLanguage,
                                 long* actualLanguage);
ComponentResult CallMediaHasCharacteristic(ComponentInstance mh, OSType characteristic, Boolean* hasIt);
ComponentResult CallMediaHitTestForTargetRefCon(ComponentInstance mh, long flags, Point loc, long* targetRefCon);
ComponentResult CallMediaGetActionsForQTEvent(ComponentInstance mh, QTEventRecordPtr event, long targetRefCon,
                                              QTAtomContainer* container, QTAtom* atom);
// The property value is the argument itself: for kRefConPropertyHasFocus,
// non-zero gives focus and zero takes it.
ComponentResult CallMediaRefConSetProperty(ComponentInstance mh, long refCon, long propertyType,
                                           void* propertyValue);
ComponentResult CallMediaRefConGetProperty(ComponentInstance mh, long refCon, long propertyType,
                                           void* propertyValue);
ComponentResult CallMediaNavigateTargetRefCon(ComponentInstance mh, long navigation, long* refCon);
