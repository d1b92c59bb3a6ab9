#include "component/movie_import.h"

namespace qtzyn {

// Not written yet: answered as a selector without a routine.

ComponentResult MovieImportFile(ImporterGlobalsHandle, const FSSpec*, Movie, Track, Track*, TimeValue,
                                TimeValue*, long, long*) {
  return badComponentSelector;
}

ComponentResult MovieImportDataRef(ImporterGlobalsHandle, Handle, OSType, Movie, Track, Track*, TimeValue,
                                   TimeValue*, long, long*) {
  return badComponentSelector;
}

ComponentResult MovieImportGetMIMETypeList(ImporterGlobalsHandle, QTAtomContainer*) {
  return badComponentSelector;
}

}  // namespace qtzyn
