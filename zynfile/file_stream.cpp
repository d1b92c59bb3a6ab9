#include "zynfile/file_stream.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kWriteBufferSize = 1 << 20;
constexpr size_t kReadBufferSize = 64 << 10;

bool WriteAll(int fd, const uint8_t* data, size_t n, int64_t offset) {
  while (n > 0) {
    ssize_t done = pwrite(fd, data, n, offset);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    data += done;
    n -= static_cast<size_t>(done);
    offset += done;
  }
  return true;
}

}  // namespace

VFileStream::~VFileStream() { Close(); }

bool VFileStream::Open(const std::string& path, VStreamMode mode) {
  Close();
  int flags = mode == kVStreamRead ? O_RDONLY : mode == kVStreamCreate ? O_RDWR | O_CREAT | O_TRUNC : O_RDWR;
  int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  mode_ = mode;
  error_ = 0;
  position_ = 0;
  file_size_ = st.st_size;
  write_buffer_.clear();
  write_start_ = 0;
  read_length_ = 0;
  return true;
}

void VFileStream::Close() {
  if (fd_ < 0) return;
  Flush();
  Unmap();
  ::close(fd_);
  fd_ = -1;
  write_buffer_.clear();
  write_buffer_.shrink_to_fit();
  read_buffer_.clear();
  read_buffer_.shrink_to_fit();
  read_length_ = 0;
}

void VFileStream::Unmap() {
  if (map_) munmap(map_, map_size_);
  map_ = nullptr;
  map_size_ = 0;
}

bool VFileStream::Flush() {
  if (fd_ < 0 || write_buffer_.empty()) return true;
  bool ok = WriteAll(fd_, write_buffer_.data(), write_buffer_.size(), write_start_);
  if (!ok) error_ = errno ? errno : EIO;
  file_size_ = std::max(file_size_, write_start_ + static_cast<int64_t>(write_buffer_.size()));
  write_buffer_.clear();
  return ok;
}

int64_t VFileStream::Size() const {
  return std::max(file_size_, write_start_ + static_cast<int64_t>(write_buffer_.size()));
}

bool VFileStream::FillReadBuffer() {
  if (read_buffer_.size() < kReadBufferSize) read_buffer_.resize(kReadBufferSize);
  ssize_t got;
  do {
    got = pread(fd_, read_buffer_.data(), read_buffer_.size(), position_);
  } while (got < 0 && errno == EINTR);
  read_start_ = position_;
  read_length_ = got > 0 ? static_cast<size_t>(got) : 0;
  return read_length_ > 0;
}

size_t VFileStream::Read(void* buffer, size_t n) {
  if (fd_ < 0 || n == 0) return 0;
  if (!write_buffer_.empty() && !Flush()) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < n) {
    if (position_ >= read_start_ && position_ < read_start_ + static_cast<int64_t>(read_length_)) {
      size_t offset = static_cast<size_t>(position_ - read_start_);
      size_t take = std::min(n - done, read_length_ - offset);
      std::memcpy(out + done, read_buffer_.data() + offset, take);
      done += take;
      position_ += static_cast<int64_t>(take);
      continue;
    }
    if (n - done >= kReadBufferSize) {  // large reads bypass the buffer
      ssize_t got = pread(fd_, out + done, n - done, position_);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<size_t>(got);
      position_ += got;
      continue;
    }
    if (!FillReadBuffer()) break;
  }
  return done;
}

bool VFileStream::Write(const void* data, size_t n) {
  if (fd_ < 0 || mode_ == kVStreamRead) {
    error_ = EBADF;
    return false;
  }
  read_length_ = 0;  // the read buffer may now be stale
  const auto* in = static_cast<const uint8_t*>(data);
  int64_t buffer_end = write_start_ + static_cast<int64_t>(write_buffer_.size());
  if (write_buffer_.empty()) {
    write_start_ = position_;
  } else if (position_ != buffer_end) {
    if (!Flush()) return false;
    write_start_ = position_;
  }
  if (write_buffer_.capacity() < kWriteBufferSize) write_buffer_.reserve(kWriteBufferSize);
  if (write_buffer_.size() + n > kWriteBufferSize) {
    if (!Flush()) return false;
    write_start_ = position_;
    if (n >= kWriteBufferSize) {
      if (!WriteAll(fd_, in, n, position_)) {
        error_ = errno ? errno : EIO;
        return false;
      }
      position_ += static_cast<int64_t>(n);
      file_size_ = std::max(file_size_, position_);
      return true;
    }
  }
  write_buffer_.insert(write_buffer_.end(), in, in + n);
  position_ += static_cast<int64_t>(n);
  return true;
}

bool VFileStream::WriteAt(int64_t offset, const void* data, size_t n) {
  if (fd_ < 0 || mode_ == kVStreamRead || offset < 0) return false;
  read_length_ = 0;
  int64_t buffer_end = write_start_ + static_cast<int64_t>(write_buffer_.size());
  int64_t end = offset + static_cast<int64_t>(n);
  if (!write_buffer_.empty() && offset >= write_start_ && end <= buffer_end) {
    std::memcpy(write_buffer_.data() + (offset - write_start_), data, n);
    return true;
  }
  if (!write_buffer_.empty() && end > write_start_ && offset < buffer_end) {
    if (!Flush()) return false;
  }
  if (!WriteAll(fd_, static_cast<const uint8_t*>(data), n, offset)) {
    error_ = errno ? errno : EIO;
    return false;
  }
  file_size_ = std::max(file_size_, end);
  return true;
}

bool VFileStream::Seek(int64_t offset, VStreamOrigin origin) {
  if (fd_ < 0) return false;
  int64_t base = origin == kVSeekSet ? 0 : origin == kVSeekCur ? position_ : Size();
  int64_t target = base + offset;
  if (target < 0) return false;
  position_ = target;
  return true;
}

bool VFileStream::Truncate(int64_t size) {
  if (fd_ < 0 || mode_ == kVStreamRead || size < 0 || !Flush()) return false;
  Unmap();
  read_length_ = 0;
  if (ftruncate(fd_, size) != 0) {
    error_ = errno;
    return false;
  }
  file_size_ = size;
  return true;
}

const uint8_t* VFileStream::View(int64_t offset, size_t n) {
  if (fd_ < 0 || offset < 0 || !Flush()) return nullptr;
  if (static_cast<uint64_t>(offset) + n > static_cast<uint64_t>(file_size_)) return nullptr;
  size_t end = static_cast<size_t>(offset) + n;
  if (end > map_size_) {
    Unmap();
    if (file_size_ == 0) return nullptr;
    int prot = mode_ == kVStreamRead ? PROT_READ : PROT_READ;
    void* m = mmap(nullptr, static_cast<size_t>(file_size_), prot, MAP_SHARED | MAP_POPULATE, fd_, 0);
    if (m == MAP_FAILED) return nullptr;
    map_ = static_cast<uint8_t*>(m);
    map_size_ = static_cast<size_t>(file_size_);
  }
  return map_ + offset;
}
