#include "host/handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {

TEST(Handles, NewHandleHasTheSizeAsked) {
  for (Size size : {0, 1, 124, 4116, 65536}) {
    Handle h = NewHandle(size);
    ASSERT_NE(h, nullptr) << size;
    EXPECT_EQ(MemError(), noErr);
    EXPECT_NE(*h, nullptr);
    EXPECT_EQ(GetHandleSize(h), size);
    DisposeHandle(h);
    EXPECT_EQ(MemError(), noErr);
  }
}

TEST(Handles, NewHandleClearZeroesEveryByte) {
  // Dirty the heap first so that a plain allocation would likely show garbage.
  Handle dirty = NewHandle(4116);
  ASSERT_NE(dirty, nullptr);
  std::memset(*dirty, 0xAB, 4116);
  DisposeHandle(dirty);
  Handle h = NewHandleClear(4116);
  ASSERT_NE(h, nullptr);
  for (Size i = 0; i < 4116; ++i) ASSERT_EQ((*h)[i], 0) << i;
  DisposeHandle(h);
}

TEST(Handles, ResizeKeepsTheBytes) {
  Handle h = NewHandle(16);
  ASSERT_NE(h, nullptr);
  for (int i = 0; i < 16; ++i) (*h)[i] = static_cast<char>(i + 1);
  SetHandleSize(h, 1 << 20);
  EXPECT_EQ(MemError(), noErr);
  EXPECT_EQ(GetHandleSize(h), 1 << 20);
  for (int i = 0; i < 16; ++i) EXPECT_EQ((*h)[i], i + 1);
  SetHandleSize(h, 4);
  EXPECT_EQ(MemError(), noErr);
  EXPECT_EQ(GetHandleSize(h), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ((*h)[i], i + 1);
  SetHandleSize(h, 0);
  EXPECT_EQ(GetHandleSize(h), 0);
  DisposeHandle(h);
}

TEST(Handles, HugeAndNegativeSizesAreRefused) {
  for (Size size : {kMaxHandleSize + 1, Size(0x7FFFFFFF), Size(-1), Size(-0x7FFFFFFF - 1)}) {
    EXPECT_EQ(NewHandle(size), nullptr) << size;
    EXPECT_EQ(MemError(), memFullErr);
    EXPECT_EQ(NewHandleClear(size), nullptr) << size;
    EXPECT_EQ(MemError(), memFullErr);
  }
  Handle h = NewHandle(8);
  ASSERT_NE(h, nullptr);
  std::memcpy(*h, "12345678", 8);
  SetHandleSize(h, 0x7FFFFFFF);
  EXPECT_EQ(MemError(), memFullErr);
  SetHandleSize(h, -5);
  EXPECT_EQ(MemError(), memFullErr);
  EXPECT_EQ(GetHandleSize(h), 8);  // a refused resize leaves the block as it was
  EXPECT_EQ(std::memcmp(*h, "12345678", 8), 0);
  DisposeHandle(h);
}

TEST(Handles, MemErrorFollowsTheLastCall) {
  EXPECT_EQ(NewHandle(-1), nullptr);
  EXPECT_EQ(MemError(), memFullErr);
  Handle h = NewHandle(4);
  EXPECT_EQ(MemError(), noErr);  // a success clears the earlier failure
  DisposeHandle(h);
}

TEST(Handles, MemErrorIsPerThread) {
  EXPECT_EQ(NewHandle(-1), nullptr);
  OSErr other = 1;
  std::thread([&] {
    Handle h = NewHandle(4);
    DisposeHandle(h);
    other = MemError();
  }).join();
  EXPECT_EQ(other, noErr);
  EXPECT_EQ(MemError(), memFullErr);
}

TEST(Handles, NullAndDeadHandlesAreHarmless) {
  DisposeHandle(nullptr);
  EXPECT_EQ(MemError(), noErr);
  EXPECT_EQ(GetHandleSize(nullptr), 0);
  EXPECT_EQ(MemError(), nilHandleErr);
  SetHandleSize(nullptr, 10);
  EXPECT_EQ(MemError(), nilHandleErr);
  HLock(nullptr);
  EXPECT_EQ(MemError(), nilHandleErr);
  HUnlock(nullptr);
  EXPECT_EQ(MemError(), nilHandleErr);

  Handle h = NewHandle(10);
  DisposeHandle(h);
  DisposeHandle(h);  // a second dispose is recognised, not followed
  EXPECT_EQ(MemError(), nilHandleErr);
  EXPECT_EQ(GetHandleSize(h), 0);
  EXPECT_EQ(MemError(), nilHandleErr);

  char* fake[1] = {nullptr};
  EXPECT_EQ(GetHandleSize(fake), 0);  // never returned by NewHandle
  EXPECT_EQ(MemError(), nilHandleErr);
  DisposeHandle(fake);
  EXPECT_EQ(MemError(), nilHandleErr);
}

TEST(Handles, LockedBlockDoesNotMove) {
  Handle h = NewHandle(8);
  ASSERT_NE(h, nullptr);
  HLock(h);
  EXPECT_EQ(MemError(), noErr);
  char* before = *h;
  SetHandleSize(h, 1 << 20);
  EXPECT_EQ(MemError(), memFullErr);
  EXPECT_EQ(*h, before);
  EXPECT_EQ(GetHandleSize(h), 8);
  SetHandleSize(h, 4);  // shrinking is done in place
  EXPECT_EQ(MemError(), noErr);
  EXPECT_EQ(*h, before);
  HUnlock(h);
  SetHandleSize(h, 1 << 20);
  EXPECT_EQ(MemError(), noErr);
  DisposeHandle(h);
}

TEST(Handles, PtrToHandCopiesTheBytes) {
  const char text[] = "3D ZYN";
  Handle h = nullptr;
  ASSERT_EQ(PtrToHand(text, &h, 6), noErr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetHandleSize(h), 6);
  EXPECT_EQ(std::memcmp(*h, text, 6), 0);
  DisposeHandle(h);

  EXPECT_EQ(PtrToHand(text, nullptr, 6), paramErr);
  EXPECT_EQ(PtrToHand(nullptr, &h, 6), paramErr);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(PtrToHand(text, &h, -1), memFullErr);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(PtrToHand(nullptr, &h, 0), noErr);
  EXPECT_EQ(GetHandleSize(h), 0);
  DisposeHandle(h);
}

}  // namespace
