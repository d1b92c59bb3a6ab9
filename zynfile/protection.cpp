#include "zynfile/protection.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "zynfile/byte_order.h"
#include "zynfile/cipher_stream.h"
#include "zynfile/zyn_error.h"

namespace {

constexpr uint8_t kSealMagic[8] = {'Z', 'Y', 'N', 'S', 'E', 'A', 'L', 1};
constexpr int64_t kMacOffset = 56;  // within the seal
// A damaged or hostile seal must not make us spend unbounded time or memory.
constexpr uint32_t kMaxOpsLimit = 16;
constexpr uint32_t kMaxMemLimitKiB = 256 * 1024;

bool SodiumReady() {
  static const bool ready = sodium_init() >= 0;
  return ready;
}

}  // namespace

VZynProtection::VZynProtection() = default;

VZynProtection::~VZynProtection() {
  sodium_memzero(cipher_key_, sizeof cipher_key_);
  sodium_memzero(mac_key_, sizeof mac_key_);
}

VStream* VZynProtection::Stream() { return cipher_.get(); }

bool VZynProtection::DeriveKeys(const std::string& password) {
  uint8_t keys[64];
  if (crypto_pwhash(keys, sizeof keys, password.data(), password.size(), salt_, ops_limit_,
                    static_cast<size_t>(mem_limit_kib_) * 1024, crypto_pwhash_ALG_ARGON2ID13) != 0) {
    return false;
  }
  std::memcpy(cipher_key_, keys, 32);
  std::memcpy(mac_key_, keys + 32, 32);
  sodium_memzero(keys, sizeof keys);
  cipher_ = std::make_unique<VCipherStream>(raw_, DataStart(), cipher_key_, nonce_);
  return true;
}

bool VZynProtection::ComputeMac(uint8_t mac[32]) {
  crypto_generichash_state state;
  crypto_generichash_init(&state, mac_key_, sizeof mac_key_, 32);
  int64_t size = raw_->Size();
  int64_t skip_begin = at_ + kMacOffset, skip_end = at_ + kSealSize;
  std::vector<uint8_t> chunk(1 << 20);
  for (int64_t p = 0; p < size;) {
    if (p == skip_begin) {
      p = skip_end;
      continue;
    }
    int64_t limit = p < skip_begin ? skip_begin : size;
    size_t n = static_cast<size_t>(std::min<int64_t>(limit - p, static_cast<int64_t>(chunk.size())));
    raw_->SetPosition(p);
    if (raw_->Read(chunk.data(), n) != n) return false;
    crypto_generichash_update(&state, chunk.data(), n);
    p += static_cast<int64_t>(n);
  }
  crypto_generichash_final(&state, mac, 32);
  return true;
}

int VZynProtection::Open(VStream* raw, int64_t at, const std::string& password, std::string* message) {
  raw_ = raw;
  at_ = at;
  uint8_t seal[kSealSize];
  raw->SetPosition(at);
  if (raw->Read(seal, sizeof seal) != sizeof seal || std::memcmp(seal, kSealMagic, 8) != 0) {
    *message = "File is corrupted (protection seal missing)";
    return kZynErrorCorrupted;
  }
  ops_limit_ = VLoadU32(seal + 8, false);
  mem_limit_kib_ = VLoadU32(seal + 12, false);
  std::memcpy(salt_, seal + 16, 16);
  std::memcpy(nonce_, seal + 32, 24);
  if (ops_limit_ < crypto_pwhash_OPSLIMIT_MIN || ops_limit_ > kMaxOpsLimit || mem_limit_kib_ < 8 ||
      mem_limit_kib_ > kMaxMemLimitKiB) {
    *message = "File is corrupted (protection parameters out of range)";
    return kZynErrorCorrupted;
  }
  if (password.empty()) {
    *message = "ZYN file is password protected";
    return kZynErrorPassword;
  }
  uint8_t mac[32];
  if (!SodiumReady() || !DeriveKeys(password) || !ComputeMac(mac) ||
      crypto_verify_32(mac, seal + kMacOffset) != 0) {
    cipher_.reset();
    *message = "CRC check failed";
    return kZynErrorCrc;
  }
  return kZynErrorNone;
}

int VZynProtection::Create(VStream* raw, int64_t at, const std::string& password, std::string* message) {
  raw_ = raw;
  at_ = at;
  if (password.empty()) {
    *message = "A protected file needs a password";
    return kZynErrorNotCreated;
  }
  if (!SodiumReady()) {
    *message = "Unable to create file (no cryptography)";
    return kZynErrorNotCreated;
  }
  ops_limit_ = crypto_pwhash_OPSLIMIT_INTERACTIVE;
  mem_limit_kib_ = static_cast<uint32_t>(crypto_pwhash_MEMLIMIT_INTERACTIVE / 1024);
  randombytes_buf(salt_, sizeof salt_);
  randombytes_buf(nonce_, sizeof nonce_);
  uint8_t seal[kSealSize] = {};
  std::memcpy(seal, kSealMagic, 8);
  VStoreU32(seal + 8, ops_limit_);
  VStoreU32(seal + 12, mem_limit_kib_);
  std::memcpy(seal + 16, salt_, 16);
  std::memcpy(seal + 32, nonce_, 24);
  raw->SetPosition(at);
  if (!raw->Write(seal, sizeof seal) || !DeriveKeys(password)) {
    *message = "Unable to create file (protection seal)";
    return kZynErrorNotCreated;
  }
  return kZynErrorNone;
}

bool VZynProtection::Seal(std::string* message) {
  uint8_t mac[32];
  if (!ComputeMac(mac) || !raw_->WriteAt(at_ + kMacOffset, mac, sizeof mac)) {
    *message = "No space left on device";
    return false;
  }
  return true;
}
