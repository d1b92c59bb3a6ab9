// Starting and stopping the kernel: start reads the settings tables of the
// configuration folder under ZENTRAX_PATH, closing writes them back (a
// damaged file set aside at start never costs the intact tables), and the
// scene and renderer may be asked for from another thread meanwhile.

#include "sdk/yr_kernel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "core/settings_session.h"
#include "core/settings_store.h"
#include "core/time_mode.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "support/temp_dir.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
using YrSDK::YrKernel;
using YrSDK::YrKernelObjects;

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The name of this test program: the home folder must hold a file of that
// name for ZENTRAX_PATH to be taken as the root.
std::string ProgramName() {
  char buffer[PATH_MAX + 1];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
  if (n <= 0) return {};
  const std::string path(buffer, static_cast<size_t>(n));
  return path.substr(path.rfind('/') + 1);
}

// A home folder of its own under ZENTRAX_PATH, and the process-wide state
// that start-up changes put back afterwards.
class KernelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    YrKernel::Close();
    if (const char* value = std::getenv("ZENTRAX_PATH")) old_path_ = value;
    mode_ = VTimeGetDefaultMode();
    format_ = VTimeGetDefaultFormat();
    layout_ = VSettingsKeyboardLayout();
    const std::string program = ProgramName();
    ASSERT_FALSE(program.empty());
    ASSERT_TRUE(WriteFileBytes(home_.File(program), ""));
    ASSERT_EQ(::setenv("ZENTRAX_PATH", home_.path().c_str(), 1), 0);
  }
  void TearDown() override {
    YrKernel::Close();
    if (old_path_) {
      ::setenv("ZENTRAX_PATH", old_path_->c_str(), 1);
    } else {
      ::unsetenv("ZENTRAX_PATH");
    }
    VTimeSetDefaultMode(mode_);
    VTimeSetDefaultFormat(format_);
    VSettingsSetKeyboardLayout(layout_);
  }

  std::string Config() const { return home_.path() + "/config/"; }
  void MakeConfig() { ASSERT_EQ(::mkdir(Config().c_str(), 0755), 0); }

  TempDir home_;

 private:
  std::optional<std::string> old_path_;
  int mode_ = 6, format_ = 1;
  std::string layout_;
};

TEST_F(KernelTest, InitLoadsTheConfigurationTablesAndCloseWritesThemBack) {
  MakeConfig();
  ASSERT_TRUE(WriteFileBytes(Config() + kVSettingsApplication,
                             "[Display]\nGridSpacing = 7.5\n[Keyboard]\nDefault = Classic\n"));
  ASSERT_TRUE(WriteFileBytes(Config() + kVSettingsHistory, "[Recent]\nFile1 = a.zyn\n"));

  ASSERT_TRUE(YrKernel::Init(""));
  EXPECT_TRUE(YrKernel::IsStarted());
  VSettings app = VSettingsOpen(kVSettingsApplication);
  EXPECT_EQ(app.GetText("Display", "GridSpacing", ""), "7.5");
  EXPECT_EQ(app.GetText("Display", "UseStripForMesh", ""), "Yes");  // the defaults came too
  EXPECT_EQ(VSettingsOpen(kVSettingsHistory).GetText("Recent", "File1", ""), "a.zyn");
  EXPECT_EQ(VSettingsKeyboardLayout(), "Classic");
  ASSERT_TRUE(app.Set("Run", "Written", "in the first run"));
  VSettingsSetKeyboardLayout("Dvorak");
  YrKernel::Close();
  EXPECT_FALSE(YrKernel::IsStarted());

  for (int i = 0; i < VSettingsStore::kTableCount; ++i) {
    EXPECT_TRUE(Exists(Config() + VSettingsStore::TableName(i))) << VSettingsStore::TableName(i);
  }
  const std::string text = ReadFileBytes(Config() + kVSettingsApplication);
  EXPECT_TRUE(Contains(text, "GridSpacing = 7.5\n")) << text;
  EXPECT_TRUE(Contains(text, "Written = in the first run\n")) << text;
  EXPECT_TRUE(Contains(text, "UseStripForMesh = Yes\n")) << text;
  EXPECT_TRUE(Contains(text, "Default = Dvorak\n")) << text;
  EXPECT_TRUE(Contains(ReadFileBytes(Config() + kVSettingsHistory), "File1 = a.zyn\n"));

  // The next run reads what the last one wrote, whatever the store held in
  // between.
  ASSERT_TRUE(VSettingsOpen(kVSettingsApplication).Set("Run", "Written", "not saved"));
  ASSERT_TRUE(YrKernel::Init(""));
  EXPECT_EQ(VSettingsOpen(kVSettingsApplication).GetText("Run", "Written", ""), "in the first run");
  EXPECT_EQ(VSettingsKeyboardLayout(), "Dvorak");
  YrKernel::Close();
}

