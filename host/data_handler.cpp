#include "host/data_handler.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "host/data_references.h"
#include "host/handles.h"

struct DataHandlerComponentRecord {
  OSType dataRefType;
};

struct DataHandlerRecord {
  Handle dataRef = nullptr;  // our own copy
  std::string path;          // empty: no reference
  int fd = -1;
  long pieceSize = 0;        // 0: all bytes are there
  bool pieceSizeSet = false; // DataHSetPieceSize called: the environment is not read
  long arrived = 0;          // bytes arrived, pieces mode only
};

namespace {

const DataHandlerComponentRecord kFileDataHandler = {rAliasType};

long envPieceSize() {
  const char* text = std::getenv(kDataPieceSizeVariable);
  if (text == nullptr || *text == '\0') return 0;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value <= 0) return 0;
  return value > std::numeric_limits<long>::max() ? std::numeric_limits<long>::max() : static_cast<long>(value);
}

void closeFile(DataHandler dh) {
  if (dh->fd >= 0) ::close(dh->fd);
  dh->fd = -1;
  dh->arrived = 0;
}

// Current size of the open file; -1 when it cannot be asked.
long openFileSize(const DataHandler dh) {
  struct stat info;
  if (::fstat(dh->fd, &info) != 0) return -1;
  return static_cast<long>(info.st_size);
}

// Lets one more piece arrive (pieces mode).
void arrivePiece(DataHandler dh, long fileSize) {
  if (dh->pieceSize <= 0) return;
  if (dh->arrived >= fileSize) {
    dh->arrived = fileSize;
    return;
  }
  dh->arrived = fileSize - dh->arrived <= dh->pieceSize ? fileSize : dh->arrived + dh->pieceSize;
}

// Bytes that may be read now.
long availableBytes(const DataHandler dh, long fileSize) {
  return dh->pieceSize > 0 && dh->arrived < fileSize ? dh->arrived : fileSize;
}

}  // namespace

DataHandlerComponent GetDataHandler(Handle /*dataRef*/, OSType dataRefType, long flags) {
  if (dataRefType != rAliasType) return nullptr;
  if ((flags & kDataHCanWrite) != 0) return nullptr;
  return &kFileDataHandler;
}

OSErr OpenAComponent(DataHandlerComponent component, DataHandler* instance) {
  if (instance == nullptr) return paramErr;
  *instance = nullptr;
  if (component != &kFileDataHandler) return cantOpenHandler;
  DataHandler dh = new (std::nothrow) DataHandlerRecord;
  if (dh == nullptr) return memFullErr;
  *instance = dh;
  return noErr;
}

OSErr CloseComponent(DataHandler instance) {
  if (instance == nullptr) return paramErr;
  closeFile(instance);
  DisposeHandle(instance->dataRef);
  delete instance;
  return noErr;
}

ComponentResult DataHSetDataRef(DataHandler dh, Handle dataRef) {
  if (dh == nullptr) return paramErr;
  closeFile(dh);
  DisposeHandle(dh->dataRef);
  dh->dataRef = nullptr;
  dh->path.clear();
  std::string path;
  const OSErr err = HostFileDataRefPath(dataRef, rAliasType, &path);
  if (err != noErr) return err;
  Handle copy = nullptr;
  if (PtrToHand(*dataRef, &copy, GetHandleSize(dataRef)) != noErr) return memFullErr;
  dh->dataRef = copy;
  dh->path = path;
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return couldNotResolveDataRef;
  return noErr;
}

ComponentResult DataHResolveDataRef(DataHandler dh, Handle /*dataRef*/, Boolean* wasChanged,
                                    Boolean /*userInterfaceAllowed*/) {
  if (wasChanged != nullptr) *wasChanged = false;
  if (dh == nullptr) return paramErr;
  if (dh->path.empty()) return dataNoDataRef;
  struct stat info;
  if (::stat(dh->path.c_str(), &info) != 0) return couldNotResolveDataRef;
  return noErr;
}

ComponentResult DataHOpenForRead(DataHandler dh) {
  if (dh == nullptr) return paramErr;
  if (dh->path.empty()) return dataNoDataRef;
  if (dh->fd >= 0) return noErr;
  // Non-blocking, so that a pipe or a device at the path cannot stall the
  // open; only regular files are read.
  const int fd = ::open(dh->path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? OSErr(fnfErr) : OSErr(ioErr);
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return fnfErr;
  }
  dh->fd = fd;
  if (!dh->pieceSizeSet) dh->pieceSize = envPieceSize();
  dh->arrived = 0;
  arrivePiece(dh, static_cast<long>(info.st_size));
  return noErr;
}

