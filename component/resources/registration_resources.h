// The registration resources appended to the component library: a resource
// fork in the framework's layout that registers the importer, its file
// extension alias and the media handler.
#pragma once

#include <cstddef>
#include <string>

namespace qtzyn {

constexpr std::size_t kRegistrationForkSize = 1536;
constexpr std::size_t kRegistrationDataOffset = 256;
constexpr std::size_t kRegistrationMapOffset = 938;
constexpr std::size_t kRegistrationDataLength = 682;
constexpr std::size_t kRegistrationMapLength = 186;

// Names of the exported entry points, as the 'dlle' resources give them.
constexpr const char* kImporterEntryPoint = "MovieImporter_ComponentDispatch";
constexpr const char* kMediaHandlerEntryPoint = "MediaHandler_ComponentDispatch";

// The fork's bytes. Empty if the resources do not come out at the sizes
// above (a fault of this file, reported by the build).
std::string BuildRegistrationFork();

}  // namespace qtzyn
