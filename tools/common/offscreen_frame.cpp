#include "tools/common/offscreen_frame.h"

#include <cstdio>

#include "render/image/image.h"
#include "render/image/png_writer.h"

namespace tools {

OffscreenFrame::OffscreenFrame() = default;

OffscreenFrame::~OffscreenFrame() {
  if (context_) context_->Free();
}

bool OffscreenFrame::Open(int width, int height, bool software, std::string* message) {
  if (width < 1 || height < 1) {
    if (message) *message = "Invalid frame size " + std::to_string(width) + "x" + std::to_string(height);
    return false;
  }
  // The frame is written through an image of the same size: refuse what the
  // image may not hold before anything is allocated, rather than render it
  // and fail at the end (or fill gigabytes for a size no context accepts).
  std::size_t bytes = 0;
  if (!VImage::ComputeSize(width, height, VImage::kLayoutRGBA, 1, &bytes)) {
    if (message)
      *message = "Frame size " + std::to_string(width) + "x" + std::to_string(height) +
                 " is larger than an image may be (" + std::to_string(VImage::GetMaxBytes() >> 20) + " MiB)";
    return false;
  }
  context_ = std::make_unique<YrSDK::YrOGLContextWrapper>();
  YrSDK::YrPixelFormatDescriptor descriptor;
  YrSDK::YrOGLContextWrapper::DefaultPixelFormat(descriptor);
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<std::size_t>(width) * height * 4, 0);
  target_.pixels = pixels_.data();
  target_.width = width;
  target_.height = height;
  target_.row_bytes = width * 4;
  target_.top_down = false;
  target_.order = YrSDK::kYrPixelOrderRGBA;
  const bool ok = software ? context_->AllocateForcingSWContext(&target_, descriptor, width, height)
                           : context_->AllocateForcingPBuffer(&target_, descriptor, width, height, true);
  if (!ok) {
    int max_w = 0, max_h = 0;
    if (context_->GetMaxPBufferSize(&target_, descriptor, max_w, max_h) && (width > max_w || height > max_h)) {
      if (message)
        *message = "Frame size " + std::to_string(width) + "x" + std::to_string(height) +
                   " is larger than the offscreen buffer allows (" + std::to_string(max_w) + "x" +
                   std::to_string(max_h) + ")";
    } else if (message) {
      *message = software ? "Unable to create the software OpenGL context"
                          : "Unable to create an offscreen OpenGL context (no EGL pbuffer and no software context)";
    }
    context_.reset();
    return false;
  }
  return true;
}

bool OffscreenFrame::Render(YrSDK::YrRenderer& renderer) {
  if (!context_ || !context_->BeginRender(&target_)) return false;
  bool ok = renderer.RenderBegin(0, 0, width_, height_);
  ok = ok && renderer.PreRender(0);
  ok = ok && renderer.Render(0);
  ok = ok && renderer.RenderEnd();
  const bool blitted = context_->EndRender(YrSDK::YrOGLContextWrapper::RenderOperationBlit, 0);
  return ok && blitted;
}

std::uint32_t OffscreenFrame::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

bool OffscreenFrame::WritePNG(const std::string& path) const {
  VImage image;
  if (!image.Allocate(width_, height_, VImage::kLayoutRGBA)) return false;
  std::copy(pixels_.begin(), pixels_.end(), image.GetData());
  return VImageWritePNG(image, path);
}

bool ParseSize(const std::string& text, int* width, int* height) {
  int w = 0, h = 0;
  char x = 0, extra = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X')) return false;
  if (w < 1 || h < 1 || w > 65536 || h > 65536) return false;
  *width = w;
  *height = h;
  return true;
}

}  // namespace tools
