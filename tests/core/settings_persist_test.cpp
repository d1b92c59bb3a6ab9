// The tables on disk: start-up reads them, shutdown writes them back, and a
// damaged file never stops start-up.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/settings_defaults.h"
#include "core/settings_file.h"
#include "core/settings_session.h"
#include "core/settings_store.h"
#include "core/time_mode.h"
#include "support/temp_dir.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

class SettingsPersist : public ::testing::Test {
 protected:
  void SetUp() override {
    mode_ = VTimeGetDefaultMode();
    format_ = VTimeGetDefaultFormat();
    layout_ = VSettingsKeyboardLayout();
  }
  void TearDown() override {
    VTimeSetDefaultMode(mode_);
    VTimeSetDefaultFormat(format_);
    VSettingsSetKeyboardLayout(layout_);
  }
  std::string Config() const { return dir_.path() + "/config/"; }
  TempDir dir_;

 private:
  int mode_ = 6, format_ = 1;
  std::string layout_;
};

TEST_F(SettingsPersist, ShutdownWritesWhatStartUpReads) {
  {
    VSettingsStore store;
    EXPECT_TRUE(VSettingsStartUp(store, Config()));  // no folder yet: defaults only
    VSettings app = store.Open(kVSettingsApplication);
    ASSERT_TRUE(app.Set("Display", "GridSpacing", "12.5"));
    ASSERT_TRUE(app.Set("Odd \"Section\"", "multi\nline", " value with\ttab "));
    ASSERT_TRUE(store.Open(kVSettingsHistory).Set("Recent", "File1", "C:\\scenes\\a.zyn", "last opened"));
    VSettingsSetKeyboardLayout("Classic");
    EXPECT_TRUE(VSettingsShutDown(store, Config()));
  }
  for (int i = 0; i < VSettingsStore::kTableCount; ++i) {
    EXPECT_TRUE(Exists(Config() + VSettingsStore::TableName(i))) << VSettingsStore::TableName(i);
  }
  const std::string text = ReadFileBytes(Config() + kVSettingsApplication);
  EXPECT_NE(text.find("[Display]\n; Available option Test,Yes,No\nUseShareDisplayList = Test\n"),
            std::string::npos);
  EXPECT_NE(text.find("GridSpacing = 12.5\n"), std::string::npos);

  VSettingsSetKeyboardLayout("Velmoor");
  VSettingsStore store;
  EXPECT_TRUE(VSettingsStartUp(store, Config()));
  VSettings app = store.Open(kVSettingsApplication);
  EXPECT_EQ(app.GetText("Display", "GridSpacing", ""), "12.5");
  EXPECT_EQ(app.GetText("Odd \"Section\"", "multi\nline", ""), " value with\ttab ");
  EXPECT_EQ(app.GetText("Display", "UseStripForMesh", ""), "Yes");
  EXPECT_EQ(store.Open(kVSettingsHistory).Snapshot().Find("Recent", "File1")->comment, "last opened");
  EXPECT_EQ(VSettingsKeyboardLayout(), "Classic");
  // Saving again gives the same files.
  const std::string before = ReadFileBytes(Config() + kVSettingsApplication);
  EXPECT_TRUE(VSettingsShutDown(store, Config()));
  EXPECT_EQ(ReadFileBytes(Config() + kVSettingsApplication), before);
}

TEST_F(SettingsPersist, LeftoverTemporaryFilesAreIgnored) {
  ASSERT_EQ(::mkdir(Config().c_str(), 0755), 0);
  const std::string path = Config() + kVSettingsApplication;
  ASSERT_TRUE(WriteFileBytes(path, "[Display]\nGridSpacing = 3\n"));
  ASSERT_TRUE(WriteFileBytes(path + ".tmp.1", "[Display]\nGridSpacing = 99\n"));
  ASSERT_TRUE(WriteFileBytes(path + ".tmp." + std::to_string(::getpid()), "[Display]\nGridSpa"));
  VSettingsStore store;
  EXPECT_TRUE(VSettingsStartUp(store, Config()));
  EXPECT_EQ(store.Open(kVSettingsApplication).GetText("Display", "GridSpacing", ""), "3");
  EXPECT_TRUE(VSettingsShutDown(store, Config()));
  EXPECT_NE(ReadFileBytes(path).find("GridSpacing = 3\n"), std::string::npos);
}

TEST_F(SettingsPersist, DamagedFilesAreSetAsideAndWhatParsesIsKept) {
  ASSERT_EQ(::mkdir(Config().c_str(), 0755), 0);
  const std::string app_path = Config() + kVSettingsApplication;
  const std::string task_path = Config() + kVSettingsTask;
  const std::string damaged =
      "[Display]\nGridSpacing = 4\n\x01\x02garbage\xff\n[Sync]\nInternal = PAL\nEvaluateWait = N";
  ASSERT_TRUE(WriteFileBytes(app_path, damaged));
  ASSERT_TRUE(WriteFileBytes(task_path, std::string(kVSettingsMaxFileBytes + 1, '[')));
  ASSERT_TRUE(WriteFileBytes(Config() + kVSettingsFilters, "[F]\nA = 1\n"));

  VSettingsStore store;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(VSettingsStartUp(store, Config()));
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(warnings.find("@Application.txt' is damaged"), std::string::npos) << warnings;
  EXPECT_NE(warnings.find("@Task.txt' is too large"), std::string::npos) << warnings;

  VSettings app = store.Open(kVSettingsApplication);
  EXPECT_EQ(app.GetText("Display", "GridSpacing", ""), "4");
  EXPECT_EQ(app.GetText("Sync", "Internal", ""), "PAL");
  EXPECT_EQ(app.GetText("Sync", "EvaluateWait", ""), "Yes");  // the cut line fell back
  EXPECT_EQ(store.Open(kVSettingsTask).GetText("Transport", "Priority", ""), "3");
  EXPECT_EQ(store.Open(kVSettingsFilters).GetText("F", "A", ""), "1");
  // The damaged files are kept aside untouched, and the good one stays.
  EXPECT_EQ(ReadFileBytes(app_path + ".damaged"), damaged);
  EXPECT_EQ(ReadFileBytes(task_path + ".damaged").size(), kVSettingsMaxFileBytes + 1);
  EXPECT_FALSE(Exists(app_path));
  EXPECT_FALSE(Exists(Config() + kVSettingsFilters + std::string(".damaged")));

  // Shutdown writes clean files, and the next start is clean.
  EXPECT_TRUE(VSettingsShutDown(store, Config()));
  VSettingsStore again;
  EXPECT_TRUE(VSettingsStartUp(again, Config()));
  EXPECT_EQ(again.Open(kVSettingsApplication).GetText("Sync", "Internal", ""), "PAL");
}

