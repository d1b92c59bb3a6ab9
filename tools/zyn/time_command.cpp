// zyn time: the engine's time values and their texts.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/time.h"
#include "core/time_text.h"
#include "tools/common/args.h"
#include "tools/common/json_writer.h"
#include "tools/zyn/commands.h"

namespace zyn_tool {
namespace {

const char kTextUsage[] = "zyn time text TICKS [--mode M] [--format F] [--detail D]";
const char kParseUsage[] = "zyn time parse TEXT [--mode M] [--format F] [--initial TICKS]";
const char kLabelsUsage[] = "zyn time labels TICKS [--mode M]";
const char kComposeUsage[] = "zyn time compose H M S FRAME FIELD [HUNDREDTHS] [--mode M]";

void PrintHelp() {
  std::printf(
      "zyn time: time values (46,186,158,000 ticks per second) and their texts\n\n"
      "usage:\n"
      "  %s\n      the time's text form (detail 1-6, default 5)\n"
      "  %s\n      parses a text onto the time --initial (default 0); prints the ticks\n"
      "  %s\n      splits a time into labels, as JSON\n"
      "  %s\n      composes a time from labels; prints the ticks\n\n"
      "Modes: 0 the default (30 fps), 1 120 fps, 2 100, 3 60, 4 50, 5 48, 6 30,\n"
      "7 30 drop, 8 NTSC drop, 9 NTSC full, 10 PAL, 11 24, 12 milliseconds, 13 23.976.\n"
      "Formats: 0 SMPTE-like (000:00:01.15), 1 frame count (45), 2 the default (1).\n",
      kTextUsage, kParseUsage, kLabelsUsage, kComposeUsage);
}

// Reads an int option (fallback when absent); false when it is not a number.
bool IntOption(const tools::Args& args, const char* name, int fallback, int* out) {
  if (!args.Has(name)) {
    *out = fallback;
    return true;
  }
  return tools::ParseInt(args.Value(name), out);
}

int Text(const tools::Args& args) {
  const auto& pos = args.positional();
  long long ticks = 0;
  int mode = 0, format = 2, detail = 5;
  if (pos.size() != 2 || !tools::ParseInt64(pos[1], &ticks) || !IntOption(args, "--mode", 0, &mode) ||
      !IntOption(args, "--format", 2, &format) || !IntOption(args, "--detail", 5, &detail)) {
    return UsageError(kTextUsage);
  }
  std::printf("%s\n", VTimeGetString(VTime(ticks), detail, mode, format).c_str());
  return 0;
}

int Parse(const tools::Args& args) {
  const auto& pos = args.positional();
  long long initial = 0;
  int mode = 0, format = 2;
  if (pos.size() != 2 || !IntOption(args, "--mode", 0, &mode) || !IntOption(args, "--format", 2, &format) ||
      (args.Has("--initial") && !tools::ParseInt64(args.Value("--initial"), &initial))) {
    return UsageError(kParseUsage);
  }
  VTime time(initial);
  VTimeSetString(&time, pos[1], mode, format);
  std::printf("%lld\n", static_cast<long long>(time.GetTicks()));
  return 0;
}

int Labels(const tools::Args& args) {
  const auto& pos = args.positional();
  long long ticks = 0;
  int mode = 0;
  if (pos.size() != 2 || !tools::ParseInt64(pos[1], &ticks) || !IntOption(args, "--mode", 0, &mode)) {
    return UsageError(kLabelsUsage);
  }
  int64_t h = 0, m = 0, s = 0, f = 0, fd = 0, hh = 0;
  bool ok = VTime(ticks).GetTime(h, m, s, f, fd, hh, mode);
  std::string out;
  tools::JsonWriter json(&out);
  json.BeginObject();
  json.Key("ok");
  json.Bool(ok);
  const std::pair<const char*, int64_t> fields[] = {{"hours", h}, {"minutes", m}, {"seconds", s},
                                                    {"frame", f}, {"field", fd}, {"hundredths", hh}};
  for (const auto& field : fields) {
    json.Key(field.first);
    json.Int(field.second);
  }
  json.EndObject();
  std::printf("%s\n", out.c_str());
  return 0;
}

int Compose(const tools::Args& args) {
  const auto& pos = args.positional();
  int labels[6] = {0, 0, 0, 0, 0, 0};
  int mode = 0;
  if (pos.size() < 6 || pos.size() > 7 || !IntOption(args, "--mode", 0, &mode)) return UsageError(kComposeUsage);
  for (size_t i = 1; i < pos.size(); ++i) {
    if (!tools::ParseInt(pos[i], &labels[i - 1])) return UsageError(kComposeUsage);
  }
  VTime time;
  time.SetTime(labels[0], labels[1], labels[2], labels[3], labels[4], labels[5], mode);
  std::printf("%lld\n", static_cast<long long>(time.GetTicks()));
  return 0;
}

}  // namespace

int TimeCommand(int argc, char** argv) {
  const char* usage = "zyn time text|parse|labels|compose ... (see zyn time --help)";
  if (argc < 1) return UsageError(usage);
  const std::string sub = argv[0];
  if (sub == "--help" || sub == "-h") {
    PrintHelp();
    return 0;
  }
  tools::ArgSpec accepted;
  accepted.flags = {"--help", "-h"};
  const char* sub_usage = nullptr;
  int (*run)(const tools::Args&) = nullptr;
  if (sub == "text") {
    accepted.options = {"--mode", "--format", "--detail"};
    sub_usage = kTextUsage;
    run = Text;
  } else if (sub == "parse") {
    accepted.options = {"--mode", "--format", "--initial"};
    sub_usage = kParseUsage;
    run = Parse;
  } else if (sub == "labels") {
    accepted.options = {"--mode"};
    sub_usage = kLabelsUsage;
    run = Labels;
  } else if (sub == "compose") {
    accepted.options = {"--mode"};
    sub_usage = kComposeUsage;
    run = Compose;
  } else {
    return UsageError(usage);
  }
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 0, accepted, &error)) return UsageError((std::string(sub_usage) + " (" + error + ")").c_str());
  if (args.Has("--help") || args.Has("-h")) {
    PrintHelp();
    return 0;
  }
  return run(args);
}

}  // namespace zyn_tool
