#include <cstdio>

#include "tools/common/args.h"
#include "tools/common/json_writer.h"
#include "tools/zyn/commands.h"
#include "tools/zyn/field_json.h"
#include "zynfile/zyn_file.h"

namespace zyn_tool {

namespace {
const char kUsage[] = "zyn dump FILE [--section N] [--password P]";
}

int DumpCommand(int argc, char** argv) {
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 0, {{"--help"}, {"--section", "--password"}}, &error)) return UsageError(kUsage);
  if (args.Has("--help")) {
    std::printf("usage: %s\nPrints the container's field tree as JSON.\n", kUsage);
    return 0;
  }
  int only = -1;
  if (args.positional().size() != 1 ||
      (args.Has("--section") && (!tools::ParseInt(args.Value("--section"), &only) || only < 0))) {
    return UsageError(kUsage);
  }
  VZynFile file;
  file.SetPassword(args.Value("--password"));
  if (!file.OpenFile(args.positional()[0], true, true, false)) return FileError(file.GetErrorMessage());
  if (only > file.SectionCount()) return FileError("Section does not exist");

  std::string out;
  tools::JsonWriter json(&out);
  json.BeginObject();
  WriteFileFormJson(file, json);
  json.Key("sections");
  json.BeginArray();
  for (int s = 0; s <= file.SectionCount(); ++s) {
    if (only >= 0 && s != only) continue;
    if (!file.OpenSection(s)) return FileError(file.GetErrorMessage());
    json.BeginObject();
    json.Key("fields");
    WriteFieldsJson(file, json);
    json.EndObject();
    file.CloseSection();
    if (file.HasError()) return FileError(file.GetErrorMessage());
  }
  json.EndArray();
  json.EndObject();
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace zyn_tool
