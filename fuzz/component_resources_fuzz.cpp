// The component library's registration resources, as the component manager
// reads them from a library file: the module image's extent, the appended
// fork's resource map and the component records decoded from it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/component_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string message;
  const std::size_t image = HostModuleImageSize(data, size, &message);
  if (image > size) std::abort();

  std::vector<HostResource> resources;
  if (HostParseResourceFork(data, size, &resources, &message) != noErr) {
    if (!resources.empty()) std::abort();  // a failed read leaves nothing behind
    return 0;
  }
  std::vector<HostComponentRegistration> registrations;
  HostDecodeComponentResources(resources, &registrations, &message);
  return 0;
}
