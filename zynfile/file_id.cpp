#include "zynfile/file_id.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

const uint8_t kVZynFileIdConstant[16] = {0x51, 0x54, 0x5a, 0x79, 0x6e, 0x2d, 0x66, 0x69,
                                         0x6c, 0x65, 0x2d, 0x69, 0x64, 0x9c, 0x3e, 0x17};
const uint8_t kVZynFooterKeyConstant[16] = {0xe3, 0x1f, 0x8a, 0x52, 0x07, 0xc6, 0x3d, 0xb9,
                                            0x64, 0xf0, 0x2b, 0x95, 0x4e, 0xd8, 0x11, 0x7a};
const uint8_t kVZynFooterSignature[16] = {0x9b, 0x2e, 0xc4, 0x70, 0x5a, 0x13, 0xe8, 0x86,
                                          0x3f, 0xd1, 0x47, 0xac, 0x69, 0x0c, 0xf5, 0x28};

void VZynCreationTimeKey(const VZynTimeStamp& t, uint8_t key[16]) {
  char text[64];
  // Out-of-range fields from a damaged file may widen the text; only the
  // first 16 characters form the key.
  std::snprintf(text, sizeof text, "%02d%02d%02d%02d%02d%04d%02d", t.second, t.month, t.hour, t.day,
                t.millisecond / 10, t.year, t.minute);
  std::memset(key, 0, 16);
  std::memcpy(key, text, std::min<size_t>(16, std::strlen(text)));
}

void VZynScramble(uint8_t data[16], const uint8_t key[16]) {
  uint8_t c = 0x40;
  for (int i = 0; i < 16; ++i) {
    c = static_cast<uint8_t>(c ^ key[i] ^ data[i]);
    data[i] = c;
  }
}

void VZynDescramble(uint8_t data[16], const uint8_t key[16]) {
  uint8_t c = 0x40;
  for (int i = 0; i < 16; ++i) {
    uint8_t d = data[i];
    data[i] = static_cast<uint8_t>(key[i] ^ d ^ c);
    c = d;
  }
}

void VZynMakeFileId(const VZynTimeStamp& time, uint8_t file_id[16]) {
  uint8_t key[16];
  VZynCreationTimeKey(time, key);
  std::memcpy(file_id, kVZynFileIdConstant, 16);
  VZynScramble(file_id, key);
}

void VZynMakeFooterId(const VZynTimeStamp& time, const uint8_t file_id[16], uint8_t footer_id[16]) {
  uint8_t key[16];
  VZynCreationTimeKey(time, key);
  std::memcpy(footer_id, file_id, 16);
  VZynScramble(footer_id, kVZynFooterKeyConstant);
  VZynScramble(footer_id, key);
}

bool VZynFooterIdMatches(const VZynTimeStamp& time, const uint8_t file_id[16], const uint8_t footer_id[16]) {
  uint8_t key[16];
  VZynCreationTimeKey(time, key);
  uint8_t footer[16], file[16];
  std::memcpy(footer, footer_id, 16);
  VZynDescramble(footer, key);
  VZynDescramble(footer, kVZynFooterKeyConstant);
  VZynDescramble(footer, key);
  std::memcpy(file, file_id, 16);
  VZynDescramble(file, key);
  return std::memcmp(footer, file, 16) == 0;
}
