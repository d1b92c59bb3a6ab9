#include "render/gl_functions.h"

#include <atomic>
#include <string>

namespace {

thread_local const VGLFunctions* t_current = nullptr;
std::atomic<std::uint64_t> g_context_ids{0};

template <typename Fn>
bool Resolve(Fn& slot, const char* name, VGLFunctions::Resolver resolve, void* user) {
  slot = reinterpret_cast<Fn>(resolve(name, user));
  return slot != nullptr;
}

}  // namespace

bool VGLFunctions::Load(Resolver resolve, void* user) {
  *this = VGLFunctions();
  bool core = true;
#define QTZYN_GL_LOAD_CORE(ret, name, params) core = Resolve(name, "gl" #name, resolve, user) && core;
  QTZYN_GL_CORE_FUNCTIONS(QTZYN_GL_LOAD_CORE)
#undef QTZYN_GL_LOAD_CORE
  if (!core) {
    *this = VGLFunctions();
    return false;
  }
  has_buffers = true;
#define QTZYN_GL_LOAD_BUFFER(ret, name, params)                                              \
  if (!Resolve(name, "gl" #name, resolve, user)) {                                           \
    has_buffers = Resolve(name, ("gl" + std::string(#name) + "ARB").c_str(), resolve, user) && \
                  has_buffers;                                                               \
  }
  QTZYN_GL_BUFFER_FUNCTIONS(QTZYN_GL_LOAD_BUFFER)
#undef QTZYN_GL_LOAD_BUFFER
  has_shaders = true;
#define QTZYN_GL_LOAD_SHADER(ret, name, params) has_shaders = Resolve(name, "gl" #name, resolve, user) && has_shaders;
  QTZYN_GL_SHADER_FUNCTIONS(QTZYN_GL_LOAD_SHADER)
#undef QTZYN_GL_LOAD_SHADER
  context_id = g_context_ids.fetch_add(1, std::memory_order_relaxed) + 1;
  return true;
}

const VGLFunctions* VGLCurrent() { return t_current; }
void VGLSetCurrent(const VGLFunctions* functions) { t_current = functions; }
