#include "tools/zynplay/ffmpeg_pipe.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace zynplay {

std::string FindProgramOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return "";
  std::string folders = path;
  std::size_t begin = 0;
  while (begin <= folders.size()) {
    std::size_t end = folders.find(':', begin);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > begin ? folders.substr(begin, end - begin) : ".";
    const std::string candidate = folder + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    begin = end + 1;
  }
  return "";
}

FfmpegPipe::~FfmpegPipe() {
  if (input_ >= 0) close(input_);
  if (child_ > 0) {
    int status = 0;
    waitpid(child_, &status, 0);
  }
}

bool FfmpegPipe::Start(const EncoderSettings& s, std::string* message) {
  width_ = s.width;
  height_ = s.height;
  const std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
  std::vector<std::string> args = {s.program, "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                                   "-f", "rawvideo", "-pix_fmt", "rgba", "-s", size,
                                   "-r", std::to_string(s.framesPerSecond), "-i", "pipe:0"};
  if (!s.soundPath.empty()) {
    for (const char* a : {"-f", "f32le", "-ac", "2", "-ar"}) args.emplace_back(a);
    args.push_back(std::to_string(s.soundRate));
    args.emplace_back("-i");
    args.push_back(s.soundPath);
    for (const char* a : {"-map", "0:v", "-map", "1:a"}) args.emplace_back(a);
  }
  // Most encoders of 4:2:0 video need even sides.
  for (const char* a : {"-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-pix_fmt", "yuv420p"}) args.emplace_back(a);
  args.push_back(s.output);

  int fds[2];
  if (pipe(fds) != 0) {
    *message = std::string("Unable to start ffmpeg: ") + std::strerror(errno);
    return false;
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  child_ = fork();
  if (child_ < 0) {
    close(fds[0]);
    close(fds[1]);
    *message = std::string("Unable to start ffmpeg: ") + std::strerror(errno);
    return false;
  }
  if (child_ == 0) {
    dup2(fds[0], STDIN_FILENO);
    close(fds[0]);
    close(fds[1]);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(fds[0]);
  input_ = fds[1];
  fcntl(input_, F_SETFD, FD_CLOEXEC);
  return true;
}

bool FfmpegPipe::WriteAll(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = write(input_, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool FfmpegPipe::WriteFrame(const std::uint8_t* rgba, int rowBytes, std::string* message) {
  const std::size_t packed = static_cast<std::size_t>(width_) * 4;
  bool ok = input_ >= 0;
  if (ok && rowBytes == static_cast<int>(packed)) {
    ok = WriteAll(rgba, packed * height_);
  } else {
    for (int y = 0; ok && y < height_; ++y) ok = WriteAll(rgba + static_cast<std::size_t>(rowBytes) * y, packed);
  }
  if (!ok) *message = "ffmpeg stopped reading frames";
  return ok;
}

bool FfmpegPipe::Finish(std::string* message) {
  if (input_ >= 0) close(input_);
  input_ = -1;
  if (child_ <= 0) {
    *message = "ffmpeg did not start";
    return false;
  }
  int status = 0;
  while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
  }
  child_ = -1;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
    *message = "Unable to run ffmpeg";
  } else {
    *message = "ffmpeg failed" +
               (WIFEXITED(status) ? " (exit " + std::to_string(WEXITSTATUS(status)) + ")" : std::string());
  }
  return false;
}

}  // namespace zynplay
