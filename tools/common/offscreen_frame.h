#pragma once
// Renders the engine's scene offscreen and hands back the pixels: the
// context, the renderer's frame and the read-back in one place, for the
// zyn tool, the tests and the benchmarks.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sdk/yr_ogl_context_wrapper.h"
#include "sdk/yr_renderer.h"

namespace tools {

class OffscreenFrame {
 public:
  OffscreenFrame();
  ~OffscreenFrame();

  // Allocates a width x height offscreen buffer: an EGL pbuffer, falling
  // back to the software context unless `software` forces it. False with a
  // message when no context can be made or the size is not allowed.
  bool Open(int width, int height, bool software, std::string* message);

  // One frame of the renderer into the buffer; the pixels then hold it as
  // RGBA, bottom row first.
  bool Render(YrSDK::YrRenderer& renderer);

  const std::vector<std::uint8_t>& Pixels() const { return pixels_; }
  // The pixel at (x, y), y counted from the bottom: 0xRRGGBBAA.
  std::uint32_t PixelAt(int x, int y) const;
  int Width() const { return width_; }
  int Height() const { return height_; }
  std::string RendererName() const { return context_ ? context_->GetRendererString() : std::string(); }
  const char* Kind() const { return context_ ? context_->GetOffscreenKind() : ""; }
  // Writes the frame as a PNG, top row first; no file under `path` on failure.
  bool WritePNG(const std::string& path) const;

 private:
  std::unique_ptr<YrSDK::YrOGLContextWrapper> context_;
  YrSDK::YrDrawContext target_;
  std::vector<std::uint8_t> pixels_;
  int width_ = 0, height_ = 0;
};

// "WxH" with both sides at least 1 and at most 65536.
bool ParseSize(const std::string& text, int* width, int* height);

}  // namespace tools
