#include "host/media_handler_calls.h"

namespace {

template <typename... Args>
ComponentResult Send(ComponentInstance mh, MediaHandlerSelect what, Args... args) {
  return HostComponentCall(mh, static_cast<SInt16>(what), args...);
}

}  // namespace

OSErr OpenMediaHandlerForMedia(Media media, ComponentInstance* handler) {
  if (handler == nullptr) return paramErr;
  *handler = nullptr;
  OSType mediaType = 0;
  GetMediaHandlerDescription(media, &mediaType, nullptr, nullptr);
  if (GetMoviesError() != noErr || mediaType == 0) return invalidMedia;
  ComponentInstance opened = nullptr;
  if (OpenADefaultComponent(MediaHandlerType, mediaType, &opened) != noErr || opened == nullptr) {
    return cantOpenHandler;
  }
  *handler = opened;
  return noErr;
}

ComponentResult CallMediaInitialize(ComponentInstance mh, GetMovieCompleteParams* gmc) {
  return Send(mh, MediaHandlerSelect::kInitialize, gmc);
}

ComponentResult CallMediaIdle(ComponentInstance mh, TimeValue atMediaTime, long flagsIn, long* flagsOut,
                              const TimeRecord* movieTime) {
  return Send(mh, MediaHandlerSelect::kIdle, atMediaTime, flagsIn, flagsOut, movieTime);
}

ComponentResult CallMediaSetDimensions(ComponentInstance mh, Fixed width, Fixed height) {
  return Send(mh, MediaHandlerSelect::kSetDimensions, width, height);
}

ComponentResult CallMediaSetMatrix(ComponentInstance mh, MatrixRecord* trackMovieMatrix) {
  return Send(mh, MediaHandlerSelect::kSetMatrix, trackMovieMatrix);
}

ComponentResult CallMediaGetName(ComponentInstance mh, StringPtr name, long requestedLanguage,
                                 long* actualLanguage) {
  return Send(mh, MediaHandlerSelect::kGetName, name, requestedLanguage, actualLanguage);
}

ComponentResult CallMediaHasCharacteristic(ComponentInstance mh, OSType characteristic, Boolean* hasIt) {
  return Send(mh, MediaHandlerSelect::kHasCharacteristic, characteristic, hasIt);
}

ComponentResult CallMediaHitTestForTargetRefCon(ComponentInstance mh, long flags, Point loc, long* targetRefCon) {
  return Send(mh, MediaHandlerSelect::kHitTestForTargetRefCon, flags, loc, targetRefCon);
}

ComponentResult CallMediaGetActionsForQTEvent(ComponentInstance mh, QTEventRecordPtr event, long targetRefCon,
                                              QTAtomContainer* container, QTAtom* atom) {
  return Send(mh, MediaHandlerSelect::kGetActionsForQTEvent, event, targetRefCon, container, atom);
}

ComponentResult CallMediaRefConSetProperty(ComponentInstance mh, long refCon, long propertyType,
                                           void* propertyValue) {
  return Send(mh, MediaHandlerSelect::kRefConSetProperty, refCon, propertyType, propertyValue);
}

ComponentResult CallMediaRefConGetProperty(ComponentInstance mh, long refCon, long propertyType,
                                           void* propertyValue) {
  return Send(mh, MediaHandlerSelect::kRefConGetProperty, refCon, propertyType, propertyValue);
}

ComponentResult CallMediaNavigateTargetRefCon(ComponentInstance mh, long navigation, long* refCon) {
  return Send(mh, MediaHandlerSelect::kNavigateTargetRefCon, navigation, refCon);
}
