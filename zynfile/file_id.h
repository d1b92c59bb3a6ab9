#pragma once
// Section identification: the file id, the footer id that seals a section,
// and the footer signature that lets the footer walk find sections.

#include <cstdint>

#include "zynfile/zyn_header.h"

// The three fixed 16-byte constants of our files. Files already written
// depend on them: never change them.
extern const uint8_t kVZynFileIdConstant[16];
extern const uint8_t kVZynFooterKeyConstant[16];
extern const uint8_t kVZynFooterSignature[16];

// The 16-character key made of a section's creation time.
void VZynCreationTimeKey(const VZynTimeStamp& time, uint8_t key[16]);
void VZynScramble(uint8_t data[16], const uint8_t key[16]);
void VZynDescramble(uint8_t data[16], const uint8_t key[16]);

// The file id and footer id of a section created at the given time.
void VZynMakeFileId(const VZynTimeStamp& time, uint8_t file_id[16]);
void VZynMakeFooterId(const VZynTimeStamp& time, const uint8_t file_id[16], uint8_t footer_id[16]);
// True when the footer id seals the file id for that creation time.
bool VZynFooterIdMatches(const VZynTimeStamp& time, const uint8_t file_id[16], const uint8_t footer_id[16]);
