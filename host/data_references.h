// File references: a file named by a native path (FSSpec), and the minimal
// file reference record ("alias", data reference type 'alis') through which
// media name the file that holds their samples.
//
// An alias record is a handle holding, in the processor's byte order:
//   0  OSType  kAliasRecordTag ('fpth')
//   4  UInt32  path length n in bytes
//   8  n bytes of the native path, then one NUL
// Every reader checks the tag, the length against the handle's size and the
// terminator, so that a damaged or forged handle is refused (invalidDataRef)
// rather than read past its end.
#pragma once

#include <string>

#include "host/mac_types.h"

using AliasHandle = Handle;

// Data reference type of a file reference record.
constexpr OSType rAliasType = FOUR_CHAR_CODE("alis");
// First word of an alias record made here.
constexpr OSType kAliasRecordTag = FOUR_CHAR_CODE("fpth");
// Longest native path, terminator included.
constexpr long kMaxNativePath = 4096;

// A file named by its native path. vRefNum and parID are 0; name is the last
// path component as a length-prefixed string (cut at 63 bytes).
struct FSSpec {
  SInt16 vRefNum = 0;
  SInt32 parID = 0;
  unsigned char name[64] = {0};
  char path[kMaxNativePath] = {0};
};

// Fills *fileSpec from a NUL-terminated native path. paramErr without a path or
// an FSSpec, or for an empty path or one of kMaxNativePath bytes or more;
// fnfErr when no file exists there (the FSSpec is filled all the same, as for
// a file about to be created); noErr otherwise. `flags` is not used.
OSErr NativePathNameToFSSpec(const char* path, FSSpec* fileSpec, long flags);
// Writes the FSSpec's native path, NUL-terminated, into `path` of
// `maxPathSize` bytes. paramErr without arguments or when it does not fit.
OSErr FSSpecToNativePathName(const FSSpec* fileSpec, char* path, long maxPathSize, long flags);

// A new alias record for the file of `target`, in *alias. paramErr without
// arguments or with an empty path; memFullErr when the handle cannot be made.
OSErr NewAliasMinimal(const FSSpec* target, AliasHandle* alias);

// Host-only helpers, not framework routines.
// A new 'alis' data reference for a native path (as NativePathNameToFSSpec
// and NewAliasMinimal, but a missing file is not an error).
OSErr HostNewFileDataRef(const char* path, Handle* dataRef);
// The native path held by a data reference of type 'alis'. invalidDataRef
// for another type or a damaged record; paramErr without `path`.
OSErr HostFileDataRefPath(Handle dataRef, OSType dataRefType, std::string* path);
