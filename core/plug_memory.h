#pragma once
// Memory of plugs: the objects and properties of scenes, and the other
// small records a scene holds by the ten thousand (animation curves and
// their nodes).
//
// A scene holds tens of thousands of objects with dozens of properties each,
// all small and made together. They come from size classes of 8-byte steps,
// cut from large blocks advised for huge pages (fresh memory is first
// touched far faster that way), with no per-block header; a freed plug goes
// back to its class's list. Plugs larger than the largest class come from
// the ordinary heap. Safe to use from several threads.

#include <cstddef>

void* VPlugAllocate(std::size_t size);
// The same, answering null when memory runs out; freed with VPlugFree.
void* VPlugTryAllocate(std::size_t size);
void VPlugFree(void* memory, std::size_t size);

struct VPlugMemoryStats {
  std::size_t inUse = 0;     // bytes of the plugs alive (rounded to their class)
  std::size_t reserved = 0;  // bytes taken from the system for the classes
};
VPlugMemoryStats VPlugMemoryStatistics();
