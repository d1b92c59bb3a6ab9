#pragma once
// One movie in its window (SDL2): the track above, the controller strip
// below, the window's clock and sound.

#include <SDL.h>

#include <memory>
#include <string>

#include "tools/zynplay/controller_strip.h"
#include "tools/zynplay/playback_clock.h"
#include "tools/zynplay/player_movie.h"
#include "tools/zynplay/trace_log.h"
#include "tools/zynplay/window_audio.h"

namespace zynplay {

class MovieWindow {
 public:
  // `index` counts the windows from 0; `trace` (never null) records the
  // movie's idle calls, events and texts when it is open.
  static std::unique_ptr<MovieWindow> Open(std::unique_ptr<PlayerMovie> movie, int index, TraceLog* trace,
                                           bool paused, std::string* message);
  ~MovieWindow();

  Uint32 id() const { return SDL_GetWindowID(window_); }
  PlayerMovie* movie() { return movie_.get(); }
  int instance() const { return instance_; }
  // One idle call at the clock's time; redraws the window when anything
  // shown changed.
  void Tick();
  void TogglePlay();
  void Resize(int width, int height);
  // Mouse press, movement and release in window coordinates.
  void Press(int x, int y, long modifiers, MovieWindow** focus);
  void Motion(int x, int y);
  void Release(int x, int y, long modifiers);

 private:
  MovieWindow() = default;
  bool MakeStrip(int width);
  void Event(OSType kind, int x, int y, long modifiers);
  void Present();

  std::unique_ptr<PlayerMovie> movie_;
  TraceLog* trace_ = nullptr;
  int instance_ = 1;
  std::unique_ptr<PlaybackClock> clock_;
  std::unique_ptr<WindowAudio> audio_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* track_ = nullptr;
  SDL_Texture* stripTexture_ = nullptr;
  GrafPtr stripPort_ = nullptr;
  StripLayout layout_;
  bool loading_ = true;
  bool wantPlaying_ = true;  // play once the scene has loaded
  bool draggingTrack_ = false;
  bool scrubbing_ = false;
  bool mustDraw_ = false;
  long changeCount_ = -1;
  long shownTime_ = -1;
  bool shownPlaying_ = false;
};

}  // namespace zynplay
