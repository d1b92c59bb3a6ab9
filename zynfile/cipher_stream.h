#pragma once
// A stream that enciphers with XChaCha20 every byte at or after a start
// offset of the stream below it. Offsets are those of the stream below, so
// records keep their absolute end offsets, and any byte can be read or
// patched on its own (the key stream is addressed by position).

#include <cstdint>

#include "zynfile/stream.h"

class VCipherStream final : public VStream {
 public:
  VCipherStream(VStream* inner, int64_t start, const uint8_t key[32], const uint8_t nonce[24]);
  ~VCipherStream() override;

  bool Open(const std::string&, VStreamMode) override { return false; }
  void Close() override {}
  bool IsOpen() const override { return inner_->IsOpen(); }
  size_t Read(void* buffer, size_t n) override;
  bool Write(const void* data, size_t n) override;
  bool WriteAt(int64_t offset, const void* data, size_t n) override;
  bool Seek(int64_t offset, VStreamOrigin origin) override { return inner_->Seek(offset, origin); }
  int64_t Tell() const override { return inner_->Tell(); }
  int64_t Size() const override { return inner_->Size(); }
  bool Truncate(int64_t size) override { return inner_->Truncate(size); }
  int Error() const override { return inner_->Error(); }

 private:
  // XORs the key stream for stream offset `offset` into n bytes.
  void Apply(uint8_t* bytes, size_t n, int64_t offset) const;

  VStream* inner_;
  int64_t start_;
  uint8_t key_[32];
  uint8_t nonce_[24];
};
