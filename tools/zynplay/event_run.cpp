// zynplay --events: an event script run against one or more movies.

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/media_handler_records.h"
#include "tools/zynplay/event_script.h"
#include "tools/zynplay/headless_runs.h"
#include "tools/zynplay/player_movie.h"
#include "tools/zynplay/png_frame_writer.h"
#include "tools/zynplay/trace_log.h"

namespace zynplay {
namespace {

// Event scripts longer than this are refused rather than read.
constexpr std::streamoff kMaxScriptBytes = 16 << 20;

// The movies of an event script: instance N is movies[N - 1]; a closed one
// is null.
struct ScriptRun {
  const PlayerOptions& options;
  TraceLog trace;
  std::vector<std::unique_ptr<PlayerMovie>> movies;
  std::size_t selected = 0;
  std::string snapFolder;

  explicit ScriptRun(const PlayerOptions& o) : options(o), snapFolder(o.framesDir.empty() ? "." : o.framesDir) {}

  bool Open(const std::string& path, std::string* message) {
    std::unique_ptr<PlayerMovie> movie = PlayerMovie::Open(path, options.width, options.height, message);
    if (!movie) return false;
    trace.Watch(movie.get(), static_cast<int>(movies.size() + 1));
    movies.push_back(std::move(movie));
    selected = movies.size() - 1;
    return true;
  }

  int instance() const { return static_cast<int>(selected + 1); }

  void Event(PlayerMovie* m, OSType kind, int x, int y, long modifiers, int character) {
    trace.Event(instance(), kind, m->SendEvent(kind, x, y, modifiers, character));
  }

  bool Snap(PlayerMovie* m, const std::string& name, std::string* message) {
    const PortDrawContext* px = m->pixels();
    std::vector<std::uint8_t> png;
    return EncodeFramePng(px->pixels, px->width, px->height, px->row_bytes, kFramePngCompressionLevel, &png,
                          message) &&
           WriteFileAtomically(snapFolder + "/" + name, png, message);
  }

  bool Run(const ScriptCommand& c, std::string* message) {
    if (c.verb == ScriptVerb::kOpen) return Open(c.text, message);
    if (c.verb == ScriptVerb::kSelect || c.verb == ScriptVerb::kClose) {
      const std::size_t index = static_cast<std::size_t>(c.a - 1);
      if (index >= movies.size() || !movies[index]) {
        *message = "no open instance " + std::to_string(c.a);
        return false;
      }
      if (c.verb == ScriptVerb::kSelect) {
        selected = index;
      } else {
        movies[index].reset();
      }
      return true;
    }
    PlayerMovie* m = selected < movies.size() ? movies[selected].get() : nullptr;
    if (m == nullptr) {
      *message = "instance " + std::to_string(instance()) + " is closed";
      return false;
    }
    switch (c.verb) {
      case ScriptVerb::kIdle:
        trace.Idle(instance(), static_cast<TimeValue>(c.a), c.b, m->Idle(static_cast<TimeValue>(c.a), c.b));
        break;
      case ScriptVerb::kWaitLoaded: {
        const int n = instance();
        const TimeValue t = m->lastTime();
        trace.Idle(n, t, 0, m->Idle(t, 0));
        m->WaitLoaded(kLoadWaitSeconds, [this, n](TimeValue time, long flags, const IdleOutcome& out) {
          trace.Idle(n, time, flags, out);
        });
        break;
      }
      case ScriptVerb::kKey:
        Event(m, kQTEventKey, 0, 0, c.modifiers, static_cast<int>(c.a));
        break;
      case ScriptVerb::kClick:
        Event(m, kQTEventMouseClick, static_cast<int>(c.a), static_cast<int>(c.b), c.modifiers, 0);
        break;
      case ScriptVerb::kMove:
        Event(m, kQTEventMouseMoved, static_cast<int>(c.a), static_cast<int>(c.b), c.modifiers, 0);
        break;
      case ScriptVerb::kRelease:
        Event(m, kQTEventMouseClickEnd, static_cast<int>(c.a), static_cast<int>(c.b), c.modifiers, 0);
        break;
      case ScriptVerb::kFocus:
        m->SetFocus(c.a != 0);
        break;
      case ScriptVerb::kSnap:
        return Snap(m, c.text, message);
      default:
        break;
    }
    return true;
  }
};

}  // namespace

int RunEvents(const PlayerOptions& o) {
  std::ifstream in(o.eventsPath, std::ios::binary);
  if (!in) return ReportFailure("Unable to open file " + o.eventsPath);
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || size > kMaxScriptBytes) return ReportFailure("The event script is too large: " + o.eventsPath);
  in.seekg(0);
  std::ostringstream text;
  text << in.rdbuf();
  std::vector<ScriptCommand> commands;
  std::string message;
  if (!ParseEventScript(text.str(), &commands, &message)) return ReportFailure(o.eventsPath + ":" + message);

  ScriptRun run(o);
  if (!o.framesDir.empty() && !MakeFolder(o.framesDir, &message)) return ReportFailure(message);
  if (!o.tracePath.empty() && !run.trace.Open(o.tracePath, &message)) return ReportFailure(message);
  if (!run.Open(o.files[0], &message)) return ReportFailure(message);
  for (const ScriptCommand& c : commands) {
    if (!run.Run(c, &message)) return ReportFailure(o.eventsPath + ":" + std::to_string(c.line) + ": " + message);
  }
  // Close in opening order, as a player closing its windows one by one.
  for (std::unique_ptr<PlayerMovie>& m : run.movies) m.reset();
  if (!run.trace.Close(&message)) return ReportFailure(message);
  return 0;
}

}  // namespace zynplay
