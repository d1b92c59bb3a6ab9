// The time settings read at start-up and written back at shutdown, and the
// internal synchronisation reference.
#include <gtest/gtest.h>

#include <string>

#include "core/settings_defaults.h"
#include "core/settings_store.h"
#include "core/settings_time.h"
#include "core/time_mode.h"

namespace {

class SettingsTime : public ::testing::Test {
 protected:
  void SetUp() override {
    mode_ = VTimeGetDefaultMode();
    format_ = VTimeGetDefaultFormat();
    ASSERT_TRUE(VSettingsApplyDefaults(store_));
  }
  void TearDown() override {
    VTimeSetDefaultMode(mode_);
    VTimeSetDefaultFormat(format_);
  }
  VSettingsStore store_;
  VSettings app_ = store_.Open(kVSettingsApplication);

 private:
  int mode_ = 6, format_ = 1;
};

TEST_F(SettingsTime, DefaultsGiveThirtyFramesAndFrameFormat) {
  VTimeSetDefaultMode(10);
  VTimeSetDefaultFormat(0);
  VSettingsReadTime(app_);
  EXPECT_EQ(VTimeGetDefaultMode(), 6);
  EXPECT_EQ(VTimeGetDefaultFormat(), kVTimeFormatFrames);
}

TEST_F(SettingsTime, ModeAndFormatRoundTrip) {
  for (int mode = kVTimeModeFirst; mode <= kVTimeModeLast; ++mode) {
    if (mode == 12) continue;  // no name
    for (int format = 0; format <= 2; ++format) {
      VTimeSetDefaultMode(mode);
      VTimeSetDefaultFormat(format);
      ASSERT_TRUE(VSettingsWriteTime(app_));
      VTimeSetDefaultMode(6);
      VTimeSetDefaultFormat(1);
      VSettingsReadTime(app_);
      EXPECT_EQ(VTimeGetDefaultMode(), mode) << app_.GetText("Time", "FrameRate", "");
      EXPECT_EQ(VTimeGetDefaultFormat(), format);
    }
  }
  VTimeSetDefaultMode(8);
  ASSERT_TRUE(VSettingsWriteTime(app_));
  EXPECT_EQ(app_.GetText("Time", "FrameRate", ""), "29.97 drop");
  const VSettingsTable table = app_.Snapshot();
  EXPECT_EQ(table.Find("Time", "FrameRate")->comment,
            "FrameRate replace TimeMode, value : 23.976, 24, 25, 29.97 drop, 29.97 full, 30, 48, 50, 60, 100, 120");
  EXPECT_EQ(table.Find("Time", "TimeFormat")->comment, "Time format: SMPTE, Frames, default (0/1/2)");
  // Milliseconds have no name: the stored rate stays.
  VTimeSetDefaultMode(12);
  ASSERT_TRUE(VSettingsWriteTime(app_));
  EXPECT_EQ(app_.GetText("Time", "FrameRate", ""), "29.97 drop");
}

TEST_F(SettingsTime, BadValuesFallBack) {
  ASSERT_TRUE(app_.Set("Time", "FrameRate", "PAL"));  // a long name works too
  ASSERT_TRUE(app_.Set("Time", "TimeFormat", "0"));
  VSettingsReadTime(app_);
  EXPECT_EQ(VTimeGetDefaultMode(), 10);
  EXPECT_EQ(VTimeGetDefaultFormat(), 0);
  ASSERT_TRUE(app_.Set("Time", "FrameRate", "29.97"));
  VSettingsReadTime(app_);
  EXPECT_EQ(VTimeGetDefaultMode(), 6);
  for (const char* bad : {"7", "-1", "one", "", "2147483648"}) {
    VTimeSetDefaultFormat(2);
    ASSERT_TRUE(app_.Set("Time", "TimeFormat", bad));
    VSettingsReadTime(app_);
    EXPECT_EQ(VTimeGetDefaultFormat(), 2) << bad;
  }
}

TEST_F(SettingsTime, InternalSyncReference) {
  EXPECT_EQ(VSettingsSyncMode(app_), 8);
  EXPECT_EQ(VSettingsSyncTicks(VSettingsSyncMode(app_)), 770539167);
  EXPECT_EQ(VSettingsSyncModeOf("ntsc"), 8);
  EXPECT_EQ(VSettingsSyncModeOf("CinemaDrop"), 13);
  EXPECT_EQ(VSettingsSyncTicks(13), 963174800);
  EXPECT_EQ(VSettingsSyncModeOf("PAL"), 10);
  EXPECT_EQ(VSettingsSyncModeOf("NTSC "), 10);
  EXPECT_EQ(VSettingsSyncModeOf(""), 10);
  EXPECT_EQ(VSettingsSyncTicks(10), 923723160);
  ASSERT_TRUE(app_.Set("Sync", "Internal", "cinemadrop"));
  EXPECT_EQ(VSettingsSyncMode(app_), 13);
  EXPECT_EQ(VSettingsSyncMode(VSettings()), 8);  // no table: the default "NTSC"
}

}  // namespace
