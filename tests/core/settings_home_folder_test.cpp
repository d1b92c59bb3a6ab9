// Finding the home folder, the derived folders and the keyboard maps.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "core/home_folder.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFileBytes;

class SettingsHomeFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = VGetApplicationRoot();
    ASSERT_EQ(::mkdir(dir_.File("app").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir_.File("bin").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir_.File("home").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFileBytes(dir_.File("app/viewer"), "program"));
    query_.system_file = dir_.File("zentrax.conf");
    query_.current_folder = dir_.path();
  }
  void TearDown() override { VHomeFolderSetRoot(root_); }

  std::string Find() {
    std::string root = "unchanged";
    return VHomeFolderFindRoot(query_, &root) ? root : "<none:" + root + ">";
  }

  TempDir dir_;
  VHomeFolderQuery query_;
  std::string root_;
};

TEST_F(SettingsHomeFolder, TheProgramFolder) {
  query_.program_path = dir_.File("app/viewer");
  EXPECT_EQ(Find(), dir_.File("app"));
  query_.program_path = "\"" + dir_.File("app/viewer") + "\"";
  EXPECT_EQ(Find(), dir_.File("app"));
  query_.program_path = "app/viewer";  // relative to the current folder
  EXPECT_EQ(Find(), dir_.File("app"));
  query_.current_folder = dir_.File("app");
  query_.program_path = "viewer";
  EXPECT_EQ(Find(), dir_.File("app"));
}

TEST_F(SettingsHomeFolder, SearchPathThenSystemFile) {
  query_.program_path = dir_.File("elsewhere/viewer");
  query_.search_path = dir_.File("bin") + "::" + dir_.File("app");
  EXPECT_EQ(Find(), dir_.File("app"));
  query_.search_path = dir_.File("bin");
  EXPECT_EQ(Find(), "<none:>");
  ASSERT_TRUE(WriteFileBytes(query_.system_file,
                             "# system settings\nOther = 1\n  Zentrax_HOME = \"" + dir_.File("home/") +
                                 "\"\r\nZentrax_HOME = second\n"));
  EXPECT_EQ(Find(), dir_.File("home"));
  ASSERT_TRUE(WriteFileBytes(query_.system_file, "zentrax_home = /x\nZentrax_HOME\n"));
  EXPECT_EQ(Find(), "<none:>");
  // A huge system file is not read.
  ASSERT_TRUE(WriteFileBytes(query_.system_file, "Zentrax_HOME = /x\n" + std::string(1 << 20, '#')));
  EXPECT_EQ(Find(), "<none:>");
}

TEST_F(SettingsHomeFolder, EnvironmentTakesPrecedence) {
  query_.program_path = dir_.File("app/viewer");
  query_.has_environment = true;
  query_.environment = dir_.File("home");
  EXPECT_EQ(Find(), "<none:>");  // the program is not there
  ASSERT_TRUE(WriteFileBytes(dir_.File("home/viewer"), "program"));
  EXPECT_EQ(Find(), dir_.File("home"));
  query_.environment = dir_.File("home") + "/";
  EXPECT_EQ(Find(), dir_.File("home"));
  query_.environment = "";  // set but empty: as if not set
  EXPECT_EQ(Find(), dir_.File("app"));
}

TEST_F(SettingsHomeFolder, MissingRootIsAClearError) {
  query_.program_path = "";
  testing::internal::CaptureStderr();
  VHomeFolderSetRoot("/before");
  EXPECT_FALSE(VHomeFolderInit(query_));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ZENTRAX_PATH Environment variable must be set to the path of zentrax\n");
  EXPECT_EQ(VGetApplicationRoot(), "/before");
  query_.program_path = dir_.File("app/viewer");
  EXPECT_TRUE(VHomeFolderInit(query_));
  EXPECT_EQ(VGetConfigFolder(), dir_.File("app/config/"));
}

TEST_F(SettingsHomeFolder, DerivedFolders) {
  VHomeFolderSetRoot("/opt/zentrax/");
  EXPECT_EQ(VGetApplicationRoot(), "/opt/zentrax");
  EXPECT_EQ(VGetUserRoot(), "/opt/zentrax");
  EXPECT_EQ(VGetSystemFolder(), "/opt/zentrax/system");
  EXPECT_EQ(VGetExtensionsFolder(), "/opt/zentrax/extensions");
  EXPECT_EQ(VGetPluginsFolder(), "/opt/zentrax/plugins");
  EXPECT_EQ(VGetConfigFolder(), "/opt/zentrax/config/");
  VHomeFolderSetRoot("C:\\Zentrax\\");
  EXPECT_EQ(VGetSystemFolder(), "C:\\Zentrax/system");
  VSetPluginsFolder("/p");
  EXPECT_EQ(VGetPluginsFolder(), "/p");
  EXPECT_EQ(VGetSystemFolder(), "C:\\Zentrax/system");
}

TEST_F(SettingsHomeFolder, KeyboardMapsStayInTheirFolder) {
  VHomeFolderSetRoot(dir_.File("app"));
  ASSERT_EQ(::mkdir(dir_.File("app/config").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(dir_.File("app/config/Keyboard").c_str(), 0755), 0);
  ASSERT_TRUE(WriteFileBytes(dir_.File("app/config/Keyboard/Velmoor.txt"), "map"));
  ASSERT_TRUE(WriteFileBytes(dir_.File("app/config/secret.txt"), "x"));
  std::string path, error;
  EXPECT_TRUE(VFindKeyboardMap("Velmoor", &path, &error));
  EXPECT_EQ(path, dir_.File("app/config/Keyboard/Velmoor.txt"));
  for (const char* bad : {"Other", "", "../secret", "..", "Key/../../secret", "a\\b"}) {
    error.clear();
    EXPECT_FALSE(VFindKeyboardMap(bad, &path, &error)) << bad;
    EXPECT_EQ(error, "Can't find configuration file.");
    EXPECT_EQ(path, "");
  }
}

}  // namespace
