#pragma once
// Protected (password) binary files. After the header extension and its
// null record stands a seal:
//   8  "ZYNSEAL" 0x01
//   4  Argon2id operations limit, 4  memory limit in KiB
//   16 salt, 24 nonce
//   32 MAC: keyed BLAKE2b over every byte of the file but these 32
// and every byte behind the seal is enciphered with XChaCha20, its key and
// the MAC key both derived from the password. The MAC is checked before a
// single enciphered byte is used, so a wrong password never yields data.

#include <cstdint>
#include <memory>
#include <string>

#include "zynfile/stream.h"

class VCipherStream;

struct VZynProtection {
  VZynProtection();
  ~VZynProtection();

  // Reads and checks the seal at offset at. Answers an error code of the
  // file object (kZynErrorNone when the file may be read).
  int Open(VStream* raw, int64_t at, const std::string& password, std::string* message);
  // Writes a new seal at offset at; the MAC is filled in by Seal.
  int Create(VStream* raw, int64_t at, const std::string& password, std::string* message);
  // Computes the MAC over the finished file and stores it.
  bool Seal(std::string* message);

  int64_t DataStart() const { return at_ + kSealSize; }
  VStream* Stream();

  static constexpr int64_t kSealSize = 88;

 private:
  bool DeriveKeys(const std::string& password);
  bool ComputeMac(uint8_t mac[32]);

  VStream* raw_ = nullptr;
  int64_t at_ = 0;
  uint32_t ops_limit_ = 0;
  uint32_t mem_limit_kib_ = 0;
  uint8_t salt_[16] = {};
  uint8_t nonce_[24] = {};
  uint8_t cipher_key_[32] = {};
  uint8_t mac_key_[32] = {};
  std::unique_ptr<VCipherStream> cipher_;
};
