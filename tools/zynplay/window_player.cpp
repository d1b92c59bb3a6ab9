#include "tools/zynplay/window_player.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "host/keyboard_hooks.h"
#include "host/media_handler_records.h"
#include "tools/zynplay/controller_strip.h"
#include "tools/zynplay/headless_runs.h"
#include "tools/zynplay/playback_clock.h"
#include "tools/zynplay/player_movie.h"
#include "tools/zynplay/png_frame_writer.h"
#include "tools/zynplay/trace_log.h"
#include "tools/zynplay/window_audio.h"
#include "tools/zynplay/window_keys.h"

namespace zynplay {
namespace {

using Clock = std::chrono::steady_clock;
// Idle calls per second: one per media unit.
constexpr auto kTick = std::chrono::microseconds(1000000 / PlaybackClock::kScale);

// One movie in its window: the track above, the controller strip below.
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

std::unique_ptr<MovieWindow> MovieWindow::Open(std::unique_ptr<PlayerMovie> movie, int index, TraceLog* trace,
                                               bool paused, std::string* message) {
  std::unique_ptr<MovieWindow> w(new MovieWindow());
  w->wantPlaying_ = !paused;
  w->movie_ = std::move(movie);
  w->trace_ = trace;
  w->instance_ = index + 1;
  trace->Watch(w->movie_.get(), w->instance_);
  w->clock_ = std::make_unique<PlaybackClock>(w->movie_->duration());
  w->audio_ = std::make_unique<WindowAudio>(w->clock_.get());
  const int width = w->movie_->width(), height = w->movie_->height();
  const std::string title = "zynplay - " + w->movie_->path();
  const int offset = 32 * index;
  w->window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED + offset, SDL_WINDOWPOS_UNDEFINED + offset,
                                width, height + kStripHeight, SDL_WINDOW_RESIZABLE);
  if (w->window_ != nullptr) {
    // A software renderer: the media handler makes its own OpenGL context
    // current on this thread, which an OpenGL renderer of the window's
    // would not expect.
    w->renderer_ = SDL_CreateRenderer(w->window_, -1, SDL_RENDERER_SOFTWARE);
  }
  if (w->renderer_ == nullptr) {
    *message = std::string("Unable to open a window: ") + SDL_GetError();
    return nullptr;
  }
  w->Resize(width, height + kStripHeight);
  return w;
}

MovieWindow::~MovieWindow() {
  audio_.reset();
  movie_.reset();  // closes the handler while the window still stands
  if (track_ != nullptr) SDL_DestroyTexture(track_);
  if (stripTexture_ != nullptr) SDL_DestroyTexture(stripTexture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  DisposePort(stripPort_);
}

bool MovieWindow::MakeStrip(int width) {
  GrafPtr port = CreatePort(width, kStripHeight);
  if (port == nullptr) return false;
  DisposePort(stripPort_);
  stripPort_ = port;
  layout_ = LayOutStrip(width);
  if (stripTexture_ != nullptr) SDL_DestroyTexture(stripTexture_);
  stripTexture_ =
      SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STREAMING, width, kStripHeight);
  shownTime_ = -1;
  return true;
}

void MovieWindow::Resize(int width, int height) {
  const int trackHeight = height - kStripHeight;
  if (width < 1 || trackHeight < 1 || width > kMaxPortSide || trackHeight > kMaxPortSide) return;
  if (width != movie_->width() || trackHeight != movie_->height()) {
    if (!movie_->Resize(width, trackHeight)) return;
  }
  if (track_ != nullptr) SDL_DestroyTexture(track_);
  track_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STREAMING, width, trackHeight);
  MakeStrip(width);
  mustDraw_ = true;
}

void MovieWindow::TogglePlay() {
  const Clock::time_point now = Clock::now();
  if (loading_) {
    wantPlaying_ = !wantPlaying_;
  } else if (clock_->playing()) {
    clock_->Pause(now);
  } else {
    clock_->Play(now);
  }
}

