// Appends the registration resources to the built component library:
//   qtzyn_append_resources LIBRARY
// The fork is written where the library's own image ends, replacing
// whatever an earlier run appended, so that running it twice changes
// nothing.

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "component/resources/registration_resources.h"
#include "host/component_manager.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "qtzyn_append_resources: usage: qtzyn_append_resources LIBRARY\n");
    return 2;
  }
  const std::string path = argv[1];
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "qtzyn_append_resources: cannot open %s\n", path.c_str());
      return 1;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string why;
  const std::size_t imageSize = HostModuleImageSize(bytes.data(), bytes.size(), &why);
  if (imageSize == 0) {
    std::fprintf(stderr, "qtzyn_append_resources: %s: %s\n", path.c_str(), why.c_str());
    return 1;
  }
  const std::string fork = qtzyn::BuildRegistrationFork();
  if (fork.size() != qtzyn::kRegistrationForkSize) {
    std::fprintf(stderr, "qtzyn_append_resources: the registration resources do not have their fixed layout\n");
    return 1;
  }
  // Written in place, so that the library keeps its file mode.
  {
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(imageSize));
    out.write(fork.data(), static_cast<std::streamsize>(fork.size()));
    if (!out) {
      std::fprintf(stderr, "qtzyn_append_resources: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  if (::truncate(path.c_str(), static_cast<off_t>(imageSize + fork.size())) != 0) {
    std::fprintf(stderr, "qtzyn_append_resources: cannot cut %s to size\n", path.c_str());
    return 1;
  }
  return 0;
}
