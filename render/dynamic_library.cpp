#include "render/dynamic_library.h"

#include <dlfcn.h>

void* VOpenDynamicLibrary(const char* name, std::string* reason) {
  void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr && reason != nullptr) {
    const char* error = dlerror();
    *reason = std::string("cannot open ") + name + ": " + (error ? error : "unknown error");
  }
  return handle;
}

void* VDynamicSymbol(void* library, const char* name) { return library ? dlsym(library, name) : nullptr; }
