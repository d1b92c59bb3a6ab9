#include "host/handles.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

namespace {

// The block behind a handle: the master pointer first, so that the handle
// (the master pointer's address) is also the block record's address.
struct HandleBlock {
  char* master = nullptr;
  Size size = 0;
  bool locked = false;
};
static_assert(offsetof(HandleBlock, master) == 0, "a handle is the address of its master pointer");

thread_local OSErr t_memError = noErr;

// Every live handle, so that a disposed or forged handle is recognised
// instead of being followed.
std::mutex& registryMutex() {
  static std::mutex m;
  return m;
}
std::unordered_set<const void*>& registry() {
  static auto* live = new std::unordered_set<const void*>();  // never destroyed: usable at exit
  return *live;
}

// The live block behind `h`, or null. Caller holds the registry lock.
HandleBlock* liveBlock(Handle h) {
  if (h == nullptr || registry().count(h) == 0) return nullptr;
  return reinterpret_cast<HandleBlock*>(h);
}

bool sizeAllowed(long size) { return size >= 0 && size <= kMaxHandleSize; }

Handle allocate(Size size, bool clear) {
  if (!sizeAllowed(size)) {
    t_memError = memFullErr;
    return nullptr;
  }
  // One byte at least, so that the master pointer of an empty block is not null.
  const std::size_t bytes = size > 0 ? static_cast<std::size_t>(size) : 1;
  char* data = static_cast<char*>(clear ? std::calloc(bytes, 1) : std::malloc(bytes));
  auto* block = new (std::nothrow) HandleBlock;
  if (data == nullptr || block == nullptr) {
    std::free(data);
    delete block;
    t_memError = memFullErr;
    return nullptr;
  }
  block->master = data;
  block->size = size;
  Handle h = &block->master;
  {
    std::lock_guard<std::mutex> lock(registryMutex());
    registry().insert(h);
  }
  t_memError = noErr;
  return h;
}

}  // namespace

Handle NewHandle(Size size) { return allocate(size, false); }

Handle NewHandleClear(Size size) { return allocate(size, true); }

void DisposeHandle(Handle h) {
  if (h == nullptr) {
    t_memError = noErr;
    return;
  }
  HandleBlock* block = nullptr;
  {
    std::lock_guard<std::mutex> lock(registryMutex());
    block = liveBlock(h);
    if (block != nullptr) registry().erase(h);
  }
  if (block == nullptr) {
    t_memError = nilHandleErr;
    return;
  }
  std::free(block->master);
  delete block;
  t_memError = noErr;
}

Size GetHandleSize(Handle h) {
  std::lock_guard<std::mutex> lock(registryMutex());
  HandleBlock* block = liveBlock(h);
  if (block == nullptr) {
    t_memError = nilHandleErr;
    return 0;
  }
  t_memError = noErr;
  return block->size;
}

void SetHandleSize(Handle h, Size newSize) {
  std::lock_guard<std::mutex> lock(registryMutex());
  HandleBlock* block = liveBlock(h);
  if (block == nullptr) {
    t_memError = nilHandleErr;
    return;
  }
  if (!sizeAllowed(newSize)) {
    t_memError = memFullErr;
    return;
  }
  if (newSize <= block->size) {
    // Shrinking never moves the block; the spare bytes stay allocated.
    block->size = newSize;
    t_memError = noErr;
    return;
  }
  if (block->locked) {
    t_memError = memFullErr;
    return;
  }
  char* grown = static_cast<char*>(std::realloc(block->master, static_cast<std::size_t>(newSize)));
  if (grown == nullptr) {
    t_memError = memFullErr;
    return;
  }
  block->master = grown;
  block->size = newSize;
  t_memError = noErr;
}

void HLock(Handle h) {
  std::lock_guard<std::mutex> lock(registryMutex());
  HandleBlock* block = liveBlock(h);
  if (block == nullptr) {
    t_memError = nilHandleErr;
    return;
  }
  block->locked = true;
  t_memError = noErr;
}

void HUnlock(Handle h) {
  std::lock_guard<std::mutex> lock(registryMutex());
  HandleBlock* block = liveBlock(h);
  if (block == nullptr) {
    t_memError = nilHandleErr;
    return;
  }
  block->locked = false;
  t_memError = noErr;
}

OSErr PtrToHand(const void* source, Handle* dstHndl, long size) {
  if (dstHndl == nullptr) {
    t_memError = paramErr;
    return paramErr;
  }
  *dstHndl = nullptr;
  if (source == nullptr && size > 0) {
    t_memError = paramErr;
    return paramErr;
  }
  if (!sizeAllowed(size)) {
    t_memError = memFullErr;
    return memFullErr;
  }
  Handle h = NewHandle(static_cast<Size>(size));
  if (h == nullptr) return memFullErr;
  if (size > 0) std::memcpy(*h, source, static_cast<std::size_t>(size));
  *dstHndl = h;
  return noErr;
}

OSErr MemError() { return t_memError; }
