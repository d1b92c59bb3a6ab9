#pragma once
// Opening a shared library at run time and resolving its entry points, for
// the OpenGL platform libraries: a machine without one still runs, and says
// which library is missing.

#include <string>

// dlopen (now, local); null with "cannot open NAME: REASON" in `reason`.
void* VOpenDynamicLibrary(const char* name, std::string* reason);
void* VDynamicSymbol(void* library, const char* name);

// Resolves `name` into a typed function pointer; false when it is missing.
template <typename Fn>
bool VLoadDynamicSymbol(void* library, Fn& slot, const char* name) {
  slot = reinterpret_cast<Fn>(VDynamicSymbol(library, name));
  return slot != nullptr;
}
