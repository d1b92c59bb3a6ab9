// Framework records that the importer's and the media handler's routines
// take by pointer and that the framework layer does not describe yet. They
// are declared here only as far as the selector signatures need them.
#pragma once

#include "host/mac_types.h"

struct GetMovieCompleteParams;  // MediaInitialize: the track, its media and movie
struct TimeRecord;              // MediaIdle: the movie time
struct QTEventRecord;           // MediaGetActionsForQTEvent: the event
using QTEventRecordPtr = QTEventRecord*;
using QTAtomContainer = Handle;
using QTAtom = long;
