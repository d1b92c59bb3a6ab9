#include "tools/zynplay/player_movie.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "host/data_references.h"
#include "host/handles.h"
#include "host/media_handler_calls.h"
#include "host/movie_import_calls.h"

namespace zynplay {
namespace {

// The handler's title screen shows this hint only while its scene loads.
constexpr const char* kLoadingHint = "Press 'H' for help";
// Pause between the idle calls of a wait, so that the loader thread gets
// the processor rather than the loading panel.
constexpr auto kWaitPause = std::chrono::milliseconds(5);

std::string ErrorText(long code) { return "error " + std::to_string(code); }

// The first track whose media is not sound: the importer's scene track.
Track SceneTrack(Movie movie) {
  const long count = GetMovieTrackCount(movie);
  for (long i = 1; i <= count; ++i) {
    Track track = GetMovieIndTrack(movie, i);
    OSType type = 0;
    GetMediaHandlerDescription(GetTrackMedia(track), &type, nullptr, nullptr);
    if (type != 0 && type != SoundMediaType) return track;
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<PlayerMovie> PlayerMovie::Open(const std::string& path, int width, int height,
                                               std::string* message) {
  struct stat st {};
  std::FILE* f = stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? std::fopen(path.c_str(), "rb") : nullptr;
  if (f == nullptr) {
    *message = "Unable to open file " + path;
    return nullptr;
  }
  std::fclose(f);
  std::unique_ptr<PlayerMovie> m(new PlayerMovie());
  m->path_ = path;
  ComponentInstance importer = nullptr;
  if (OpenImporterForPath(path, &importer) != noErr) {
    *message = "No movie importer for the file " + path;
    return nullptr;
  }
  FSSpec fileRef;
  NativePathNameToFSSpec(path.c_str(), &fileRef, 0);
  m->movie_ = NewMovie(newMovieActive);
  Track used = nullptr;
  TimeValue added = 0;
  long outFlags = 0;
  const ComponentResult imported =
      CallMovieImportFile(importer, &fileRef, m->movie_, nullptr, &used, 0, &added, 0, &outFlags);
  m->track_ = used != nullptr ? used : SceneTrack(m->movie_);
  m->media_ = GetTrackMedia(m->track_);
  if (imported != noErr || m->media_ == nullptr) {
    CloseComponent(importer);
    *message = "Unable to import " + path + " (" + ErrorText(imported) + ")";
    return nullptr;
  }
  // The handler opens before the importer closes, so that the state both
  // share stays alive between them.
  const OSErr opened = OpenMediaHandlerForMedia(m->media_, &m->handler_);
  CloseComponent(importer);
  if (opened != noErr) {
    *message = "Unable to open the media handler for " + path + " (" + ErrorText(opened) + ")";
    return nullptr;
  }
  Fixed trackWidth = 0, trackHeight = 0;
  GetTrackDimensions(m->track_, &trackWidth, &trackHeight);
  m->width_ = width > 0 ? width : FixedToInt(trackWidth);
  m->height_ = height > 0 ? height : FixedToInt(trackHeight);
  m->port_ = CreatePort(m->width_, m->height_);
  if (m->port_ == nullptr) {
    *message = "Unable to make a " + std::to_string(m->width_) + "x" + std::to_string(m->height_) +
               " port for " + path;
    return nullptr;
  }
  SetPortTextObserver(m->port_, &PlayerMovie::ObserveText, m.get());
  SetTrackDimensions(m->track_, IntToFixed(m->width_), IntToFixed(m->height_));
  SetPort(m->port_);

  GetMovieCompleteParams gmc;
  gmc.version = 0;
  gmc.theMovie = m->movie_;
  gmc.theTrack = m->track_;
  gmc.theMedia = m->media_;
  gmc.movieScale = GetMovieTimeScale(m->movie_);
  gmc.mediaScale = GetMediaTimeScale(m->media_);
  gmc.movieDuration = GetMovieDuration(m->movie_);
  gmc.trackDuration = GetTrackDuration(m->track_);
  gmc.mediaDuration = GetMediaDuration(m->media_);
  gmc.effectiveRate = fixed1;
  gmc.volume = GetTrackVolume(m->track_);
  gmc.width = IntToFixed(m->width_);
  gmc.height = IntToFixed(m->height_);
  GetTrackMatrix(m->track_, &gmc.trackMovieMatrix);
  gmc.moviePort = m->port_;
  const ComponentResult initialized = CallMediaInitialize(m->handler_, &gmc);
  if (initialized != noErr) {
    *message = "Unable to initialise the media handler for " + path + " (" + ErrorText(initialized) + ")";
    return nullptr;
  }
  CallMediaSetDimensions(m->handler_, IntToFixed(m->width_), IntToFixed(m->height_));
  MatrixRecord identity;
  CallMediaSetMatrix(m->handler_, &identity);
  return m;
}

PlayerMovie::~PlayerMovie() {
  if (handler_ != nullptr) {
    if (hasFocus_) SetFocus(false);
    SetPort(port_);
    CloseComponent(handler_);
  }
  DisposeMovie(movie_);
  DisposePort(port_);
}

void PlayerMovie::ObserveText(GrafPtr, const PortTextCall& call, void* self) {
  auto* m = static_cast<PlayerMovie*>(self);
  if (call.text == kLoadingHint) m->callShowsLoading_ = true;
  if (m->textSink_) m->textSink_(call);
}

TimeValue PlayerMovie::duration() const { return GetMediaDuration(media_); }

IdleOutcome PlayerMovie::Idle(TimeValue mediaTime, long flagsIn) {
  SetPort(port_);
  lastTime_ = mediaTime;
  callShowsLoading_ = false;
  TimeRecord movieTime;
  movieTime.scale = GetMovieTimeScale(movie_);
  const TimeScale mediaScale = GetMediaTimeScale(media_);
  if (mediaScale > 0) movieTime.value = static_cast<std::int64_t>(mediaTime) * movieTime.scale / mediaScale;
  IdleOutcome out;
  out.result = CallMediaIdle(handler_, mediaTime, flagsIn, &out.flagsOut, &movieTime);
  out.drew = (out.flagsOut & mDidDraw) != 0;
  out.showsLoading = callShowsLoading_;
  return out;
}

bool PlayerMovie::WaitLoaded(double limitSeconds,
                             const std::function<void(TimeValue, long, const IdleOutcome&)>& each) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(limitSeconds);
  for (;;) {
    const IdleOutcome out = Idle(lastTime_, 0);
    if (each) each(lastTime_, 0, out);
    if (out.result != noErr || !out.drew || !out.showsLoading) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kWaitPause);
  }
}

long PlayerMovie::HitTest(int x, int y) {
  Point where;
  where.h = static_cast<std::int16_t>(x);
  where.v = static_cast<std::int16_t>(y);
  long target = 0;
  SetPort(port_);
  if (CallMediaHitTestForTargetRefCon(handler_, 0, where, &target) != noErr) return 0;
  if (target != 0) target_ = target;
  return target;
}

long PlayerMovie::Target() {
  if (target_ != 0) return target_;
  if (HitTest(width_ / 2, height_ / 2) != 0) return target_;
  // No hit (an empty track): focus entering by navigation names the target.
  long target = 0;
  if (CallMediaNavigateTargetRefCon(handler_, 0, &target) == noErr) target_ = target;
  return target_;
}

ComponentResult PlayerMovie::SendEvent(OSType kind, int x, int y, long modifiers, int character) {
  if (kind == kQTEventMouseClick) dragModifiers_ = modifiers;
  QTEventRecord event;
  event.eventType = kind;
  event.where.h = static_cast<std::int16_t>(x);
  event.where.v = static_cast<std::int16_t>(y);
  event.param1 = character;
  event.param2 = kind == kQTEventMouseMoved ? dragModifiers_ : modifiers;
  QTAtomContainer actions = nullptr;
  QTAtom atom = 0;
  SetPort(port_);
  const ComponentResult result = CallMediaGetActionsForQTEvent(handler_, &event, Target(), &actions, &atom);
  if (actions != nullptr) DisposeHandle(actions);
  return result;
}

ComponentResult PlayerMovie::SetFocus(bool on) {
  SetPort(port_);
  const ComponentResult result = CallMediaRefConSetProperty(
      handler_, Target(), kRefConPropertyHasFocus, reinterpret_cast<void*>(static_cast<std::intptr_t>(on)));
  if (result == noErr) hasFocus_ = on;
  return result;
}

bool PlayerMovie::Resize(int width, int height) {
  GrafPtr port = CreatePort(width, height);
  if (port == nullptr) return false;
  SetPortTextObserver(port, &PlayerMovie::ObserveText, this);
  DisposePort(port_);
  port_ = port;
  width_ = width;
  height_ = height;
  target_ = 0;
  SetPort(port_);
  SetTrackDimensions(track_, IntToFixed(width), IntToFixed(height));
  MatrixRecord identity;
  SetTrackMatrix(track_, &identity);
  CallMediaSetDimensions(handler_, IntToFixed(width), IntToFixed(height));
  CallMediaSetMatrix(handler_, &identity);
  return true;
}

}  // namespace zynplay
