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

// The media's time scale: 60 units per second.
constexpr TimeScale kZynMediaTimeScale = 60;
// The registration resource holding the MIME types ('mime' 128).
constexpr OSType kMimeResourceType = FOUR_CHAR_CODE("mime");
constexpr SInt16 kMimeResourceId = 128;

// Stores the file's native path in the storage and imports it through this
// instance's own MovieImportDataRef with an 'alis' reference to it.
ComponentResult MovieImportFile(ImporterGlobalsHandle storage, const FSSpec* theFile, Movie theMovie,
                                Track targetTrack, Track* usedTrack, TimeValue atTime, TimeValue* addedDuration,
                                long inFlags, long* outFlags);
// Adds one enabled track of media 'vzyn' whose one sample references the
// whole file, sized and timed by a scan of the file at the stored path.
// paramErr for movieImportMustUseTrack (nothing made); on a framework
// error the track and media made so far are removed and the error answered.
ComponentResult MovieImportDataRef(ImporterGlobalsHandle storage, Handle dataRef, OSType dataRefType,
                                   Movie theMovie, Track targetTrack, Track* usedTrack, TimeValue atTime,
                                   TimeValue* addedDuration, long inFlags, long* outFlags);
// A copy of the component's 'mime' 128 resource, the MIME atom container.
ComponentResult MovieImportGetMIMETypeList(ImporterGlobalsHandle storage, QTAtomContainer* mimeInfo);

}  // namespace qtzyn
