// zynplay: the movie player. It loads the component library, registers its
// components from the library's own resources and drives them as a player
// would. This first version lists the registered components; importing and
// playing follow.

#include <cstdio>
#include <cstring>
#include <string>

#include "host/component_manager.h"
#include "tools/common/args.h"
#include "tools/common/json_writer.h"
#include "tools/common/process_setup.h"
#include "tools/zynplay/component_library.h"

namespace {

const char kUsage[] = "zynplay --components [--library PATH] | zynplay FILE ... (see zynplay --help)";

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

int ListComponents(const std::string& library) {
  std::string message;
  if (!zynplay::RegisterComponentLibrary(library, &message)) return Failure(message);
  std::string out;
  tools::JsonWriter json(&out);
  json.BeginArray();
  for (const HostComponentListing& c : HostListComponents()) {
    json.BeginObject();
    json.Key("type");
    json.String(FourChars(c.type));
    json.Key("subType");
    json.String(FourChars(c.subType));
    json.Key("manufacturer");
    json.Int(c.manufacturer);
    json.Key("flags");
    json.Int(c.flags);
    json.Key("name");
    json.String(c.name);
    json.Key("entryPoint");
    json.String(c.entryPoint);
    json.Key("version");
    json.Int(c.version);
    json.EndObject();
  }
  json.EndArray();
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  tools::TuneAllocator();
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 1, {{"--help", "--components"}, {"--library"}}, &error)) return UsageError();
  if (args.Has("--help")) {
    std::printf(
        "zynplay: the movie player\n\nusage: %s\n\n"
        "  --components        list the components registered from the component library's resources (JSON)\n"
        "  --library PATH      the component library (default: QTZyn.qtx beside zynplay, or\n"
        "                      $QTZYN_COMPONENT_LIBRARY)\n",
        kUsage);
    return 0;
  }
  const std::string library = zynplay::FindComponentLibrary(args.Value("--library"));
  if (args.Has("--components")) {
    if (!args.positional().empty()) return UsageError();
    return ListComponents(library);
  }
  if (args.positional().empty()) return UsageError();
  return Failure("importing and playing movies is not available in this build yet");
}
