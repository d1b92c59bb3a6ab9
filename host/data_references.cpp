#include "host/data_references.h"

#include <sys/stat.h>

#include <cstring>

#include "host/handles.h"

namespace {

constexpr long kAliasHeaderSize = 8;

bool validPath(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  return ::strnlen(path, kMaxNativePath) < static_cast<std::size_t>(kMaxNativePath);
}

void fillFileSpec(const char* path, FSSpec* fileSpec) {
  *fileSpec = FSSpec();
  const std::size_t length = std::strlen(path);
  std::memcpy(fileSpec->path, path, length + 1);
  const char* slash = std::strrchr(path, '/');
  const char* leaf = slash != nullptr ? slash + 1 : path;
  std::size_t leafLength = std::strlen(leaf);
  if (leafLength > sizeof(fileSpec->name) - 1) leafLength = sizeof(fileSpec->name) - 1;
  fileSpec->name[0] = static_cast<unsigned char>(leafLength);
  std::memcpy(fileSpec->name + 1, leaf, leafLength);
}

OSErr newAliasForPath(const char* path, AliasHandle* alias) {
  const std::size_t length = std::strlen(path);
  const Size total = static_cast<Size>(kAliasHeaderSize + static_cast<long>(length) + 1);
  Handle h = NewHandleClear(total);
  if (h == nullptr) return memFullErr;
  const OSType tag = kAliasRecordTag;
  const UInt32 pathLength = static_cast<UInt32>(length);
  std::memcpy(*h, &tag, 4);
  std::memcpy(*h + 4, &pathLength, 4);
  std::memcpy(*h + kAliasHeaderSize, path, length + 1);
  *alias = h;
  return noErr;
}

}  // namespace

OSErr NativePathNameToFSSpec(const char* path, FSSpec* fileSpec, long /*flags*/) {
  if (fileSpec == nullptr || !validPath(path)) return paramErr;
  fillFileSpec(path, fileSpec);
  struct stat info;
  if (::stat(path, &info) != 0) return fnfErr;
  return noErr;
}

OSErr FSSpecToNativePathName(const FSSpec* fileSpec, char* path, long maxPathSize, long /*flags*/) {
  if (fileSpec == nullptr || path == nullptr || maxPathSize <= 0) return paramErr;
  const std::size_t length = ::strnlen(fileSpec->path, sizeof(fileSpec->path));
  if (length >= sizeof(fileSpec->path) || static_cast<long>(length) >= maxPathSize) return paramErr;
  std::memcpy(path, fileSpec->path, length + 1);
  return noErr;
}

OSErr NewAliasMinimal(const FSSpec* target, AliasHandle* alias) {
  if (alias == nullptr) return paramErr;
  *alias = nullptr;
  if (target == nullptr || !validPath(target->path)) return paramErr;
  return newAliasForPath(target->path, alias);
}

OSErr HostNewFileDataRef(const char* path, Handle* dataRef) {
  if (dataRef == nullptr) return paramErr;
  *dataRef = nullptr;
  if (!validPath(path)) return paramErr;
  return newAliasForPath(path, dataRef);
}

OSErr HostFileDataRefPath(Handle dataRef, OSType dataRefType, std::string* path) {
  if (path == nullptr) return paramErr;
  path->clear();
  if (dataRefType != rAliasType) return invalidDataRef;
  const Size size = GetHandleSize(dataRef);  // 0 for a null or dead handle
  if (size < kAliasHeaderSize + 2) return invalidDataRef;
  OSType tag = 0;
  UInt32 length = 0;
  std::memcpy(&tag, *dataRef, 4);
  std::memcpy(&length, *dataRef + 4, 4);
  if (tag != kAliasRecordTag || length == 0 || length >= static_cast<UInt32>(kMaxNativePath)) return invalidDataRef;
  if (static_cast<long>(length) > static_cast<long>(size) - kAliasHeaderSize - 1) return invalidDataRef;
  const char* bytes = *dataRef + kAliasHeaderSize;
  if (bytes[length] != '\0' || std::memchr(bytes, '\0', length) != nullptr) return invalidDataRef;
  path->assign(bytes, length);
  return noErr;
}