TEST_F(KernelTest, ADamagedFileAtStartCostsNeitherTheIntactTablesNorItsCopy) {
  MakeConfig();
  const std::string history = Config() + kVSettingsHistory;
  const std::string damaged = "[Recent]\nFile1 = a.zyn\n\x01\x02garbage\nFile2 = b.z";
  ASSERT_TRUE(WriteFileBytes(Config() + kVSettingsApplication, "[Display]\nGridSpacing = 7.5\n"));
  ASSERT_TRUE(WriteFileBytes(history, damaged));

  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(YrKernel::Init(""));
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(Contains(warnings, "@History.txt' is damaged")) << warnings;
  ASSERT_TRUE(VSettingsOpen(kVSettingsApplication).Set("Run", "Written", "in the damaged run"));
  YrKernel::Close();

  // The intact tables were saved, the damaged one with what could be read,
  // and the copy set aside is as it was found.
  EXPECT_TRUE(Contains(ReadFileBytes(Config() + kVSettingsApplication), "Written = in the damaged run\n"));
  EXPECT_TRUE(Contains(ReadFileBytes(history), "File1 = a.zyn\n"));
  EXPECT_EQ(ReadFileBytes(history + ".damaged"), damaged);

  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(YrKernel::Init(""));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");  // a clean start now
  VSettings app = VSettingsOpen(kVSettingsApplication);
  EXPECT_EQ(app.GetText("Run", "Written", ""), "in the damaged run");
  EXPECT_EQ(app.GetText("Display", "GridSpacing", ""), "7.5");
  EXPECT_EQ(VSettingsOpen(kVSettingsHistory).GetText("Recent", "File1", ""), "a.zyn");
  YrKernel::Close();
  EXPECT_EQ(ReadFileBytes(history + ".damaged"), damaged);
}

// Another thread (a scene loader, a drawing thread) asks for the scene and
// the renderer while the kernel starts and stops; under the thread
// sanitizer an unguarded read of either shows up as a race.
TEST_F(KernelTest, SceneAndRendererMayBeAskedForWhileTheKernelStartsAndStops) {
  constexpr int kCycles = 8;
  std::atomic<bool> running{false};
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    running = true;
    while (!stop) {
      (void)YrKernelObjects::GetScene();
      (void)YrKernelObjects::GetRenderer();
    }
  });
  while (!running) std::this_thread::yield();
  for (int i = 0; i < kCycles; ++i) {
    ASSERT_TRUE(YrKernel::Init(""));
    EXPECT_NE(YrKernelObjects::GetScene(), nullptr);
    EXPECT_NE(YrKernelObjects::GetRenderer(), nullptr);
    YrKernel::Close();
  }
  stop = true;
  reader.join();
  EXPECT_EQ(YrKernelObjects::GetScene(), nullptr);
  EXPECT_EQ(YrKernelObjects::GetRenderer(), nullptr);
}

}  // namespace
