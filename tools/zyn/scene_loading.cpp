#include "tools/zyn/scene_loading.h"

#include "core/time.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_player_control.h"
#include "sdk/yr_system.h"
#include "sdk/yr_zyn_manager.h"
#include "tools/common/progress_bar.h"

namespace zyn_tool {

bool LoadScene(const std::string& path, const std::string& password, std::string* message) {
  YrSDK::YrKernel::Init("");
  YrSDK::YrZynManager manager;
  tools::ProgressBar progress;
  manager.SetProgress(&progress);
  manager.FindProperty("Password").SetString(password);
  bool ok = manager.LoadBegin(path) && manager.Load();
  if (!ok) *message = manager.GetLastMessage();
  manager.LoadEnd();
  progress.Finish();
  return ok;
}

bool GotoTakeTime(const tools::Args& args, long long ticks, std::string* message) {
  YrSDK::YrSystem system;
  if (args.Has("--take")) {
    YrSDK::YrTake take = system.FindTake(args.Value("--take"));
    if (!take.IsValid()) {
      *message = "No take named " + args.Value("--take");
      return false;
    }
    system.SetCurrentTake(take);
  }
  YrSDK::YrPlayerControl player;
  player.Goto(YrSDK::YrTime(static_cast<int64_t>(ticks)));
  return true;
}

bool ParseTimeOptions(const tools::Args& args, long long* ticks) {
  *ticks = 0;
  if (args.Has("--seconds") && args.Has("--ticks")) return false;
  if (args.Has("--ticks")) return tools::ParseInt64(args.Value("--ticks"), ticks);
  if (args.Has("--seconds")) {
    double seconds = 0;
    if (!tools::ParseDouble(args.Value("--seconds"), &seconds)) return false;
    VTime t;
    t.SetSecondDouble(seconds);
    *ticks = t.GetTicks();
  }
  return true;
}

}  // namespace zyn_tool
