#include "render/image/image_stream.h"

#include <atomic>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace {

void DiscardTrace(const char*) {}

std::atomic<VImageTraceFunction> gTrace{DiscardTrace};

constexpr long long kMaxFileBytes = 1LL << 30;

}  // namespace

void VImageSetTraceFunction(VImageTraceFunction function) {
  gTrace.store(function ? function : DiscardTrace);
}

void VImageTrace(const char* text) { gTrace.load()(text); }

bool VImageLoadFile(const std::string& fileName, std::vector<uint8_t>* bytes) {
  bytes->clear();
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return false;
  bool ok = false;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long long size = std::ftell(file);
    if (size >= 0 && size <= kMaxFileBytes && std::fseek(file, 0, SEEK_SET) == 0) {
      try {
        bytes->resize(static_cast<size_t>(size));
        ok = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
      } catch (...) {
        ok = false;
      }
    }
  }
  std::fclose(file);
  if (!ok) std::vector<uint8_t>().swap(*bytes);
  return ok;
}

bool VImageWriteFileAtomically(const std::string& fileName, const std::vector<uint8_t>& bytes) {
  const std::string temp = fileName + ".tmp" + std::to_string(static_cast<long>(getpid()));
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = (std::fclose(file) == 0) && ok;
  if (ok) ok = std::rename(temp.c_str(), fileName.c_str()) == 0;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

bool VImageStream::Read(VImage& image) {
  image.Clear();
  std::vector<uint8_t> bytes;
  if (!VImageLoadFile(mFileName, &bytes)) return false;
  return ReadMemory(bytes.data(), bytes.size(), image);
}

bool VImageStream::ReadMemory(const uint8_t* data, size_t size, VImage& image) {
  image.Clear();
  if (!data) size = 0;
  static const uint8_t kNothing = 0;
  if (!Decode(data ? data : &kNothing, size, image)) {
    image.Clear();
    return false;
  }
  return !image.IsEmpty();
}

bool VImageStream::Write(const VImage&) { return false; }