ComponentResult DataHCloseForRead(DataHandler dh) {
  if (dh == nullptr) return paramErr;
  if (dh->fd < 0) return dataNotOpenForRead;
  closeFile(dh);
  return noErr;
}

ComponentResult DataHGetFileSize(DataHandler dh, long* fileSize) {
  if (fileSize == nullptr) return paramErr;
  *fileSize = 0;
  if (dh == nullptr) return paramErr;
  if (dh->fd >= 0) {
    const long size = openFileSize(dh);
    if (size < 0) return ioErr;
    *fileSize = size;
    return noErr;
  }
  if (dh->path.empty()) return dataNoDataRef;
  struct stat info;
  if (::stat(dh->path.c_str(), &info) != 0) return fnfErr;
  *fileSize = static_cast<long>(info.st_size);
  return noErr;
}

ComponentResult DataHGetAvailableFileSize(DataHandler dh, long* fileSize) {
  if (fileSize == nullptr) return paramErr;
  *fileSize = 0;
  if (dh == nullptr) return paramErr;
  if (dh->fd < 0) return dataNotOpenForRead;
  const long size = openFileSize(dh);
  if (size < 0) return ioErr;
  arrivePiece(dh, size);
  *fileSize = availableBytes(dh, size);
  return noErr;
}

ComponentResult DataHGetData(DataHandler dh, Handle h, long hOffset, long offset, long size) {
  if (dh == nullptr) return paramErr;
  const Size handleSize = GetHandleSize(h);
  if (MemError() != noErr) return nilHandleErr;
  if (hOffset < 0 || offset < 0 || size < 0) return paramErr;
  if (hOffset > handleSize || size > handleSize - hOffset) return paramErr;
  if (dh->fd < 0) return dataNotOpenForRead;
  const long fileSize = openFileSize(dh);
  if (fileSize < 0) return ioErr;
  arrivePiece(dh, fileSize);
  if (offset > fileSize || size > fileSize - offset) return eofErr;
  if (size > availableBytes(dh, fileSize) - offset) return notEnoughDataErr;
  if (size == 0) return noErr;
  // Read into a buffer of our own first, so that a short read leaves the
  // handle untouched.
  char* buffer = static_cast<char*>(std::malloc(static_cast<std::size_t>(size)));
  if (buffer == nullptr) return memFullErr;
  long done = 0;
  while (done < size) {
    const ssize_t n = ::pread(dh->fd, buffer + done, static_cast<std::size_t>(size - done),
                              static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      std::free(buffer);
      return n == 0 ? OSErr(eofErr) : OSErr(ioErr);  // the file shrank meanwhile, or a read error
    }
    done += static_cast<long>(n);
  }
  // The handle may have been resized by another thread meanwhile: ask again.
  if (GetHandleSize(h) < hOffset + size) {
    std::free(buffer);
    return paramErr;
  }
  std::memcpy(*h + hOffset, buffer, static_cast<std::size_t>(size));
  std::free(buffer);
  return noErr;
}

ComponentResult DataHGetFileName(DataHandler dh, Str255 str) {
  if (str == nullptr) return paramErr;
  str[0] = 0;
  if (dh == nullptr) return paramErr;
  if (dh->path.empty()) return dataNoDataRef;
  const std::size_t slash = dh->path.find_last_of('/');
  const std::string leaf = slash == std::string::npos ? dh->path : dh->path.substr(slash + 1);
  const std::size_t length = leaf.size() > 255 ? 255 : leaf.size();
  str[0] = static_cast<unsigned char>(length);
  std::memcpy(str + 1, leaf.data(), length);
  return noErr;
}

ComponentResult DataHSetPieceSize(DataHandler dh, long pieceSize) {
  if (dh == nullptr) return paramErr;
  dh->pieceSize = pieceSize > 0 ? pieceSize : 0;
  dh->pieceSizeSet = true;
  if (dh->fd >= 0 && dh->pieceSize > 0 && dh->arrived == 0) {
    const long size = openFileSize(dh);
    if (size >= 0) arrivePiece(dh, size);
  }
  return noErr;
}