// A file damaged again later never replaces the copy set aside before; with
// every name for a copy taken the damaged file stays where it is, and
// saving leaves it alone while the other tables are written.
TEST_F(SettingsPersist, ADamagedFileNeverCostsAnEarlierCopyOrItself) {
  ASSERT_EQ(::mkdir(Config().c_str(), 0755), 0);
  const std::string app_path = Config() + kVSettingsApplication;
  const std::string first = "[Display]\nGridSpacing = 4\n\x01first\n";
  const std::string second = "[Display]\nGridSpacing = 5\n\x01second\n";
  ASSERT_TRUE(WriteFileBytes(app_path + ".damaged", first));
  ASSERT_TRUE(WriteFileBytes(app_path, second));
  {
    VSettingsStore store;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(store.Load(Config()));
    const std::string warnings = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(warnings.find("kept as '" + app_path + ".damaged.1'"), std::string::npos) << warnings;
    EXPECT_EQ(store.Open(kVSettingsApplication).GetText("Display", "GridSpacing", ""), "5");
    EXPECT_EQ(ReadFileBytes(app_path + ".damaged"), first);
    EXPECT_EQ(ReadFileBytes(app_path + ".damaged.1"), second);
    EXPECT_FALSE(Exists(app_path));
    EXPECT_TRUE(store.Save(Config()));
    EXPECT_NE(ReadFileBytes(app_path).find("GridSpacing = 5\n"), std::string::npos);
  }

  for (int i = 2; i <= 9; ++i) {
    ASSERT_TRUE(WriteFileBytes(app_path + ".damaged." + std::to_string(i), "taken"));
  }
  ASSERT_TRUE(WriteFileBytes(app_path, second));
  VSettingsStore store;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(store.Load(Config()));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("left where it is"), std::string::npos);
  EXPECT_EQ(store.Open(kVSettingsApplication).GetText("Display", "GridSpacing", ""), "5");
  ASSERT_TRUE(store.Open(kVSettingsApplication).Set("Display", "GridSpacing", "6"));
  ASSERT_TRUE(store.Open(kVSettingsFilters).Set("F", "A", "1"));
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(store.Save(Config()));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("not saved over"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(app_path), second);
  EXPECT_EQ(ReadFileBytes(app_path + ".damaged"), first);
  EXPECT_EQ(ReadFileBytes(app_path + ".damaged.1"), second);
  EXPECT_NE(ReadFileBytes(Config() + kVSettingsFilters).find("A = 1\n"), std::string::npos);
}

TEST_F(SettingsPersist, UnreadableEntriesDoNotStopStartUp) {
  ASSERT_EQ(::mkdir(Config().c_str(), 0755), 0);
  // A folder where a file should be, and a pipe nobody writes to.
  ASSERT_EQ(::mkdir((Config() + kVSettingsHistory).c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo((Config() + kVSettingsFilters).c_str(), 0600), 0);
  VSettingsStore store;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(VSettingsStartUp(store, Config()));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(store.Open(kVSettingsApplication).GetText("Display", "GridSpacing", ""), "20.0");
  EXPECT_TRUE(VSettingsShutDown(store, Config()));
}

TEST_F(SettingsPersist, SaveReportsAFolderThatCannotBeMade) {
  VSettingsStore store;
  ASSERT_TRUE(store.Open(kVSettingsApplication).Set("A", "B", "C"));
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(store.Save(dir_.path() + "/no/such/config/"));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("cannot be created"), std::string::npos);
}

TEST_F(SettingsPersist, LoadReplacesTheTables) {
  ASSERT_EQ(::mkdir(Config().c_str(), 0755), 0);
  ASSERT_TRUE(WriteFileBytes(Config() + kVSettingsApplication, "[A]\nK = file\n"));
  VSettingsStore store;
  ASSERT_TRUE(store.Open(kVSettingsApplication).Set("A", "Memory", "1"));
  ASSERT_TRUE(store.Open(kVSettingsTask).Set("A", "Memory", "1"));
  EXPECT_TRUE(store.Load(Config()));
  EXPECT_EQ(store.Open(kVSettingsApplication).GetText("A", "K", ""), "file");
  EXPECT_EQ(store.Open(kVSettingsApplication).GetText("A", "Memory", "gone"), "gone");
  EXPECT_TRUE(store.Open(kVSettingsTask).Snapshot().Empty());
}

}  // namespace
