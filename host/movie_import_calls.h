// The framework's calls into a movie importer ('eat '), as a player makes
// them, and finding the importer of a file by its extension.
#pragma once

#include <string>

#include "host/component_manager.h"
#include "host/data_references.h"
#include "host/mac_types.h"
#include "host/movies.h"

enum class MovieImportSelect : SInt16 {
  kImportFile = 0x0002,
  kImportDataRef = 0x0010,
  kGetMIMETypeList = 0x0012,
};

// MovieImportFile / MovieImportDataRef flags.
enum : long {
  movieImportCreateTrack = 1L << 0,        // out: the importer made a track
  movieImportMustUseTrack = 1L << 2,       // in: add to the target track
  movieImportSubTypeIsFileExtension = 0x1000,  // registration: the subtype is an extension
};

// The importer subtype that stands for a file extension: the extension in
// capitals, padded with blanks to four characters. 0 for a path without an
// extension (text after the last dot of its last component) or with one of
// more than four characters.
OSType ImporterSubTypeForPath(const std::string& path);

// Opens the importer registered for the file's extension. cantFindHandler
// when none is registered.
OSErr OpenImporterForPath(const std::string& path, ComponentInstance* importer);

ComponentResult CallMovieImportFile(ComponentInstance importer, const FSSpec* theFile, Movie theMovie,
                                    Track targetTrack, Track* usedTrack, TimeValue atTime,
                                    TimeValue* addedDuration, long inFlags, long* outFlags);

// No component of the asked type and subtype.
enum : OSErr {
  cantFindHandler = -2003,
};
