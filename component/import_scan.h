// The importer's quick scan of a scene file: the track's size from the
// camera resolution (the header's, else the scene's default camera's) and
// the sample's duration from the longest take. Every failure is silent and
// leaves the defaults: 500 x 280 and 1/60 s.
#pragma once

#include <cstdint>
#include <string>

#include "host/mac_types.h"

namespace YrSDK {
class YrZynFileSummary;
}

namespace qtzyn {

// Camera resolution modes, numbered as the engine numbers "ResolutionMode".
enum class SizeMode : SInt32 {
  kWindowSize = 0,
  kFixedRatio = 1,
  kFixedResolution = 2,
  kFixedWidthResolution = 3,
  kFixedHeightResolution = 4,
};

// The mode of a "ResolutionMode" name; any other text is the window size.
SizeMode SizeModeOfName(const std::string& name);

// The camera resolution a scan found, before the track size is made of it.
struct CameraResolution {
  SInt32 mode = 0;  // a SizeMode number; files may hold any number
  double resolutionW = 500.0;
  double resolutionH = 280.0;
};

struct TrackSize {
  SInt32 width;
  SInt32 height;
};

// Largest track side: the sample description holds it in 16 bits and a
// track's Fixed dimensions stop there too.
constexpr SInt32 kMaxTrackSide = 32767;

// The track size of a resolution: resolution values of 0 or less (or not a
// number) count as 1.0, products are truncated towards zero and each side
// is kept within 0..kMaxTrackSide; modes outside 1 to 4 give 500 x 280.
TrackSize TrackSizeOf(const CameraResolution& resolution);

// Media units (1/60 s) that cover a take from `startTicks` to `stopTicks`
// (engine ticks, either order): ceiling of its length in seconds times 60,
// computed exactly in integers and saturated to the SInt32 range.
SInt32 MediaUnitsOfSpan(std::int64_t startTicks, std::int64_t stopTicks);

struct ImportScan {
  TrackSize size;
  SInt32 duration;  // the sample's length in 1/60 s: the longest take's, plus 1
};

// Scans the scene file at `path` (empty: nothing to scan, the defaults).
ImportScan ScanSceneFile(const char* path);
// Scans a file the summary has opened (one that is not open gives the
// defaults).
ImportScan ScanOpenedFile(YrSDK::YrZynFileSummary& summary);

}  // namespace qtzyn
