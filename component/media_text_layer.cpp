#include "component/media_text_layer.h"

#include "component/port_text_drawing.h"
#include "component/viewer_overlay_text.h"
#include "component/viewer_version.h"

namespace qtzyn {
namespace {

constexpr short kTitleFace = bold | condense;

void PaintBlack(const Rect& r) {
  RGBForeColor(&kTextBlack);
  PaintRect(&r);
}

void DrawSoftwareWarning(const Rect& r, int cy) {
  DrawTextCentred("WARNING !", r, cy, TextStyle{kBaseTextSize + 8, kTitleFace, kTextNearWhite});
  DrawTextCentred("Switching to Software-Mode", r, cy + 14, TextStyle{kBaseTextSize + 2, kTitleFace, kTextNearWhite});
  const TextStyle small{kBaseTextSize, condense, kTextNearWhite};
  DrawTextCentred("PBuffer extension not found and will cause low performance.", r, cy + 34, small);
  DrawTextCentred("Please try updating your video driver.", r, cy + 46, small);
  DrawTextCentred("(click to continue)", r, cy + 66, small);
}

const char* LoadErrorText(LoadError error) {
  switch (error) {
    case LoadError::kInvalidFile: return "Invalid or corrupted file.";
    case LoadError::kPasswordProtected: return "Password protected file.";
    default: return "Could not open the file.";
  }
}

}  // namespace

void DrawTextLayer(const MediaGlobals& globals, bool active, LoadState state, LoadError error) {
  const Rect& r = globals.drawRect;
  const int cy = r.top + (r.bottom - r.top) / 2;
  const bool failed = state == LoadState::kFailed;
  const bool loaded = state == LoadState::kLoaded;
  const TextStyle plain{kBaseTextSize, normal, kTextNearWhite};

  if (!active || globals.softwareWarning || failed) PaintBlack(r);

  bool titleDrawn = false;
  if (globals.softwareWarning) {
    DrawSoftwareWarning(r, cy);
  } else {
    if (!active || !loaded) {
      titleDrawn = true;
      DrawTextCentred("ZYN", r, cy, TextStyle{kBaseTextSize + 6, kTitleFace, kTextNearWhite});
      if (active && !failed) {
        DrawTextCentred(FormatText("Version %0.1f", kViewerVersion), r, cy + 40, plain);
        DrawTextCentred("Press 'H' for help", r, cy + 55, plain);
      }
    }
    if (!active) {
      DrawTextCentred("Preview not available.", r, cy + 20, plain);
      DrawTextCentred("Only one file at a time.", r, cy + 32, plain);
    } else if (failed) {
      DrawTextCentred("Error loading ZYN file!", r, cy + 20, plain);
      DrawTextCentred(LoadErrorText(error), r, cy + 32, plain);
    } else if (!titleDrawn) {
      if (globals.showHelp) {
        DrawHelpPage(r);
      } else if (globals.showInfo) {
        DrawInformationLines(r, ReadViewerInformation(), globals);
      }
    }
  }
  if (!titleDrawn && !globals.hasFocus && !globals.showHelp) DrawFocusPrompt(r);
}

}  // namespace qtzyn
