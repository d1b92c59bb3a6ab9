#pragma once
// Shared helpers of the component tests: the built library, its appended
// resources, and big-endian readers.

#include <cstdint>
#include <string>

#include "host/component_manager.h"
#include "support/temp_dir.h"

namespace component_test {

// Size of the resources appended to the library.
constexpr std::size_t kForkSize = 1536;

inline const char* ModulePath() { return QTZYN_COMPONENT_MODULE; }

inline std::string ModuleBytes() { return testing_support::ReadFileBytes(ModulePath()); }

// The last kForkSize bytes of the library.
inline std::string ModuleFork() {
  const std::string bytes = ModuleBytes();
  return bytes.size() < kForkSize ? std::string() : bytes.substr(bytes.size() - kForkSize);
}

inline std::uint32_t Be32(const std::string& s, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + at;
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
inline std::uint16_t Be16(const std::string& s, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + at;
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

// Registers the built library once for the test program; the components
// stay registered (instances of them may outlive a test's scope only by
// mistake, which the tests check).
inline const std::vector<Component>& RegisteredModule() {
  static const std::vector<Component> components = [] {
    std::vector<Component> registered;
    std::string message;
    const OSErr err = HostRegisterComponentLibrary(ModulePath(), &registered, &message);
    if (err != noErr) registered.clear();
    return registered;
  }();
  return components;
}

inline Component FindComponent(OSType type, OSType subType) {
  ComponentDescription looking;
  looking.componentType = type;
  looking.componentSubType = subType;
  RegisteredModule();
  return FindNextComponent(nullptr, &looking);
}

}  // namespace component_test
