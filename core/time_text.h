#pragma once
// The two text forms of a time (SMPTE-like labels and frame counts) and
// their parser.
//
// Formats: 0 SMPTE-like ("001:02:03.04"), 1 frame count ("45", "45 (33)"),
// 2 the current default format. A mode of 0 means the current default mode.
// Detail picks how much is shown:
//   SMPTE   1 "hhh"  2 "hhh:mm"  3 "hhh:mm:ss"  4 "hhh:mm:ss.ff"
//           5 as 4, with "*" when the time lies between frames
//           6 as 4, followed by " (hundredths)"
//   frames  1-4 the count, 5 the count with "*" between frames,
//           6 the count followed by " (hundredths)"
// Any other detail gives an empty text, and so does an invalid mode in the
// SMPTE form.

#include <string>
#include <string_view>

#include "core/time.h"

std::string VTimeGetString(const VTime& time, int detail, int mode, int format);

// Parses text onto time. Texts that are empty or 19 characters or longer,
// texts without a readable number, and invalid modes leave the time
// unchanged and answer false. Number conversions are lenient: leading
// digits count, trailing garbage is ignored. The text ends at its first NUL.
bool VTimeSetString(VTime* time, std::string_view text, int mode, int format);
