// The start-up defaults of the tables.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "core/settings_defaults.h"
#include "core/settings_store.h"

namespace {

TEST(SettingsDefaults, EveryStartUpRowIsWrittenWithItsComment) {
  VSettingsStore store;
  ASSERT_TRUE(VSettingsApplyDefaults(store));
  size_t count = 0;
  const VSettingsDefault* rows = VSettingsDefaults(&count);
  ASSERT_GT(count, 100u);
  std::set<std::tuple<std::string, std::string, std::string>> seen;
  for (size_t i = 0; i < count; ++i) {
    const VSettingsDefault& row = rows[i];
    SCOPED_TRACE(std::string(row.file) + " " + row.section + "/" + row.key);
    EXPECT_TRUE(seen.emplace(row.file, row.section, row.key).second) << "row given twice";
    EXPECT_STREQ(VSettingsDefaultValue(row.file, row.section, row.key), row.value);
    const VSettingsTable table = store.Open(row.file).Snapshot();
    const VSettingsEntry* entry = table.Find(row.section, row.key);
    if (!row.written_at_start) {
      EXPECT_EQ(entry, nullptr);
      continue;
    }
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->value, row.value);
    EXPECT_EQ(entry->comment, row.comment);
  }
}

TEST(SettingsDefaults, SpotChecks) {
  VSettingsStore store;
  ASSERT_TRUE(VSettingsApplyDefaults(store));
  VSettings app = store.Open(kVSettingsApplication);
  EXPECT_EQ(app.GetText("Display", "GridColorG", ""), "0.5");
  EXPECT_EQ(app.Snapshot().Find("Display", "GridColorG")->comment,
            "Color of the grid (Green, from 0.00 to 1.00).");
  EXPECT_EQ(app.GetText("Display", "FixedCameraBackgroundColorB", ""), "0.63");
  EXPECT_EQ(app.GetText("Sync", "Internal", ""), "NTSC");
  EXPECT_EQ(app.GetText("Time", "FrameRate", ""), "30");
  EXPECT_EQ(app.GetText("Time", "TimeFormat", ""), "1");
  EXPECT_EQ(app.GetText("Keyboard", "Default", ""), "Velmoor");
  EXPECT_EQ(app.GetText("FCurve", "ConstantKeyReducerRotationThreshold", ""), "5.0e-3");
  EXPECT_EQ(app.GetText("Recording Memory", "ManualLimit", ""), "0");
  // Read-only rows are not written but carry their default.
  EXPECT_EQ(app.Get("Display", "NodeSize", "none"), "none");
  EXPECT_STREQ(VSettingsDefaultValue(kVSettingsApplication, "Display", "NodeSize"), "1.0");
  EXPECT_EQ(VSettingsDefaultValue(kVSettingsApplication, "Display", "NoSuchKey"), nullptr);
  VSettings ext = store.Open(kVSettingsExtensions);
  EXPECT_EQ(ext.GetText("MotionStar", "SamplingRate", ""), "86.1");
  EXPECT_EQ(ext.Get("MIDI", "InstrumentPath", "none"), "");
  VSettings task = store.Open(kVSettingsTask);
  for (const char* section : {"Evaluation", "Transport", "Timing", "Audio", "Video", "AsyncOp"}) {
    EXPECT_NE(task.GetText(section, "Priority", ""), "") << section;
    EXPECT_EQ(task.GetText(section, "Processors", ""), "All") << section;
    EXPECT_EQ(task.Snapshot().Find(section, "Priority")->comment, "-3(Min) to 3(Max)");
  }
  EXPECT_EQ(task.GetText("Evaluation", "Mode", ""), "Single");
  // The other tables start empty.
  EXPECT_TRUE(store.Open(kVSettingsHistory).Snapshot().Empty());
}

TEST(SettingsDefaults, ExistingValuesStay) {
  VSettingsStore store;
  VSettings app = store.Open(kVSettingsApplication);
  ASSERT_TRUE(app.Set("Display", "UseLineStipple", "No"));
  ASSERT_TRUE(app.Set("Display", "GridSpacing", "1", "my own note"));
  ASSERT_TRUE(VSettingsApplyDefaults(store));
  ASSERT_TRUE(VSettingsApplyDefaults(store));
  const VSettingsTable table = app.Snapshot();
  EXPECT_EQ(table.Find("Display", "UseLineStipple")->value, "No");
  EXPECT_EQ(table.Find("Display", "UseLineStipple")->comment, "Use Line Stipple (Yes/No).");
  EXPECT_EQ(table.Find("Display", "GridSpacing")->value, "1");
  EXPECT_EQ(table.Find("Display", "GridSpacing")->comment, "my own note");
  // The keys a user set first keep their place.
  EXPECT_EQ(table.Sections()[0].entries[0].key, "UseLineStipple");
}

}  // namespace
