#include "zynfile/cipher_stream.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <vector>

VCipherStream::VCipherStream(VStream* inner, int64_t start, const uint8_t key[32], const uint8_t nonce[24])
    : inner_(inner), start_(start) {
  std::memcpy(key_, key, 32);
  std::memcpy(nonce_, nonce, 24);
}

VCipherStream::~VCipherStream() { sodium_memzero(key_, sizeof key_); }

void VCipherStream::Apply(uint8_t* bytes, size_t n, int64_t offset) const {
  if (offset + static_cast<int64_t>(n) <= start_) return;
  if (offset < start_) {  // the part before the start stays plain
    size_t skip = static_cast<size_t>(start_ - offset);
    bytes += skip;
    n -= skip;
    offset = start_;
  }
  uint64_t position = static_cast<uint64_t>(offset - start_);
  size_t within = static_cast<size_t>(position % 64);
  uint64_t block = position / 64;
  if (within != 0) {  // a partial first block
    uint8_t pad[64] = {};
    size_t take = std::min(n, 64 - within);
    std::memcpy(pad + within, bytes, take);
    crypto_stream_xchacha20_xor_ic(pad, pad, 64, nonce_, block, key_);
    std::memcpy(bytes, pad + within, take);
    bytes += take;
    n -= take;
    ++block;
  }
  if (n > 0) crypto_stream_xchacha20_xor_ic(bytes, bytes, n, nonce_, block, key_);
}

size_t VCipherStream::Read(void* buffer, size_t n) {
  int64_t offset = inner_->Tell();
  size_t got = inner_->Read(buffer, n);
  Apply(static_cast<uint8_t*>(buffer), got, offset);
  return got;
}

bool VCipherStream::Write(const void* data, size_t n) {
  std::vector<uint8_t> copy(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + n);
  Apply(copy.data(), n, inner_->Tell());
  return inner_->Write(copy.data(), n);
}

bool VCipherStream::WriteAt(int64_t offset, const void* data, size_t n) {
  std::vector<uint8_t> copy(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + n);
  Apply(copy.data(), n, offset);
  return inner_->WriteAt(offset, copy.data(), n);
}
