#include "tools/zynplay/window_player.h"

#include <SDL.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "host/keyboard_hooks.h"
#include "host/media_handler_records.h"
#include "tools/zynplay/headless_runs.h"
#include "tools/zynplay/png_frame_writer.h"
#include "tools/zynplay/trace_log.h"
#include "tools/zynplay/window_keys.h"
#include "tools/zynplay/window_movie.h"

namespace zynplay {
namespace {

using Clock = std::chrono::steady_clock;
// Idle calls per second: one per media unit.
constexpr auto kTick = std::chrono::microseconds(1000000 / PlaybackClock::kScale);

bool WriteScreenshot(PlayerMovie* movie, const std::string& path, std::string* message) {
  const PortDrawContext* px = movie->pixels();
  std::vector<std::uint8_t> png;
  return EncodeFramePng(px->pixels, px->width, px->height, px->row_bytes, kFramePngCompressionLevel, &png,
                        message) &&
         WriteFileAtomically(path, png, message);
}

// All windows, the interaction focus and the keys.
class WindowSet {
 public:
  TraceLog trace;  // outlives the windows, whose movies write to it
  std::vector<std::unique_ptr<MovieWindow>> windows;
  MovieWindow* focus = nullptr;
  bool quit = false;
  // --screenshot-on-exit: the first movie's last frame, written when its
  // window closes or the player quits.
  std::string screenshotPath;
  MovieWindow* screenshotOf = nullptr;
  std::string screenshotError;

  void TakeScreenshot(MovieWindow* w) {
    if (w == nullptr || w != screenshotOf || screenshotPath.empty()) return;
    screenshotOf = nullptr;
    WriteScreenshot(w->movie(), screenshotPath, &screenshotError);
  }

  MovieWindow* Find(Uint32 id) {
    for (auto& w : windows) {
      if (w->id() == id) return w.get();
    }
    return nullptr;
  }

  void Close(Uint32 id) {
    for (auto it = windows.begin(); it != windows.end(); ++it) {
      if ((*it)->id() != id) continue;
      if (focus == it->get()) focus = nullptr;
      TakeScreenshot(it->get());
      windows.erase(it);
      break;
    }
    if (windows.empty()) quit = true;
  }

  void Key(const SDL_KeyboardEvent& e) {
    const bool down = e.type == SDL_KEYDOWN;
    const SDL_Keycode key = e.keysym.sym;
    // While a movie holds the focus, its keyboard hook sees every key.
    bool swallowed = false;
    const int virtualKey = VirtualKeyOf(key);
    if (focus != nullptr && virtualKey != 0) swallowed = HostSendKeyboardEvent(virtualKey, down);
    if (!down || swallowed) return;
    bool handled = false;
    const int character = CharacterOf(key, e.keysym.mod);
    if (focus != nullptr && character != 0) {
      const ComponentResult result =
          focus->movie()->SendEvent(kQTEventKey, 0, 0, EventModifiersOf(e.keysym.mod), character);
      trace.Event(focus->instance(), kQTEventKey, result);
      handled = result == kEventHandledByMediaHandler;
    }
    if (key == SDLK_ESCAPE) {
      quit = true;  // the hook passes Escape on to the player
    } else if (key == SDLK_SPACE && !handled && e.repeat == 0) {
      if (MovieWindow* w = Find(e.windowID)) w->TogglePlay();
    }
  }

  void Handle(const SDL_Event& e) {
    switch (e.type) {
      case SDL_QUIT:
        quit = true;
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          Close(e.window.windowID);
        } else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          if (MovieWindow* w = Find(e.window.windowID)) w->Resize(e.window.data1, e.window.data2);
        }
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        Key(e.key);
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (MovieWindow* w = Find(e.button.windowID); w != nullptr && e.button.button == SDL_BUTTON_LEFT) {
          w->Press(e.button.x, e.button.y, EventModifiersOf(SDL_GetModState()), &focus);
        }
        break;
      case SDL_MOUSEMOTION:
        if (MovieWindow* w = Find(e.motion.windowID)) w->Motion(e.motion.x, e.motion.y);
        break;
      case SDL_MOUSEBUTTONUP:
        if (MovieWindow* w = Find(e.button.windowID); w != nullptr && e.button.button == SDL_BUTTON_LEFT) {
          w->Release(e.button.x, e.button.y, EventModifiersOf(SDL_GetModState()));
        }
        break;
      default:
        break;
    }
  }
};

}  // namespace

int RunWindows(const PlayerOptions& options) {
  // Windows are drawn in software: the media handler's own OpenGL context
  // lives on this thread, and a window's OpenGL would compete with it.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    return ReportFailure(std::string("Unable to open a window: ") + SDL_GetError());
  }
  SDL_InitSubSystem(SDL_INIT_AUDIO);  // without a sound device the movies play silently
  std::string message;
  int exitCode = 0;
  {
    WindowSet set;
    if (!options.tracePath.empty() && !set.trace.Open(options.tracePath, &message)) exitCode = ReportFailure(message);
    for (const std::string& path : exitCode == 0 ? options.files : std::vector<std::string>{}) {
      std::unique_ptr<PlayerMovie> movie = PlayerMovie::Open(path, options.width, options.height, &message);
      std::unique_ptr<MovieWindow> window;
      const int index = static_cast<int>(set.windows.size());
      if (movie) window = MovieWindow::Open(std::move(movie), index, &set.trace, options.paused, &message);
      if (!window) {
        exitCode = ReportFailure(message);
        break;
      }
      set.windows.push_back(std::move(window));
    }
    set.screenshotPath = options.screenshotPath;
    set.screenshotOf = set.windows.empty() ? nullptr : set.windows.front().get();
    Clock::time_point next = Clock::now();
    while (exitCode == 0 && !set.quit) {
      SDL_Event e;
      while (SDL_PollEvent(&e)) set.Handle(e);
      if (set.quit) break;
      for (auto& w : set.windows) w->Tick();
      next += kTick;
      const Clock::time_point now = Clock::now();
      if (next < now) next = now;  // a slow frame does not make the next ones hurry
      std::this_thread::sleep_until(next);
    }
    if (exitCode == 0) set.TakeScreenshot(set.screenshotOf);
    if (exitCode == 0 && !set.screenshotError.empty()) exitCode = ReportFailure(set.screenshotError);
    set.windows.clear();
    if (!set.trace.Close(&message) && exitCode == 0) exitCode = ReportFailure(message);
  }
  SDL_Quit();
  return exitCode;
}

}  // namespace zynplay
