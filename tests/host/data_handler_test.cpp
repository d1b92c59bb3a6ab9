#include "host/data_handler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <unistd.h>

#include "host/data_references.h"
#include "host/handles.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFileBytes;

// Bytes whose value tells their offset, so that a read at the wrong place shows.
std::string patternBytes(long size) {
  std::string bytes(static_cast<std::size_t>(size), '\0');
  for (long i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((i * 7 + 3) & 0xFF);
  return bytes;
}

// A data handler opened on a path (not yet open for reading).
struct Opened {
  DataHandler dh = nullptr;
  Handle dataRef = nullptr;
  ComponentResult setResult = 0;

  explicit Opened(const std::string& path) {
    EXPECT_EQ(HostNewFileDataRef(path.c_str(), &dataRef), noErr);
    DataHandlerComponent component = GetDataHandler(dataRef, rAliasType, kDataHCanRead);
    EXPECT_NE(component, nullptr);
    EXPECT_EQ(OpenAComponent(component, &dh), noErr);
    setResult = DataHSetDataRef(dh, dataRef);
  }
  ~Opened() {
    CloseComponent(dh);
    DisposeHandle(dataRef);
  }
};

constexpr char kGarbage = '\x5A';

Handle garbageHandle(Size size) {
  Handle h = NewHandle(size);
  std::memset(*h, kGarbage, static_cast<std::size_t>(size));
  return h;
}

bool untouched(Handle h, Size from, Size to) {
  for (Size i = from; i < to; ++i) {
    if ((*h)[i] != kGarbage) return false;
  }
  return true;
}

TEST(DataHandler, OnlyFileReferencesForReadingHaveAHandler) {
  EXPECT_NE(GetDataHandler(nullptr, rAliasType, kDataHCanRead), nullptr);
  EXPECT_EQ(GetDataHandler(nullptr, FOUR_CHAR_CODE("url "), kDataHCanRead), nullptr);
  EXPECT_EQ(GetDataHandler(nullptr, rAliasType, kDataHCanRead | kDataHCanWrite), nullptr);
  DataHandler dh = reinterpret_cast<DataHandler>(1);
  EXPECT_EQ(OpenAComponent(nullptr, &dh), cantOpenHandler);
  EXPECT_EQ(dh, nullptr);
  EXPECT_EQ(OpenAComponent(GetDataHandler(nullptr, rAliasType, kDataHCanRead), nullptr), paramErr);
}

TEST(DataHandler, NullHandlerAnswersErrors) {
  long size = 99;
  Str255 name;
  EXPECT_EQ(DataHOpenForRead(nullptr), paramErr);
  EXPECT_EQ(DataHCloseForRead(nullptr), paramErr);
  EXPECT_EQ(DataHGetFileSize(nullptr, &size), paramErr);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(DataHGetAvailableFileSize(nullptr, &size), paramErr);
  EXPECT_EQ(DataHGetFileName(nullptr, name), paramErr);
  EXPECT_EQ(DataHSetDataRef(nullptr, nullptr), paramErr);
  EXPECT_EQ(CloseComponent(static_cast<DataHandler>(nullptr)), paramErr);
}

TEST(DataHandler, ReadsTheFileSizeAndBytesAtOffsets) {
  TempDir dir;
  const std::string path = dir.File("scene.zyn");
  const std::string bytes = patternBytes(10000);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  Opened o(path);
  ASSERT_EQ(o.setResult, noErr);
  long size = 0;
  // The size is known before opening, from the path.
  EXPECT_EQ(DataHGetFileSize(o.dh, &size), noErr);
  EXPECT_EQ(size, 10000);
  ASSERT_EQ(DataHOpenForRead(o.dh), noErr);
  EXPECT_EQ(DataHOpenForRead(o.dh), noErr);  // again: still open
  EXPECT_EQ(DataHGetFileSize(o.dh, &size), noErr);
  EXPECT_EQ(size, 10000);
  EXPECT_EQ(DataHGetAvailableFileSize(o.dh, &size), noErr);
  EXPECT_EQ(size, 10000);

  struct Case {
    long hOffset, offset, size;
  };
  for (Case c : {Case{0, 0, 10000}, Case{0, 1, 1}, Case{5, 9999, 1}, Case{100, 4096, 300}, Case{0, 10000, 0}}) {
    Handle h = garbageHandle(10100);
    ASSERT_EQ(DataHGetData(o.dh, h, c.hOffset, c.offset, c.size), noErr) << c.offset;
    EXPECT_TRUE(untouched(h, 0, static_cast<Size>(c.hOffset)));
    EXPECT_EQ(std::memcmp(*h + c.hOffset, bytes.data() + c.offset, static_cast<std::size_t>(c.size)), 0) << c.offset;
    EXPECT_TRUE(untouched(h, static_cast<Size>(c.hOffset + c.size), 10100));
    DisposeHandle(h);
  }
  EXPECT_EQ(DataHCloseForRead(o.dh), noErr);
  EXPECT_EQ(DataHCloseForRead(o.dh), dataNotOpenForRead);
}

TEST(DataHandler, ReadsPastTheEndAnswerEofAndWriteNothing) {
  TempDir dir;
  const std::string path = dir.File("short.zyn");
  ASSERT_TRUE(WriteFileBytes(path, patternBytes(100)));
  Opened o(path);
  ASSERT_EQ(DataHOpenForRead(o.dh), noErr);
  // The handle is exactly as large as the request, so that an overread or
  // an overwrite shows under the sanitizer.
  struct Case {
    long offset, size;
  };
  for (Case c : {Case{0, 101}, Case{1, 100}, Case{99, 2}, Case{100, 1}, Case{101, 0}, Case{1L << 40, 1},
                 Case{std::numeric_limits<long>::max(), 1}, Case{1, std::numeric_limits<long>::max() >> 33}}) {
    const Size n = static_cast<Size>(c.size < 200 ? c.size : 200);
    Handle h = garbageHandle(n);
    const long size = c.size < 200 ? c.size : 200;
    const ComponentResult r = DataHGetData(o.dh, h, 0, c.offset, size);
    EXPECT_EQ(r, eofErr) << c.offset << " " << c.size;
    EXPECT_TRUE(untouched(h, 0, n));
    DisposeHandle(h);
  }
}

TEST(DataHandler, BadArgumentsAreRefused) {
  TempDir dir;
  const std::string path = dir.File("a.zyn");
  ASSERT_TRUE(WriteFileBytes(path, patternBytes(64)));
  Opened o(path);
  Handle h = garbageHandle(16);
  // Not open yet.
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 16), dataNotOpenForRead);
  long size = 0;
  EXPECT_EQ(DataHGetAvailableFileSize(o.dh, &size), dataNotOpenForRead);
  ASSERT_EQ(DataHOpenForRead(o.dh), noErr);
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 17), paramErr);   // larger than the handle
  EXPECT_EQ(DataHGetData(o.dh, h, 1, 0, 16), paramErr);   // runs past the handle
  EXPECT_EQ(DataHGetData(o.dh, h, 17, 0, 0), paramErr);   // starts past the handle
  EXPECT_EQ(DataHGetData(o.dh, h, -1, 0, 1), paramErr);
  EXPECT_EQ(DataHGetData(o.dh, h, 0, -1, 1), paramErr);
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, -1), paramErr);
  EXPECT_EQ(DataHGetData(o.dh, h, std::numeric_limits<long>::max(), 0, 16), paramErr);
  EXPECT_EQ(DataHGetData(o.dh, nullptr, 0, 0, 0), nilHandleErr);
  EXPECT_TRUE(untouched(h, 0, 16));
  Handle dead = NewHandle(16);
  DisposeHandle(dead);
  EXPECT_EQ(DataHGetData(o.dh, dead, 0, 0, 16), nilHandleErr);
  EXPECT_EQ(DataHGetFileSize(o.dh, nullptr), paramErr);
  DisposeHandle(h);
}

