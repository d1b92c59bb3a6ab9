// Decodes arbitrary bytes with the IFF reader.
#include "fuzz/image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return image_fuzz::DecodeWith("iff", data, size);
}
