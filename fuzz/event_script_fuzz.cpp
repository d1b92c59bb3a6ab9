// Reads arbitrary bytes as a zynplay event script: every command it accepts
// must be one the player can run (a known verb, coordinates in 16 bits, a
// character code in 0-255, a snap name without a folder).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/zynplay/event_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<zynplay::ScriptCommand> commands;
  std::string message;
  if (!zynplay::ParseEventScript(text, &commands, &message)) return 0;
  for (const zynplay::ScriptCommand& c : commands) {
    switch (c.verb) {
      case zynplay::ScriptVerb::kKey:
        if (c.a < 0 || c.a > 255) std::abort();
        break;
      case zynplay::ScriptVerb::kClick:
      case zynplay::ScriptVerb::kMove:
      case zynplay::ScriptVerb::kRelease:
        if (c.a < -32768 || c.a > 32767 || c.b < -32768 || c.b > 32767) std::abort();
        break;
      case zynplay::ScriptVerb::kSnap:
        if (c.text.empty() || c.text.find('/') != std::string::npos) std::abort();
        break;
      case zynplay::ScriptVerb::kSelect:
      case zynplay::ScriptVerb::kClose:
        if (c.a < 1) std::abort();
        break;
      default:
        break;
    }
  }
  return 0;
}
