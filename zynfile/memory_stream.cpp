#include "zynfile/memory_stream.h"

#include <algorithm>
#include <cstring>

#include "zynfile/file_stream.h"

void VMemoryStream::OpenBytes(const void* data, size_t size) {
  Close();
  data_ = static_cast<const uint8_t*>(data);
  size_ = size;
  open_ = true;
}

void VMemoryStream::OpenBuffer() {
  Close();
  writable_ = true;
  open_ = true;
}

bool VMemoryStream::Open(const std::string& path, VStreamMode mode) {
  Close();
  if (mode == kVStreamCreate) {
    OpenBuffer();
    return true;
  }
  VFileStream file;
  if (!file.Open(path, kVStreamRead)) return false;
  owned_.resize(static_cast<size_t>(file.Size()));
  if (file.Read(owned_.data(), owned_.size()) != owned_.size()) {
    owned_.clear();
    return false;
  }
  data_ = owned_.data();
  size_ = owned_.size();
  writable_ = mode == kVStreamReadWrite;
  open_ = true;
  return true;
}

void VMemoryStream::Close() {
  open_ = false;
  writable_ = false;
  error_ = 0;
  data_ = nullptr;
  size_ = 0;
  position_ = 0;
  owned_.clear();
}

size_t VMemoryStream::Read(void* buffer, size_t n) {
  if (!open_ || position_ >= size_) return 0;
  size_t take = std::min(n, size_ - position_);
  std::memcpy(buffer, data_ + position_, take);
  position_ += take;
  return take;
}

bool VMemoryStream::Write(const void* data, size_t n) {
  if (!open_ || !writable_) {
    error_ = 1;
    return false;
  }
  if (data_ != owned_.data()) {  // first write over borrowed bytes: take a copy
    owned_.assign(data_, data_ + size_);
  }
  if (position_ + n > owned_.size()) owned_.resize(position_ + n);
  if (n) std::memcpy(owned_.data() + position_, data, n);
  position_ += n;
  data_ = owned_.data();
  size_ = owned_.size();
  return true;
}

bool VMemoryStream::Seek(int64_t offset, VStreamOrigin origin) {
  if (!open_) return false;
  int64_t base = origin == kVSeekSet ? 0 : origin == kVSeekCur ? static_cast<int64_t>(position_)
                                                               : static_cast<int64_t>(size_);
  int64_t target = base + offset;
  if (target < 0) return false;
  position_ = static_cast<size_t>(target);
  return true;
}

bool VMemoryStream::Truncate(int64_t size) {
  if (!open_ || !writable_ || size < 0) return false;
  if (data_ != owned_.data()) owned_.assign(data_, data_ + size_);
  owned_.resize(static_cast<size_t>(size));
  data_ = owned_.data();
  size_ = owned_.size();
  return true;
}

const uint8_t* VMemoryStream::View(int64_t offset, size_t n) {
  if (!open_ || offset < 0 || static_cast<uint64_t>(offset) + n > size_) return nullptr;
  return data_ + offset;
}
