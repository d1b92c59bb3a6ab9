// The instance storage of the two components: one cleared handle each,
// allocated at Open and disposed at Close. The records are sized by their
// own structs (a 32-bit build of the original layout gives 4116 and 124
// bytes; pointers make them larger here).
#pragma once

#include "host/component_manager.h"
#include "host/data_references.h"
#include "host/handles.h"
#include "host/mac_types.h"
#include "host/movies.h"
#include "host/ports.h"

namespace qtzyn {

// Track size of an import before the scene is scanned, in pixels.
constexpr SInt32 kDefaultTrackWidth = 500;
constexpr SInt32 kDefaultTrackHeight = 280;

// Version answered by both components.
constexpr ComponentResult kComponentVersion = 0x00010001;

struct ImporterGlobals {
  ComponentInstance self;
  char path[kMaxNativePath];  // native path of the file being imported; empty until MovieImportFile
  SInt32 width;               // track width in pixels
  SInt32 height;              // track height in pixels
  SInt32 duration;            // the sample's length in 1/60 s
};
using ImporterGlobalsHandle = ImporterGlobals**;

struct MediaGlobals {
  ComponentInstance self;
  ComponentInstance delegate;  // the base media handler opened for this instance
  ComponentInstance target;    // the instance last named as target
  Fixed width;                 // track dimensions
  Fixed height;
  SInt32 pixelWidth;           // drawing rectangle at the last OpenGL set-up
  SInt32 pixelHeight;
  MatrixRecord matrix;         // track-to-movie matrix
  Rect naturalRect;            // its address is the instance's interaction target
  SInt32 redrawCount;          // idle calls that still draw when nothing changed
  Rect drawRect;               // the track rectangle transformed by the matrix
  HDC portDC;                  // the port's device context at the last OpenGL set-up
  Media media;
  Track track;
  Movie movie;
  bool showInfo;
  bool showHelp;
  bool softwareWarning;
  bool freeRunning;
  bool lightsOn;
  bool* savedLights;           // one saved on/off flag per scene light (new[])
  SInt32 savedLightCount;      // flags in savedLights
  bool hasFocus;
  bool triggering;
  HDC lastPortDC;              // the port's device context at the previous idle call
  SInt32 instanceId;           // from the module-wide counter, 1 for the first instance
  SInt32 bufferWidth;          // the offscreen buffer's size as allocated (0: none); pixelWidth and
  SInt32 bufferHeight;         // pixelHeight follow MediaSetDimensions before the buffer does
};
using MediaGlobalsHandle = MediaGlobals**;

// The record behind a storage handle, or null when the handle is not a live
// one of at least the record's size.
template <typename Globals>
Globals* GlobalsOf(Globals** storage) {
  Handle h = reinterpret_cast<Handle>(storage);
  if (h == nullptr || GetHandleSize(h) < static_cast<Size>(sizeof(Globals))) return nullptr;
  return *storage;
}

}  // namespace qtzyn
