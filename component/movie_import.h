// The importer's routines: a Zyn file becomes a
// movie track whose one sample references the whole file.
#pragma once

#include "component/component_globals.h"
#include "component/framework_records.h"
#include "host/data_references.h"
#include "host/movies.h"

namespace qtzyn {

// Selectors.
enum : SInt16 {
  kMovieImportFileSelect = 0x0002,
  kMovieImportValidateSelect = 0x000E,
  kMovieImportDataRefSelect = 0x0010,
  kMovieImportGetMIMETypeListSelect = 0x0012,
};

ComponentResult MovieImportFile(ImporterGlobalsHandle storage, const FSSpec* theFile, Movie theMovie,
                                Track targetTrack, Track* usedTrack, TimeValue atTime, TimeValue* addedDuration,
                                long inFlags, long* outFlags);
ComponentResult MovieImportDataRef(ImporterGlobalsHandle storage, Handle dataRef, OSType dataRefType,
                                   Movie theMovie, Track targetTrack, Track* usedTrack, TimeValue atTime,
                                   TimeValue* addedDuration, long inFlags, long* outFlags);
ComponentResult MovieImportGetMIMETypeList(ImporterGlobalsHandle storage, QTAtomContainer* mimeInfo);

}  // namespace qtzyn
