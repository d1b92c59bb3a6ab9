#pragma once
// Bounds-checked reading of a byte range. Every read answers false (and
// reads nothing) when fewer bytes remain than it needs.

#include <cstddef>
#include <cstdint>
#include <cstring>

class VByteReader {
 public:
  VByteReader(const uint8_t* data, size_t size) : mData(data), mSize(data ? size : 0) {}

  size_t Size() const { return mSize; }
  size_t Offset() const { return mPos; }
  size_t Remaining() const { return mSize - mPos; }
  const uint8_t* Current() const { return mData + mPos; }
  const uint8_t* Data() const { return mData; }

  bool Seek(size_t offset) {
    if (offset > mSize) return false;
    mPos = offset;
    return true;
  }
  bool Skip(size_t count) {
    if (count > Remaining()) return false;
    mPos += count;
    return true;
  }
  bool Bytes(void* out, size_t count) {
    if (count > Remaining()) return false;
    if (count) std::memcpy(out, mData + mPos, count);
    mPos += count;
    return true;
  }
  // Points at the next count bytes and moves past them.
  bool Take(size_t count, const uint8_t** out) {
    if (count > Remaining()) return false;
    *out = mData + mPos;
    mPos += count;
    return true;
  }
  bool U8(uint8_t* v) { return Bytes(v, 1); }
  bool U16LE(uint16_t* v) {
    uint8_t b[2];
    if (!Bytes(b, 2)) return false;
    *v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
  }
  bool U16BE(uint16_t* v) {
    uint8_t b[2];
    if (!Bytes(b, 2)) return false;
    *v = static_cast<uint16_t>((b[0] << 8) | b[1]);
    return true;
  }
  bool U32LE(uint32_t* v) {
    uint8_t b[4];
    if (!Bytes(b, 4)) return false;
    *v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
         (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return true;
  }
  bool U32BE(uint32_t* v) {
    uint8_t b[4];
    if (!Bytes(b, 4)) return false;
    *v = (static_cast<uint32_t>(b[0]) << 24) | (static_cast<uint32_t>(b[1]) << 16) |
         (static_cast<uint32_t>(b[2]) << 8) | static_cast<uint32_t>(b[3]);
    return true;
  }

 private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};
