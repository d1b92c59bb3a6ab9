#include "render/ogl_context_egl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "render/dynamic_library.h"

namespace {

constexpr const char* kLibraryName = "libEGL.so.1";
constexpr int kMaxDevices = 16;
constexpr int kMaxConfigs = 32;
// Enough for every config a driver lists when the filter enumerates them.
constexpr int kMaxEnumeratedConfigs = 512;

struct EGLLibrary {
  void* handle = nullptr;
  PFNEGLGETPROCADDRESSPROC GetProcAddress = nullptr;
  PFNEGLGETERRORPROC GetError = nullptr;
  PFNEGLQUERYSTRINGPROC QueryString = nullptr;
  PFNEGLINITIALIZEPROC Initialize = nullptr;
  PFNEGLBINDAPIPROC BindAPI = nullptr;
  PFNEGLCHOOSECONFIGPROC ChooseConfig = nullptr;
  PFNEGLGETCONFIGSPROC GetConfigs = nullptr;
  PFNEGLGETCONFIGATTRIBPROC GetConfigAttrib = nullptr;
  PFNEGLCREATECONTEXTPROC CreateContext = nullptr;
  PFNEGLDESTROYCONTEXTPROC DestroyContext = nullptr;
  PFNEGLCREATEPBUFFERSURFACEPROC CreatePbufferSurface = nullptr;
  PFNEGLDESTROYSURFACEPROC DestroySurface = nullptr;
  PFNEGLMAKECURRENTPROC MakeCurrent = nullptr;
  PFNEGLGETCURRENTDISPLAYPROC GetCurrentDisplay = nullptr;
  PFNEGLGETCURRENTCONTEXTPROC GetCurrentContext = nullptr;
  bool loaded = false;
};

// One remembered probe per platform choice (unset, device, surfaceless).
struct ProbeSlot {
  bool supported = false;
  EGLDisplay display = EGL_NO_DISPLAY;
  VOGLEGLPlatform platform = VOGLEGLPlatform::kNone;
};

std::mutex g_mutex;
EGLLibrary g_library;
ProbeSlot g_slots[3];

// Opens libEGL once it can; a failed open is tried again next time (the
// library is never closed: contexts and the probe's displays outlive any
// one wrapper). Call with g_mutex held.
bool LoadLibrary(std::string* reason) {
  if (g_library.loaded) return true;
  if (!g_library.handle) {
    g_library.handle = VOpenDynamicLibrary(kLibraryName, reason);
    if (!g_library.handle) return false;
  }
  void* h = g_library.handle;
  bool ok = VLoadDynamicSymbol(h, g_library.GetProcAddress, "eglGetProcAddress");
  ok = VLoadDynamicSymbol(h, g_library.GetError, "eglGetError") && ok;
  ok = VLoadDynamicSymbol(h, g_library.QueryString, "eglQueryString") && ok;
  ok = VLoadDynamicSymbol(h, g_library.Initialize, "eglInitialize") && ok;
  ok = VLoadDynamicSymbol(h, g_library.BindAPI, "eglBindAPI") && ok;
  ok = VLoadDynamicSymbol(h, g_library.ChooseConfig, "eglChooseConfig") && ok;
  ok = VLoadDynamicSymbol(h, g_library.GetConfigs, "eglGetConfigs") && ok;
  ok = VLoadDynamicSymbol(h, g_library.GetConfigAttrib, "eglGetConfigAttrib") && ok;
  ok = VLoadDynamicSymbol(h, g_library.CreateContext, "eglCreateContext") && ok;
  ok = VLoadDynamicSymbol(h, g_library.DestroyContext, "eglDestroyContext") && ok;
  ok = VLoadDynamicSymbol(h, g_library.CreatePbufferSurface, "eglCreatePbufferSurface") && ok;
  ok = VLoadDynamicSymbol(h, g_library.DestroySurface, "eglDestroySurface") && ok;
  ok = VLoadDynamicSymbol(h, g_library.MakeCurrent, "eglMakeCurrent") && ok;
  ok = VLoadDynamicSymbol(h, g_library.GetCurrentDisplay, "eglGetCurrentDisplay") && ok;
  ok = VLoadDynamicSymbol(h, g_library.GetCurrentContext, "eglGetCurrentContext") && ok;
  if (!ok) {
    if (reason) *reason = std::string(kLibraryName) + " lacks EGL 1.4 entry points";
    return false;
  }
  g_library.loaded = true;
  return true;
}

// Whole-word search in a space-separated extension list.
bool HasExtension(const char* list, const char* name) {
  if (!list || !name || !*name) return false;
  const std::size_t length = std::strlen(name);
  for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
    const bool starts = p == list || p[-1] == ' ';
    const bool ends = p[length] == '\0' || p[length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

bool EnvFlag(const char* name) {
  const char* value = std::getenv(name);
  return value && *value && std::strcmp(value, "0") != 0;
}

// An initialised display is usable when OpenGL binds and some config has a
// pbuffer surface and OpenGL rendering.
bool DisplayUsable(EGLDisplay display) {
  if (display == EGL_NO_DISPLAY) return false;
  EGLint major = 0;
  EGLint minor = 0;
  if (!g_library.Initialize(display, &major, &minor)) return false;
  if (!g_library.BindAPI(EGL_OPENGL_API)) return false;
  const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  return g_library.ChooseConfig(display, attributes, &config, 1, &count) && count > 0;
}

bool ProbeDevice(std::string* reason, EGLDisplay* out) {
  const char* client = g_library.QueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!HasExtension(client, "EGL_EXT_platform_device") ||
      !(HasExtension(client, "EGL_EXT_device_enumeration") || HasExtension(client, "EGL_EXT_device_base"))) {
    *reason = "EGL has no device platform";
    return false;
  }
  auto query_devices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(g_library.GetProcAddress("eglQueryDevicesEXT"));
  auto query_string =
      reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(g_library.GetProcAddress("eglQueryDeviceStringEXT"));
  auto platform_display =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(g_library.GetProcAddress("eglGetPlatformDisplayEXT"));
  if (!query_devices || !query_string || !platform_display) {
    *reason = "EGL device entry points missing";
    return false;
  }
  EGLDeviceEXT devices[kMaxDevices] = {};
  EGLint count = 0;
  if (!query_devices(kMaxDevices, devices, &count) || count <= 0) {
    *reason = "EGL lists no device";
    return false;
  }
  if (count > kMaxDevices) count = kMaxDevices;
  for (EGLint i = 0; i < count; ++i) {
    // A real GPU exposes its DRM node; Mesa's software device does not, and
    // the surfaceless platform serves that one better.
    if (!HasExtension(query_string(devices[i], EGL_EXTENSIONS), "EGL_EXT_device_drm")) continue;
    EGLDisplay display = platform_display(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
    if (DisplayUsable(display)) {
      *out = display;
      return true;
    }
  }
  *reason = "no GPU EGL device with OpenGL pbuffers";
  return false;
}

bool ProbeSurfaceless(std::string* reason, EGLDisplay* out) {
  const char* client = g_library.QueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!HasExtension(client, "EGL_MESA_platform_surfaceless")) {
    *reason = "EGL has no surfaceless platform";
    return false;
  }
  auto platform_display =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(g_library.GetProcAddress("eglGetPlatformDisplayEXT"));
  if (!platform_display) {
    *reason = "eglGetPlatformDisplayEXT missing";
    return false;
  }
  EGLDisplay display = platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (!DisplayUsable(display)) {
    *reason = "surfaceless EGL display has no OpenGL pbuffers";
    return false;
  }
  *out = display;
  return true;
}

// The probe itself; call with g_mutex held. Answers the display to use.
VOGLPBufferSupport ProbeLocked(EGLDisplay* display_out) {
  VOGLPBufferSupport support;
  *display_out = EGL_NO_DISPLAY;
  if (EnvFlag("QTZYN_EGL_DISABLE")) {
    support.reason = "pbuffers disabled by QTZYN_EGL_DISABLE";
    return support;
  }
  const char* forced = std::getenv("QTZYN_EGL_PLATFORM");
  int slot_index = 0;
  if (forced && *forced) {
    if (std::strcmp(forced, "device") == 0) {
      slot_index = 1;
    } else if (std::strcmp(forced, "surfaceless") == 0) {
      slot_index = 2;
    } else {
      support.reason = std::string("QTZYN_EGL_PLATFORM names no platform: ") + forced;
      return support;
    }
  }
  ProbeSlot& slot = g_slots[slot_index];
  if (slot.supported) {
    support.supported = true;
    support.platform = slot.platform;
    *display_out = slot.display;
    return support;
  }
  if (!LoadLibrary(&support.reason)) return support;
  std::string device_reason;
  std::string surfaceless_reason;
  EGLDisplay display = EGL_NO_DISPLAY;
  if (slot_index != 2 && ProbeDevice(&device_reason, &display)) {
    slot.platform = VOGLEGLPlatform::kDevice;
  } else if (slot_index != 1 && ProbeSurfaceless(&surfaceless_reason, &display)) {
    slot.platform = VOGLEGLPlatform::kSurfaceless;
  } else {
    support.reason = slot_index == 2 ? surfaceless_reason
                     : slot_index == 1 ? device_reason
                                       : device_reason + "; " + surfaceless_reason;
    return support;
  }
  slot.supported = true;
  slot.display = display;
  support.supported = true;
  support.platform = slot.platform;
  *display_out = display;
  return support;
}

void Describe(EGLDisplay display, EGLConfig config, VOGLPixelFormat* format) {
  EGLint value = 0;
  *format = VOGLPixelFormat();
  if (g_library.GetConfigAttrib(display, config, EGL_RENDERABLE_TYPE, &value) && (value & EGL_OPENGL_BIT))
    format->flags |= kVPFDSupportOpenGL;
  if (g_library.GetConfigAttrib(display, config, EGL_SURFACE_TYPE, &value)) {
    // EGL windows are always double-buffered.
    if (value & EGL_WINDOW_BIT) format->flags |= kVPFDDrawToWindow | kVPFDDoubleBuffer;
    if (value & EGL_PIXMAP_BIT) format->flags |= kVPFDDrawToBitmap;
  }
  if (g_library.GetConfigAttrib(display, config, EGL_CONFIG_CAVEAT, &value) && value == EGL_SLOW_CONFIG)
    format->flags |= kVPFDGenericFormat;
  if (g_library.GetConfigAttrib(display, config, EGL_BUFFER_SIZE, &value)) format->color_bits = value;
  if (g_library.GetConfigAttrib(display, config, EGL_ALPHA_SIZE, &value)) format->alpha_bits = value;
  if (g_library.GetConfigAttrib(display, config, EGL_DEPTH_SIZE, &value)) format->depth_bits = value;
  if (g_library.GetConfigAttrib(display, config, EGL_STENCIL_SIZE, &value)) format->stencil_bits = value;
}

// The first config matching the request; when none does and the request
// carries a filter, the first config with pbuffers and OpenGL that the
// filter accepts (its description then replaces the request's format).
bool ChooseConfig(EGLDisplay display, VOGLConfigRequest& request, EGLConfig* out, std::string* reason) {
  EGLint attributes[32];
  if (VOGLEGLConfigAttributes(request, attributes, 32) == 0) return false;
  EGLConfig configs[kMaxConfigs] = {};
  EGLint count = 0;
  if (g_library.ChooseConfig(display, attributes, configs, kMaxConfigs, &count) && count > 0) {
    *out = configs[0];
    return true;
  }
  if (request.filter) {
    static EGLConfig all[kMaxEnumeratedConfigs];  // guarded by g_mutex
    EGLint total = 0;
    if (g_library.GetConfigs(display, all, kMaxEnumeratedConfigs, &total)) {
      if (total > kMaxEnumeratedConfigs) total = kMaxEnumeratedConfigs;
      for (EGLint i = 0; i < total; ++i) {
        EGLint surface = 0;
        EGLint renderable = 0;
        if (!g_library.GetConfigAttrib(display, all[i], EGL_SURFACE_TYPE, &surface) ||
            !g_library.GetConfigAttrib(display, all[i], EGL_RENDERABLE_TYPE, &renderable))
          continue;
        if (!(surface & EGL_PBUFFER_BIT) || !(renderable & EGL_OPENGL_BIT)) continue;
        VOGLPixelFormat candidate;
        Describe(display, all[i], &candidate);
        if (request.filter(request.format, candidate, request.filter_user)) {
          request.format = candidate;
          *out = all[i];
          return true;
        }
      }
    }
  }
  if (reason) *reason = "no EGL config with OpenGL pbuffers matches the pixel format";
  return false;
}

class VOGLEGLContext final : public VOGLPlatformContext {
 public:
  VOGLEGLContext(EGLDisplay display, EGLContext context, EGLSurface surface, int width, int height)
      : display_(display), context_(context), surface_(surface) {
    width_ = width;
    height_ = height;
  }
  ~VOGLEGLContext() override {
    ForgetIfCurrent();
    std::lock_guard<std::mutex> lock(g_mutex);
    if (surface_ != EGL_NO_SURFACE) g_library.DestroySurface(display_, surface_);
    g_library.DestroyContext(display_, context_);
  }
  VOGLPlatformKind Kind() const override { return VOGLPlatformKind::kEGL; }
  EGLContext Handle() const { return context_; }
  EGLDisplay Display() const { return display_; }

  bool Initialise() {
    if (!MakeCurrent()) return false;
    return LoadFunctions(
        [](const char* name, void*) -> void* { return reinterpret_cast<void*>(g_library.GetProcAddress(name)); },
        nullptr);
  }

 protected:
  bool DoMakeCurrent() override {
    // The share root has no surface and is never drawn with.
    if (surface_ == EGL_NO_SURFACE) return false;
    // The bound API is per thread; a context made on another thread finds
    // this one bound to whatever it was.
    g_library.BindAPI(EGL_OPENGL_API);
    return g_library.MakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
  }

 private:
  EGLDisplay display_;
  EGLContext context_;
  EGLSurface surface_;
};

EGLContext CreateContext(EGLDisplay display, EGLConfig config, EGLContext share) {
  g_library.BindAPI(EGL_OPENGL_API);
  // Compatibility profile: the renderer draws with the fixed-function
  // pipeline. Drivers without the profile attribute get the plain request,
  // which is a compatibility context too.
  const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                  EGL_NONE};
  EGLContext context = g_library.CreateContext(display, config, share, compatibility);
  if (context == EGL_NO_CONTEXT) context = g_library.CreateContext(display, config, share, nullptr);
  return context;
}

std::string ErrorText(const char* what) {
  char code[16];
  std::snprintf(code, sizeof(code), "0x%04X", static_cast<unsigned>(g_library.GetError()));
  return std::string(what) + " failed (EGL error " + code + ")";
}

// The probe's display and the first config for the request; the reason
// when either fails. Call with g_mutex held.
bool ProbeAndChooseLocked(VOGLConfigRequest& request, EGLDisplay* display, EGLConfig* config, std::string* reason) {
  const VOGLPBufferSupport support = ProbeLocked(display);
  if (!support.supported) {
    if (reason) *reason = support.reason;
    return false;
  }
  return ChooseConfig(*display, request, config, reason);
}

}  // namespace

