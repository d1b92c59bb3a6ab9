#pragma once
// One movie as the player holds it: the file imported into a new movie by
// the importer registered for its extension, the media handler of its
// track, and the port the handler draws into. Every call into the handler
// goes through here, with this movie's port made current first.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/component_manager.h"
#include "host/movies.h"
#include "host/port_text.h"
#include "host/ports.h"

namespace zynplay {

// What one idle call answered.
struct IdleOutcome {
  ComponentResult result = 0;
  long flagsOut = 0;
  bool drew = false;
  // The handler's title screen with its help hint was drawn: it shows that
  // exactly while the scene loads.
  bool showsLoading = false;
};

// A text call of the movie's port, seen before it draws.
using TextSink = std::function<void(const PortTextCall& call)>;

class PlayerMovie {
 public:
  // Imports `path` and opens the handler of its track. `width` and `height`
  // (both above 0) replace the track's own dimensions. Null with the reason
  // in *message.
  static std::unique_ptr<PlayerMovie> Open(const std::string& path, int width, int height, std::string* message);
  ~PlayerMovie();
  PlayerMovie(const PlayerMovie&) = delete;
  PlayerMovie& operator=(const PlayerMovie&) = delete;

  IdleOutcome Idle(TimeValue mediaTime, long flagsIn);
  // Idle calls at the last media time until the scene has loaded or failed,
  // an idle call fails or draws nothing, or `limitSeconds` pass. Each call
  // goes to `each` (may be empty). False when the limit was reached.
  bool WaitLoaded(double limitSeconds, const std::function<void(TimeValue, long, const IdleOutcome&)>& each);

  // An event in track coordinates; modifiers as the framework's event
  // records carry them, `character` for key events.
  ComponentResult SendEvent(OSType kind, int x, int y, long modifiers, int character);
  // The interaction-focus property, as a player sets it after a click.
  ComponentResult SetFocus(bool on);
  bool hasFocus() const { return hasFocus_; }
  // The handler's target for a point of the track (0 outside), by hit test.
  long HitTest(int x, int y);

  // New track dimensions: a new port of that size, the track's and the
  // handler's dimensions, an identity matrix. False when the size is refused.
  bool Resize(int width, int height);

  void SetTextSink(TextSink sink) { textSink_ = std::move(sink); }

  GrafPtr port() const { return port_; }
  const PortDrawContext* pixels() const { return GetPortDrawContext(port_); }
  int width() const { return width_; }
  int height() const { return height_; }
  Movie movie() const { return movie_; }
  Track track() const { return track_; }
  // The media's duration in media units (1/60 s).
  TimeValue duration() const;
  TimeValue lastTime() const { return lastTime_; }
  const std::string& path() const { return path_; }

 private:
  PlayerMovie() = default;
  static void ObserveText(GrafPtr port, const PortTextCall& call, void* self);
  long Target();

  std::string path_;
  Movie movie_ = nullptr;
  Track track_ = nullptr;
  Media media_ = nullptr;
  ComponentInstance handler_ = nullptr;
  GrafPtr port_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  TimeValue lastTime_ = 0;
  long target_ = 0;
  bool hasFocus_ = false;
  long dragModifiers_ = 0;
  TextSink textSink_;
  bool callShowsLoading_ = false;
};

}  // namespace zynplay
