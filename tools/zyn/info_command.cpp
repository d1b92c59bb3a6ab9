#include <cstdio>

#include "sdk/yr_kernel.h"
#include "sdk/yr_system.h"
#include "tools/common/args.h"
#include "tools/zyn/scene_loading.h"
#include "tools/common/json_writer.h"
#include "tools/zyn/commands.h"
#include "tools/zyn/field_json.h"
#include "zynfile/zyn_file.h"

namespace zyn_tool {
namespace {

const char kUsage[] = "zyn info FILE [--password P]";

void WriteHeader(const VZynHeaderInfo& h, tools::JsonWriter& json) {
  json.BeginObject();
  json.Key("headerVersion");
  if (h.header_version) json.Int(h.header_version); else json.Null();
  json.Key("cameraName");
  if (h.has_camera) json.String(h.camera_name); else json.Null();
  json.Key("resolutionMode");
  if (h.has_camera) json.String(h.resolution_mode); else json.Null();
  json.Key("resolutionW");
  if (h.has_camera) json.Double(h.resolution_w); else json.Null();
  json.Key("resolutionH");
  if (h.has_camera) json.Double(h.resolution_h); else json.Null();
  json.Key("creationTime");
  if (h.has_creation_time) {
    const VZynTimeStamp& t = h.creation_time;
    json.BeginArray();
    for (int v : {t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond}) json.Int(v);
    json.EndArray();
  } else {
    json.Null();
  }
  json.Key("creator");
  if (h.has_creator) json.String(h.creator); else json.Null();
  json.EndObject();
}

// Object counts by type, from the "Definitions" block of the main section.
void WriteObjectCounts(VZynFile& file, tools::JsonWriter& json) {
  json.BeginObject();
  if (file.FieldReadBegin("Definitions")) {
    if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
      while (file.FieldReadBegin("ObjectType")) {
        std::string type = file.FieldReadC();
        int count = 0;
        if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
          count = file.FieldReadI("Count", 0);
          file.FieldReadBlockEnd();
        }
        json.Key(type);
        json.Int(count);
        file.FieldReadEnd();
      }
      file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
  }
  json.EndObject();
}

// The document summary: the "Summary" block of the last extension section
// that has one.
void WriteSummary(VZynFile& file, tools::JsonWriter& json) {
  for (int s = file.SectionCount(); s >= 1; --s) {
    if (!file.OpenSection(s)) {
      file.ClearError();
      continue;
    }
    bool found = file.FieldReadBegin("Summary") && file.FieldReadIsBlock() && file.FieldReadBlockBegin();
    if (found) {
      WriteFieldsJson(file, json);
      file.FieldReadBlockEnd();
    }
    file.CloseSection();
    if (found) return;
  }
  json.Null();
}

}  // namespace

int InfoCommand(int argc, char** argv) {
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 0, {{"--help"}, {"--password"}}, &error)) return UsageError(kUsage);
  if (args.Has("--help")) {
    std::printf("usage: %s\nPrints the file's header and scene summary as JSON.\n", kUsage);
    return 0;
  }
  if (args.positional().size() != 1) return UsageError(kUsage);
  VZynFile file;
  file.SetPassword(args.Value("--password"));
  if (!file.OpenFile(args.positional()[0], true, true, false)) return FileError(file.GetErrorMessage());
  // A protected file without its password still shows its header.
  bool readable = !file.IsProtected() || !args.Value("--password").empty();

  std::string out;
  tools::JsonWriter json(&out);
  json.BeginObject();
  WriteFileFormJson(file, json);
  json.Key("protected");
  json.Bool(file.IsProtected());
  json.Key("sections");
  json.Int(file.SectionCount() + 1);
  json.Key("header");
  WriteHeader(file.Header(), json);
  json.Key("objects");
  if (readable) {
    if (!file.OpenSection(0)) return FileError(file.GetErrorMessage());
    WriteObjectCounts(file, json);
    file.CloseSection();
  } else {
    json.BeginObject();
    json.EndObject();
  }
  // Takes come from the scene itself.
  std::string message;
  bool loaded = readable && LoadScene(args.positional()[0], args.Value("--password"), &message);
  if (readable && !loaded) return FileError(message);
  YrSDK::YrSystem system;
  json.Key("takes");
  json.BeginArray();
  for (int i = 0; loaded && i < system.GetTakeCount(); ++i) {
    const YrSDK::YrTake take = system.GetTake(i);
    json.BeginObject();
    json.Key("name");
    json.String(take.GetName());
    json.Key("localStart");
    json.Int(take.GetLocalTimeSpan().GetStart().Get());
    json.Key("localStop");
    json.Int(take.GetLocalTimeSpan().GetStop().Get());
    json.Key("referenceStart");
    json.Int(take.GetReferenceTimeSpan().GetStart().Get());
    json.Key("referenceStop");
    json.Int(take.GetReferenceTimeSpan().GetStop().Get());
    json.Key("comments");
    json.String(take.GetComments());
    json.EndObject();
  }
  json.EndArray();
  json.Key("currentTake");
  YrSDK::YrTake current = system.GetCurrentTake();
  if (loaded && current.IsValid()) json.String(current.GetName()); else json.Null();
  // Each clip's sound file as the scene names it, and its start in ticks.
  json.Key("audioClips");
  json.BeginArray();
  for (int i = 0; loaded && i < system.GetAudioClipCount(); ++i) {
    const YrSDK::YrAudioClip clip = system.GetAudioClip(i);
    json.BeginObject();
    json.Key("name");
    json.String(clip.name);
    json.Key("path");
    json.String(clip.path);
    json.Key("relativePath");
    json.String(clip.relative_path);
    json.Key("start");
    json.Int(clip.start.Get());
    json.EndObject();
  }
  json.EndArray();
  json.Key("summary");
  if (readable) WriteSummary(file, json); else json.Null();
  json.EndObject();
  if (file.HasError()) return FileError(file.GetErrorMessage());
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace zyn_tool