int VOGLEGLConfigAttributes(const VOGLConfigRequest& request, std::int32_t* list, int capacity) {
  const std::int32_t values[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,   EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_DEPTH_SIZE,   request.depth_bits, EGL_RED_SIZE,        request.red_bits,
                                 EGL_GREEN_SIZE,   request.green_bits, EGL_BLUE_SIZE,       request.blue_bits,
                                 EGL_ALPHA_SIZE,   request.alpha_bits, EGL_STENCIL_SIZE,    request.stencil_bits,
                                 EGL_NONE};
  const int count = static_cast<int>(sizeof(values) / sizeof(values[0]));
  if (!list || capacity < count) return 0;
  for (int i = 0; i < count; ++i) list[i] = values[i];
  return count;
}

VOGLPBufferSupport VOGLProbePBufferSupport() {
  std::lock_guard<std::mutex> lock(g_mutex);
  EGLDisplay display = EGL_NO_DISPLAY;
  return ProbeLocked(&display);
}

std::unique_ptr<VOGLPlatformContext> VOGLCreateEGLContext(VOGLConfigRequest& request, int width, int height,
                                                          VOGLPlatformContext* share_root, std::string* reason) {
  std::string why;
  std::unique_ptr<VOGLEGLContext> result;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    if (!ProbeAndChooseLocked(request, &display, &config, reason)) return nullptr;
    EGLContext share = EGL_NO_CONTEXT;
    if (share_root) {
      auto* root = share_root->Kind() == VOGLPlatformKind::kEGL ? static_cast<VOGLEGLContext*>(share_root) : nullptr;
      if (!root || root->Display() != display) {
        if (reason) *reason = "the share root belongs to another display";
        return nullptr;
      }
      share = root->Handle();
    }
    EGLint max_width = 0;
    EGLint max_height = 0;
    g_library.GetConfigAttrib(display, config, EGL_MAX_PBUFFER_WIDTH, &max_width);
    g_library.GetConfigAttrib(display, config, EGL_MAX_PBUFFER_HEIGHT, &max_height);
    if (width <= 0 || height <= 0 || width > max_width || height > max_height) {
      if (reason) *reason = "pbuffer size outside what the config allows";
      return nullptr;
    }
    EGLContext context = CreateContext(display, config, share);
    if (context == EGL_NO_CONTEXT) {
      if (reason) *reason = ErrorText("eglCreateContext");
      return nullptr;
    }
    const EGLint surface_attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = g_library.CreatePbufferSurface(display, config, surface_attributes);
    if (surface == EGL_NO_SURFACE) {
      if (reason) *reason = ErrorText("eglCreatePbufferSurface");
      g_library.DestroyContext(display, context);
      return nullptr;
    }
    result.reset(new VOGLEGLContext(display, context, surface, width, height));
  }
  // Outside the lock: the destructor of a failed context takes it.
  if (!result->Initialise()) {
    if (reason) *reason = "the EGL context could not be made current or lacks OpenGL 1.1 entry points";
    return nullptr;
  }
  return result;
}

