// Text in drawing ports: font numbers by name, the current port's font, size
// and face, drawing at the pen and measuring; and an observer that sees every
// DrawText call of a port (the player records them).
//
// Fonts come from fontconfig and are rendered with FreeType. A font number
// stands for the family name GetFNum was given ("Helvetica" is matched by
// fontconfig's own substitutions); font 0 and names fontconfig cannot match
// draw with a sans-serif font. Sizes are pixels (points at 72 dpi); size 0
// is 12. Of the face bits, bold selects a bold font (or emboldens the
// glyphs when the family has none) and condense a condensed one (or narrows
// the glyphs to 80 % when the family has none); the others are kept and
// reported but do not change the drawing.
//
// Text is bytes, one character a byte, read as Latin-1. Without a usable
// font, nothing is drawn and widths are 0; nothing here fails loudly.
#pragma once

#include <string>

#include "host/mac_types.h"
#include "host/ports.h"

// The font number for a family name (a length-prefixed string) into
// *familyID. The same name (ignoring case) always answers the same nonzero
// number in the process; an empty name answers 0 (the system font).
void GetFNum(ConstStringPtr name, short* familyID);

// The current port's font number, size and face.
void TextFont(short font);
void TextSize(short size);
void TextFace(short face);

// Draws byteCount bytes of textBuf from firstByte at the current port's pen
// (the baseline at the pen's v), blending the glyphs in the fore colour into
// the port's pixels, clipped to the port; the pen then moves right by the
// text's width. Negative counts or offsets draw nothing.
void DrawText(const void* textBuf, short firstByte, short byteCount);
// The width in pixels that DrawText would move the pen by, in the current
// port's font, size and face; 0 without a port.
short TextWidth(const void* textBuf, short firstByte, short byteCount);

// One DrawText call as the port saw it, before drawing.
struct PortTextCall {
  std::string text;   // the bytes drawn
  int x = 0;          // the pen at the call
  int y = 0;
  short fontNumber = 0;
  std::string font;   // the family name GetFNum was given for fontNumber ("" when none)
  int size = 0;       // the port's size as set (0 when never set)
  int face = 0;       // the port's face bits as set
  RGBColor color;     // the fore colour, components 0–65535
};

// Called once for every DrawText call on the port, on the drawing thread.
using PortTextObserver = void (*)(GrafPtr port, const PortTextCall& call, void* user);

// Installs (or, with a null observer, removes) the port's text observer.
void SetPortTextObserver(GrafPtr port, PortTextObserver observer, void* user);
