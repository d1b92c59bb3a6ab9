#pragma once
// The time settings of "@Application.txt": the default time mode and format
// read at start-up and written back at shutdown, and the internal
// synchronisation reference.

#include <cstdint>
#include <string_view>

class VSettings;

// "Time"/"FrameRate" (default "30") names the default time mode;
// "Time"/"TimeFormat" (default "1", decimal) is the default time format. A
// format outside 0..2 is ignored and the format stays as it is.
void VSettingsReadTime(const VSettings& application);
// Writes the default mode's short name and the default format back with
// their comments. A mode without a name (milliseconds) leaves "FrameRate"
// as it is. False when the table refused a value.
bool VSettingsWriteTime(VSettings& application);

// The time mode of an internal synchronisation reference: "NTSC" (any case)
// is mode 8, "CINEMADROP" mode 13, anything else mode 10 (PAL).
int VSettingsSyncModeOf(std::string_view internal);
// The mode of "Sync"/"Internal" (default "NTSC").
int VSettingsSyncMode(const VSettings& application);
// The reference ticks once per field of its mode.
int64_t VSettingsSyncTicks(int sync_mode);