TEST(DataHandler, TheFileNameIsTheLastPathComponent) {
  TempDir dir;
  const std::string path = dir.File("My Scene.v2.ZYN");
  ASSERT_TRUE(WriteFileBytes(path, "x"));
  Opened o(path);
  Str255 name;
  std::memset(name, 0xEE, sizeof(name));
  ASSERT_EQ(DataHGetFileName(o.dh, name), noErr);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), name[0]), "My Scene.v2.ZYN");
  EXPECT_EQ(DataHGetFileName(o.dh, nullptr), paramErr);
}

TEST(DataHandler, AMissingFileCannotBeResolvedNorOpened) {
  TempDir dir;
  const std::string path = dir.File("later.zyn");
  Opened o(path);
  EXPECT_EQ(o.setResult, couldNotResolveDataRef);
  Boolean changed = true;
  EXPECT_EQ(DataHResolveDataRef(o.dh, o.dataRef, &changed, true), couldNotResolveDataRef);
  EXPECT_FALSE(changed);
  EXPECT_EQ(DataHOpenForRead(o.dh), fnfErr);
  long size = 5;
  EXPECT_EQ(DataHGetFileSize(o.dh, &size), fnfErr);
  EXPECT_EQ(size, 0);
  // The reference was kept: once the file exists it resolves and opens.
  ASSERT_TRUE(WriteFileBytes(path, patternBytes(10)));
  EXPECT_EQ(DataHResolveDataRef(o.dh, o.dataRef, &changed, true), noErr);
  EXPECT_EQ(DataHOpenForRead(o.dh), noErr);
}

