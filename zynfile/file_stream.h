#pragma once
// A disk file as a stream. Writes gather in a buffer (patches of bytes still
// in the buffer happen in place); reads are buffered; View maps the file so
// that readers can parse it without copying.

#include <vector>

#include "zynfile/stream.h"

class VFileStream final : public VStream {
 public:
  VFileStream() = default;
  ~VFileStream() override;
  VFileStream(const VFileStream&) = delete;
  VFileStream& operator=(const VFileStream&) = delete;

  bool Open(const std::string& path, VStreamMode mode) override;
  void Close() override;
  bool IsOpen() const override { return fd_ >= 0; }

  size_t Read(void* buffer, size_t n) override;
  bool Write(const void* data, size_t n) override;
  bool Seek(int64_t offset, VStreamOrigin origin) override;
  int64_t Tell() const override { return position_; }
  int64_t Size() const override;
  bool Truncate(int64_t size) override;
  int Error() const override { return error_; }
  bool WriteAt(int64_t offset, const void* data, size_t n) override;
  const uint8_t* View(int64_t offset, size_t n) override;

  // Writes what is buffered to the file.
  bool Flush();

 private:
  bool FillReadBuffer();
  void Unmap();

  int fd_ = -1;
  VStreamMode mode_ = kVStreamRead;
  int error_ = 0;
  int64_t position_ = 0;
  int64_t file_size_ = 0;  // size on disk, not counting the write buffer

  std::vector<uint8_t> write_buffer_;
  int64_t write_start_ = 0;  // file offset of write_buffer_[0]

  std::vector<uint8_t> read_buffer_;
  int64_t read_start_ = 0;
  size_t read_length_ = 0;

  uint8_t* map_ = nullptr;
  size_t map_size_ = 0;
};
