#include "host/movie_import_calls.h"

#include <cctype>

OSType ImporterSubTypeForPath(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return 0;
  const std::string extension = path.substr(dot + 1);
  if (extension.empty() || extension.size() > 4) return 0;
  OSType code = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const unsigned char c = i < extension.size() ? static_cast<unsigned char>(extension[i]) : ' ';
    code = (code << 8) | static_cast<unsigned char>(std::toupper(c));
  }
  return code;
}

OSErr OpenImporterForPath(const std::string& path, ComponentInstance* importer) {
  if (importer == nullptr) return paramErr;
  *importer = nullptr;
  const OSType subType = ImporterSubTypeForPath(path);
  if (subType == 0) return cantFindHandler;
  ComponentDescription looking;
  looking.componentType = MovieImportType;
  looking.componentSubType = subType;
  Component found = FindNextComponent(nullptr, &looking);
  if (found == nullptr) return cantFindHandler;
  return OpenAComponent(found, importer);
}

ComponentResult CallMovieImportFile(ComponentInstance importer, const FSSpec* theFile, Movie theMovie,
                                    Track targetTrack, Track* usedTrack, TimeValue atTime,
                                    TimeValue* addedDuration, long inFlags, long* outFlags) {
  return HostComponentCall(importer, static_cast<SInt16>(MovieImportSelect::kImportFile), theFile, theMovie,
                           targetTrack, usedTrack, atTime, addedDuration, inFlags, outFlags);
}
