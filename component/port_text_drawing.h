// The text calls the media handler's text layer makes on the current port:
// one line in a size, face and colour, at a place or centred in a
// rectangle. Sizes are given as the base size plus an offset, as the layer
// is laid out.
#pragma once

#include <string>

#include "host/mac_types.h"
#include "host/port_text.h"
#include "host/ports.h"

namespace qtzyn {

constexpr short kBaseTextSize = 8;

constexpr RGBColor kTextNearWhite{0xFF00, 0xFF00, 0xFF00};
constexpr RGBColor kTextBlack{0, 0, 0};

struct TextStyle {
  short size = kBaseTextSize;
  short face = normal;
  RGBColor color = kTextNearWhite;
};

// The font of the text layer ("Helvetica"), looked up once.
short TextLayerFont();

// Sets the port's font, size, face and colour for `style`.
void UseTextStyle(const TextStyle& style);
// Width of `text` in the port's current style.
short MeasureText(const std::string& text);
// Draws `text` in `style` with the pen at (x, y).
void DrawTextAt(const std::string& text, int x, int y, const TextStyle& style);
// Draws `text` in `style` centred across `r` at baseline y.
void DrawTextCentred(const std::string& text, const Rect& r, int y, const TextStyle& style);

// printf into a string (the texts are short; longer results are cut).
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace qtzyn
