#include "core/settings_time.h"

#include <string>

#include "core/settings_store.h"
#include "core/settings_value.h"
#include "core/time_mode.h"

namespace {
constexpr const char* kFrameRateComment =
    "FrameRate replace TimeMode, value : 23.976, 24, 25, 29.97 drop, 29.97 full, 30, 48, 50, 60, 100, "
    "120";
constexpr const char* kTimeFormatComment = "Time format: SMPTE, Frames, default (0/1/2)";
}  // namespace

void VSettingsReadTime(const VSettings& application) {
  VTimeSetDefaultMode(VTimeModeOfName(application.GetText("Time", "FrameRate", "30")));
  int format = kVTimeFormatFrames;
  if (VSettingsToInt(application.GetText("Time", "TimeFormat", "1"), &format) &&
      format >= kVTimeFormatSmpte && format <= kVTimeFormatDefault) {
    VTimeSetDefaultFormat(format);
  }
}

bool VSettingsWriteTime(VSettings& application) {
  bool ok = true;
  const char* name = VTimeModeShortName(VTimeGetDefaultMode());
  if (name[0] != '\0') ok = application.Set("Time", "FrameRate", name, kFrameRateComment);
  const bool format_ok =
      application.Set("Time", "TimeFormat", std::to_string(VTimeGetDefaultFormat()), kTimeFormatComment);
  return ok && format_ok;
}

int VSettingsSyncModeOf(std::string_view internal) {
  if (VSettingsTextIs(internal, "NTSC")) return 8;
  if (VSettingsTextIs(internal, "CINEMADROP")) return 13;
  return 10;
}

int VSettingsSyncMode(const VSettings& application) {
  return VSettingsSyncModeOf(application.GetText("Sync", "Internal", "NTSC"));
}

int64_t VSettingsSyncTicks(int sync_mode) {
  const VTimeModeInfo* info = VTimeModeGetInfo(sync_mode == 0 ? 10 : sync_mode);
  if (!info) info = VTimeModeGetInfo(10);
  return info->field_ticks != 0 ? info->field_ticks : info->frame_ticks;
}
