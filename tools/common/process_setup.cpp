#include "tools/common/process_setup.h"

#include <malloc.h>

namespace tools {

void TuneAllocator() {
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
}

}  // namespace tools
