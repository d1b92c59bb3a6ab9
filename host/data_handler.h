// The file data handler: reads the bytes of a file named by an 'alis' data
// reference. In the framework a data handler is a component instance; here
// GetDataHandler answers a DataHandlerComponent, OpenAComponent opens it into
// a DataHandler, and CloseComponent releases that. The DataH routines keep
// the framework's names and argument order; every one answers noErr or a
// framework error code and is safe with a null handler.
//
// Reading is bounded by the file's size at the moment of the read: a read
// past the end answers eofErr and writes nothing. The open file stays
// readable when it is deleted after DataHOpenForRead (the handler holds it
// open); when it shrinks, reads beyond its new end answer eofErr.
//
// Pieces mode (a host-only test aid): with a piece size set, the handler acts
// as a source whose bytes arrive over time. One piece is available after
// DataHOpenForRead, and each DataHGetData or DataHGetAvailableFileSize call
// lets one more piece arrive, before the call is answered. A read that lies
// within the file but beyond the bytes that have arrived answers
// notEnoughDataErr and writes nothing. The piece size comes from
// DataHSetPieceSize, or, when that was not called, from the environment
// variable QTZYN_DATA_PIECE_SIZE (a positive decimal byte count) at
// DataHOpenForRead.
#pragma once

#include "host/mac_types.h"

struct DataHandlerComponentRecord;
struct DataHandlerRecord;
using DataHandlerComponent = const DataHandlerComponentRecord*;
using DataHandler = DataHandlerRecord*;

// GetDataHandler flags.
enum : long {
  kDataHCanRead = 1L << 0,
  kDataHCanWrite = 1L << 1,
};

// Name of the environment variable that sets the pieces mode's piece size.
constexpr const char* kDataPieceSizeVariable = "QTZYN_DATA_PIECE_SIZE";

// The data handler for references of type `dataRefType`: the file handler
// for 'alis' when `flags` asks for reading only; null otherwise.
DataHandlerComponent GetDataHandler(Handle dataRef, OSType dataRefType, long flags);
// Opens an instance of `component` into *instance. paramErr without an out
// pointer, cantOpenHandler for a null component, memFullErr.
OSErr OpenAComponent(DataHandlerComponent component, DataHandler* instance);
// Closes the file if open and releases the instance. paramErr for null.
OSErr CloseComponent(DataHandler instance);

// Gives the handler its reference (copied). invalidDataRef for a reference
// that is not a readable 'alis' record (the handler then has none);
// couldNotResolveDataRef when no file exists at the path (the reference is
// kept, so that DataHResolveDataRef can try again). A handler open for
// reading is closed first.
ComponentResult DataHSetDataRef(DataHandler dh, Handle dataRef);
// Looks for the referenced file again: noErr when it exists now,
// couldNotResolveDataRef otherwise; *wasChanged (when given) is false, as
// the reference itself never changes. `dataRef` and the user interface flag
// are not used.
ComponentResult DataHResolveDataRef(DataHandler dh, Handle dataRef, Boolean* wasChanged,
                                    Boolean userInterfaceAllowed);
// Opens the file for reading. dataNoDataRef without a reference, fnfErr when
// the file is missing or is not a regular file (a folder, a pipe), ioErr
// when it cannot be opened. Opening an open handler again answers noErr.
ComponentResult DataHOpenForRead(DataHandler dh);
// Closes the file. dataNotOpenForRead when it is not open.
ComponentResult DataHCloseForRead(DataHandler dh);
// The file's size in bytes now (of the open file, else of the file at the
// path). paramErr without an out pointer; fnfErr; *fileSize is 0 on error.
ComponentResult DataHGetFileSize(DataHandler dh, long* fileSize);
// The bytes available for reading: the file size, or in pieces mode the
// bytes that have arrived. dataNotOpenForRead when not open.
ComponentResult DataHGetAvailableFileSize(DataHandler dh, long* fileSize);
// Reads `size` bytes at file offset `offset` into the handle `h` at
// `hOffset`. nilHandleErr when `h` is not a live handle; paramErr for a
// negative value or a range outside the handle; dataNotOpenForRead; eofErr
// when the range reaches past the file's end; notEnoughDataErr (pieces
// mode) when it reaches past the bytes that have arrived; ioErr. The handle
// is not written unless the answer is noErr.
ComponentResult DataHGetData(DataHandler dh, Handle h, long hOffset, long offset, long size);
// The referenced file's name (its last path component, cut at 255 bytes) as
// a length-prefixed string. paramErr without `str`, dataNoDataRef.
ComponentResult DataHGetFileName(DataHandler dh, Str255 str);

// Host-only: sets the pieces mode's piece size (bytes); 0 or less turns the
// mode off. Bytes already arrived stay available.
ComponentResult DataHSetPieceSize(DataHandler dh, long pieceSize);
