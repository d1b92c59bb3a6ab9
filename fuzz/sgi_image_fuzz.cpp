// Decodes arbitrary bytes with the SGI reader.
#include "fuzz/image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return image_fuzz::DecodeWith("sgi", data, size);
}
