#pragma once
// Event scripts (--events): one command per line, read whole and checked
// before anything runs.
//
//   idle T [FLAGS]          one idle call at media time T
//   wait-loaded             idle calls at the last time until loaded or failed
//   key C [MODIFIERS]       a key event: a letter (any one character) or #CODE
//   click X Y [MODIFIERS]   mouse press, in track coordinates
//   move X Y                drag movement (the press's modifiers)
//   release X Y [MODIFIERS] press end
//   focus on | focus off    the interaction-focus property
//   snap NAME.png           the current port into the frames folder
//   open FILE | select N | close N
//
// MODIFIERS and FLAGS are C integers (decimal or 0x...); a key's modifiers
// default to 0x80 (no modifier key down). '#' as a line's first non-blank
// character starts a comment.

#include <string>
#include <vector>

#include "host/mac_types.h"

namespace zynplay {

enum class ScriptVerb { kIdle, kWaitLoaded, kKey, kClick, kMove, kRelease, kFocus, kSnap, kOpen, kSelect, kClose };

struct ScriptCommand {
  ScriptVerb verb = ScriptVerb::kIdle;
  int line = 0;
  long a = 0;  // idle: time; key: character; mouse: x; focus: on; select/close: instance
  long b = 0;  // idle: flags; mouse: y
  long modifiers = 0;
  std::string text;  // snap: file name; open: path
};

// Parses the script's text. False with "LINE: reason" in *message.
bool ParseEventScript(const std::string& text, std::vector<ScriptCommand>* commands, std::string* message);

// A C integer (decimal, 0x hex or 0 octal, with an optional sign) that fits
// a long. False for anything else.
bool ParseCInteger(const std::string& text, long* value);

}  // namespace zynplay
