#pragma once
// The byte stream under every file object: a disk file, a block of memory,
// or a cipher stream over another stream.

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

// Open modes of a stream; they match the file object's open modes.
enum VStreamMode {
  kVStreamRead = 0,       // existing file, read only ("rb")
  kVStreamCreate = 1,     // new or truncated file, written ("wb")
  kVStreamReadWrite = 2,  // existing file, read and written ("r+b")
};

enum VStreamOrigin { kVSeekSet = 0, kVSeekCur = 1, kVSeekEnd = 2 };

class VStream {
 public:
  virtual ~VStream() = default;

  virtual bool Open(const std::string& path, VStreamMode mode) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Reads up to n bytes at the position and answers how many were read.
  virtual size_t Read(void* buffer, size_t n) = 0;
  // Writes n bytes at the position; false (and the error state set) on failure.
  virtual bool Write(const void* data, size_t n) = 0;
  virtual bool Seek(int64_t offset, VStreamOrigin origin) = 0;
  virtual int64_t Tell() const = 0;
  virtual int64_t Size() const = 0;
  virtual bool Truncate(int64_t size) = 0;
  // Non-zero once a write failed.
  virtual int Error() const = 0;

  // Overwrites bytes at an absolute offset without moving the position.
  // Streams with a write buffer patch it in place.
  virtual bool WriteAt(int64_t offset, const void* data, size_t n);
  // A direct read-only view of [offset, offset + n) when the stream's bytes
  // are in memory (a mapped file or a memory stream); null otherwise. The
  // view stays valid until the stream is written, truncated or closed.
  virtual const uint8_t* View(int64_t /*offset*/, size_t /*n*/) { return nullptr; }

  // Reads a line of at most n - 1 bytes including its LF; null at the end.
  char* ReadLine(char* buffer, size_t n);
  bool SetPosition(int64_t offset) { return Seek(offset, kVSeekSet); }
  bool Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
};
