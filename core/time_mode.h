#pragma once
// Time modes: the frame rates that VTime labels are counted in, their table
// of names and public numbers, and the process-wide default mode and format.
//
// Modes 1..13 are valid; 0 means "the current default mode". Mode 12 (one
// label per millisecond) has tick lengths but no row in the name table.

#include <cstdint>
#include <string>

#include "core/time_ticks.h"

// Tick lengths and label counts of one mode.
struct VTimeModeInfo {
  int64_t frame_ticks;     // one frame
  int64_t field_ticks;     // one field; 0 when the mode has no fields
  int32_t frames_per_second;  // frame labels per labelled second
  int32_t block_frames;    // drop modes: frames in a ten-minute block; else 0
  int64_t hour_ticks;      // one labelled hour
  int64_t minute_ticks;    // one labelled minute (non-drop modes)
  int64_t second_ticks;    // one labelled second (non-drop modes)
};

namespace vtime_mode_detail {
constexpr VTimeModeInfo RealTime(int64_t frame, int64_t field, int32_t rate) {
  return {frame, field, rate, 0, kVTimeTicksPerHour, kVTimeTicksPerMinute, kVTimeTicksPerSecond};
}
constexpr VTimeModeInfo Drop(int64_t frame, int64_t field, int32_t labels, int32_t block) {
  return {frame, field, labels, block, 6 * block * frame, 0, 0};
}
}  // namespace vtime_mode_detail

// Indexed by mode; entry 0 is unused (all zero).
inline constexpr VTimeModeInfo kVTimeModeInfos[14] = {
    {0, 0, 0, 0, 0, 0, 0},
    vtime_mode_detail::RealTime(384884650, 0, 120),               // 1: 120 fps
    vtime_mode_detail::RealTime(461861580, 0, 100),               // 2: 100 fps
    vtime_mode_detail::RealTime(769769300, 0, 60),                // 3: 60 fps
    vtime_mode_detail::RealTime(923723160, 0, 50),                // 4: 50 fps
    vtime_mode_detail::RealTime(962211625, 0, 48),                // 5: 48 fps
    vtime_mode_detail::RealTime(1539538600, 769769300, 30),       // 6: 30 fps
    vtime_mode_detail::Drop(1539538600, 769769300, 30, 17982),    // 7: 30 drop
    vtime_mode_detail::Drop(1541078334, 770539167, 30, 17982),    // 8: NTSC drop
    {1541078334, 770539167, 30, 0, 108000LL * 1541078334, 1800LL * 1541078334,
     30LL * 1541078334},                                          // 9: NTSC full
    vtime_mode_detail::RealTime(1847446320, 923723160, 25),       // 10: PAL
    vtime_mode_detail::RealTime(1924423250, 0, 24),               // 11: 24 fps
    vtime_mode_detail::RealTime(kVTimeTicksPerMillisecond, 0, 1000),  // 12: milliseconds
    vtime_mode_detail::Drop(1926349600, 963174800, 24, 14382),    // 13: 23.976
};

inline constexpr int kVTimeModeDefault = 0;
inline constexpr int kVTimeModeFirst = 1;
inline constexpr int kVTimeModeLast = 13;

// Time formats.
inline constexpr int kVTimeFormatSmpte = 0;
inline constexpr int kVTimeFormatFrames = 1;
inline constexpr int kVTimeFormatDefault = 2;

// The process-wide defaults (initially mode 6 and format 1). Setting a value
// different from the current one stores it and fires the named event
// "TimeMode" or "TimeFormat" with (new value, old value); setting the same
// value does nothing.
int VTimeGetDefaultMode();
void VTimeSetDefaultMode(int mode);
int VTimeGetDefaultFormat();
void VTimeSetDefaultFormat(int format);

// Mode 0 replaced by the current default mode.
int VTimeModeResolve(int mode);
// The tick lengths of a mode (0 resolved), or nullptr outside 1..13.
const VTimeModeInfo* VTimeModeGetInfo(int mode);

// Nominal rate of a mode (0 resolved); 30.0 for a mode without a row.
double VTimeModeRate(int mode);
// The first mode in 1..13 whose rate lies within tolerance of rate; 0 if none.
int VTimeModeOfRate(double rate, double tolerance);
// The mode carrying a public number (1 = 24 ... 11 = 23.976); 6 if none.
int VTimeModeOfPublicNumber(int public_number);
// The public number of a mode; 3 for a mode without a row.
int VTimeModePublicNumber(int mode);
// The mode whose short or long name equals name exactly; 6 if none.
int VTimeModeOfName(const std::string& name);
// Names of a mode's row ("30", "30 fps"); empty for a mode without a row.
const char* VTimeModeShortName(int mode);
const char* VTimeModeLongName(int mode);
