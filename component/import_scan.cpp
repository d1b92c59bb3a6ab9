#include "component/import_scan.h"

#include <cmath>
#include <limits>

#include "component/component_globals.h"
#include "sdk/yr_zyn_file_summary.h"

namespace qtzyn {
namespace {

// The engine's time unit: ticks per second (see YrTime).
constexpr std::int64_t kTicksPerSecond = 46186158000LL;
constexpr std::int64_t kMediaUnitsPerSecond = 60;

struct SizeModeName {
  const char* name;
  SizeMode mode;
};
constexpr SizeModeName kSizeModeNames[] = {
    {"Window Size", SizeMode::kWindowSize},
    {"Fixed Ratio", SizeMode::kFixedRatio},
    {"Fixed Resolution", SizeMode::kFixedResolution},
    {"Fixed Width Resolution", SizeMode::kFixedWidthResolution},
    {"Fixed Height Resolution", SizeMode::kFixedHeightResolution},
};

double UsableResolution(double value) { return value > 0.0 ? value : 1.0; }  // NaN fails the test too

// Truncation towards zero, kept within the track's range first: a file may
// hold any double, and converting one beyond the integer's range is not
// defined.
SInt32 TrackSide(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= kMaxTrackSide) return kMaxTrackSide;
  return static_cast<SInt32>(value);
}

}  // namespace

SizeMode SizeModeOfName(const std::string& name) {
  for (const SizeModeName& entry : kSizeModeNames) {
    if (name == entry.name) return entry.mode;
  }
  return SizeMode::kWindowSize;
}

TrackSize TrackSizeOf(const CameraResolution& resolution) {
  const double w = UsableResolution(resolution.resolutionW);
  const double h = UsableResolution(resolution.resolutionH);
  switch (static_cast<SizeMode>(resolution.mode)) {
    case SizeMode::kFixedRatio:
      return {TrackSide(kDefaultTrackWidth * w), TrackSide(kDefaultTrackHeight * h)};
    case SizeMode::kFixedResolution:
      return {TrackSide(w), TrackSide(h)};
    case SizeMode::kFixedWidthResolution:
      return {TrackSide(w), TrackSide(w * h)};
    case SizeMode::kFixedHeightResolution:
      return {TrackSide(w * h), TrackSide(h)};
    case SizeMode::kWindowSize:
      break;
  }
  return {kDefaultTrackWidth, kDefaultTrackHeight};
}

SInt32 MediaUnitsOfSpan(std::int64_t startTicks, std::int64_t stopTicks) {
  // The length as an unsigned difference: two extreme ticks cannot overflow.
  const std::uint64_t length = stopTicks >= startTicks
                                   ? static_cast<std::uint64_t>(stopTicks) - static_cast<std::uint64_t>(startTicks)
                                   : static_cast<std::uint64_t>(startTicks) - static_cast<std::uint64_t>(stopTicks);
  // Whole seconds and the rest, so that the product by 60 stays in range
  // and a length of exactly n/60 s gives n (a double would round some up).
  const std::uint64_t seconds = length / kTicksPerSecond;
  const std::uint64_t rest = length % kTicksPerSecond;
  constexpr std::uint64_t kLimit = std::numeric_limits<SInt32>::max();
  if (seconds >= kLimit / kMediaUnitsPerSecond) return static_cast<SInt32>(kLimit);
  const std::uint64_t units =
      seconds * kMediaUnitsPerSecond + (rest * kMediaUnitsPerSecond + kTicksPerSecond - 1) / kTicksPerSecond;
  return static_cast<SInt32>(units < kLimit ? units : kLimit);
}

ImportScan ScanSceneFile(const char* path) {
  YrSDK::YrZynFileSummary summary;
  if (path != nullptr && path[0] != '\0') summary.Open(path);
  return ScanOpenedFile(summary);
}

ImportScan ScanOpenedFile(YrSDK::YrZynFileSummary& summary) {
  CameraResolution resolution;
  SInt32 longest = 0;
  bool scanned = false;
  if (summary.IsOpen()) {
    if (summary.HasHeaderCameraResolution()) {
      resolution.mode = static_cast<SInt32>(SizeModeOfName(summary.GetHeaderResolutionMode()));
      resolution.resolutionW = summary.GetHeaderResolutionW();
      resolution.resolutionH = summary.GetHeaderResolutionH();
      scanned = true;
    } else if (summary.ReadScene()) {
      int mode = 0;
      if (summary.GetDefaultCameraResolution(&mode, &resolution.resolutionW, &resolution.resolutionH)) {
        resolution.mode = mode;
      }
      scanned = true;
    }
    for (int i = 0; scanned && i < summary.GetTakeCount(); ++i) {
      const YrSDK::YrTimeSpan span = summary.GetTakeLocalSpan(i);
      const SInt32 units = MediaUnitsOfSpan(span.GetStart().Get(), span.GetStop().Get());
      if (units > longest) longest = units;
    }
  }
  ImportScan scan;
  scan.size = TrackSizeOf(resolution);
  // One unit more than the longest take, so that its last frame has a
  // media time of its own.
  scan.duration = longest < std::numeric_limits<SInt32>::max() ? longest + 1 : longest;
  return scan;
}

}  // namespace qtzyn
