// The importer's scan over whole files in either form: the header's camera
// resolution, the document summary's takes, and the scene read where the
// header lacks the camera; the track it makes must always be usable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "component/import_scan.h"
#include "sdk/yr_zyn_file_summary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  YrSDK::YrZynFileSummary summary;
  summary.Open(data, size);
  const qtzyn::ImportScan scan = qtzyn::ScanOpenedFile(summary);
  const bool usable = scan.size.width >= 0 && scan.size.width <= qtzyn::kMaxTrackSide && scan.size.height >= 0 &&
                      scan.size.height <= qtzyn::kMaxTrackSide && scan.duration >= 1;
  if (!usable) std::abort();
  return 0;
}
