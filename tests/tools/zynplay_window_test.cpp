// zynplay in a real window under Xvfb: keys and a drag sent with xdotool
// reach the media handler; the player's screenshot and trace show the new
// display mode and the moved camera. Skipped where Xvfb or xdotool is
// missing.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/png_image.h"
#include "support/temp_dir.h"
#include "tools/zynplay_test_support.h"

extern char** environ;

namespace {

using zynplay_test::Has;

bool OnPath(const std::string& program) {
  std::string out;
  return testing_support::RunCommand("command -v " + program + " >/dev/null 2>&1 && echo yes", &out) == 0 &&
         out == "yes\n";
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// A child process, killed and reaped when it goes out of scope.
class Child {
 public:
  Child(const std::vector<std::string>& args, const std::vector<std::string>& extraEnvironment) {
    std::vector<std::string> env = extraEnvironment;
    for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
    std::vector<char*> argv, envp;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    if (posix_spawnp(&pid_, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
  }
  ~Child() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // The exit code once the child ends within `seconds`; -1 when it does not.
  int Wait(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (pid_ > 0) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      if (std::chrono::steady_clock::now() > deadline) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
};

// The pid written in an X display's lock file, or -1.
pid_t LockOwner(const std::string& lockFile) {
  std::FILE* file = std::fopen(lockFile.c_str(), "r");
  if (file == nullptr) return -1;
  long pid = -1;
  if (std::fscanf(file, "%ld", &pid) != 1) pid = -1;
  std::fclose(file);
  return static_cast<pid_t>(pid);
}

// Polls until `done` answers true or `seconds` pass.
template <typename Done>
bool WaitFor(double seconds, Done done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

long DifferingPixels(const testing_support::RgbaImage& a, const testing_support::RgbaImage& b) {
  long n = 0;
  for (std::size_t i = 0; i + 3 < a.pixels.size() && i + 3 < b.pixels.size(); i += 4) {
    for (int c = 0; c < 3; ++c) {
      if (std::abs(a.pixels[i + c] - b.pixels[i + c]) > 24) {
        ++n;
        break;
      }
    }
  }
  return n;
}

// A display of Xvfb's own and the sample scene; skipped without Xvfb or
// xdotool.
class ZynplayWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool is not installed";
    scene_ = zynplay_test::WriteSampleScene(dir_);
    // Another test program may pick the same free display at the same
    // moment; the server whose pid the display's lock file names owns it,
    // and the loser tries the next number.
    for (int n = 90 + getpid() % 50; n < 400 && display_.empty(); ++n) {
      const std::string number = std::to_string(n);
      if (Exists("/tmp/.X11-unix/X" + number) || Exists("/tmp/.X" + number + "-lock")) continue;
      auto server = std::make_unique<Child>(
          std::vector<std::string>{"Xvfb", ":" + number, "-screen", "0", "800x600x24", "-nolisten", "tcp"},
          std::vector<std::string>{});
      ASSERT_TRUE(server->started());
      const bool up = WaitFor(20, [&] { return Exists("/tmp/.X11-unix/X" + number) || server->Wait(0) != -1; });
      if (up && server->started() && LockOwner("/tmp/.X" + number + "-lock") == server->pid()) {
        display_ = ":" + number;
        server_ = std::move(server);
      }
    }
    ASSERT_FALSE(display_.empty());
  }

  // Starts the player on the sample scene (paused, 320 x 240, with a
  // screenshot on exit and a trace) and waits until the scene has loaded.
  void StartPlayer() {
    player_ = std::make_unique<Child>(
        std::vector<std::string>{ZYNPLAY_PROGRAM, scene_, "--size", "320x240", "--paused", "--screenshot-on-exit",
                                 dir_.File("shot.png"), "--trace", dir_.File("trace.json")},
        std::vector<std::string>{"DISPLAY=" + display_, "SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(player_->started());
    // Loaded: the focus prompt is on screen.
    ASSERT_TRUE(WaitFor(60, [&] {
      return Has(testing_support::ReadFileBytes(dir_.File("trace.json")), "<Click here to get interaction focus>");
    })) << "the scene did not load";
    std::string window;
    ASSERT_EQ(testing_support::RunCommand(Xdotool() + "search --name zynplay 2>/dev/null | head -1", &window), 0);
    ASSERT_FALSE(window.empty());
    window.pop_back();
    windowId_ = window;
    window_ = " --window " + window + " ";
  }

  std::string Xdotool() const { return "DISPLAY=" + display_ + " xdotool "; }
  // One xdotool command with the window's option where `{w}` stands and its
  // id where `{id}` stands.
  void Send(const std::string& command) {
    std::string text = command, ignored;
    std::size_t at = text.find("{w}");
    if (at != std::string::npos) text.replace(at, 3, window_);
    at = text.find("{id}");
    if (at != std::string::npos) text.replace(at, 4, windowId_);
    testing_support::RunCommand(Xdotool() + text + " 2>&1", &ignored);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }

  testing_support::TempDir dir_;
  std::string scene_;
  std::string display_;
  std::string window_;
  std::string windowId_;
  std::unique_ptr<Child> server_;
  std::unique_ptr<Child> player_;
};

TEST_F(ZynplayWindow, KeysAndADragReachTheMediaHandler) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  Send("mousemove{w}160 120 click 1");  // focus
  Send("key{w}i");                      // the information lines
  Send("key{w}d");                      // Wire Frame
  Send("mousemove{w}100 120 mousedown 1");
  Send("mousemove{w}180 150");
  Send("mousemove{w}240 170 mouseup 1");  // orbit
  Send("key{w}Escape");
  EXPECT_EQ(player_->Wait(20), 0);

  const std::string lines = testing_support::ReadFileBytes(dir_.File("trace.json"));
  EXPECT_TRUE(Has(lines, "\"text\":\"Display mode: Wire Frame\"")) << "the 'd' key reached the handler";
  EXPECT_TRUE(Has(lines, "\"kind\":\"move\"")) << "the drag reached the handler";
  EXPECT_TRUE(Has(lines, "\"kind\":\"cend\""));

  // The same keys without the drag, headless: the camera differs.
  testing_support::WriteFileBytes(dir_.File("script.txt"),
                                  "wait-loaded\nidle 0\nfocus on\nclick 160 120\nrelease 160 120\nkey i\nkey d\n"
                                  "idle 0\nsnap still.png\n");
  const auto r = zynplay_test::Zynplay(scene_ + " --events " + dir_.File("script.txt") + " --frames " +
                                       dir_.path() + " --size 320x240");
  ASSERT_EQ(r.code, 0) << r.out;
  testing_support::RgbaImage window_frame, still;
  std::string message;
  ASSERT_TRUE(testing_support::ReadPNGFile(dir_.File("shot.png"), &window_frame, &message)) << message;
  ASSERT_TRUE(testing_support::ReadPNGFile(dir_.File("still.png"), &still, &message)) << message;
  ASSERT_EQ(window_frame.width, 320);
  ASSERT_EQ(window_frame.height, 240);
  EXPECT_GT(DifferingPixels(window_frame, still), 320L * 240 / 50) << "the drag orbited the camera";
}

TEST_F(ZynplayWindow, ResizingTheWindowResizesTheTrack) {
  ASSERT_NO_FATAL_FAILURE(StartPlayer());
  Send("windowsize {id} 400 328");  // the strip under the track keeps its height
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Send("key{w}Escape");
  EXPECT_EQ(player_->Wait(20), 0);
  testing_support::RgbaImage frame;
  std::string message;
  ASSERT_TRUE(testing_support::ReadPNGFile(dir_.File("shot.png"), &frame, &message)) << message;
  EXPECT_EQ(frame.width, 400);
  EXPECT_EQ(frame.height, 300);
}
}  // namespace
