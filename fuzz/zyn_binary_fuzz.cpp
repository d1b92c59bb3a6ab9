// The binary reader: header, header extension, footer walk, sections,
// records and values.
#include "fuzz/zyn_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::WalkFile(data, size, true);
  return 0;
}
