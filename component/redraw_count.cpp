#include "component/redraw_count.h"

#include "component/viewer_core.h"

namespace qtzyn {
namespace {

// Runs `change` under the viewer core's lock when there is a core.
template <typename Change>
auto Locked(Change change) {
  ViewerCore* core = ViewerCore::Get();
  if (core == nullptr) return change();
  core->Lock();
  auto result = change();
  core->Unlock();
  return result;
}

}  // namespace

SInt32 RedrawCount(const MediaGlobals& globals) {
  return Locked([&globals] { return globals.redrawCount; });
}

void SetRedrawCount(MediaGlobals& globals, SInt32 count) {
  Locked([&globals, count] { return globals.redrawCount = count; });
}

void CountDownRedraw(MediaGlobals& globals) {
  Locked([&globals] { return --globals.redrawCount; });
}

}  // namespace qtzyn
