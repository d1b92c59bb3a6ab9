#include <unistd.h>

#include <cstdio>

#include "tools/common/args.h"
#include "tools/zyn/commands.h"
#include "zynfile/zyn_file.h"

namespace zyn_tool {
namespace {

const char kUsage[] = "zyn demo OUT.zyn [--ascii]";

void WriteModel(VZynFile& f, const char* full_name, double x) {
  f.FieldWriteBegin("Model");
  f.FieldWriteC(full_name);
  f.FieldWriteC("Null");
  f.FieldWriteBlockBegin();
  f.FieldWriteI("Version", 232);
  f.FieldWriteBlockBegin("Properties60");
  f.FieldWriteBegin("Property");
  f.FieldWriteC("Lcl Translation");
  f.FieldWriteC("Lcl Translation");
  f.FieldWriteC("A+");
  const double t[3] = {x, 0.0, 0.0};
  f.FieldWriteDn(t, 3);
  f.FieldWriteEnd();
  f.FieldWriteBlockEnd();
  f.FieldWriteEnd();
  f.FieldWriteC("Type", "Null");
  f.FieldWriteBlockEnd();
  f.FieldWriteEnd();
}

// A small scene document: two models, one parented to the other, and a
// document summary. It grows with the engine.
bool WriteSample(VZynFile& f, const std::string& path, bool binary) {
  f.SetHeaderCamera("Fixed Resolution", 640, 480);
  if (!f.CreateFile(path, binary, false, "Model::Producer Perspective")) return false;
  f.WriteComment("");
  f.WriteComment(" Object definitions");
  f.WriteComment("------------------------------------------------------------------");
  f.WriteComment("");
  f.FieldWriteBlockBegin("Definitions");
  f.FieldWriteI("Version", 100);
  f.FieldWriteI("Count", 2);
  f.FieldWriteBegin("ObjectType");
  f.FieldWriteC("Model");
  f.FieldWriteBlockBegin();
  f.FieldWriteI("Count", 2);
  f.FieldWriteBlockEnd();
  f.FieldWriteEnd();
  f.FieldWriteBlockEnd();
  f.FieldWriteEnd();
  f.FieldWriteBlockBegin("Objects");
  WriteModel(f, "Model::Base", 0.0);
  WriteModel(f, "Model::Arm", 2.5);
  f.FieldWriteBlockEnd();
  f.FieldWriteEnd();
  f.FieldWriteBlockBegin("Connections");
  f.FieldWriteBegin("Connect");
  f.FieldWriteC("OO");
  f.FieldWriteC("Model::Arm");
  f.FieldWriteC("Model::Base");
  f.FieldWriteEnd();
  f.FieldWriteBlockEnd();
  f.FieldWriteEnd();
  if (binary) {
    f.CreateSection(false);
    f.FieldWriteBlockBegin("Summary");
    f.FieldWriteI("Version", 101);
    f.FieldWriteI("Template", 0);
    f.FieldWriteI("PasswordProtection", 0);
    f.FieldWriteBlockBegin("ContentCount");
    f.FieldWriteI("Version", 100);
    f.FieldWriteI("Model", 2);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  }
  return f.CloseFile();
}

}  // namespace

int DemoCommand(int argc, char** argv) {
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 0, {{"--help", "--ascii"}, {}}, &error)) return UsageError(kUsage);
  if (args.Has("--help")) {
    std::printf("usage: %s\nWrites the sample scene.\n", kUsage);
    return 0;
  }
  if (args.positional().size() != 1) return UsageError(kUsage);
  const std::string& path = args.positional()[0];
  std::string temp = path + ".tmp-" + std::to_string(getpid());
  VZynFile file;
  if (!WriteSample(file, temp, !args.Has("--ascii")) || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::string message = file.HasError() ? file.GetErrorMessage() : "Unable to create file " + path;
    std::remove(temp.c_str());
    return FileError(message);
  }
  return 0;
}

}  // namespace zyn_tool
