// The framework's records and constants of the media-handler calls: what a
// player hands a media handler at initialisation, with the movie time of an
// idle call and with an event, and the flags and property numbers those
// calls use. Values are the framework's own.
#pragma once

#include <cstdint>

#include "host/mac_types.h"
#include "host/movies.h"
#include "host/ports.h"

struct TimeBaseRecord;
using TimeBase = TimeBaseRecord*;
using QTAtomContainer = Handle;
using QTAtom = long;

// MediaInitialize: the track the handler draws, its media and movie, their
// time scales and durations, the track's size and matrix and the movie's
// port. A player fills every field it knows and leaves the others zero.
struct GetMovieCompleteParams {
  SInt16 version = 0;
  Movie theMovie = nullptr;
  Track theTrack = nullptr;
  Media theMedia = nullptr;
  TimeScale movieScale = 0;
  TimeScale mediaScale = 0;
  TimeValue movieDuration = 0;
  TimeValue trackDuration = 0;
  TimeValue mediaDuration = 0;
  Fixed effectiveRate = 0;
  TimeBase timeBase = nullptr;
  SInt16 volume = 0;
  Fixed width = 0;   // track width
  Fixed height = 0;  // track height
  MatrixRecord trackMovieMatrix;
  CGrafPtr moviePort = nullptr;
  void* movieGD = nullptr;
  Handle trackMatte = nullptr;
  QTAtomContainer inputMap = nullptr;
  long mediaContextID = 0;
};

// A time in a time scale (MediaIdle's movie time).
struct TimeRecord {
  std::int64_t value = 0;
  TimeScale scale = 0;
  TimeBase base = nullptr;
};

// An event handed to MediaGetActionsForQTEvent. `where` is in track
// coordinates. For every kind param2 holds the modifiers (below); for a
// 'key ' event param1 holds the character code (0-255).
struct QTEventRecord {
  long version = 2;
  OSType eventType = 0;
  Point where;
  long flags = 0;
  long payloadRefcon = 0;
  long param1 = 0;  // 'key ': the character code
  long param2 = 0;  // the modifiers
  long param3 = 0;
};
using QTEventRecordPtr = QTEventRecord*;

// Event kinds.
constexpr OSType kQTEventKey = FOUR_CHAR_CODE("key ");
constexpr OSType kQTEventMouseClick = FOUR_CHAR_CODE("clik");
constexpr OSType kQTEventMouseClickEnd = FOUR_CHAR_CODE("cend");
constexpr OSType kQTEventMouseMoved = FOUR_CHAR_CODE("move");

// Event modifiers. btnState is set while no modifier key is down, so a key
// typed alone carries exactly 0x80.
enum : long {
  btnState = 0x0080,
  cmdKey = 0x0100,    // Ctrl on the original platform
  shiftKey = 0x0200,
  alphaLock = 0x0400,  // Caps Lock
  optionKey = 0x0800,
  controlKey = 0x1000,
};

// MediaIdle input flags.
enum : long {
  mMustDraw = 1L << 3,
  mAtEnd = 1L << 4,
  mPreflightDraw = 1L << 5,
  mSyncDrawing = 1L << 6,
};
// MediaIdle output flags.
enum : long {
  mDidDraw = 1L << 0,
  mNeedsToDraw = 1L << 2,
};

// Answer of MediaGetActionsForQTEvent for an event the handler consumed.
constexpr ComponentResult kEventHandledByMediaHandler = -2129;

// Media characteristics asked with MediaHasCharacteristic.
constexpr OSType kCharacteristicHasActions = FOUR_CHAR_CODE("actn");
constexpr OSType kCharacteristicCanFocus = FOUR_CHAR_CODE("keyf");

// Target reference properties (MediaRefConSetProperty / GetProperty).
enum : long {
  kRefConPropertyCanHaveFocus = 1,
  kRefConPropertyHasFocus = 2,
};

// Media handler capability flags (MediaSetHandlerCapabilities).
enum : long {
  handlerHasSpatial = 1L << 0,
  handlerCanClip = 1L << 1,
  handlerCanMatte = 1L << 2,
  handlerCanTransferMode = 1L << 3,
  handlerNeedsBuffer = 1L << 4,
  handlerNoIdle = 1L << 5,
  handlerNoScheduler = 1L << 6,
  handlerWantsTime = 1L << 7,
  handlerCGrafPortOnly = 1L << 8,
};
