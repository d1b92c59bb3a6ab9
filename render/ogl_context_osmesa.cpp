#include "render/ogl_context_osmesa.h"


#include <GL/osmesa.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>

#include "render/dynamic_library.h"

namespace {

constexpr const char* kLibraryName = "libOSMesa.so.8";

using CreateContextExtFn = OSMesaContext (*)(GLenum, GLint, GLint, GLint, OSMesaContext);
using DestroyContextFn = void (*)(OSMesaContext);
using MakeCurrentFn = GLboolean (*)(OSMesaContext, void*, GLenum, GLsizei, GLsizei);
using GetProcAddressFn = OSMESAproc (*)(const char*);

struct OSMesaLibrary {
  void* handle = nullptr;
  CreateContextExtFn CreateContextExt = nullptr;
  DestroyContextFn DestroyContext = nullptr;
  MakeCurrentFn MakeCurrent = nullptr;
  GetProcAddressFn GetProcAddress = nullptr;
  std::atomic<bool> loaded{false};
};

std::mutex g_mutex;
OSMesaLibrary g_library;

// Opens libOSMesa once it can; a failed open is tried again next time. The
// library is never closed: contexts may outlive any one wrapper.
bool LoadLibrary(std::string* reason) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_library.loaded) return true;
  if (!g_library.handle) {
    g_library.handle = VOpenDynamicLibrary(kLibraryName, reason);
    if (!g_library.handle) return false;
  }
  void* h = g_library.handle;
  bool ok = VLoadDynamicSymbol(h, g_library.CreateContextExt, "OSMesaCreateContextExt");
  ok = VLoadDynamicSymbol(h, g_library.DestroyContext, "OSMesaDestroyContext") && ok;
  ok = VLoadDynamicSymbol(h, g_library.MakeCurrent, "OSMesaMakeCurrent") && ok;
  ok = VLoadDynamicSymbol(h, g_library.GetProcAddress, "OSMesaGetProcAddress") && ok;
  if (!ok) {
    if (reason) *reason = std::string(kLibraryName) + " lacks the OSMesa entry points";
    return false;
  }
  g_library.loaded = true;
  return true;
}

class VOGLOSMesaContext final : public VOGLPlatformContext {
 public:
  VOGLOSMesaContext(OSMesaContext context, std::uint8_t* buffer, int width, int height)
      : context_(context), buffer_(buffer) {
    width_ = width;
    height_ = height;
  }
  ~VOGLOSMesaContext() override {
    ForgetIfCurrent();
    g_library.DestroyContext(context_);
  }
  VOGLPlatformKind Kind() const override { return VOGLPlatformKind::kOSMesa; }
  OSMesaContext Handle() const { return context_; }
  std::uint8_t* MemoryPixels() override { return buffer_.get(); }

  bool ReadBack(std::uint8_t* pixels, std::size_t capacity) override {
    // The frame is already in memory; this only copies it.
    const std::size_t bytes = std::size_t(width_) * std::size_t(height_) * 4;
    if (!pixels || !buffer_ || capacity < bytes || !IsCurrentOnThisThread()) return false;
    Finish();
    if (pixels != buffer_.get()) std::memcpy(pixels, buffer_.get(), bytes);
    return true;
  }

  bool Initialise() {
    if (!MakeCurrent()) return false;
    return LoadFunctions(
        [](const char* name, void*) -> void* { return reinterpret_cast<void*>(g_library.GetProcAddress(name)); },
        nullptr);
  }

 protected:
  bool DoMakeCurrent() override {
    // The share root has no buffer and is never drawn with. OSMesa's
    // default row order is bottom-up (Y up), the layout handed out.
    if (!buffer_) return false;
    return g_library.MakeCurrent(context_, buffer_.get(), GL_UNSIGNED_BYTE, width_, height_) == GL_TRUE;
  }

 private:
  OSMesaContext context_;
  std::unique_ptr<std::uint8_t[]> buffer_;
};

OSMesaContext CreateContext(const VOGLConfigRequest& request, VOGLPlatformContext* share_root, std::string* reason) {
  OSMesaContext share = nullptr;
  if (share_root) {
    if (share_root->Kind() != VOGLPlatformKind::kOSMesa) {
      if (reason) *reason = "the share root is not an OSMesa context";
      return nullptr;
    }
    share = static_cast<VOGLOSMesaContext*>(share_root)->Handle();
  }
  OSMesaContext context = g_library.CreateContextExt(OSMESA_BGRA, request.depth_bits, request.stencil_bits,
                                                     request.accum_bits, share);
  if (!context && reason) *reason = "OSMesaCreateContextExt failed";
  return context;
}

}  // namespace

bool VOGLOSMesaAvailable(std::string* reason) { return LoadLibrary(reason); }

std::unique_ptr<VOGLPlatformContext> VOGLCreateOSMesaContext(const VOGLConfigRequest& request, int width,
                                                             int height, VOGLPlatformContext* share_root,
                                                             std::string* reason) {
  std::size_t bytes = 0;
  if (!VOGLOffscreenSizeValid(width, height, &bytes)) {
    if (reason) *reason = "software buffer size out of range";
    return nullptr;
  }
  if (!LoadLibrary(reason)) return nullptr;
  std::uint8_t* buffer = new (std::nothrow) std::uint8_t[bytes];
  if (!buffer) {
    if (reason) *reason = "out of memory for the software buffer";
    return nullptr;
  }
  // Whatever the first frame leaves undrawn reads as black, not as garbage.
  std::memset(buffer, 0, bytes);
  OSMesaContext context = CreateContext(request, share_root, reason);
  if (!context) {
    delete[] buffer;
    return nullptr;
  }
  std::unique_ptr<VOGLOSMesaContext> result(new VOGLOSMesaContext(context, buffer, width, height));
  if (!result->Initialise()) {
    if (reason) *reason = "the OSMesa context could not be made current or lacks OpenGL 1.1 entry points";
    return nullptr;
  }
  return result;
}

std::unique_ptr<VOGLPlatformContext> VOGLCreateOSMesaShareRoot(const VOGLConfigRequest& request,
                                                               std::string* reason) {
  if (!LoadLibrary(reason)) return nullptr;
  OSMesaContext context = CreateContext(request, nullptr, reason);
  if (!context) return nullptr;
  return std::unique_ptr<VOGLPlatformContext>(new VOGLOSMesaContext(context, nullptr, 0, 0));
}

void VOGLOSMesaReleaseThread() {
  if (!g_library.loaded) return;
  g_library.MakeCurrent(nullptr, nullptr, 0, 0, 0);
}
