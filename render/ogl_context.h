#pragma once
// The platform side of the offscreen OpenGL context: one small interface,
// VOGLPlatformContext, with one implementation per way of getting a context
// without a window (ogl_context_egl: an EGL pbuffer; ogl_context_osmesa: the
// OSMesa software rasteriser drawing into memory). Both files have the same
// shape: a process-wide loader for their library (opened with dlopen, so a
// missing one only turns its path off), a create function, a share-root
// create function.
//
// Rows are always handed out bottom-up, BGRA, 4 bytes a pixel: the layout of
// a bottom-up 32-bit bitmap, which is what OpenGL's read-back and OSMesa's
// default Y-up buffer give without any flipping.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "render/gl_functions.h"

enum class VOGLPlatformKind { kNone, kEGL, kOSMesa };

// Where an EGL display comes from.
enum class VOGLEGLPlatform { kNone, kDevice, kSurfaceless };

// The pixel-format fields a context request carries, engine-side (the facade
// translates its descriptor into this).
struct VOGLPixelFormat {
  std::uint32_t flags = 0;
  int color_bits = 0;
  int alpha_bits = 0;
  int accum_bits = 0;
  int depth_bits = 0;
  int stencil_bits = 0;
};

// Pixel-format flags the context code reads or writes.
enum : std::uint32_t {
  kVPFDDoubleBuffer = 0x1,
  kVPFDDrawToWindow = 0x4,
  kVPFDDrawToBitmap = 0x8,
  kVPFDSupportOpenGL = 0x20,
  kVPFDGenericFormat = 0x40,
  kVPFDStereoDontCare = 0x80000000u,
};

// Chooses among candidate formats when the platform's own choice finds none;
// the candidate accepted is written back into the request's format.
using VOGLFormatFilter = bool (*)(const VOGLPixelFormat& requested, const VOGLPixelFormat& candidate, void* user);

// What a context is asked for: colour channels are always 8 bits (the
// read-back is 8-bit BGRA), depth, stencil and accumulation come from the
// descriptor.
struct VOGLConfigRequest {
  int red_bits = 8;
  int green_bits = 8;
  int blue_bits = 8;
  int alpha_bits = 8;
  int depth_bits = 24;
  int stencil_bits = 8;
  int accum_bits = 0;
  VOGLPixelFormat format;  // the descriptor the request came from
  VOGLFormatFilter filter = nullptr;
  void* filter_user = nullptr;
};

VOGLConfigRequest VOGLTranslatePixelFormat(const VOGLPixelFormat& format);

// The largest side and byte count an offscreen buffer may have, whatever the
// platform would accept: a frame buffer of gigabytes is a bad request, not a
// reason to try.
constexpr int kVOGLMaxOffscreenSide = 16384;
constexpr std::size_t kVOGLMaxOffscreenBytes = std::size_t(1) << 30;
// True when width × height × 4 is a size we allocate (both positive, no
// overflow, within the limits above); `bytes` receives the byte count.
bool VOGLOffscreenSizeValid(int width, int height, std::size_t* bytes);

class VOGLPlatformContext {
 public:
  virtual ~VOGLPlatformContext() = default;
  VOGLPlatformContext(const VOGLPlatformContext&) = delete;
  VOGLPlatformContext& operator=(const VOGLPlatformContext&) = delete;

  virtual VOGLPlatformKind Kind() const = 0;

  // Makes this context current on the calling thread (releasing another
  // platform's context current here first, since both may share one GL
  // dispatch) and installs its entry-point table as VGLCurrent().
  bool MakeCurrent();
  // Releases it when it is current on the calling thread; otherwise nothing.
  void Release();
  bool IsCurrentOnThisThread() const;

  // Copies the frame, bottom-up BGRA, into `pixels` (at least width × height
  // × 4 bytes). The context must be current on this thread. Allocates
  // nothing.
  virtual bool ReadBack(std::uint8_t* pixels, std::size_t capacity);
  // Waits for the frame to finish.
  void Finish();

  int Width() const { return width_; }
  int Height() const { return height_; }
  const VGLFunctions& Functions() const { return functions_; }
  const std::string& RendererString() const { return renderer_; }
  // The pixels the context renders into, when it renders into memory
  // (bottom-up BGRA); null for a pbuffer.
  virtual std::uint8_t* MemoryPixels() { return nullptr; }

 protected:
  VOGLPlatformContext() = default;
  virtual bool DoMakeCurrent() = 0;
  // Loads the table and reads GL_RENDERER; the context must be current.
  bool LoadFunctions(VGLFunctions::Resolver resolve, void* user);
  // Forgets this context as the thread's current one (derived destructors
  // call it after their own release).
  void ForgetIfCurrent();

  int width_ = 0;
  int height_ = 0;
  VGLFunctions functions_;
  std::string renderer_;
};

// Releases whatever platform context is current on this thread.
void VOGLReleaseCurrent();

// The process-wide pbuffer probe. A probe that found pbuffer support is
// remembered for the process (per platform choice); one that did not is run
// again at the next request. QTZYN_EGL_DISABLE=1 turns the path off at every
// request; QTZYN_EGL_PLATFORM=device|surfaceless forces one platform, unset
// tries the GPU device, then Mesa's surfaceless platform.
struct VOGLPBufferSupport {
  bool supported = false;
  VOGLEGLPlatform platform = VOGLEGLPlatform::kNone;
  std::string reason;  // why not, when not supported
};
VOGLPBufferSupport VOGLProbePBufferSupport();
