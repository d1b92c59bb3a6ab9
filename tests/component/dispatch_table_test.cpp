// Layout words computed from routine signatures, the typed adapters and the
// table lookup, on tables of the test's own.

#include <gtest/gtest.h>

#include "component/dispatch_table.h"

namespace {

using namespace qtzyn;

ComponentResult noArguments(Handle) { return 0; }
ComponentResult oneShort(Handle, SInt16) { return 0; }
ComponentResult oneByte(Handle, Boolean) { return 0; }
ComponentResult mixed(Handle, long, Point, SInt16, Boolean*, UInt8) { return 0; }

static_assert(ProcInfoOf(&noArguments) == 0x00F0, "result 4 bytes, storage 4 bytes");
static_assert(ProcInfoOf(&oneShort) == 0x02F0, "a 2-byte parameter");
static_assert(ProcInfoOf(&oneByte) == 0x01F0, "a 1-byte parameter");
// storage 3, long 3, Point 3, SInt16 2, pointer 3, UInt8 1.
static_assert(ProcInfoOf(&mixed) == (0x30u | 3u << 6 | 3u << 8 | 3u << 10 | 2u << 12 | 3u << 14 | 1u << 16),
              "one size code per parameter, storage first");

struct Seen {
  Handle storage = nullptr;
  long number = 0;
  Point point;
  SInt16 selector = 0;
  Boolean* flag = nullptr;
  UInt8 byte = 0;
};
Seen g_seen;

struct Globals {
  int value;
};

ComponentResult capture(Globals** storage, long number, Point point, SInt16 selector, Boolean* flag, UInt8 byte) {
  g_seen.storage = reinterpret_cast<Handle>(storage);
  g_seen.number = number;
  g_seen.point = point;
  g_seen.selector = selector;
  g_seen.flag = flag;
  g_seen.byte = byte;
  return 42;
}

TEST(DispatchTable, AdapterHandsEachArgumentToItsParameter) {
  g_seen = Seen();
  Boolean flag = 0;
  Point point;
  point.v = -3;
  point.h = 700;
  Handle storage = reinterpret_cast<Handle>(&g_seen);
  ComponentParameters block = HostMakeComponentParameters(7, -123456L, point, SInt16(-4), &flag, UInt8(200));
  EXPECT_EQ(block.paramSize, 5 * sizeof(long));
  EXPECT_EQ(block.params[0], 200);  // the last argument first
  EXPECT_EQ(Adapter<&capture>::Call(storage, &block), 42);
  EXPECT_EQ(g_seen.storage, storage);
  EXPECT_EQ(g_seen.number, -123456L);
  EXPECT_EQ(g_seen.point.v, -3);
  EXPECT_EQ(g_seen.point.h, 700);
  EXPECT_EQ(g_seen.selector, -4);
  EXPECT_EQ(g_seen.flag, &flag);
  EXPECT_EQ(g_seen.byte, 200);
}

TEST(DispatchTable, AdapterRefusesABlockWithTooFewArguments) {
  g_seen = Seen();
  ComponentParameters block = HostMakeComponentParameters(7, 1L, Point(), SInt16(2), static_cast<Boolean*>(nullptr));
  EXPECT_EQ(Adapter<&capture>::Call(nullptr, &block), paramErr);
  EXPECT_EQ(Adapter<&capture>::Call(nullptr, nullptr), paramErr);
  EXPECT_EQ(g_seen.number, 0);  // never called
}

ComponentResult answer1(Handle) { return 1; }
ComponentResult answer2(Handle) { return 2; }

constexpr DispatchEntry kStandard[kStandardSelectorCount] = {
    kNoRoutine, kNotImplemented, kNoErrorRoutine, kNotImplemented,
    kNotImplemented, kNotImplemented, kNotImplemented, RoutineEntry<&answer1>()};
constexpr DispatchEntry kRange1[3] = {RoutineEntry<&answer2>(), kNoErrorRoutine, kNotImplemented};
constexpr DispatchRange kRanges[2] = {{}, {3, kRange1}};
constexpr DispatchTable kTable = {kStandard, kRanges, 2, 4};

ComponentResult dispatch(SInt16 selector, RoutineKind* kind) {
  ProcInfoType procInfo = 0xDEAD;
  const DispatchEntry entry = LookupSelector(kTable, selector, &procInfo);
  *kind = entry.kind;
  EXPECT_EQ(procInfo, entry.procInfo);
  ComponentParameters block = HostMakeComponentParameters(selector);
  return CallEntry(entry, procInfo, nullptr, &block);
}

TEST(DispatchTable, LookupAtTheEdgesOfRangesAndStandardSelectors) {
  struct Case {
    SInt16 selector;
    RoutineKind kind;
    ComponentResult result;
  };
  const Case cases[] = {
      {-1, RoutineKind::kRoutine, 1},
      {-6, RoutineKind::kNoError, noErr},
      {-7, RoutineKind::kNotImplemented, badComponentSelector},
      {-8, RoutineKind::kNoRoutine, badComponentSelector},
      {-9, RoutineKind::kNoRoutine, badComponentSelector},
      {-32768, RoutineKind::kNoRoutine, badComponentSelector},
      {0, RoutineKind::kNoRoutine, badComponentSelector},    // range 0 is empty
      {15, RoutineKind::kNoRoutine, badComponentSelector},
      {16, RoutineKind::kRoutine, 2},                        // range 1, index 0
      {17, RoutineKind::kNoError, noErr},
      {18, RoutineKind::kNotImplemented, badComponentSelector},
      {19, RoutineKind::kNoRoutine, badComponentSelector},   // past the range's count
      {32, RoutineKind::kNoRoutine, badComponentSelector},   // past the ranges
      {32767, RoutineKind::kNoRoutine, badComponentSelector},
  };
  for (const Case& c : cases) {
    RoutineKind kind = RoutineKind::kRoutine;
    EXPECT_EQ(dispatch(c.selector, &kind), c.result) << c.selector;
    EXPECT_EQ(kind, c.kind) << c.selector;
  }
}

TEST(DispatchTable, AnEntryWithoutALayoutWordIsNotCalled) {
  DispatchEntry entry = RoutineEntry<&answer1>();
  ComponentParameters block;
  EXPECT_EQ(CallEntry(entry, 0, nullptr, &block), badComponentSelector);
  EXPECT_EQ(CallEntry(entry, entry.procInfo, nullptr, &block), 1);
}

}  // namespace
