#include <unistd.h>

#include <cstdio>

#include "sdk/yr_kernel.h"
#include "sdk/yr_zyn_manager.h"
#include "tools/common/args.h"
#include "tools/common/progress_bar.h"
#include "tools/zyn/scene_loading.h"
#include "tools/zyn/commands.h"
#include "zynfile/field_copy.h"
#include "zynfile/zyn_file.h"

namespace zyn_tool {
namespace {

const char kUsage[] =
    "zyn convert IN OUT [--ascii | --binary] [--raw] [--password P] [--protect P]";

// The writer makes its own identification; copying the old one would seal
// the section with a stale id.
const char* const kOwnTopLevel[] = {"ZYNHeaderExtension", "FileId", "Source", "CreationTime", "Creator", nullptr};

// OUT's existing file decides the form when no option does; binary otherwise.
bool ExistingIsAscii(const std::string& path) {
  VZynFile probe;
  return probe.OpenFile(path, true, false, false) && !probe.IsBinary();
}

bool CopyRaw(VZynFile& in, VZynFile& out, const std::string& temp, bool binary, const std::string& protect) {
  const VZynHeaderInfo& h = in.Header();
  out.SetVersion(in.GetVersion() >= 3000 ? in.GetVersion() : 6000);
  out.SetPassword(protect);
  if (h.has_camera) out.SetHeaderCamera(h.resolution_mode, h.resolution_w, h.resolution_h);
  if (!out.CreateFile(temp, binary, !protect.empty(), h.has_camera ? h.camera_name : "")) return false;
  if (!in.OpenSection(0) || !VZynCopyBlock(in, out, kOwnTopLevel)) return false;
  in.CloseSection();
  // Extension sections exist only in unprotected binary files.
  for (int s = 1; binary && protect.empty() && s <= in.SectionCount(); ++s) {
    if (!in.OpenSection(s) || !out.CreateSection(false) || !VZynCopyBlock(in, out, kOwnTopLevel)) return false;
    in.CloseSection();
  }
  return out.CloseFile();
}

}  // namespace

int ConvertCommand(int argc, char** argv) {
  tools::Args args;
  std::string error;
  if (!args.Parse(argc, argv, 0, {{"--help", "--ascii", "--binary", "--raw"}, {"--password", "--protect"}},
                  &error)) {
    return UsageError(kUsage);
  }
  if (args.Has("--help")) {
    std::printf(
        "usage: %s\nLoads the scene IN and stores it as OUT. --raw copies the field tree as it is.\n"
        "--protect P writes a password-protected binary file.\n",
        kUsage);
    return 0;
  }
  if (args.positional().size() != 2 || (args.Has("--ascii") && args.Has("--binary"))) return UsageError(kUsage);
  const std::string& in_path = args.positional()[0];
  const std::string& out_path = args.positional()[1];
  bool binary = args.Has("--binary") || (!args.Has("--ascii") && !ExistingIsAscii(out_path));
  if (!binary && args.Has("--protect")) return UsageError("zyn convert: only binary files can be protected");

  if (!args.Has("--raw")) {
    // Through the scene model: load, then store in the chosen form.
    std::string message;
    if (!LoadScene(in_path, args.Value("--password"), &message)) return FileError(message);
    YrSDK::YrZynManager manager;
    tools::ProgressBar progress;
    manager.SetProgress(&progress);
    bool saved = manager.Save(out_path, binary, args.Value("--protect"));
    progress.Finish();
    YrSDK::YrKernel::Close();
    return saved ? 0 : FileError(manager.GetLastMessage());
  }

  VZynFile in;
  in.SetPassword(args.Value("--password"));
  if (!in.OpenFile(in_path, true, true, false)) return FileError(in.GetErrorMessage());

  // Written beside the target and renamed over it only when complete.
  std::string temp = out_path + ".tmp-" + std::to_string(getpid());
  VZynFile out;
  bool ok = CopyRaw(in, out, temp, binary, args.Value("--protect"));
  if (!ok) {
    std::string message = in.HasError() ? in.GetErrorMessage() : out.GetErrorMessage();
    out.CloseFile();
    std::remove(temp.c_str());
    return FileError(message.empty() ? "Unable to create file " + out_path : message);
  }
  if (std::rename(temp.c_str(), out_path.c_str()) != 0) {
    std::remove(temp.c_str());
    return FileError("Unable to create file " + out_path);
  }
  return 0;
}

}  // namespace zyn_tool
