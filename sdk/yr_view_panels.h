#pragma once
// YrViewPanels: what a viewer draws with OpenGL besides the scene, into the
// context current on the calling thread (between YrOGLContextWrapper's
// BeginRender and EndRender): the view set-up after an allocation, and the
// flat panels laid over a frame (the loading panel with its progress bar,
// the help background, the information box).
//
// Panels are drawn in a 2D projection of the view with y growing downwards,
// shifted by 0.375 pixel so that lines land on pixel centres, with depth
// testing off; depth testing is on again afterwards. Every call answers
// false and draws nothing when no context is current or a side is below 1.

namespace YrSDK {

class YrViewPanels {
 public:
  // Viewport (0, 0, width, height), depth cleared to 1.0, depth test on.
  static bool PrepareView(int width, int height);
  // The OpenGL viewport alone.
  static bool SetViewport(int x, int y, int width, int height);

  // Black along the top edge to grey 0.3 along the bottom, over the whole
  // view; below the centre, a 110 × 7 bar filled to `percent` (clamped to
  // 0..100) in grey 0.5 with a white outline.
  static bool DrawLoadingPanel(int width, int height, int percent);
  // White along the left edge to grey 0.4 along the right, over the view.
  static bool DrawHelpBackground(int width, int height);
  // A half-transparent black box from (5, 5) to (width - 6, 120) with a
  // half-transparent white outline.
  static bool DrawInformationBox(int width, int height);
};

}  // namespace YrSDK
