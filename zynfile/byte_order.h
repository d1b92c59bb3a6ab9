#pragma once
// Little-endian loads and stores, with an optional swap for files written
// on big-endian machines.

#include <cstdint>
#include <cstring>

inline uint32_t VLoadU32(const uint8_t* p, bool swap) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return swap ? __builtin_bswap32(v) : v;
}

inline uint64_t VLoadU64(const uint8_t* p, bool swap) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return swap ? __builtin_bswap64(v) : v;
}

inline void VStoreU32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline void VStoreU64(uint8_t* p, uint64_t v) { std::memcpy(p, &v, 8); }