std::unique_ptr<VOGLPlatformContext> VOGLCreateEGLShareRoot(VOGLConfigRequest& request, std::string* reason) {
  std::lock_guard<std::mutex> lock(g_mutex);
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLConfig config = nullptr;
  if (!ProbeAndChooseLocked(request, &display, &config, reason)) return nullptr;
  EGLContext context = CreateContext(display, config, EGL_NO_CONTEXT);
  if (context == EGL_NO_CONTEXT) {
    if (reason) *reason = ErrorText("eglCreateContext");
    return nullptr;
  }
  return std::unique_ptr<VOGLPlatformContext>(new VOGLEGLContext(display, context, EGL_NO_SURFACE, 0, 0));
}

bool VOGLEGLMaxPBufferSize(VOGLConfigRequest& request, int* width, int* height, std::string* reason) {
  std::lock_guard<std::mutex> lock(g_mutex);
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLConfig config = nullptr;
  if (!ProbeAndChooseLocked(request, &display, &config, reason)) return false;
  EGLint max_width = 0;
  EGLint max_height = 0;
  if (!g_library.GetConfigAttrib(display, config, EGL_MAX_PBUFFER_WIDTH, &max_width) ||
      !g_library.GetConfigAttrib(display, config, EGL_MAX_PBUFFER_HEIGHT, &max_height)) {
    if (reason) *reason = ErrorText("eglGetConfigAttrib");
    return false;
  }
  if (width) *width = max_width;
  if (height) *height = max_height;
  return true;
}

void VOGLEGLReleaseThread() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_library.loaded) return;
  EGLDisplay display = g_library.GetCurrentDisplay();
  if (display == EGL_NO_DISPLAY) return;
  g_library.BindAPI(EGL_OPENGL_API);
  g_library.MakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}
