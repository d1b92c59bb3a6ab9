#include <cstdio>
#include <string>

#include "render/image/image_registry.h"
#include "render/image/png_writer.h"
#include "tools/common/args.h"
#include "tools/common/json_writer.h"
#include "tools/zyn/commands.h"

namespace zyn_tool {
namespace {

const char kUsage[] = "zyn image FILE -o OUT.png";

}  // namespace

int ImageCommand(int argc, char** argv) {
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 0, {{"--help"}, {"-o"}}, &error)) return UsageError(kUsage);
  if (args.Has("--help")) {
    std::printf(
        "usage: %s\nReads an image through the image-reader registry (by extension) and writes its\n"
        "first frame as PNG, top row first. Prints {\"width\", \"height\", \"layout\", \"frames\"}.\n",
        kUsage);
    return 0;
  }
  if (args.positional().size() != 1 || args.Value("-o").empty()) return UsageError(kUsage);
  const std::string input = args.positional()[0];
  const std::string output = args.Value("-o");

  std::unique_ptr<VImageStream> stream =
      VImageRegistry::Instance().CreateReader(VImageRegistry::ExtensionOf(input));
  if (!stream) return FileError("No image reader for file " + input);
  std::FILE* probe = std::fopen(input.c_str(), "rb");
  if (!probe) return FileError("Unable to open file " + input);
  std::fclose(probe);
  stream->SetFileName(input);
  VImage image;
  if (!stream->Read(image)) return FileError("Unable to read image " + input);
  if (!VImageWritePNG(image, output)) return FileError("Unable to write file " + output);

  std::string json;
  tools::JsonWriter writer(&json);
  writer.BeginObject();
  writer.Key("width");
  writer.Int(image.GetWidth());
  writer.Key("height");
  writer.Int(image.GetHeight());
  writer.Key("layout");
  writer.Int(image.GetLayout());
  writer.Key("frames");
  writer.Int(image.GetFrameCount());
  writer.EndObject();
  std::printf("%s\n", json.c_str());
  return 0;
}

}  // namespace zyn_tool
