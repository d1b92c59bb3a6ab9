#include "core/time.h"

#include <algorithm>

#include "core/time_mode.h"

namespace {

// Frames into a ten-minute block of a drop-frame mode: the first minute of
// the block holds 60 * F labels, every other minute skips labels 0 and 1 of
// its second 0.
int64_t DropFramesIntoBlock(int64_t minutes, int64_t seconds, int64_t frame, int64_t labels) {
  int64_t m10 = minutes % 10;
  if (m10 == 0) return seconds * labels + frame;
  int64_t first_minute = 60 * labels;
  int64_t frames = first_minute + (m10 - 1) * (first_minute - 2);
  if (seconds > 0) frames += seconds * labels - 2;
  frames += std::max<int64_t>(frame - (seconds == 0 ? 2 : 0), 0);
  return frames;
}

}  // namespace

bool VTime::SetTime(int hours, int minutes, int seconds, int frame, int field, int mode) {
  const VTimeModeInfo* info = VTimeModeGetInfo(mode);
  if (!info) return false;
  const int64_t h = hours, m = minutes, s = seconds, f = frame, fd = field;
  const int64_t labels = info->frames_per_second;
  if (info->block_frames != 0) {
    int64_t frames = DropFramesIntoBlock(m, s, f, labels);
    int64_t fields = (h * 6 + m / 10) * 2 * info->block_frames + fd;
    ticks_ = VTimeWrapAdd(VTimeWrapMul(frames, info->frame_ticks), VTimeWrapMul(fields, info->field_ticks));
    return true;
  }
  // |h * 3600 * 1000| stays far below 2^63; only the tick product may wrap.
  int64_t frames = ((h * 60 + m) * 60 + s) * labels + f;
  if (info->field_ticks != 0) {
    ticks_ = VTimeWrapMul(frames * 2 + fd, info->field_ticks);
  } else {
    ticks_ = VTimeWrapMul(frames, info->frame_ticks);
  }
  return true;
}

bool VTime::SetTime(int hours, int minutes, int seconds, int frame, int field, int hundredths, int mode) {
  if (!SetTime(hours, minutes, seconds, frame, field, mode)) return false;
  if (hundredths != 0) {
    VTime whole;
    whole.SetTime(0, 0, 0, hundredths, 0, mode);
    // Rounded up: for a negative part the truncating quotient already is.
    const int64_t part = whole.ticks_;
    ticks_ = VTimeWrapAdd(ticks_, part > 0 ? (part - 1) / 100 + 1 : part / 100);
  }
  return true;
}

bool VTime::GetTime(int64_t& hours, int64_t& minutes, int64_t& seconds, int64_t& frame, int64_t& field,
                    int64_t& hundredths, int mode) const {
  const VTimeModeInfo* info = VTimeModeGetInfo(mode);
  if (!info) return false;
  const int64_t d = info->frame_ticks;
  int64_t h = VTimeFloorDiv(ticks_, info->hour_ticks);
  int64_t r = VTimeFloorMod(ticks_, info->hour_ticks);
  int64_t m = 0, s = 0;
  if (info->block_frames != 0) {
    const int64_t labels = info->frames_per_second;
    const int64_t block = info->block_frames * d;
    const int64_t minute = 60 * labels * d;
    int64_t blocks = r / block;
    r -= blocks * block;
    int64_t extra = (r - 2 * d) / (minute - 2 * d);
    r += extra * 2 * d;
    m = r / minute;
    r -= m * minute;
    m += 10 * blocks;
    s = r / (labels * d);
    r -= s * labels * d;
  } else {
    m = r / info->minute_ticks;
    r -= m * info->minute_ticks;
    s = r / info->second_ticks;
    r -= s * info->second_ticks;
  }
  int64_t f = r / d;
  int64_t since = r - f * d;
  hours = h;
  minutes = m;
  seconds = s;
  frame = f;
  field = info->field_ticks != 0 ? since / info->field_ticks : 0;
  hundredths = since * 100 / d;
  return true;
}

int64_t VTime::GetFrame(bool cumulative, int mode) const {
  if (cumulative) {
    const VTimeModeInfo* info = VTimeModeGetInfo(mode);
    return info ? ticks_ / info->frame_ticks : 0;
  }
  int64_t h = 0, m = 0, s = 0, f = 0, fd = 0, hh = 0;
  GetTime(h, m, s, f, fd, hh, mode);
  return f;
}

int64_t VTime::GetHours(bool cumulative, int mode) const {
  if (cumulative) return ticks_ / kVTimeTicksPerHour;
  int64_t h = 0, m = 0, s = 0, f = 0, fd = 0, hh = 0;
  GetTime(h, m, s, f, fd, hh, mode);
  return h;
}

int64_t VTime::GetMinutes(bool cumulative, int mode) const {
  if (cumulative) return ticks_ / kVTimeTicksPerMinute;
  int64_t h = 0, m = 0, s = 0, f = 0, fd = 0, hh = 0;
  GetTime(h, m, s, f, fd, hh, mode);
  return m;
}

int64_t VTime::GetSeconds(bool cumulative, int mode) const {
  if (cumulative) return ticks_ / kVTimeTicksPerSecond;
  int64_t h = 0, m = 0, s = 0, f = 0, fd = 0, hh = 0;
  GetTime(h, m, s, f, fd, hh, mode);
  return s;
}

int64_t VTime::GetHundredths(int mode) const {
  int64_t h = 0, m = 0, s = 0, f = 0, fd = 0, hh = 0;
  GetTime(h, m, s, f, fd, hh, mode);
  return hh;
}

VTime VTime::GetFramedTime(bool nearest) const {
  const VTimeModeInfo* info = VTimeModeGetInfo(kVTimeModeDefault);
  if (!info) return *this;
  const int64_t d = info->frame_ticks;
  int64_t into = VTimeFloorMod(ticks_, d);
  int64_t start = 0;
  if (__builtin_sub_overflow(ticks_, into, &start)) {
    // The frame's start lies below the 64-bit range: use the boundary above.
    start = ticks_ - ticks_ % d;
    into = ticks_ - start;
  }
  if (nearest && into * 2 >= d && start <= INT64_MAX - d) start += d;
  return VTime(start);
}
