#include "tools/zynplay/png_frame_writer.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zynplay {
namespace {

struct PngMemory {
  std::vector<std::uint8_t>* out;
};

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* memory = static_cast<PngMemory*>(png_get_io_ptr(png));
  memory->out->insert(memory->out->end(), data, data + length);
}

void NoFlush(png_structp) {}

void RaiseError(png_structp png, png_const_charp text) {
  auto* message = static_cast<std::string*>(png_get_error_ptr(png));
  if (message != nullptr) *message = text;
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// libpng's error path longjmps out of this function, so it holds nothing
// that needs a destructor.
bool EncodeRows(png_structp png, png_infop info, const std::uint8_t* rgba, int width, int height, int rowBytes,
                int level) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, level);
  png_write_info(png, info);
  png_set_filler(png, 0, PNG_FILLER_AFTER);  // the rows carry a fourth byte, left out
  for (int y = 0; y < height; ++y) {
    png_write_row(png, const_cast<png_bytep>(rgba + static_cast<std::size_t>(y) * rowBytes));
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool EncodeFramePng(const std::uint8_t* rgba, int width, int height, int rowBytes, int compressionLevel,
                    std::vector<std::uint8_t>* out, std::string* message) {
  out->clear();
  if (rgba == nullptr || width < 1 || height < 1 || rowBytes < width * 4) {
    *message = "no frame to encode";
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, message, RaiseError, IgnoreWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    *message = "out of memory";
    return false;
  }
  out->reserve(static_cast<std::size_t>(width) * height * 3 / 2 + 1024);
  PngMemory memory{out};
  png_set_write_fn(png, &memory, AppendBytes, NoFlush);
  const bool ok = EncodeRows(png, info, rgba, width, height, rowBytes, compressionLevel);
  png_destroy_write_struct(&png, &info);
  return ok;
}

bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* message) {
  const std::string temporary = path + ".part" + std::to_string(getpid());
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (f == nullptr) {
    *message = "Unable to open file " + path + " for writing: " + std::strerror(errno);
    return false;
  }
  const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!wrote || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    *message = "Unable to write " + path;
    return false;
  }
  return true;
}

PngFrameWriter::PngFrameWriter(int compressionLevel, std::size_t maxQueued)
    : level_(compressionLevel), maxQueued_(maxQueued < 1 ? 1 : maxQueued), thread_([this] { Run(); }) {}

PngFrameWriter::~PngFrameWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void PngFrameWriter::Write(const std::string& path, const std::uint8_t* rgba, int width, int height,
                           int rowBytes) {
  std::vector<std::uint8_t> pixels;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < maxQueued_; });
    if (!error_.empty()) return;
    if (!spare_.empty()) {
      pixels = std::move(spare_.back());
      spare_.pop_back();
    }
  }
  const std::size_t packed = static_cast<std::size_t>(width) * 4;
  pixels.resize(packed * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    std::memcpy(pixels.data() + packed * y, rgba + static_cast<std::size_t>(rowBytes) * y, packed);
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(Job{path, std::move(pixels), width, height});
  }
  changed_.notify_all();
}

bool PngFrameWriter::Finish(std::string* message) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
  if (error_.empty()) return true;
  *message = error_;
  return false;
}

long PngFrameWriter::written() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return written_;
}

void PngFrameWriter::Run() {
  std::vector<std::uint8_t> encoded;
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      job = std::move(queue_.front());
      queue_.pop_front();
      busy_ = true;
    }
    changed_.notify_all();
    std::string message;
    const bool ok = EncodeFramePng(job.pixels.data(), job.width, job.height, job.width * 4, level_, &encoded,
                                   &message) &&
                    WriteFileAtomically(job.path, encoded, &message);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      busy_ = false;
      if (ok) {
        ++written_;
      } else if (error_.empty()) {
        error_ = message.empty() ? "Unable to write " + job.path : message;
        queue_.clear();
      }
      spare_.push_back(std::move(job.pixels));
    }
    changed_.notify_all();
  }
}

}  // namespace zynplay
