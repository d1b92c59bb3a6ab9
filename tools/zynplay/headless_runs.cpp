#include "tools/zynplay/headless_runs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "host/media_handler_records.h"
#include "tools/zynplay/ffmpeg_pipe.h"
#include "tools/zynplay/player_movie.h"
#include "tools/zynplay/png_frame_writer.h"
#include "tools/zynplay/progress_line.h"
#include "tools/zynplay/sound_mix.h"
#include "tools/zynplay/trace_log.h"

namespace zynplay {
namespace {

// Frames per second of encoded movies: one frame per media unit.
constexpr int kMovieFramesPerSecond = 60;
// Sound frames mixed and written at a time.
constexpr int kMixBlock = 4096;

std::string FrameName(long mediaTime) {
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06ld.png", mediaTime);
  return name;
}


// The movie, its trace and the wait for its scene, shared by the runs.
struct Session {
  TraceLog trace;
  std::unique_ptr<PlayerMovie> movie;

  bool Open(const PlayerOptions& o, std::string* message) {
    if (!o.tracePath.empty() && !trace.Open(o.tracePath, message)) return false;
    movie = PlayerMovie::Open(o.files[0], o.width, o.height, message);
    if (!movie) return false;
    trace.Watch(movie.get(), 1);
    return true;
  }
  IdleOutcome Idle(TimeValue t, long flags) {
    const IdleOutcome out = movie->Idle(t, flags);
    trace.Idle(1, t, flags, out);
    return out;
  }
  void WaitLoaded(TimeValue t) {
    Idle(t, 0);
    movie->WaitLoaded(kLoadWaitSeconds,
                      [this](TimeValue time, long flags, const IdleOutcome& out) { trace.Idle(1, time, flags, out); });
  }
};

bool WriteSoundFile(const SoundMix& mix, std::int64_t frames, const std::string& path, std::string* message) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    *message = "Unable to open file " + path + " for writing: " + std::strerror(errno);
    return false;
  }
  std::vector<float> block(static_cast<std::size_t>(kMixBlock) * kMixChannels);
  bool ok = true;
  for (std::int64_t at = 0; ok && at < frames; at += kMixBlock) {
    const int n = static_cast<int>(std::min<std::int64_t>(kMixBlock, frames - at));
    mix.Render(at, n, block.data());
    ok = std::fwrite(block.data(), sizeof(float) * kMixChannels, static_cast<std::size_t>(n), f) ==
         static_cast<std::size_t>(n);
  }
  ok = std::fclose(f) == 0 && ok;
  if (!ok) *message = "Unable to write " + path;
  return ok;
}

// A temporary name in the same folder as `path`, keeping its extension so
// that ffmpeg picks the same container.
std::string TemporaryBeside(const std::string& path, const std::string& tag) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + ".zynplay-" + std::to_string(getpid()) + "-" + tag + "-" + name;
}

}  // namespace

bool MakeFolder(const std::string& path, std::string* message) {
  if (mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  }
  *message = "Unable to make the folder " + path + ": " + std::strerror(errno);
  return false;
}

int ReportFailure(const std::string& message) {
  std::fprintf(stderr, "zynplay: %s\n", message.c_str());
  return 1;
}

int RunFrames(const PlayerOptions& o) {
  std::string message;
  Session session;
  if (!MakeFolder(o.framesDir, &message) || !session.Open(o, &message)) return ReportFailure(message);
  // Refused before the scene loads: a claimed length says nothing of it.
  FrameRange range;
  if (!RunRange(o, static_cast<long>(session.movie->duration()), &range, &message)) return ReportFailure(message);
  session.WaitLoaded(static_cast<TimeValue>(range.from));
  PngFrameWriter writer;
  ProgressLine progress("zynplay: frames", range.count());
  long done = 0;
  for (long t = range.from; t <= range.to; t += range.step) {
    const IdleOutcome out = session.Idle(static_cast<TimeValue>(t), 0);
    if (out.drew) {
      const PortDrawContext* px = session.movie->pixels();
      writer.Write(o.framesDir + "/" + FrameName(t), px->pixels, px->width, px->height, px->row_bytes);
    }
    progress.Update(++done);
  }
  progress.Done();
  if (!writer.Finish(&message) || !session.trace.Close(&message)) return ReportFailure(message);
  return 0;
}

int RunMovie(const PlayerOptions& o) {
  const std::string ffmpeg = FindProgramOnPath("ffmpeg");
  if (ffmpeg.empty()) {
    return ReportFailure("ffmpeg is not installed: --movie encodes with the ffmpeg program, found on PATH");
  }
  std::signal(SIGPIPE, SIG_IGN);  // a failed ffmpeg must be an error result, not the end of the player
  std::string message;
  // The folder must take the movie: ffmpeg's own failure to write it would
  // come only after every frame.
  const std::string encoded = TemporaryBeside(o.moviePath, "movie");
  if (std::FILE* probe = std::fopen(encoded.c_str(), "wb")) {
    std::fclose(probe);
  } else {
    return ReportFailure("Unable to open file " + o.moviePath + " for writing: " + std::strerror(errno));
  }
  Session session;
  FrameRange range;
  if (!session.Open(o, &message) || !RunRange(o, static_cast<long>(session.movie->duration()), &range, &message)) {
    std::remove(encoded.c_str());
    return ReportFailure(message);
  }
  session.WaitLoaded(0);
  const long frames = range.count();
  // The scene's sound joined the movie while it loaded.
  const SoundMix mix = SoundMix::FromMovie(session.movie->movie());
  EncoderSettings settings;
  settings.program = ffmpeg;
  settings.output = encoded;
  settings.width = session.movie->width();
  settings.height = session.movie->height();
  settings.framesPerSecond = kMovieFramesPerSecond;
  const std::string soundPath = TemporaryBeside(o.moviePath, "sound") + ".f32";
  if (!mix.empty()) {
    settings.soundPath = soundPath;
    settings.soundRate = mix.rate();
    const std::int64_t soundFrames = static_cast<std::int64_t>(frames) * mix.rate() / kMovieFramesPerSecond;
    if (!WriteSoundFile(mix, soundFrames, soundPath, &message)) {
      std::remove(soundPath.c_str());
      std::remove(encoded.c_str());
      return ReportFailure(message);
    }
  }
  FfmpegPipe pipe;
  bool ok = pipe.Start(settings, &message);
  ProgressLine progress("zynplay: movie", frames);
  for (long t = 0; ok && t < frames; ++t) {
    session.Idle(static_cast<TimeValue>(t), t == 0 ? long{mMustDraw} : 0L);
    // A frame that did not draw shows what the port still holds.
    const PortDrawContext* px = session.movie->pixels();
    ok = pipe.WriteFrame(px->pixels, px->row_bytes, &message);
    progress.Update(t + 1);
  }
  progress.Done();
  std::string finished;
  if (!pipe.Finish(&finished) && ok) {
    ok = false;
    message = finished;
  }
  if (!settings.soundPath.empty()) std::remove(soundPath.c_str());
  if (ok && std::rename(settings.output.c_str(), o.moviePath.c_str()) != 0) {
    ok = false;
    message = "Unable to write " + o.moviePath + ": " + std::strerror(errno);
  }
  if (!ok) {
    std::remove(settings.output.c_str());
    return ReportFailure(message);
  }
  if (!session.trace.Close(&message)) return ReportFailure(message);
  return 0;
}

}  // namespace zynplay
