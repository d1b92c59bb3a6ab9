#include "component/port_text_drawing.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace qtzyn {
namespace {

// DrawText and TextWidth take a 16-bit byte count.
short ByteCount(const std::string& text) {
  return static_cast<short>(std::min<std::size_t>(text.size(), std::numeric_limits<short>::max()));
}

short ClampCoordinate(long value) {
  return static_cast<short>(std::clamp<long>(value, std::numeric_limits<short>::min(),
                                             std::numeric_limits<short>::max()));
}

}  // namespace

short TextLayerFont() {
  static const short font = [] {
    static const unsigned char kName[] = "\x09Helvetica";
    short number = 0;
    GetFNum(kName, &number);
    return number;
  }();
  return font;
}

void UseTextStyle(const TextStyle& style) {
  TextFont(TextLayerFont());
  TextSize(style.size);
  TextFace(style.face);
  RGBForeColor(&style.color);
}

short MeasureText(const std::string& text) { return TextWidth(text.data(), 0, ByteCount(text)); }

void DrawTextAt(const std::string& text, int x, int y, const TextStyle& style) {
  UseTextStyle(style);
  MoveTo(ClampCoordinate(x), ClampCoordinate(y));
  DrawText(text.data(), 0, ByteCount(text));
}

void DrawTextCentred(const std::string& text, const Rect& r, int y, const TextStyle& style) {
  UseTextStyle(style);
  const int width = r.right - r.left;
  const int x = r.left + (width - MeasureText(text)) / 2;
  MoveTo(ClampCoordinate(x), ClampCoordinate(y));
  DrawText(text.data(), 0, ByteCount(text));
}

std::string FormatText(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return n < 0 ? std::string() : std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

}  // namespace qtzyn
