#pragma once
// Encoding a movie file with the ffmpeg program: raw RGBA frames go to its
// standard input, the sound (when there is any) comes from a file of raw
// 32-bit float stereo samples.

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace zynplay {

// The path of an executable `name` in one of PATH's folders; empty when
// there is none.
std::string FindProgramOnPath(const std::string& name);

struct EncoderSettings {
  std::string program;    // ffmpeg's path
  std::string output;     // the file ffmpeg writes
  int width = 0;
  int height = 0;
  int framesPerSecond = 60;
  std::string soundPath;  // raw f32le stereo; empty: no sound
  int soundRate = 0;
};

class FfmpegPipe {
 public:
  FfmpegPipe() = default;
  ~FfmpegPipe();
  FfmpegPipe(const FfmpegPipe&) = delete;
  FfmpegPipe& operator=(const FfmpegPipe&) = delete;

  bool Start(const EncoderSettings& settings, std::string* message);
  // One frame of width × height RGBA pixels, rows `rowBytes` apart.
  bool WriteFrame(const std::uint8_t* rgba, int rowBytes, std::string* message);
  // Ends the input and waits for the program; false unless it succeeded.
  bool Finish(std::string* message);

 private:
  bool WriteAll(const void* data, std::size_t size);

  int input_ = -1;
  pid_t child_ = -1;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace zynplay