void MovieWindow::Tick() {
  const Clock::time_point now = Clock::now();
  // The clock stands still while the scene loads, so that playing starts
  // at its first frame.
  const long time = loading_ ? 0 : clock_->MediaTime(now);
  const long flags = mustDraw_ ? long{mMustDraw} : 0L;
  const IdleOutcome out = movie_->Idle(static_cast<TimeValue>(time), flags);
  trace_->Idle(instance_, static_cast<TimeValue>(time), flags, out);
  mustDraw_ = false;
  if (loading_ && (!out.showsLoading || out.result != noErr)) {
    loading_ = false;
    if (wantPlaying_) clock_->Play(now);
  }
  const long changes = HostGetMovieChangeCount(movie_->movie());
  if (changes != changeCount_) {
    // Sound tracks join the movie when the scene has loaded.
    changeCount_ = changes;
    audio_->SetMix(std::make_shared<const SoundMix>(SoundMix::FromMovie(movie_->movie())));
  }
  bool changed = false;
  if (out.drew && track_ != nullptr) {
    const PortDrawContext* px = movie_->pixels();
    SDL_UpdateTexture(track_, nullptr, px->pixels, px->row_bytes);
    changed = true;
  }
  const bool playing = loading_ ? wantPlaying_ : clock_->playing();
  if (time != shownTime_ || playing != shownPlaying_) {
    shownTime_ = time;
    shownPlaying_ = playing;
    DrawStrip(stripPort_, layout_, playing, time, movie_->duration());
    const PortDrawContext* px = GetPortDrawContext(stripPort_);
    if (px != nullptr && stripTexture_ != nullptr) SDL_UpdateTexture(stripTexture_, nullptr, px->pixels, px->row_bytes);
    changed = true;
  }
  if (changed) Present();
}

void MovieWindow::Event(OSType kind, int x, int y, long modifiers) {
  trace_->Event(instance_, kind, movie_->SendEvent(kind, x, y, modifiers, 0));
}

void MovieWindow::Present() {
  SDL_RenderClear(renderer_);
  const SDL_Rect track{0, 0, movie_->width(), movie_->height()};
  const SDL_Rect strip{0, movie_->height(), movie_->width(), kStripHeight};
  if (track_ != nullptr) SDL_RenderCopy(renderer_, track_, nullptr, &track);
  if (stripTexture_ != nullptr) SDL_RenderCopy(renderer_, stripTexture_, nullptr, &strip);
  SDL_RenderPresent(renderer_);
}

void MovieWindow::Press(int x, int y, long modifiers, MovieWindow** focus) {
  if (y < movie_->height()) {
    // A click on the track: the player hit-tests it and moves the
    // interaction focus there, then hands the click on.
    if (movie_->HitTest(x, y) != 0 && *focus != this) {
      if (*focus != nullptr) (*focus)->movie()->SetFocus(false);
      if (movie_->SetFocus(true) == noErr) *focus = this;
    }
    Event(kQTEventMouseClick, x, y, modifiers);
    draggingTrack_ = true;
    return;
  }
  const int stripY = y - movie_->height();
  switch (StripPartAt(layout_, x, stripY)) {
    case StripPart::kPlayButton:
      TogglePlay();
      break;
    case StripPart::kSlider:
      scrubbing_ = true;
      clock_->Seek(SliderTime(layout_, x, movie_->duration()), Clock::now());
      break;
    case StripPart::kNone:
      break;
  }
}

void MovieWindow::Motion(int x, int y) {
  if (draggingTrack_) Event(kQTEventMouseMoved, x, y, 0);
  if (scrubbing_) clock_->Seek(SliderTime(layout_, x, movie_->duration()), Clock::now());
}

void MovieWindow::Release(int x, int y, long modifiers) {
  if (draggingTrack_) Event(kQTEventMouseClickEnd, x, y, modifiers);
  draggingTrack_ = false;
  scrubbing_ = false;
}

bool WriteScreenshot(PlayerMovie* movie, const std::string& path, std::string* message) {
  const PortDrawContext* px = movie->pixels();
  std::vector<std::uint8_t> png;
  return EncodeFramePng(px->pixels, px->width, px->height, px->row_bytes, kFramePngCompressionLevel, &png,
                        message) &&
         WriteFileAtomically(path, png, message);
}

// All windows, the interaction focus and the keys.
class WindowSet {
 public:
  TraceLog trace;  // outlives the windows, whose movies write to it
  std::vector<std::unique_ptr<MovieWindow>> windows;
  MovieWindow* focus = nullptr;
  bool quit = false;
  // --screenshot-on-exit: the first movie's last frame, written when its
  // window closes or the player quits.
  std::string screenshotPath;
  MovieWindow* screenshotOf = nullptr;
  std::string screenshotError;

  void TakeScreenshot(MovieWindow* w) {
    if (w == nullptr || w != screenshotOf || screenshotPath.empty()) return;
    screenshotOf = nullptr;
    WriteScreenshot(w->movie(), screenshotPath, &screenshotError);
  }

  MovieWindow* Find(Uint32 id) {
    for (auto& w : windows) {
      if (w->id() == id) return w.get();
    }
    return nullptr;
  }

