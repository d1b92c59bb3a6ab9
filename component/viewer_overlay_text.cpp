#include "component/viewer_overlay_text.h"

#include "component/port_text_drawing.h"
#include "component/viewer_core.h"
#include "component/viewer_hot_keys.h"
#include "component/viewer_version.h"
#include "sdk/yr_renderer.h"
#include "sdk/yr_system.h"

namespace qtzyn {
namespace {

// Names are shown up to this many characters.
constexpr std::size_t kMaxNameLength = 4095;
constexpr int kLineStep = 15;

const char* const kWebAddress = "http://www.zentrax.example/zyn";
const char* const kCameraSwitcherName = "Camera Switcher";

std::string ShortName(std::string name) {
  if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
  return name;
}

const char* OnOff(bool on) { return on ? "On" : "Off"; }

// The help title and its width are the same for the whole process; the
// width is measured again only while no font has given one yet.
struct HelpTitle {
  std::string text;
  int width = 0;
};
const HelpTitle& HelpTitleOnce() {
  static HelpTitle title{FormatText("ZYN for QuickTime v%0.1f (%s) - Help Menu", kViewerVersion, kViewerBuildDate)};
  if (title.width == 0) {
    UseTextStyle(TextStyle{kBaseTextSize, bold, kTextBlack});
    title.width = MeasureText(title.text);
  }
  return title;
}

}  // namespace

ViewerInformation ReadViewerInformation() {
  ViewerInformation info;
  YrSDK::YrSystem system;
  info.take = ShortName(system.GetCurrentTake().GetName());
  ViewerCore* core = ViewerCore::Get();
  if (core == nullptr) return info;
  YrSDK::YrRenderer& renderer = core->Renderer();
  if (!renderer.IsValid()) return info;
  YrSDK::YrComponent current = renderer.GetCurrentCamera();
  if (!current.IsValid()) current = renderer.GetRenderCamera();
  info.camera = ShortName(current.GetName());
  if (info.camera == kCameraSwitcherName) {
    info.camera += " (" + ShortName(renderer.GetRenderCamera().GetName()) + ")";
  }
  const YrSDK::YrViewingOptions options = renderer.GetViewingOptions();
  info.displayMode = YrSDK::YrViewingOptions::DisplayWhatLabel(options.DisplayWhat);
  info.viewingMode = YrSDK::YrViewingOptions::PickingModeLabel(options.PickingMode);
  return info;
}

void DrawHelpPage(const Rect& r) {
  const int left = r.left, top = r.top;
  const HelpTitle& title = HelpTitleOnce();
  DrawTextAt(title.text, left + 250 - title.width / 2, top + 15, TextStyle{kBaseTextSize, bold, kTextBlack});

  const TextStyle plain{kBaseTextSize, normal, kTextBlack};
  int y = top + 30;
  for (const char* line : {"", "Hot-Keys:"}) {
    DrawTextAt(line, left + 40, y, plain);
    y += kLineStep;
  }
  for (const HotKey& key : kHotKeys) {
    DrawTextAt(key.help, left + 40, y, plain);
    y += kLineStep;
  }

  y = top + 15;
  for (const char* line : {"", "", "Camera Movements:", "   - Orbit: Click-Drag", "   - Panning: Shift + Click-Drag",
                           "   - Dolly: CTRL + Click-Drag", "   - Zoom: Z + Click-Drag"}) {
    DrawTextAt(line, left + 280, y, plain);
    y += kLineStep;
  }

  DrawTextAt("For further information, samples,", left + 270, top + 150, plain);
  DrawTextAt("and tutorials, please visit :", left + 270, top + 165, plain);
  DrawTextAt(kWebAddress, left + 270, top + 195, TextStyle{kBaseTextSize, bold, kTextBlack});
}

void DrawInformationLines(const Rect& r, const ViewerInformation& info, const MediaGlobals& globals) {
  const std::string lines[] = {
      "Take: " + info.take,
      "Camera: " + info.camera,
      "Display mode: " + info.displayMode,
      "Viewing mode: " + info.viewingMode,
      std::string("Lights: ") + OnOff(globals.lightsOn),
      std::string("Triggering: ") + OnOff(globals.triggering),
      std::string("Free Running: ") + OnOff(globals.freeRunning),
  };
  const TextStyle plain{kBaseTextSize, normal, kTextNearWhite};
  int y = r.top + 21;
  for (const std::string& line : lines) {
    DrawTextAt(line, r.left + 13, y, plain);
    y += kLineStep;
  }
}

void DrawFocusPrompt(const Rect& r) {
  static const std::string kPrompt = "<Click here to get interaction focus>";
  TextStyle style{kBaseTextSize + 2, bold, kTextBlack};
  UseTextStyle(style);
  const int x = r.left + (r.right - r.left - MeasureText(kPrompt)) / 2;
  const int y = r.top + (r.bottom - r.top) / 2;
  DrawTextAt(kPrompt, x + 1, y + 1, style);
  style.color = kTextNearWhite;
  DrawTextAt(kPrompt, x, y, style);
}

}  // namespace qtzyn
