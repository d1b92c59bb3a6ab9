#include "render/ogl_context.h"

#include "render/ogl_context_egl.h"
#include "render/ogl_context_osmesa.h"

namespace {

// Which context is current on this thread. The pointer is only compared,
// never followed: a context destroyed on another thread leaves it stale, so
// releasing goes through the platform (by kind), not through the object.
thread_local const VOGLPlatformContext* t_current_context = nullptr;
thread_local VOGLPlatformKind t_current_kind = VOGLPlatformKind::kNone;

void ReleaseKind(VOGLPlatformKind kind) {
  if (kind == VOGLPlatformKind::kEGL) {
    VOGLEGLReleaseThread();
  } else if (kind == VOGLPlatformKind::kOSMesa) {
    VOGLOSMesaReleaseThread();
  }
}

int ClampBits(int bits) { return bits < 0 ? 0 : (bits > 64 ? 64 : bits); }

}  // namespace

VOGLConfigRequest VOGLTranslatePixelFormat(const VOGLPixelFormat& format) {
  VOGLConfigRequest request;
  request.format = format;
  request.depth_bits = ClampBits(format.depth_bits);
  request.stencil_bits = ClampBits(format.stencil_bits);
  request.accum_bits = ClampBits(format.accum_bits);
  return request;
}

bool VOGLOffscreenSizeValid(int width, int height, std::size_t* bytes) {
  if (width <= 0 || height <= 0 || width > kVOGLMaxOffscreenSide || height > kVOGLMaxOffscreenSide) return false;
  const std::size_t count = std::size_t(width) * std::size_t(height) * 4;
  if (count > kVOGLMaxOffscreenBytes) return false;
  if (bytes) *bytes = count;
  return true;
}

void VOGLReleaseCurrent() {
  ReleaseKind(t_current_kind);
  t_current_kind = VOGLPlatformKind::kNone;
  t_current_context = nullptr;
  VGLSetCurrent(nullptr);
}

bool VOGLPlatformContext::MakeCurrent() {
  // OSMesa and Mesa's EGL driver share one GL dispatch; leaving the other
  // one current would have its state believe it still owns the thread.
  if (t_current_kind != VOGLPlatformKind::kNone && t_current_kind != Kind()) VOGLReleaseCurrent();
  if (!DoMakeCurrent()) {
    VOGLReleaseCurrent();
    return false;
  }
  t_current_context = this;
  t_current_kind = Kind();
  VGLSetCurrent(functions_.IsLoaded() ? &functions_ : nullptr);
  return true;
}

void VOGLPlatformContext::Release() {
  if (t_current_context == this) VOGLReleaseCurrent();
}

bool VOGLPlatformContext::IsCurrentOnThisThread() const { return t_current_context == this; }

void VOGLPlatformContext::ForgetIfCurrent() { Release(); }

bool VOGLPlatformContext::LoadFunctions(VGLFunctions::Resolver resolve, void* user) {
  if (!functions_.Load(resolve, user)) return false;
  const GLubyte* renderer = functions_.GetString(GL_RENDERER);
  renderer_ = renderer ? reinterpret_cast<const char*>(renderer) : "";
  if (t_current_context == this) VGLSetCurrent(&functions_);
  return true;
}

bool VOGLPlatformContext::ReadBack(std::uint8_t* pixels, std::size_t capacity) {
  if (!pixels || !functions_.IsLoaded() || t_current_context != this) return false;
  if (capacity < std::size_t(width_) * std::size_t(height_) * 4) return false;
  // Read whatever buffer the frame was drawn into: a pbuffer may be single-
  // or back-buffered depending on the driver, and GL_BACK on a single-
  // buffered surface is an error that would leave the array untouched.
  // Errors the frame left behind are not the read-back's.
  for (int i = 0; i < 16 && functions_.GetError() != GL_NO_ERROR; ++i) {
  }
  GLint draw_buffer = GL_BACK;
  functions_.GetIntegerv(GL_DRAW_BUFFER, &draw_buffer);
  functions_.ReadBuffer(static_cast<GLenum>(draw_buffer));
  functions_.PixelStorei(GL_PACK_ALIGNMENT, 4);
  functions_.ReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
  return functions_.GetError() == GL_NO_ERROR;
}

void VOGLPlatformContext::Finish() {
  if (functions_.IsLoaded() && t_current_context == this) functions_.Finish();
}

// Leak checks (in sanitizer builds) skip what the OpenGL drivers this
// module loads keep for the whole process (dispatch tables, screens,
// compiled shaders) and never free. Our own allocations are never
// suppressed. Every program that makes a context links this file; those
// programs also draw text into ports, whose fontconfig set-up block lives
// until exit as well.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libOSMesa.so\n"
         "leak:libfontconfig.so\n"
         "leak:libEGL_mesa.so\n"
         "leak:libEGL.so\n"
         "leak:libGLdispatch.so\n"
         "leak:libglapi.so\n"
         "leak:libgallium\n"
         "leak:swrast_dri.so\n"
         "leak:libLLVM\n"
         "leak:libdrm\n"
         // The dynamic linker's own lists of modules, made by dlopen, and
         // its per-thread error message, held in thread-local storage (which
         // the leak checker does not scan, below).
         "leak:add_to_global_resize\n"
         "leak:_dl_map_object_deps\n"
         "leak:_dlerror_run\n"
         "leak:_dl_exception_create\n";
}

// The leak checker leaves thread-local storage out of its roots: with the
// OpenGL driver's modules opened and closed in the process, it otherwise
// walks dynamic TLS blocks of modules that are gone and stops with a fault
// of its own at exit instead of a report.
extern "C" const char* __lsan_default_options() { return "use_tls=0:print_suppressions=0"; }
