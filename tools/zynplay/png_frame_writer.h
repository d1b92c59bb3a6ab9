#pragma once
// PNG frames written on a thread of their own, so that the player's idle
// loop only copies the port. Frames are written as 8-bit RGB (the port's
// alpha is dropped) with no row filter and a low compression level: the
// files stay a little larger and encoding is several times faster.
//
// A file is written under a temporary name beside the final one and renamed
// once complete, so that a failed write leaves nothing under the final name.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zynplay {

// zlib level used for frames: fast, still smaller than raw pixels.
constexpr int kFramePngCompressionLevel = 2;

// Encodes RGBA pixels (rows top-down, `rowBytes` apart) as an RGB PNG into
// `out`. False with the reason in *message.
bool EncodeFramePng(const std::uint8_t* rgba, int width, int height, int rowBytes, int compressionLevel,
                    std::vector<std::uint8_t>* out, std::string* message);
// Writes the bytes to `path` through a temporary file renamed at the end.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* message);

class PngFrameWriter {
 public:
  // At most `maxQueued` frames wait; Write blocks while that many do.
  explicit PngFrameWriter(int compressionLevel = kFramePngCompressionLevel, std::size_t maxQueued = 6);
  ~PngFrameWriter();
  PngFrameWriter(const PngFrameWriter&) = delete;
  PngFrameWriter& operator=(const PngFrameWriter&) = delete;

  // Queues a copy of the pixels, to be written to `path`.
  void Write(const std::string& path, const std::uint8_t* rgba, int width, int height, int rowBytes);
  // Waits until every queued frame is written. False with the first
  // failure's reason; frames after a failure are dropped.
  bool Finish(std::string* message);
  long written() const;

 private:
  struct Job {
    std::string path;
    std::vector<std::uint8_t> pixels;  // tightly packed RGBA
    int width = 0;
    int height = 0;
  };
  void Run();

  const int level_;
  const std::size_t maxQueued_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> queue_;
  std::vector<std::vector<std::uint8_t>> spare_;  // pixel buffers to reuse
  bool busy_ = false;
  bool stopping_ = false;
  std::string error_;
  long written_ = 0;
  std::thread thread_;
};

}  // namespace zynplay