TEST(DataHandler, DamagedReferencesAreRefused) {
  DataHandler dh = nullptr;
  ASSERT_EQ(OpenAComponent(GetDataHandler(nullptr, rAliasType, kDataHCanRead), &dh), noErr);
  EXPECT_EQ(DataHSetDataRef(dh, nullptr), invalidDataRef);
  EXPECT_EQ(DataHOpenForRead(dh), dataNoDataRef);
  Str255 name;
  EXPECT_EQ(DataHGetFileName(dh, name), dataNoDataRef);

  Handle good = nullptr;
  ASSERT_EQ(HostNewFileDataRef("/tmp/x.zyn", &good), noErr);
  const Size size = GetHandleSize(good);
  // Every shorter copy is refused, read from an exact-size handle.
  for (Size n = 0; n < size; ++n) {
    Handle cut = nullptr;
    ASSERT_EQ(PtrToHand(*good, &cut, n), noErr);
    EXPECT_EQ(DataHSetDataRef(dh, cut), invalidDataRef) << n;
    DisposeHandle(cut);
  }
  // A length that claims more than the handle holds, and a wrong tag.
  Handle bad = nullptr;
  ASSERT_EQ(PtrToHand(*good, &bad, size), noErr);
  const UInt32 huge = 0x7FFFFFF0;
  std::memcpy(*bad + 4, &huge, 4);
  EXPECT_EQ(DataHSetDataRef(dh, bad), invalidDataRef);
  std::memcpy(*bad, *good, static_cast<std::size_t>(size));
  (*bad)[0] ^= 1;
  EXPECT_EQ(DataHSetDataRef(dh, bad), invalidDataRef);
  DisposeHandle(bad);
  DisposeHandle(good);
  CloseComponent(dh);
}

TEST(DataHandler, FoldersAreNotRead) {
  TempDir dir;
  Opened o(dir.path());
  EXPECT_EQ(o.setResult, noErr);
  EXPECT_EQ(DataHOpenForRead(o.dh), fnfErr);
}

