#include "core/plug_memory.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <new>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;  // the sanitizer sees every plug on its own
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

constexpr std::size_t kStep = 8;
constexpr std::size_t kLargestClass = 2048;  // a transform node fits
constexpr std::size_t kClassCount = kLargestClass / kStep;
constexpr std::size_t kBlockSize = std::size_t{2} << 20;  // one huge page

struct FreePlug {
  FreePlug* next;
};

class Pool {
 public:
  void* Allocate(std::size_t size) {
    const std::size_t c = (size + kStep - 1) / kStep - 1;
    Lock lock(mBusy);
    mInUse += (c + 1) * kStep;
    if (FreePlug* plug = mFree[c]) {
      mFree[c] = plug->next;
      return plug;
    }
    const std::size_t bytes = (c + 1) * kStep;
    if (mBlockLeft < bytes && !NewBlock()) {
      mInUse -= bytes;
      return nullptr;
    }
    void* memory = mBlockNext;
    mBlockNext += bytes;
    mBlockLeft -= bytes;
    return memory;
  }

  void Free(void* memory, std::size_t size) {
    const std::size_t c = (size + kStep - 1) / kStep - 1;
    Lock lock(mBusy);
    mInUse -= (c + 1) * kStep;
    auto* plug = static_cast<FreePlug*>(memory);
    plug->next = mFree[c];
    mFree[c] = plug;
  }

  VPlugMemoryStats Statistics() {
    Lock lock(mBusy);
    return VPlugMemoryStats{mInUse, mReserved};
  }

 private:
  class Lock {
   public:
    explicit Lock(std::atomic_flag& flag) : mFlag(flag) {
      while (mFlag.test_and_set(std::memory_order_acquire)) {
      }
    }
    ~Lock() { mFlag.clear(std::memory_order_release); }

   private:
    std::atomic_flag& mFlag;
  };

  // A block aligned to its size, so that the system can back it with one
  // huge page. What is left of the previous block is dropped (less than
  // the largest class).
  bool NewBlock() {
    const std::size_t span = kBlockSize * 2;
    void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return false;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kBlockSize - 1) & ~(kBlockSize - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t end = start + span;
    if (end > aligned + kBlockSize) munmap(reinterpret_cast<void*>(aligned + kBlockSize), end - aligned - kBlockSize);
    madvise(reinterpret_cast<void*>(aligned), kBlockSize, MADV_HUGEPAGE);
    mBlockNext = reinterpret_cast<char*>(aligned);
    mBlockLeft = kBlockSize;
    mReserved += kBlockSize;
    return true;
  }

  std::atomic_flag mBusy = ATOMIC_FLAG_INIT;
  FreePlug* mFree[kClassCount] = {};
  char* mBlockNext = nullptr;
  std::size_t mBlockLeft = 0;
  std::size_t mInUse = 0;
  std::size_t mReserved = 0;
};

// Never destroyed: plugs of static objects may be freed after exit starts.
Pool& ThePool() {
  static Pool* pool = new Pool();
  return *pool;
}

}  // namespace

void* VPlugAllocate(std::size_t size) {
  if (!kPooled || size == 0 || size > kLargestClass) return ::operator new(size);
  void* memory = ThePool().Allocate(size);
  if (!memory) throw std::bad_alloc();
  return memory;
}

void* VPlugTryAllocate(std::size_t size) {
  if (!kPooled || size == 0 || size > kLargestClass) return ::operator new(size, std::nothrow);
  return ThePool().Allocate(size);
}

void VPlugFree(void* memory, std::size_t size) {
  if (!memory) return;
  if (!kPooled || size == 0 || size > kLargestClass) {
    ::operator delete(memory);
    return;
  }
  ThePool().Free(memory, size);
}

VPlugMemoryStats VPlugMemoryStatistics() { return ThePool().Statistics(); }
