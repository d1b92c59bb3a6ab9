// Decodes raw YUV frames built from the input: the first byte picks a line
// count around the two accepted ones, the rest is repeated to fill it.
#include <vector>

#include "fuzz/image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return image_fuzz::DecodeWith("yuv", data, size);
  const size_t lines[] = {485, 486, 487, 575, 576, 577};
  const size_t extra = size > 1 ? data[1] % 8 : 0;
  size_t total = lines[data[0] % 6] * 1440;
  total = (data[0] & 0x80) ? total - extra : total + extra * 200;
  std::vector<uint8_t> frame(total);
  const uint8_t* body = data + 1;
  const size_t bodySize = size - 1;
  for (size_t i = 0; i < total; ++i) frame[i] = bodySize ? body[i % bodySize] : 0x80;
  return image_fuzz::DecodeWith("yuv", frame.data(), frame.size());
}