  void Close(Uint32 id) {
    for (auto it = windows.begin(); it != windows.end(); ++it) {
      if ((*it)->id() != id) continue;
      if (focus == it->get()) focus = nullptr;
      TakeScreenshot(it->get());
      windows.erase(it);
      break;
    }
    if (windows.empty()) quit = true;
  }

  void Key(const SDL_KeyboardEvent& e) {
    const bool down = e.type == SDL_KEYDOWN;
    const SDL_Keycode key = e.keysym.sym;
    // While a movie holds the focus, its keyboard hook sees every key.
    bool swallowed = false;
    const int virtualKey = VirtualKeyOf(key);
    if (focus != nullptr && virtualKey != 0) swallowed = HostSendKeyboardEvent(virtualKey, down);
    if (!down || swallowed) return;
    bool handled = false;
    const int character = CharacterOf(key, e.keysym.mod);
    if (focus != nullptr && character != 0) {
      const ComponentResult result =
          focus->movie()->SendEvent(kQTEventKey, 0, 0, EventModifiersOf(e.keysym.mod), character);
      trace.Event(focus->instance(), kQTEventKey, result);
      handled = result == kEventHandledByMediaHandler;
    }
    if (key == SDLK_ESCAPE) {
      quit = true;  // the hook passes Escape on to the player
    } else if (key == SDLK_SPACE && !handled && e.repeat == 0) {
      if (MovieWindow* w = Find(e.windowID)) w->TogglePlay();
    }
  }

  void Handle(const SDL_Event& e) {
    switch (e.type) {
      case SDL_QUIT:
        quit = true;
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          Close(e.window.windowID);
        } else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          if (MovieWindow* w = Find(e.window.windowID)) w->Resize(e.window.data1, e.window.data2);
        }
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        Key(e.key);
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (MovieWindow* w = Find(e.button.windowID); w != nullptr && e.button.button == SDL_BUTTON_LEFT) {
          w->Press(e.button.x, e.button.y, EventModifiersOf(SDL_GetModState()), &focus);
        }
        break;
      case SDL_MOUSEMOTION:
        if (MovieWindow* w = Find(e.motion.windowID)) w->Motion(e.motion.x, e.motion.y);
        break;
      case SDL_MOUSEBUTTONUP:
        if (MovieWindow* w = Find(e.button.windowID); w != nullptr && e.button.button == SDL_BUTTON_LEFT) {
          w->Release(e.button.x, e.button.y, EventModifiersOf(SDL_GetModState()));
        }
        break;
      default:
        break;
    }
  }
};

}  // namespace

int RunWindows(const PlayerOptions& options) {
  // Windows are drawn in software: the media handler's own OpenGL context
  // lives on this thread, and a window's OpenGL would compete with it.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    return ReportFailure(std::string("Unable to open a window: ") + SDL_GetError());
  }
  SDL_InitSubSystem(SDL_INIT_AUDIO);  // without a sound device the movies play silently
  std::string message;
  int exitCode = 0;
  {
    WindowSet set;
    if (!options.tracePath.empty() && !set.trace.Open(options.tracePath, &message)) exitCode = ReportFailure(message);
    for (const std::string& path : exitCode == 0 ? options.files : std::vector<std::string>{}) {
      std::unique_ptr<PlayerMovie> movie = PlayerMovie::Open(path, options.width, options.height, &message);
      std::unique_ptr<MovieWindow> window;
      const int index = static_cast<int>(set.windows.size());
      if (movie) window = MovieWindow::Open(std::move(movie), index, &set.trace, options.paused, &message);
      if (!window) {
        exitCode = ReportFailure(message);
        break;
      }
      set.windows.push_back(std::move(window));
    }
    set.screenshotPath = options.screenshotPath;
    set.screenshotOf = set.windows.empty() ? nullptr : set.windows.front().get();
    Clock::time_point next = Clock::now();
    while (exitCode == 0 && !set.quit) {
      SDL_Event e;
      while (SDL_PollEvent(&e)) set.Handle(e);
      if (set.quit) break;
      for (auto& w : set.windows) w->Tick();
      next += kTick;
      const Clock::time_point now = Clock::now();
      if (next < now) next = now;  // a slow frame does not make the next ones hurry
      std::this_thread::sleep_until(next);
    }
    if (exitCode == 0) set.TakeScreenshot(set.screenshotOf);
    if (exitCode == 0 && !set.screenshotError.empty()) exitCode = ReportFailure(set.screenshotError);
    set.windows.clear();
    if (!set.trace.Close(&message) && exitCode == 0) exitCode = ReportFailure(message);
  }
  SDL_Quit();
  return exitCode;
}

}  // namespace zynplay
