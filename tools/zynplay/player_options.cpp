#include "tools/zynplay/player_options.h"

#include <algorithm>

#include "host/ports.h"
#include "tools/zynplay/event_script.h"

namespace zynplay {

bool ParseSize(const std::string& text, int* width, int* height) {
  const std::size_t x = text.find('x');
  if (x == std::string::npos) return false;
  long w = 0, h = 0;
  if (!ParseCInteger(text.substr(0, x), &w) || !ParseCInteger(text.substr(x + 1), &h)) return false;
  if (w < 1 || h < 1 || w > kMaxPortSide || h > kMaxPortSide) return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

bool RunRange(const PlayerOptions& o, long duration, FrameRange* range, std::string* message) {
  const bool movie = !o.moviePath.empty();
  range->from = movie || !o.hasFrom ? 0 : o.from;
  range->step = movie ? 1 : o.step;
  range->to = duration - 1;
  if (o.hasTo) {
    range->to = movie ? std::min(o.to, duration - 1) : o.to;
    return true;
  }
  if (range->count() <= kMaxDefaultRunFrames) return true;
  *message = "the track lasts " + std::to_string(duration) + " units of 1/60 s (" +
             std::to_string(duration / (60 * 60 * 60)) + " hours): a run of more than " +
             std::to_string(kMaxDefaultRunFrames) + " frames (4 hours) needs its last media time named with --to";
  return false;
}

bool ParsePlayerOptions(int argc, char** argv, PlayerOptions* o, std::string* message) {
  auto value = [&](int* i, std::string* out) {
    if (*i + 1 >= argc) {
      *message = std::string(argv[*i]) + " needs a value";
      return false;
    }
    *out = argv[++*i];
    return true;
  };
  auto number = [&](int* i, long* out) {
    std::string text;
    if (!value(i, &text)) return false;
    if (!ParseCInteger(text, out) || *out < -2147483647L - 1 || *out > 2147483647L) {
      *message = std::string(argv[*i - 1]) + " takes an integer: " + text;
      return false;
    }
    return true;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string text;
    if (arg == "--help") {
      o->help = true;
    } else if (arg == "--components") {
      o->components = true;
    } else if (arg == "--library") {
      if (!value(&i, &o->library)) return false;
    } else if (arg == "--import-info") {
      if (!value(&i, &o->importInfo)) return false;
    } else if (arg == "--frames") {
      if (!value(&i, &o->framesDir)) return false;
    } else if (arg == "--movie") {
      if (!value(&i, &o->moviePath)) return false;
    } else if (arg == "--events") {
      if (!value(&i, &o->eventsPath)) return false;
    } else if (arg == "--trace") {
      if (!value(&i, &o->tracePath)) return false;
    } else if (arg == "--screenshot-on-exit") {
      if (!value(&i, &o->screenshotPath)) return false;
    } else if (arg == "--paused") {
      o->paused = true;
    } else if (arg == "--size") {
      if (!value(&i, &text)) return false;
      if (!ParseSize(text, &o->width, &o->height)) {
        *message = "--size takes WxH (1 to 8192 each): " + text;
        return false;
      }
    } else if (arg == "--from") {
      if (!number(&i, &o->from)) return false;
      o->hasFrom = true;
    } else if (arg == "--to") {
      if (!number(&i, &o->to)) return false;
      o->hasTo = true;
    } else if (arg == "--step") {
      if (!number(&i, &o->step)) return false;
      if (o->step < 1) {
        *message = "--step takes a count of 1 or more";
        return false;
      }
    } else if (arg.size() > 1 && arg[0] == '-' && !(arg[1] >= '0' && arg[1] <= '9')) {
      *message = "unknown option " + arg;
      return false;
    } else {
      o->files.push_back(arg);
    }
  }
  if (o->help) return true;
  const bool listingOnly = o->components || !o->importInfo.empty();
  if (listingOnly) {
    if (!o->files.empty() || o->headless()) {
      *message = "--components and --import-info take nothing else";
      return false;
    }
    return true;
  }
  if (o->files.empty()) {
    *message = "no file";
    return false;
  }
  if (!o->moviePath.empty() && (!o->framesDir.empty() || !o->eventsPath.empty())) {
    *message = "--movie goes alone";
    return false;
  }
  if (o->hasTo && o->framesDir.empty() && o->moviePath.empty()) {
    *message = "--to goes with --frames or --movie";
    return false;
  }
  if ((o->hasFrom || o->hasTo || o->step != 1) && !o->framesDir.empty() && !o->eventsPath.empty()) {
    *message = "--from, --to and --step go with --frames";
    return false;
  }
  if ((o->hasFrom || o->step != 1) && o->framesDir.empty()) {
    *message = "--from and --step go with --frames";
    return false;
  }
  if (o->headless() && o->files.size() != 1) {
    *message = "headless runs take one file (an event script opens more)";
    return false;
  }
  if ((!o->screenshotPath.empty() || o->paused) && o->headless()) {
    *message = "--screenshot-on-exit and --paused go with windows";
    return false;
  }
  return true;
}

}  // namespace zynplay
