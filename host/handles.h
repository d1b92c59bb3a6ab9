// Relocatable memory blocks ("handles") and the per-thread last memory error.
//
// A handle points to a master pointer, which points to the block's bytes:
// `**h` is the first byte. The block may move when it is resized unless it is
// locked. Every routine is safe with a null handle and with a value that is
// not a live handle (a disposed one, or garbage that was never returned by
// NewHandle): such calls do nothing and report nilHandleErr. Sizes above
// kMaxHandleSize, and negative sizes, are refused with memFullErr, so that a
// hostile size read from a file never allocates without bound.
//
// MemError answers the result of the calling thread's last handle routine
// (noErr after a success). All routines may be called from any thread.
#pragma once

#include "host/mac_types.h"

// Largest block a handle may hold (1 GiB).
constexpr Size kMaxHandleSize = Size(1) << 30;

// A new block of `size` bytes, contents unspecified; null (memFullErr) when
// the size is refused or memory runs out.
Handle NewHandle(Size size);
// As NewHandle, with every byte zero.
Handle NewHandleClear(Size size);
// Frees the block and the handle. A null handle is ignored (noErr).
void DisposeHandle(Handle h);
// The block's size in bytes; 0 for a null or dead handle (nilHandleErr).
Size GetHandleSize(Handle h);
// Resizes the block, keeping min(old, new) bytes; grown bytes are
// unspecified. A locked block cannot move: growing it fails (memFullErr) and
// leaves it unchanged; shrinking it always succeeds in place.
void SetHandleSize(Handle h, Size newSize);
// Locks / unlocks the block so that its address stays valid.
void HLock(Handle h);
void HUnlock(Handle h);
// Copies `size` bytes from `source` into a new handle stored in *dstHndl.
// Answers noErr, paramErr (no out pointer, or null source with size > 0) or
// memFullErr; *dstHndl is null after a failure.
OSErr PtrToHand(const void* source, Handle* dstHndl, long size);
// Result of the calling thread's last handle routine.
OSErr MemError();
