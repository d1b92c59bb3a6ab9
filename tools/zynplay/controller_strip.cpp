#include "tools/zynplay/controller_strip.h"

#include <algorithm>
#include <cstdio>

#include "host/port_text.h"

namespace zynplay {
namespace {

constexpr int kMargin = 4;
constexpr int kTextWidth = 120;  // room for "mm:ss.ff / mm:ss.ff"
constexpr int kGrooveHeight = 6;
constexpr int kKnobWidth = 6;
constexpr short kTextSize = 10;
constexpr long kMediaUnitsPerSecond = 60;

constexpr RGBColor kBackground{0x3000, 0x3000, 0x3400};
constexpr RGBColor kGroove{0x1800, 0x1800, 0x1800};
constexpr RGBColor kPlayed{0x5000, 0x8000, 0xC000};
constexpr RGBColor kFace{0xE000, 0xE000, 0xE000};

void Paint(const RGBColor& color, short left, short top, short right, short bottom) {
  Rect r;
  SetRect(&r, left, top, right, bottom);
  RGBForeColor(&color);
  PaintRect(&r);
}

void DrawPlayIcon(const Rect& b) {
  // A right-pointing triangle, one row at a time.
  const short height = static_cast<short>((b.bottom - b.top) / 2);
  const short top = static_cast<short>(b.top + (b.bottom - b.top - height) / 2);
  const short left = static_cast<short>(b.left + (b.right - b.left) / 3);
  for (short row = 0; row < height; ++row) {
    const short half = static_cast<short>(height / 2);
    const short reach = static_cast<short>(row <= half ? row : height - 1 - row);
    Paint(kFace, left, static_cast<short>(top + row), static_cast<short>(left + reach + 1),
          static_cast<short>(top + row + 1));
  }
}

void DrawPauseIcon(const Rect& b) {
  const short height = static_cast<short>((b.bottom - b.top) / 2);
  const short top = static_cast<short>(b.top + (b.bottom - b.top - height) / 2);
  const short mid = static_cast<short>((b.left + b.right) / 2);
  Paint(kFace, static_cast<short>(mid - 5), top, static_cast<short>(mid - 2), static_cast<short>(top + height));
  Paint(kFace, static_cast<short>(mid + 2), top, static_cast<short>(mid + 5), static_cast<short>(top + height));
}

}  // namespace

StripLayout LayOutStrip(int width) {
  StripLayout l;
  SetRect(&l.button, 0, 0, kStripHeight, kStripHeight);
  const short sliderLeft = kStripHeight + kMargin;
  const short sliderRight = static_cast<short>(std::max<int>(sliderLeft + 1, width - kTextWidth - kMargin));
  const short grooveTop = (kStripHeight - kGrooveHeight) / 2;
  SetRect(&l.slider, sliderLeft, grooveTop, sliderRight, grooveTop + kGrooveHeight);
  l.textLeft = static_cast<short>(sliderRight + kMargin);
  return l;
}

StripPart StripPartAt(const StripLayout& layout, int x, int y) {
  if (y < 0 || y >= kStripHeight) return StripPart::kNone;
  if (x >= layout.button.left && x < layout.button.right) return StripPart::kPlayButton;
  if (x >= layout.slider.left - kKnobWidth && x < layout.slider.right + kKnobWidth) return StripPart::kSlider;
  return StripPart::kNone;
}

long SliderTime(const StripLayout& layout, int x, long duration) {
  const int span = layout.slider.right - layout.slider.left;
  if (duration <= 1 || span <= 1) return 0;
  const int at = std::clamp(x - layout.slider.left, 0, span - 1);
  return static_cast<long>(static_cast<long long>(at) * (duration - 1) / (span - 1));
}

std::string TimeText(long mediaTime) {
  const long t = std::max(0L, mediaTime);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld.%02ld", t / (60 * kMediaUnitsPerSecond),
                t / kMediaUnitsPerSecond % 60, t % kMediaUnitsPerSecond);
  return text;
}

void DrawStrip(GrafPtr port, const StripLayout& l, bool playing, long mediaTime, long duration) {
  SetPort(port);
  const PortDrawContext* px = GetPortDrawContext(port);
  if (px == nullptr) return;
  Paint(kBackground, 0, 0, static_cast<short>(px->width), static_cast<short>(px->height));
  if (playing) {
    DrawPauseIcon(l.button);
  } else {
    DrawPlayIcon(l.button);
  }
  Paint(kGroove, l.slider.left, l.slider.top, l.slider.right, l.slider.bottom);
  const int span = l.slider.right - l.slider.left;
  const long last = std::max(1L, duration - 1);
  const short knob =
      static_cast<short>(l.slider.left + static_cast<long long>(std::clamp(mediaTime, 0L, last)) * (span - 1) / last);
  Paint(kPlayed, l.slider.left, l.slider.top, knob, l.slider.bottom);
  Paint(kFace, static_cast<short>(knob - kKnobWidth / 2), 4, static_cast<short>(knob + kKnobWidth / 2),
        kStripHeight - 4);
  static short font = 0;
  if (font == 0) {
    static const unsigned char kName[] = "\x09Helvetica";
    GetFNum(kName, &font);
  }
  TextFont(font);
  TextSize(kTextSize);
  TextFace(normal);
  RGBForeColor(&kFace);
  const std::string text = TimeText(mediaTime) + " / " + TimeText(duration);
  MoveTo(l.textLeft, kStripHeight / 2 + kTextSize / 2 - 1);
  DrawText(text.data(), 0, static_cast<short>(text.size()));
}

}  // namespace zynplay