TEST(DataHandler, PiecesArriveOneCallAtATime) {
  TempDir dir;
  const std::string path = dir.File("slow.zyn");
  const std::string bytes = patternBytes(1000);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  Opened o(path);
  ASSERT_EQ(DataHSetPieceSize(o.dh, 300), noErr);
  ASSERT_EQ(DataHOpenForRead(o.dh), noErr);
  long available = 0;
  // One piece at open; each call lets one more arrive before answering.
  EXPECT_EQ(DataHGetAvailableFileSize(o.dh, &available), noErr);
  EXPECT_EQ(available, 600);
  long fileSize = 0;
  EXPECT_EQ(DataHGetFileSize(o.dh, &fileSize), noErr);
  EXPECT_EQ(fileSize, 1000);  // the whole size is known from the start

  Handle h = garbageHandle(1000);
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 1000), notEnoughDataErr);  // 900 arrived
  EXPECT_TRUE(untouched(h, 0, 1000));
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 900), noErr);  // the last 100 arrive now
  EXPECT_EQ(DataHGetAvailableFileSize(o.dh, &available), noErr);
  EXPECT_EQ(available, 1000);
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 1000), noErr);
  EXPECT_EQ(std::memcmp(*h, bytes.data(), 1000), 0);
  // Past the end is past the end, whatever has arrived.
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 1, 1000), eofErr);
  DisposeHandle(h);
}

TEST(DataHandler, RetriesAfterNotEnoughDataSucceedOnceEverythingArrived) {
  TempDir dir;
  const std::string path = dir.File("slow.zyn");
  const std::string bytes = patternBytes(4096);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  Opened o(path);
  ASSERT_EQ(DataHSetPieceSize(o.dh, 100), noErr);
  ASSERT_EQ(DataHOpenForRead(o.dh), noErr);
  Handle h = garbageHandle(4096);
  int attempts = 0;
  ComponentResult r = notEnoughDataErr;
  long previous = -1;
  while (r == notEnoughDataErr && attempts < 1000) {
    r = DataHGetData(o.dh, h, 0, 0, 4096);
    ++attempts;
    if (r == notEnoughDataErr) {
      EXPECT_TRUE(untouched(h, 0, 4096));
      long available = 0;
      ASSERT_EQ(DataHGetAvailableFileSize(o.dh, &available), noErr);
      EXPECT_GT(available, previous);  // it only grows
      EXPECT_LE(available, 4096);
      previous = available;
    }
  }
  EXPECT_EQ(r, noErr);
  EXPECT_EQ(attempts, 21);  // 100 at open, then 200 per attempt (read + size)
  EXPECT_EQ(std::memcmp(*h, bytes.data(), 4096), 0);
  DisposeHandle(h);
}

TEST(DataHandler, ThePieceSizeMayComeFromTheEnvironment) {
  TempDir dir;
  const std::string path = dir.File("env.zyn");
  ASSERT_TRUE(WriteFileBytes(path, patternBytes(500)));
  for (const char* bad : {"0", "-5", "12abc", ""}) {
    ASSERT_EQ(setenv(kDataPieceSizeVariable, bad, 1), 0);
    Opened o(path);
    ASSERT_EQ(DataHOpenForRead(o.dh), noErr);
    Handle h = garbageHandle(500);
    EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 500), noErr) << bad;  // not a piece size: all there
    DisposeHandle(h);
  }
  ASSERT_EQ(setenv(kDataPieceSizeVariable, "200", 1), 0);
  {
    Opened o(path);
    ASSERT_EQ(DataHOpenForRead(o.dh), noErr);
    Handle h = garbageHandle(500);
    EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 500), notEnoughDataErr);  // 400 arrived
    EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 500), noErr);
    DisposeHandle(h);
  }
  {
    // An explicit setting wins over the environment.
    Opened o(path);
    ASSERT_EQ(DataHSetPieceSize(o.dh, 0), noErr);
    ASSERT_EQ(DataHOpenForRead(o.dh), noErr);
    Handle h = garbageHandle(500);
    EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 500), noErr);
    DisposeHandle(h);
  }
  unsetenv(kDataPieceSizeVariable);
}

