#pragma once
// The player's controller strip under a track: a play/pause button, a time
// slider to scrub, and the current time with the duration. It is drawn with
// the framework's port routines into a port of its own.

#include <string>

#include "host/mac_types.h"
#include "host/ports.h"

namespace zynplay {

constexpr int kStripHeight = 28;

enum class StripPart { kNone, kPlayButton, kSlider };

struct StripLayout {
  Rect button;
  Rect slider;  // the slider's groove; the knob centres on the current time
  short textLeft = 0;
};

// The strip's parts for a strip `width` pixels wide.
StripLayout LayOutStrip(int width);
// The part under (x, y), strip coordinates.
StripPart StripPartAt(const StripLayout& layout, int x, int y);
// The media time that x on the slider stands for, in [0, duration - 1].
long SliderTime(const StripLayout& layout, int x, long duration);
// "m:ss.ff" with ff the 1/60 s frame within the second.
std::string TimeText(long mediaTime);
// Draws the strip into `port` (which becomes the current port).
void DrawStrip(GrafPtr port, const StripLayout& layout, bool playing, long mediaTime, long duration);

}  // namespace zynplay
