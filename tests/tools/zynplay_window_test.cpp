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

TEST(ZynplayWindow, KeysAndADragReachTheMediaHandler) {
  if (!OnPath("Xvfb") || !OnPath("xdotool")) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  testing_support::TempDir dir;
  const std::string scene = zynplay_test::WriteSampleScene(dir);

  int display = 0;
  for (int n = 90 + getpid() % 50; n < 400; ++n) {
    if (!Exists("/tmp/.X11-unix/X" + std::to_string(n)) && !Exists("/tmp/.X" + std::to_string(n) + "-lock")) {
      display = n;
      break;
    }
  }
  ASSERT_NE(display, 0);
  const std::string name = ":" + std::to_string(display);
  Child server({"Xvfb", name, "-screen", "0", "800x600x24", "-nolisten", "tcp"}, {});
  ASSERT_TRUE(server.started());
  ASSERT_TRUE(WaitFor(20, [&] { return Exists("/tmp/.X11-unix/X" + std::to_string(display)); }));

  const std::string shot = dir.File("shot.png"), trace = dir.File("trace.json");
  Child player({ZYNPLAY_PROGRAM, scene, "--size", "320x240", "--paused", "--screenshot-on-exit", shot, "--trace",
                trace},
               {"DISPLAY=" + name, "SDL_AUDIODRIVER=dummy"});
  ASSERT_TRUE(player.started());
  // Loaded: the focus prompt is on screen.
  ASSERT_TRUE(WaitFor(60, [&] {
    return Has(testing_support::ReadFileBytes(trace), "<Click here to get interaction focus>");
  })) << "the scene did not load";
  const std::string xdo = "DISPLAY=" + name + " xdotool ";
  std::string window;
  ASSERT_EQ(testing_support::RunCommand(xdo + "search --name zynplay 2>/dev/null | head -1", &window), 0);
  ASSERT_FALSE(window.empty());
  window.pop_back();
  const std::string w = " --window " + window + " ";
  std::string ignored;
  const auto send = [&](const std::string& command) {
    testing_support::RunCommand(xdo + command + " 2>&1", &ignored);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  };
  send("mousemove" + w + "160 120 click 1");  // focus
  send("key" + w + "i");                      // the information lines
  send("key" + w + "d");                      // Wire Frame
  send("mousemove" + w + "100 120 mousedown 1");
  send("mousemove" + w + "180 150");
  send("mousemove" + w + "240 170 mouseup 1");  // orbit
  send("key" + w + "Escape");
  EXPECT_EQ(player.Wait(20), 0);

  const std::string lines = testing_support::ReadFileBytes(trace);
  EXPECT_TRUE(Has(lines, "\"text\":\"Display mode: Wire Frame\"")) << "the 'd' key reached the handler";
  EXPECT_TRUE(Has(lines, "\"kind\":\"move\"")) << "the drag reached the handler";
  EXPECT_TRUE(Has(lines, "\"kind\":\"cend\""));

  // The same keys without the drag, headless: the camera differs.
  testing_support::WriteFileBytes(dir.File("script.txt"),
                                  "wait-loaded\nidle 0\nfocus on\nclick 160 120\nrelease 160 120\nkey i\nkey d\n"
                                  "idle 0\nsnap still.png\n");
  const auto r = zynplay_test::Zynplay(scene + " --events " + dir.File("script.txt") + " --frames " + dir.path() +
                                       " --size 320x240");
  ASSERT_EQ(r.code, 0) << r.out;
  testing_support::RgbaImage window_frame, still;
  std::string message;
  ASSERT_TRUE(testing_support::ReadPNGFile(shot, &window_frame, &message)) << message;
  ASSERT_TRUE(testing_support::ReadPNGFile(dir.File("still.png"), &still, &message)) << message;
  ASSERT_EQ(window_frame.width, 320);
  ASSERT_EQ(window_frame.height, 240);
  EXPECT_GT(DifferingPixels(window_frame, still), 320L * 240 / 50) << "the drag orbited the camera";
}

}  // namespace
