#include "tools/zynplay/window_movie.h"

#include <chrono>

#include "host/media_handler_records.h"

namespace zynplay {
namespace {
using Clock = std::chrono::steady_clock;
}  // namespace

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

}  // namespace zynplay
