// zynplay: the movie player. It loads the component library, registers its
// components from the library's own resources, imports a file through the
// importer registered for its extension and drives the track's media
// handler as a player does: in a window in real time, or headless into
// frames, a movie file or through an event script.

#include <malloc.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/component_manager.h"
#include "tools/zynplay/component_library.h"
#include "tools/zynplay/headless_runs.h"
#include "tools/zynplay/import_info.h"
#include "tools/zynplay/json_text.h"
#include "tools/zynplay/player_options.h"
#if QTZYN_HAVE_SDL2
#include "tools/zynplay/window_player.h"
#endif

namespace {

const char kUsage[] =
    "zynplay FILE... [--size WxH] | zynplay FILE --frames DIR [--size WxH] [--from T] [--to T] [--step N] | "
    "zynplay FILE --movie OUT.mp4 [--size WxH] [--to T] | zynplay FILE --events SCRIPT [--frames DIR] [--size WxH] | "
    "zynplay --components | zynplay --import-info FILE (see zynplay --help)";

const char kHelp[] =
    "zynplay: the movie player\n\nusage: %s\n\n"
    "  FILE...                 play the files in windows, in real time, with their sound\n"
    "  --frames DIR            headless: the port after each drawn idle call as DIR/frame_NNNNNN.png\n"
    "                          (NNNNNN: the media time in 1/60 s), from --from (default 0) to --to\n"
    "                          (default the track's duration - 1) in steps of --step (default 1);\n"
    "                          with --events, the folder of the script's snaps\n"
    "  --movie OUT.mp4         headless: every frame and the scene's sound encoded by ffmpeg,\n"
    "                          up to --to (default the track's duration - 1)\n"
    "                          (without --to, both refuse runs of more than 864000 frames, 4 hours)\n"
    "  --events SCRIPT         headless: run an event script (idle, wait-loaded, key, click, move,\n"
    "                          release, focus on|off, snap, open, select, close)\n"
    "  --trace FILE            JSON lines of every idle call, event and text call\n"
    "  --size WxH              the track's dimensions and the port's size\n"
    "  --screenshot-on-exit F  window: the last drawn frame of the first movie as a PNG on exit\n"
    "  --paused                window: open the movies paused\n"
    "  --components            list the components registered from the component library's resources (JSON)\n"
    "  --import-info FILE      import FILE into a movie and describe the track, its sample and its\n"
    "                          sample description (JSON)\n"
    "  --library PATH          the component library (default: QTZyn.qtx beside zynplay, or\n"
    "                          $QTZYN_COMPONENT_LIBRARY)\n\n"
    "In a window: space plays and pauses, Escape quits, a click gives the track interaction focus;\n"
    "the strip under the track plays, pauses and scrubs.\n";

int UsageError(const std::string& why) {
  std::fprintf(stderr, "zynplay: usage: %s%s%s\n", why.c_str(), why.empty() ? "" : ": ", kUsage);
  return 2;
}

int ListComponents(const std::string& library) {
  std::string message;
  if (!zynplay::RegisterComponentLibrary(library, &message)) return zynplay::ReportFailure(message);
  std::string out = "[";
  for (const HostComponentListing& c : HostListComponents()) {
    if (out.size() > 1) out += ',';
    out += "{\"type\":" + zynplay::JsonFourChars(c.type) + ",\"subType\":" + zynplay::JsonFourChars(c.subType) +
           ",\"manufacturer\":" + std::to_string(c.manufacturer) + ",\"flags\":" + std::to_string(c.flags) +
           ",\"name\":" + zynplay::JsonString(c.name) + ",\"entryPoint\":" + zynplay::JsonString(c.entryPoint) +
           ",\"version\":" + std::to_string(c.version) + "}";
  }
  out += "]\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Frame buffers stay mapped between frames (fresh pages cost a fault
  // each), and freed memory is not handed back after every frame.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  zynplay::PlayerOptions options;
  std::string why;
  if (!zynplay::ParsePlayerOptions(argc, argv, &options, &why)) return UsageError(why);
  if (options.help) {
    std::printf(kHelp, kUsage);
    return 0;
  }
  const std::string library = zynplay::FindComponentLibrary(options.library);
  if (options.components) return ListComponents(library);
  if (!options.importInfo.empty()) return zynplay::ImportInfo(library, options.importInfo);
  std::string message;
  if (!zynplay::RegisterComponentLibrary(library, &message)) return zynplay::ReportFailure(message);
  if (!options.eventsPath.empty()) return zynplay::RunEvents(options);
  if (!options.framesDir.empty()) return zynplay::RunFrames(options);
  if (!options.moviePath.empty()) return zynplay::RunMovie(options);
#if QTZYN_HAVE_SDL2
  return zynplay::RunWindows(options);
#else
  return zynplay::ReportFailure("this build has no window support (SDL2); use --frames, --movie or --events");
#endif
}
