// zynplay: the movie player. It loads the component library, registers its
// components from the library's own resources and drives them as a player
// would. This first version lists the registered components; importing and
// playing follow.

#include <malloc.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/component_manager.h"
#include "tools/zynplay/component_library.h"
#include "tools/zynplay/import_info.h"

namespace {

const char kUsage[] =
    "zynplay --components [--library PATH] | zynplay --import-info FILE [--library PATH] | zynplay FILE ... "
    "(see zynplay --help)";

int UsageError() {
  std::fprintf(stderr, "zynplay: usage: %s\n", kUsage);
  return 2;
}

int Failure(const std::string& message) {
  std::fprintf(stderr, "zynplay: %s\n", message.c_str());
  return 1;
}

std::string FourChars(OSType code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
  return text;
}

// A JSON string: quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

int ListComponents(const std::string& library) {
  std::string message;
  if (!zynplay::RegisterComponentLibrary(library, &message)) return Failure(message);
  std::string out = "[";
  for (const HostComponentListing& c : HostListComponents()) {
    if (out.size() > 1) out += ',';
    out += "{\"type\":" + JsonString(FourChars(c.type)) + ",\"subType\":" + JsonString(FourChars(c.subType)) +
           ",\"manufacturer\":" + std::to_string(c.manufacturer) + ",\"flags\":" + std::to_string(c.flags) +
           ",\"name\":" + JsonString(c.name) + ",\"entryPoint\":" + JsonString(c.entryPoint) +
           ",\"version\":" + std::to_string(c.version) + "}";
  }
  out += "]\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Large blocks stay mapped between frames: fresh pages cost a fault each.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  bool help = false, components = false;
  std::string library_option, import_info_file;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      help = true;
    } else if (arg == "--components") {
      components = true;
    } else if (arg == "--import-info") {
      if (++i >= argc) return UsageError();
      import_info_file = argv[i];
    } else if (arg == "--library") {
      if (++i >= argc) return UsageError();
      library_option = argv[i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError();
    } else {
      files.push_back(arg);
    }
  }
  if (help) {
    std::printf(
        "zynplay: the movie player\n\nusage: %s\n\n"
        "  --components        list the components registered from the component library's resources (JSON)\n"
        "  --import-info FILE  import FILE into a movie and describe the track, its sample and its\n"
        "                      sample description (JSON)\n"
        "  --library PATH      the component library (default: QTZyn.qtx beside zynplay, or\n"
        "                      $QTZYN_COMPONENT_LIBRARY)\n",
        kUsage);
    return 0;
  }
  const std::string library = zynplay::FindComponentLibrary(library_option);
  if (components) {
    if (!files.empty()) return UsageError();
    return ListComponents(library);
  }
  if (!import_info_file.empty()) {
    if (!files.empty()) return UsageError();
    return zynplay::ImportInfo(library, import_info_file);
  }
  if (files.empty()) return UsageError();
  return Failure("importing and playing movies is not available in this build yet");
}