TEST(DataHandler, AFileDeletedAfterOpenStaysReadable) {
  TempDir dir;
  const std::string path = dir.File("gone.zyn");
  const std::string bytes = patternBytes(2048);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  Opened o(path);
  ASSERT_EQ(DataHOpenForRead(o.dh), noErr);
  ASSERT_EQ(::unlink(path.c_str()), 0);
  long size = 0;
  EXPECT_EQ(DataHGetFileSize(o.dh, &size), noErr);
  EXPECT_EQ(size, 2048);
  Handle h = garbageHandle(2048);
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 2048), noErr);
  EXPECT_EQ(std::memcmp(*h, bytes.data(), 2048), 0);
  Str255 name;
  EXPECT_EQ(DataHGetFileName(o.dh, name), noErr);
  // Once closed, it cannot be opened again.
  EXPECT_EQ(DataHCloseForRead(o.dh), noErr);
  EXPECT_EQ(DataHOpenForRead(o.dh), fnfErr);
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 1), dataNotOpenForRead);
  DisposeHandle(h);
}

TEST(DataHandler, AFileThatShrinksAfterOpenAnswersEofBeyondItsNewEnd) {
  TempDir dir;
  const std::string path = dir.File("shrinks.zyn");
  const std::string bytes = patternBytes(4096);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  Opened o(path);
  ASSERT_EQ(DataHOpenForRead(o.dh), noErr);
  ASSERT_EQ(::truncate(path.c_str(), 1000), 0);
  long size = 0;
  EXPECT_EQ(DataHGetFileSize(o.dh, &size), noErr);
  EXPECT_EQ(size, 1000);
  Handle h = garbageHandle(4096);
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 4096), eofErr);
  EXPECT_TRUE(untouched(h, 0, 4096));
  EXPECT_EQ(DataHGetData(o.dh, h, 0, 0, 1000), noErr);
  EXPECT_EQ(std::memcmp(*h, bytes.data(), 1000), 0);
  DisposeHandle(h);
}

TEST(DataReferences, PathsAndSpecsRoundTrip) {
  TempDir dir;
  const std::string path = dir.File("clip.wav");
  FSSpec fileSpec;
  EXPECT_EQ(NativePathNameToFSSpec(path.c_str(), &fileSpec, 0), fnfErr);  // filled all the same
  EXPECT_STREQ(fileSpec.path, path.c_str());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(fileSpec.name + 1), fileSpec.name[0]), "clip.wav");
  ASSERT_TRUE(WriteFileBytes(path, "RIFF"));
  EXPECT_EQ(NativePathNameToFSSpec(path.c_str(), &fileSpec, 0), noErr);
  char back[kMaxNativePath];
  EXPECT_EQ(FSSpecToNativePathName(&fileSpec, back, sizeof(back), 0), noErr);
  EXPECT_EQ(std::string(back), path);
  EXPECT_EQ(FSSpecToNativePathName(&fileSpec, back, static_cast<long>(path.size()), 0), paramErr);  // no room for the NUL

  AliasHandle alias = nullptr;
  ASSERT_EQ(NewAliasMinimal(&fileSpec, &alias), noErr);
  std::string held;
  EXPECT_EQ(HostFileDataRefPath(alias, rAliasType, &held), noErr);
  EXPECT_EQ(held, path);
  EXPECT_EQ(HostFileDataRefPath(alias, FOUR_CHAR_CODE("url "), &held), invalidDataRef);
  DisposeHandle(alias);

  EXPECT_EQ(NativePathNameToFSSpec("", &fileSpec, 0), paramErr);
  EXPECT_EQ(NativePathNameToFSSpec(nullptr, &fileSpec, 0), paramErr);
  const std::string tooLong(kMaxNativePath, 'a');
  EXPECT_EQ(NativePathNameToFSSpec(tooLong.c_str(), &fileSpec, 0), paramErr);
  EXPECT_EQ(NewAliasMinimal(nullptr, &alias), paramErr);
  EXPECT_EQ(alias, nullptr);
}

}  // namespace
