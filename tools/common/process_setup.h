#pragma once

namespace tools {

// Keeps large blocks mapped between uses: glibc otherwise returns every big
// buffer to the kernel and the next one pays a page fault per 4 KiB.
void TuneAllocator();

}  // namespace tools
