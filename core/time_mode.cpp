#include "core/time_mode.h"

#include <atomic>

#include "core/named_event.h"

namespace {

struct ModeRow {
  double rate;
  const char* short_name;
  int mode;
  int public_number;
  const char* long_name;
  bool has_public_number;
};

// Looked up linearly, first match wins. Mode 12 has no row. 23.976 carries
// public number 11, the number the public interface gives it.
constexpr ModeRow kRows[] = {
    {120.0, "120", 1, 8, "120 fps", true},
    {100.0, "100", 2, 7, "100 fps", true},
    {60.0, "60", 3, 6, "60 fps", true},
    {50.0, "50", 4, 5, "50 fps", true},
    {48.0, "48", 5, 3, "48 fps", false},
    {30.0, "30", 6, 3, "30 fps", true},
    {30.0, "30 Drop", 7, 10, "30 Drop", true},
    {29.97002617, "29.97 drop", 8, 4, "NTSC Drop", true},
    {29.97002617, "29.97 full", 9, 9, "NTSC Full", true},
    {25.0, "25", 10, 2, "PAL", true},
    {24.0, "24", 11, 1, "24 fps", true},
    {23.976, "23.976", 13, 11, "23.976 fps", true},
};

std::atomic<int> g_default_mode{6};
std::atomic<int> g_default_format{kVTimeFormatFrames};

const ModeRow* FindRow(int mode) {
  for (const ModeRow& row : kRows) {
    if (row.mode == mode) return &row;
  }
  return nullptr;
}

}  // namespace

int VTimeGetDefaultMode() { return g_default_mode.load(std::memory_order_relaxed); }

void VTimeSetDefaultMode(int mode) {
  int old = g_default_mode.exchange(mode, std::memory_order_relaxed);
  if (old != mode) VNamedEventFire("TimeMode", mode, old);
}

int VTimeGetDefaultFormat() { return g_default_format.load(std::memory_order_relaxed); }

void VTimeSetDefaultFormat(int format) {
  int old = g_default_format.exchange(format, std::memory_order_relaxed);
  if (old != format) VNamedEventFire("TimeFormat", format, old);
}

int VTimeModeResolve(int mode) { return mode == kVTimeModeDefault ? VTimeGetDefaultMode() : mode; }

const VTimeModeInfo* VTimeModeGetInfo(int mode) {
  mode = VTimeModeResolve(mode);
  if (mode < kVTimeModeFirst || mode > kVTimeModeLast) return nullptr;
  return &kVTimeModeInfos[mode];
}

double VTimeModeRate(int mode) {
  const ModeRow* row = FindRow(VTimeModeResolve(mode));
  return row ? row->rate : 30.0;
}

int VTimeModeOfRate(double rate, double tolerance) {
  for (int mode = kVTimeModeFirst; mode <= kVTimeModeLast; ++mode) {
    const ModeRow* row = FindRow(mode);
    if (row && row->rate - tolerance <= rate && rate <= row->rate + tolerance) return mode;
  }
  return 0;
}

int VTimeModeOfPublicNumber(int public_number) {
  for (const ModeRow& row : kRows) {
    if (row.has_public_number && row.public_number == public_number) return row.mode;
  }
  return 6;
}

int VTimeModePublicNumber(int mode) {
  const ModeRow* row = FindRow(mode);
  return row ? row->public_number : 3;
}

int VTimeModeOfName(const std::string& name) {
  for (const ModeRow& row : kRows) {
    if (name == row.short_name || name == row.long_name) return row.mode;
  }
  return 6;
}

const char* VTimeModeShortName(int mode) {
  const ModeRow* row = FindRow(mode);
  return row ? row->short_name : "";
}

const char* VTimeModeLongName(int mode) {
  const ModeRow* row = FindRow(mode);
  return row ? row->long_name : "";
}
