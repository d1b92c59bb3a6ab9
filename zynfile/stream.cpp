#include "zynfile/stream.h"

#include <cstdio>
#include <vector>

bool VStream::WriteAt(int64_t offset, const void* data, size_t n) {
  int64_t here = Tell();
  if (!Seek(offset, kVSeekSet)) return false;
  bool ok = Write(data, n);
  return Seek(here, kVSeekSet) && ok;
}

char* VStream::ReadLine(char* buffer, size_t n) {
  if (n == 0) return nullptr;
  size_t count = 0;
  while (count + 1 < n) {
    char c;
    if (Read(&c, 1) != 1) break;
    buffer[count++] = c;
    if (c == '\n') break;
  }
  buffer[count] = '\0';
  return count ? buffer : nullptr;
}

bool VStream::Print(const char* format, ...) {
  char small[512];
  va_list args;
  va_start(args, format);
  int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length < 0) return false;
  if (static_cast<size_t>(length) < sizeof small) return Write(small, static_cast<size_t>(length));
  std::vector<char> big(static_cast<size_t>(length) + 1);
  va_start(args, format);
  std::vsnprintf(big.data(), big.size(), format, args);
  va_end(args);
  return Write(big.data(), static_cast<size_t>(length));
}
