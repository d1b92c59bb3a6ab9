#pragma once
// YrOGLContextWrapper: the OpenGL context a viewer draws with, and the
// offscreen buffer it draws into: an EGL pbuffer (a GPU's EGL device, else
// Mesa's surfaceless platform) or, failing that, a software context (OSMesa)
// rendering into a buffer the wrapper owns. After a frame the pixels are
// handed to a blit callback, which copies them into the caller's pixel
// buffer.
//
// A "device context" here is a YrDrawContext: a plain pixel buffer. The
// caller's one is the blit destination; the wrapper's own (the pbuffer's
// read-back bitmap, the software buffer) is the blit source.

#include <cstdint>
#include <memory>
#include <string>

namespace YrSDK {

enum YrPixelOrder : int { kYrPixelOrderBGRA = 0, kYrPixelOrderRGBA = 1 };

// A pixel buffer: 4 bytes a pixel, `row_bytes` apart; rows run top-down
// when `top_down`, else bottom-up (as a bottom-up bitmap).
struct YrDrawContext {
  std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int row_bytes = 0;
  bool top_down = true;
  int order = kYrPixelOrderBGRA;
  // Stretch capabilities a destination offers (both by default).
  bool can_stretch_blit = true;
  bool can_stretch_dib = true;
};

// The pixel-format descriptor of a context (the fields a renderer asks for).
enum YrPixelFormatFlags : std::uint32_t {
  kYrPFDDoubleBuffer = 0x1,
  kYrPFDStereo = 0x2,
  kYrPFDDrawToWindow = 0x4,
  kYrPFDDrawToBitmap = 0x8,
  kYrPFDSupportOpenGL = 0x20,
  kYrPFDGenericFormat = 0x40,
  kYrPFDStereoDontCare = 0x80000000u,
};

struct YrPixelFormatDescriptor {
  std::uint16_t size = 40;
  std::uint16_t version = 1;
  std::uint32_t flags = 0;
  std::uint8_t pixel_type = 0;  // 0 RGBA
  std::uint8_t color_bits = 0;
  std::uint8_t alpha_bits = 0;
  std::uint8_t accum_bits = 0;
  std::uint8_t depth_bits = 0;
  std::uint8_t stencil_bits = 0;
  std::uint8_t layer_type = 0;  // 0 main plane
};

// The offscreen buffer behind a frame, as a blit callback sees it.
struct YrOffscreenRecord {
  bool software = false;    // OSMesa buffer, else EGL pbuffer read-back
  int width = 0;
  int height = 0;
  YrDrawContext* bitmap = nullptr;  // the wrapper's pixels (bottom-up BGRA)
};

using YrBlitCallback = bool (*)(YrDrawContext* destination, int dx, int dy, int dw, int dh, YrDrawContext* source,
                                int sx, int sy, int sw, int sh, std::intptr_t user, const YrOffscreenRecord* record);
using YrPixelFormatFilter = bool (*)(const YrPixelFormatDescriptor& requested,
                                     const YrPixelFormatDescriptor& candidate);

class YrOGLContextWrapper {
 public:
  // A wrapper that allocates its own contexts (sharing lists through one
  // root context when `share_lists`); the filter defaults to the built-in
  // one.
  explicit YrOGLContextWrapper(bool share_lists = false, YrPixelFormatFilter filter = nullptr);
  // A wrapper around a context made elsewhere (an opaque handle, as
  // GetOGLContext gives); it cannot allocate, and deletes the context on Free
  // only when it owns it.
  YrOGLContextWrapper(void* existing_context, bool owns);
  ~YrOGLContextWrapper();
  YrOGLContextWrapper(const YrOGLContextWrapper&) = delete;
  YrOGLContextWrapper& operator=(const YrOGLContextWrapper&) = delete;

  bool Allocate(YrDrawContext* dc, YrPixelFormatDescriptor& descriptor, int width, int height, bool try_pbuffer,
                bool allow_software);
  bool AllocateForcingPBuffer(YrDrawContext* dc, YrPixelFormatDescriptor& descriptor, int width, int height,
                              bool allow_software);
  bool AllocateForcingSWContext(YrDrawContext* dc, YrPixelFormatDescriptor& descriptor, int width, int height);
  void Free();

  // Makes the context current on this thread and records the DC and the
  // thread; false when nothing is allocated or the DC is null.
  bool BeginRender(YrDrawContext* dc);
  // Only on the thread that began: reads the frame back and hands it to the
  // callback; then forgets the DC and the thread in every case.
  bool EndRender(YrBlitCallback callback, std::intptr_t user);
  bool MakeCurrent(YrDrawContext* dc);

  bool IsAllocated() const;
  bool IsPBufferAllocated() const;
  bool IsSWContextAllocated() const;
  bool IsRendering() const;

  bool GetMaxPBufferSize(YrDrawContext* dc, const YrPixelFormatDescriptor& descriptor, int& width, int& height);
  void* GetOGLContext() const;
  YrDrawContext* GetAllocatedDC();
  YrDrawContext* GetPBufferBitmapDC();
  YrDrawContext* GetSWContextBitmapDC();

  // GL_RENDERER of the allocated context ("" when none) and which offscreen
  // path is in use: "pbuffer", "software" or "".
  std::string GetRendererString() const;
  const char* GetOffscreenKind() const;
  // Why the last allocation or query failed ("" after a success): a missing
  // library, a platform without pbuffers, a refused size.
  std::string GetFailureReason() const;

  static bool RenderOperationBlit(YrDrawContext* destination, int dx, int dy, int dw, int dh, YrDrawContext* source,
                                  int sx, int sy, int sw, int sh, std::intptr_t user, const YrOffscreenRecord* record);
  static bool RenderOperationStretchBlit(YrDrawContext* destination, int dx, int dy, int dw, int dh,
                                         YrDrawContext* source, int sx, int sy, int sw, int sh, std::intptr_t user,
                                         const YrOffscreenRecord* record);
  static void DefaultPixelFormat(YrPixelFormatDescriptor& descriptor);

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace YrSDK
