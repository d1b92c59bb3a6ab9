#include "tools/zynplay/event_script.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace zynplay {
namespace {

// No modifier key down.
constexpr long kNoModifiers = 0x80;
// Largest character code of a key event.
constexpr long kMaxCharacter = 255;

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

bool ParseCoordinate(const std::string& text, long* value) {
  return ParseCInteger(text, value) && *value >= -32768 && *value <= 32767;
}

// One line's command; an empty message when it parsed.
std::string ParseLine(const std::vector<std::string>& w, ScriptCommand* c) {
  const std::string& verb = w[0];
  const std::size_t n = w.size();
  if (verb == "idle") {
    c->verb = ScriptVerb::kIdle;
    if (n < 2 || n > 3) return "idle T [FLAGS]";
    if (!ParseCInteger(w[1], &c->a) || c->a < -2147483647L - 1 || c->a > 2147483647L) return "bad time " + w[1];
    if (n == 3 && !ParseCInteger(w[2], &c->b)) return "bad flags " + w[2];
    return "";
  }
  if (verb == "wait-loaded") {
    c->verb = ScriptVerb::kWaitLoaded;
    return n == 1 ? "" : "wait-loaded takes nothing";
  }
  if (verb == "key") {
    c->verb = ScriptVerb::kKey;
    if (n < 2 || n > 3) return "key C [MODIFIERS]";
    const std::string& key = w[1];
    if (key.size() > 1 && key[0] == '#') {
      if (!ParseCInteger(key.substr(1), &c->a) || c->a < 0 || c->a > kMaxCharacter) return "bad key " + key;
    } else if (key.size() == 1) {
      c->a = static_cast<unsigned char>(key[0]);
    } else {
      return "bad key " + key;
    }
    c->modifiers = kNoModifiers;
    if (n == 3 && !ParseCInteger(w[2], &c->modifiers)) return "bad modifiers " + w[2];
    return "";
  }
  if (verb == "click" || verb == "move" || verb == "release") {
    c->verb = verb == "click" ? ScriptVerb::kClick : verb == "move" ? ScriptVerb::kMove : ScriptVerb::kRelease;
    const std::size_t most = c->verb == ScriptVerb::kMove ? 3 : 4;
    if (n < 3 || n > most) return verb + (most == 3 ? " X Y" : " X Y [MODIFIERS]");
    if (!ParseCoordinate(w[1], &c->a) || !ParseCoordinate(w[2], &c->b)) return "bad point " + w[1] + " " + w[2];
    c->modifiers = kNoModifiers;
    if (n == 4 && !ParseCInteger(w[3], &c->modifiers)) return "bad modifiers " + w[3];
    return "";
  }
  if (verb == "focus") {
    c->verb = ScriptVerb::kFocus;
    if (n != 2 || (w[1] != "on" && w[1] != "off")) return "focus on | focus off";
    c->a = w[1] == "on";
    return "";
  }
  if (verb == "snap") {
    c->verb = ScriptVerb::kSnap;
    if (n != 2) return "snap NAME.png";
    const std::string& name = w[1];
    if (name.find('/') != std::string::npos || name == "." || name == "..") return "snap takes a file name: " + name;
    c->text = name;
    return "";
  }
  if (verb == "open") {
    c->verb = ScriptVerb::kOpen;
    if (n != 2) return "open FILE";
    c->text = w[1];
    return "";
  }
  if (verb == "select" || verb == "close") {
    c->verb = verb == "select" ? ScriptVerb::kSelect : ScriptVerb::kClose;
    if (n != 2 || !ParseCInteger(w[1], &c->a) || c->a < 1) return verb + " N (from 1)";
    return "";
  }
  return "unknown command " + verb;
}

}  // namespace

bool ParseCInteger(const std::string& text, long* value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 0);
  if (errno != 0 || end == text.c_str() || *end != '\0') return false;
  *value = parsed;
  return true;
}

bool ParseEventScript(const std::string& text, std::vector<ScriptCommand>* commands, std::string* message) {
  commands->clear();
  std::istringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#') continue;
    ScriptCommand command;
    command.line = number;
    const std::string reason = ParseLine(words, &command);
    if (!reason.empty()) {
      *message = std::to_string(number) + ": " + reason;
      return false;
    }
    commands->push_back(command);
  }
  return true;
}

}  // namespace zynplay
