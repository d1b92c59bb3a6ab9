// Drawing ports: the pixel buffers the component draws into, the current
// port of each thread, rectangles and their matrix transform, the fore
// colour, painting and the pen. The text routines are in host/port_text.h.
//
// A port is an RGBA pixel buffer, 4 bytes a pixel (red, green, blue, alpha),
// rows top-down, `row_bytes` apart. Its device context (GetPortHDC) is the
// address of a PortDrawContext that lives as long as the port and never
// moves, so a blit callback given the device context writes straight into
// the port's pixels.
//
// Every routine is safe with a null port, a disposed port and null
// pointers: such calls do nothing (answering null, 0 or false). A port is
// used by one thread at a time; disposing a port while another thread draws
// into it is the caller's fault.
#pragma once

#include <cstdint>

#include "host/mac_types.h"

// The port record is private to this layer.
struct GrafPort;
using GrafPtr = GrafPort*;
using CGrafPtr = GrafPort*;
// A device context: opaque to the component, a PortDrawContext* here.
using HDC = void*;

// Channel orders of a PortDrawContext (a port's is always RGBA).
constexpr int kPortPixelOrderBGRA = 0;
constexpr int kPortPixelOrderRGBA = 1;

// What a port's device context describes. Its members, in this order and
// with these types, are those of the renderer's draw context
// (YrSDK::YrDrawContext, sdk/yr_ogl_context_wrapper.h), and the pixel
// order values are the same, so a device context from GetPortHDC may be
// handed to the renderer as its destination context. This layer does not
// include the renderer's header; the project's tests check that the two
// layouts match.
struct PortDrawContext {
  std::uint8_t* pixels = nullptr;  // top-left pixel
  int width = 0;
  int height = 0;
  int row_bytes = 0;
  bool top_down = true;
  int order = kPortPixelOrderRGBA;
  bool can_stretch_blit = true;
  bool can_stretch_dib = true;
};

// Largest width or height of a port, in pixels.
constexpr int kMaxPortSide = 8192;

// --- Ports (the player's side) -------------------------------------------------

// A new port of width × height pixels, every pixel opaque black, pen at
// (0, 0), fore colour black, font 0, size 0 (12 points), plain face. Null
// when a side is below 1 or above kMaxPortSide, or memory runs out.
GrafPtr CreatePort(int width, int height);
// Disposes the port; a thread whose current port it was has no current port
// afterwards. Null and disposed ports are ignored.
void DisposePort(GrafPtr port);
// The port's pixel description (the same record GetPortHDC answers), or null.
PortDrawContext* GetPortDrawContext(GrafPtr port);

// --- Ports (framework routines) ------------------------------------------------

// The calling thread's current port (null when none) into *port.
void GetPort(GrafPtr* port);
// Makes `port` the calling thread's current port (null clears it).
void SetPort(GrafPtr port);
// The port's device context (its PortDrawContext), or null.
HDC GetPortHDC(GrafPtr port);

// --- Rectangles ----------------------------------------------------------------

// A point with Fixed coordinates.
struct FixedPoint {
  Fixed x = 0;
  Fixed y = 0;
};

void SetRect(Rect* r, short left, short top, short right, short bottom);
// Whether the pixel at `pt` lies inside `r` (right and bottom edges excluded).
Boolean PtInRect(Point pt, const Rect* r);
// Replaces *r by the bounding box of its four corners transformed by the
// matrix, rounded to whole pixels and clamped to the 16-bit range; the
// transformed corners (top-left, top-right, bottom-right, bottom-left) go to
// fpp[0..3] when given. Answers true when the result is exactly the
// transformed rectangle (no rotation, skew or perspective), false otherwise
// or when a corner cannot be transformed (then *r is unchanged).
Boolean TransformRect(const MatrixRecord* matrix, Rect* r, FixedPoint* fpp);

// --- Colour, painting and the pen (on the current port) ------------------------

// Sets the fore colour that PaintRect and DrawText use.
void RGBForeColor(const RGBColor* color);
// Fills the rectangle, clipped to the port, with the fore colour (opaque;
// each 16-bit component becomes its high byte).
void PaintRect(const Rect* r);
// Moves the pen to (h, v), in port pixels; DrawText starts there.
void MoveTo(short h, short v);
