#pragma once
// A stream over bytes in memory: either a caller's bytes, read in place
// (the viewer parses a scene it already holds), or a buffer of its own that
// grows as it is written.

#include <vector>

#include "zynfile/stream.h"

class VMemoryStream final : public VStream {
 public:
  VMemoryStream() = default;
  // Reads the caller's bytes in place; they must outlive the stream.
  VMemoryStream(const void* data, size_t size) { OpenBytes(data, size); }

  void OpenBytes(const void* data, size_t size);
  // An empty stream of its own, to be written.
  void OpenBuffer();
  // Loads a file into a buffer of its own.
  bool Open(const std::string& path, VStreamMode mode) override;
  void Close() override;
  bool IsOpen() const override { return open_; }

  size_t Read(void* buffer, size_t n) override;
  bool Write(const void* data, size_t n) override;
  bool Seek(int64_t offset, VStreamOrigin origin) override;
  int64_t Tell() const override { return static_cast<int64_t>(position_); }
  int64_t Size() const override { return static_cast<int64_t>(size_); }
  bool Truncate(int64_t size) override;
  int Error() const override { return error_; }
  const uint8_t* View(int64_t offset, size_t n) override;

  const std::vector<uint8_t>& buffer() const { return owned_; }

 private:
  bool open_ = false;
  bool writable_ = false;
  int error_ = 0;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t position_ = 0;
  std::vector<uint8_t> owned_;
};
