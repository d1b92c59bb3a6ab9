#include <cstdio>
#include <set>

#include "core/property.h"
#include "scene/camera.h"
#include "scene/camera_switcher.h"
#include "scene/model_polymesh.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/yr_camera.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_model.h"
#include "sdk/yr_player_control.h"
#include "sdk/yr_system.h"
#include "tools/common/args.h"
#include "tools/common/json_writer.h"
#include "tools/common/offscreen_frame.h"
#include "tools/zyn/commands.h"
#include "tools/zyn/property_json.h"
#include "tools/zyn/scene_loading.h"

namespace zyn_tool {
namespace {

const char kUsage[] =
    "zyn eval FILE [--take NAME] [--seconds S | --ticks N] [--object FULLNAME]... [--props] [--vertices] "
    "[--size WxH] [--password P]";

void WriteMatrix(const char* key, const YrSDK::YrMatrix& m, tools::JsonWriter& json) {
  json.Key(key);
  json.BeginArray();
  for (double value : m.m) json.Double(value + 0.0);  // no "-0"
  json.EndArray();
}

struct EvalOptions {
  bool all_properties = false;
  bool vertices = false;
  int width = 640;
  int height = 480;
};

// Matrices come from the public model and camera handles; the switcher's
// current camera and a mesh's deformed points from the engine's objects,
// which the facade does not show.
void WriteObject(const YrSDK::YrComponent& component, const EvalOptions& options, tools::JsonWriter& json) {
  json.BeginObject();
  const YrSDK::YrModel model(component);
  if (model.IsValid()) {
    WriteMatrix("local", model.GetMatrix(YrSDK::kYrLocal), json);
    WriteMatrix("global", model.GetMatrix(YrSDK::kYrGlobal), json);
    WriteMatrix("globalGeometric", model.GetGlobalGeometricMatrix(), json);
  }
  // A switcher shows through its current camera.
  VObject* object = YrSDK::YrEngineHandles::Object(component);
  YrSDK::YrCamera camera(object);
  if (const auto* switcher = dynamic_cast<const VCameraSwitcher*>(object)) {
    VCamera* current = switcher->GetCurrentCamera();
    camera = YrSDK::YrCamera(current);
    json.Key("currentCamera");
    if (current) json.String(current->GetFullName()); else json.Null();
  }
  const auto* mesh = dynamic_cast<const VModelPolymesh*>(object);
  if (mesh && options.vertices) {
    json.Key("vertices");
    json.BeginArray();
    for (const YrSDK::YrVector4<float>& p : mesh->GetDeformedPoints()) {
      json.BeginArray();
      json.Double(p.x + 0.0);
      json.Double(p.y + 0.0);
      json.Double(p.z + 0.0);
      json.EndArray();
    }
    json.EndArray();
  }
  if (camera.IsValid()) {
    WriteMatrix("projection", camera.GetProjectionMatrix(options.width, options.height), json);
    WriteMatrix("view", camera.GetViewMatrix(), json);
  }
  json.Key("properties");
  json.BeginObject();
  for (int i = 0; i < component.GetPropertyCount(); ++i) {
    const VProperty& property = *YrSDK::YrEngineHandles::Property(component.GetPropertyAt(i));
    if (!options.all_properties && !property.IsAnimatable()) continue;
    json.Key(property.GetName());
    WritePropertyJson(property, json);
  }
  json.EndObject();
  json.EndObject();
}

}  // namespace

int EvalCommand(int argc, char** argv) {
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 0, {{"--help", "--props", "--vertices"},
                                  {"--take", "--seconds", "--ticks", "--object", "--size", "--password"}},
                  &error)) {
    return UsageError(kUsage);
  }
  if (args.Has("--help")) {
    std::printf("usage: %s\nMoves the player to the time in the take and prints the evaluated scene as JSON.\n",
                kUsage);
    return 0;
  }
  long long ticks = 0;
  if (args.positional().size() != 1 || !ParseTimeOptions(args, &ticks)) return UsageError(kUsage);
  std::string message;
  if (!LoadScene(args.positional()[0], args.Value("--password"), &message)) return FileError(message);

  if (!GotoTakeTime(args, ticks, &message)) return FileError(message);
  YrSDK::YrSystem system;

  std::string out;
  tools::JsonWriter json(&out);
  json.BeginObject();
  json.Key("take");
  YrSDK::YrTake current = system.GetCurrentTake();
  if (current.IsValid()) json.String(current.GetName()); else json.Null();
  json.Key("ticks");
  json.Int(ticks);
  json.Key("objects");
  json.BeginObject();
  EvalOptions options;
  options.all_properties = args.Has("--props");
  options.vertices = args.Has("--vertices");
  if (args.Has("--size") && !tools::ParseSize(args.Value("--size"), &options.width, &options.height)) {
    return UsageError(kUsage);
  }
  std::vector<std::string> wanted = args.Values("--object");
  if (wanted.empty()) {
    for (const YrSDK::YrComponent& model : system.GetModels()) {
      json.Key(model.GetFullName());
      WriteObject(model, options, json);
    }
  } else {
    std::set<std::string> done;
    for (const std::string& name : wanted) {
      const YrSDK::YrComponent object = system.FindModel(name);
      if (!object.IsValid()) return FileError("No object named " + name);
      if (!done.insert(name).second) continue;
      json.Key(name);
      WriteObject(object, options, json);
    }
  }
  json.EndObject();
  json.EndObject();
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), stdout);
  YrSDK::YrKernel::Close();
  return 0;
}

}  // namespace zyn_tool
