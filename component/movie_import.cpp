#include "component/movie_import.h"

#include <cstring>

#include "component/import_sample_description.h"
#include "component/import_scan.h"
#include "component/viewer_core.h"
#include "host/data_handler.h"
#include "host/handles.h"
#include "host/movie_import_calls.h"

namespace qtzyn {
namespace {

// The file's size through a data handler for the reference, as the media
// handler will read it; 0 when any step fails.
long FileSizeThroughDataHandler(Handle dataRef, OSType dataRefType) {
  long size = 0;
  DataHandler handler = nullptr;
  if (OpenAComponent(GetDataHandler(dataRef, dataRefType, kDataHCanRead), &handler) != noErr) return 0;
  DataHSetDataRef(handler, dataRef);
  DataHOpenForRead(handler);
  if (DataHGetFileSize(handler, &size) != noErr) size = 0;
  DataHCloseForRead(handler);
  CloseComponent(handler);
  return size;
}

// What the import has made so far, undone on failure.
struct ImportInProgress {
  Track track = nullptr;
  Media media = nullptr;
  Handle description = nullptr;

  ComponentResult Fail(ViewerCore* core, OSErr err) {
    if (media != nullptr) DisposeTrackMedia(media);
    if (track != nullptr) DisposeMovieTrack(track);
    DisposeHandle(description);
    core->importing = false;
    return err;
  }
};

}  // namespace

ComponentResult MovieImportFile(ImporterGlobalsHandle storage, const FSSpec* theFile, Movie theMovie,
                                Track targetTrack, Track* usedTrack, TimeValue atTime, TimeValue* addedDuration,
                                long inFlags, long* outFlags) {
  ImporterGlobals* globals = GlobalsOf(storage);
  if (globals == nullptr || theFile == nullptr) return paramErr;
  if (FSSpecToNativePathName(theFile, globals->path, sizeof globals->path, 0) != noErr) globals->path[0] = '\0';
  AliasHandle alias = nullptr;
  const OSErr err = NewAliasMinimal(theFile, &alias);
  if (err != noErr) {
    globals->path[0] = '\0';
    return err;
  }
  const ComponentResult result =
      HostComponentCall(globals->self, kMovieImportDataRefSelect, alias, rAliasType, theMovie, targetTrack, usedTrack,
                        atTime, addedDuration, inFlags, outFlags);
  DisposeHandle(alias);  // the media keeps its own copy of the reference
  // The path belongs to this import only: a later import by reference on
  // the same instance must not be sized from this file.
  if ((globals = GlobalsOf(storage)) != nullptr) globals->path[0] = '\0';
  return result;
}

ComponentResult MovieImportDataRef(ImporterGlobalsHandle storage, Handle dataRef, OSType dataRefType,
                                   Movie theMovie, Track /*targetTrack*/, Track* usedTrack, TimeValue atTime,
                                   TimeValue* addedDuration, long inFlags, long* outFlags) {
  ViewerCore* core = ViewerCore::GetOrCreate();
  if ((inFlags & movieImportMustUseTrack) != 0) return paramErr;
  ImporterGlobals* globals = GlobalsOf(storage);
  if (globals == nullptr) return paramErr;
  core->importing = true;

  globals->path[sizeof globals->path - 1] = '\0';
  const ImportScan scan = ScanSceneFile(globals->path);
  globals->width = scan.size.width;
  globals->height = scan.size.height;
  globals->duration = scan.duration;

  ImportInProgress made;
  made.track = NewMovieTrack(theMovie, IntToFixed(scan.size.width), IntToFixed(scan.size.height), 0);
  if (OSErr err = GetMoviesError(); err != noErr) return made.Fail(core, err);
  made.media = NewTrackMedia(made.track, kZynMediaType, kZynMediaTimeScale, dataRef, dataRefType);
  if (OSErr err = GetMoviesError(); err != noErr) return made.Fail(core, err);
  SetTrackEnabled(made.track, true);

  const long fileSize = FileSizeThroughDataHandler(dataRef, dataRefType);

  made.description = NewHandleClear(kImportDescriptionSize);
  if (made.description == nullptr) return made.Fail(core, MemError() != noErr ? MemError() : OSErr(memFullErr));
  FillImportDescription(*made.description, scan.size.width, scan.size.height, static_cast<SInt32>(fileSize),
                        scan.duration);

  OSErr err = AddMediaSampleReference(made.media, 0, static_cast<unsigned long>(fileSize), scan.duration,
                                      reinterpret_cast<SampleDescriptionHandle>(made.description), 1, 0, nullptr);
  if (err != noErr) return made.Fail(core, err);
  err = InsertMediaIntoTrack(made.track, atTime, 0, GetMediaDuration(made.media), fixed1);
  if (err != noErr) return made.Fail(core, err);

  if (addedDuration != nullptr) *addedDuration = GetTrackDuration(made.track) - atTime;
  if (usedTrack != nullptr) *usedTrack = made.track;
  if (outFlags != nullptr) *outFlags |= movieImportCreateTrack;
  DisposeHandle(made.description);
  core->importing = false;
  return noErr;
}

ComponentResult MovieImportGetMIMETypeList(ImporterGlobalsHandle storage, QTAtomContainer* mimeInfo) {
  const ImporterGlobals* globals = GlobalsOf(storage);
  if (globals == nullptr || mimeInfo == nullptr) return paramErr;
  return GetComponentPublicResource(HostGetInstanceComponent(globals->self), kMimeResourceType, kMimeResourceId,
                                    mimeInfo);
}

}  // namespace qtzyn
