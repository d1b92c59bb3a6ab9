// Selector tables of the two components and the typed adapters between a
// parameter block and a routine.
//
// Each component has one table. The standard selectors -8 to -1 sit in an
// array of 8 entries indexed by selector + 8; the positive selectors are
// split into ranges: the range is the selector shifted right by the table's
// shift and the index its low bits. A range is a 16-bit entry count and its
// entries. A selector outside the standard array, a range at or above the
// number of ranges or an index at or above the range's count has no entry.
//
// An entry is a routine and a parameter-layout word in the classic ProcInfo
// encoding (bits 4-5: result size code; from bit 6, two bits per parameter,
// storage first: 1 for one byte, 2 for two, 3 for four). The word is
// computed from the routine's signature at compile time; sizes are those of
// the framework's 32-bit calling convention, so pointers and long integers
// count as four bytes. Besides a routine, an entry may stand for no routine
// (the media handler delegates such selectors), for a routine that is not
// implemented (badComponentSelector) or for one answered here with no error.
//
// The routine of an entry is an adapter generated from the typed routine:
// it checks that the block carries every argument, takes each out of its
// slot (last argument first, see host/component_manager.h) and calls the
// routine with the instance storage as its typed handle.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

#include "host/component_manager.h"

namespace qtzyn {

using ProcInfoType = UInt32;

// ProcInfo size codes and field positions.
constexpr ProcInfoType kSizeCodeOneByte = 1;
constexpr ProcInfoType kSizeCodeTwoBytes = 2;
constexpr ProcInfoType kSizeCodeFourBytes = 3;
constexpr int kResultSizeShift = 4;
constexpr int kFirstParameterShift = 6;
constexpr int kParameterCodeBits = 2;
// Parameters a 32-bit layout word can describe.
constexpr std::size_t kMaxProcInfoParameters = (32 - kFirstParameterShift) / kParameterCodeBits;

// The size code of a parameter or result type.
template <typename T>
constexpr ProcInfoType SizeCodeOf() {
  if constexpr (std::is_pointer_v<T>) {
    return kSizeCodeFourBytes;  // a pointer is a 4-byte word in the 32-bit convention
  } else {
    static_assert(std::is_trivially_copyable_v<T>, "component arguments are plain values");
    static_assert(std::is_integral_v<T> || std::is_enum_v<T> || sizeof(T) <= 4,
                  "a record passed by value has at most four bytes");
    return sizeof(T) == 1 ? kSizeCodeOneByte : sizeof(T) == 2 ? kSizeCodeTwoBytes : kSizeCodeFourBytes;
  }
}

// The parameter-layout word of a routine.
template <typename... Args>
constexpr ProcInfoType ProcInfoOf(ComponentResult (*)(Args...)) {
  static_assert(sizeof...(Args) <= kMaxProcInfoParameters, "too many parameters for a layout word");
  ProcInfoType info = SizeCodeOf<ComponentResult>() << kResultSizeShift;
  int shift = kFirstParameterShift;
  ((info |= SizeCodeOf<Args>() << shift, shift += kParameterCodeBits), ...);
  return info;
}

// One argument out of its slot.
template <typename T>
T FromSlot(long slot) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(slot);
  } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
    return static_cast<T>(slot);
  } else {
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= sizeof(long), "a record must fit its slot");
    T value;
    std::memcpy(static_cast<void*>(&value), &slot, sizeof(T));
    return value;
  }
}

// The adapter of a routine (storage, arguments...).
template <auto Routine>
struct Adapter;

template <typename Storage, typename... Args, ComponentResult (*Routine)(Storage, Args...)>
struct Adapter<Routine> {
  static_assert(std::is_pointer_v<Storage> && std::is_pointer_v<std::remove_pointer_t<Storage>>,
                "the first parameter is the instance storage, a handle");
  static_assert(sizeof...(Args) <= kComponentMaxParameters, "too many arguments for a parameter block");

  static ComponentResult Call(Handle storage, ComponentParameters* params) {
    if (params == nullptr || params->paramSize < sizeof...(Args) * sizeof(long)) return paramErr;
    return Invoke(storage, params, std::index_sequence_for<Args...>{});
  }

 private:
  template <std::size_t... I>
  static ComponentResult Invoke(Handle storage, ComponentParameters* params, std::index_sequence<I...>) {
    return Routine(reinterpret_cast<Storage>(storage), FromSlot<Args>(params->params[sizeof...(Args) - 1 - I])...);
  }
};

// What an entry holds in place of a routine, or that it holds one.
enum class RoutineKind : SInt8 {
  kNoRoutine = 0,        // no routine: the media handler delegates
  kNotImplemented = -1,  // answered with badComponentSelector
  kNoError = -2,         // answered here with noErr
  kRoutine = 1,
};

struct DispatchEntry {
  RoutineKind kind = RoutineKind::kNoRoutine;
  ComponentFunctionUPP routine = nullptr;
  ProcInfoType procInfo = 0;
};

template <auto Routine>
constexpr DispatchEntry RoutineEntry() {
  return DispatchEntry{RoutineKind::kRoutine, &Adapter<Routine>::Call, ProcInfoOf(Routine)};
}
constexpr DispatchEntry kNoRoutine{};
constexpr DispatchEntry kNotImplemented{RoutineKind::kNotImplemented, nullptr, 0};
constexpr DispatchEntry kNoErrorRoutine{RoutineKind::kNoError, nullptr, 0};

struct DispatchRange {
  UInt16 count = 0;
  const DispatchEntry* entries = nullptr;
};

constexpr int kStandardSelectorCount = 8;  // -8 to -1

struct DispatchTable {
  const DispatchEntry* standard = nullptr;  // kStandardSelectorCount entries
  const DispatchRange* ranges = nullptr;
  UInt16 rangeCount = 0;
  int rangeShift = 0;  // selector >> rangeShift is the range
};

// The entry of `selector` (kNoRoutine when it has none); *procInfo receives
// the entry's layout word.
inline DispatchEntry LookupSelector(const DispatchTable& table, SInt16 selector, ProcInfoType* procInfo) {
  DispatchEntry entry = kNoRoutine;
  if (selector < 0) {
    if (selector >= -kStandardSelectorCount) entry = table.standard[selector + kStandardSelectorCount];
  } else {
    const unsigned range = static_cast<unsigned>(selector) >> table.rangeShift;
    const unsigned index = static_cast<unsigned>(selector) & ((1u << table.rangeShift) - 1u);
    if (range < table.rangeCount && index < table.ranges[range].count) entry = table.ranges[range].entries[index];
  }
  if (procInfo != nullptr) *procInfo = entry.procInfo;
  return entry;
}

// Dispatch of an entry that is there: not implemented → badComponentSelector,
// answered here → noErr, no layout word → badComponentSelector, otherwise the
// routine with the storage and the block.
inline ComponentResult CallEntry(const DispatchEntry& entry, ProcInfoType procInfo, Handle storage,
                                 ComponentParameters* params) {
  switch (entry.kind) {
    case RoutineKind::kNoRoutine:
    case RoutineKind::kNotImplemented:
      return badComponentSelector;
    case RoutineKind::kNoError:
      return noErr;
    case RoutineKind::kRoutine:
      break;
  }
  if (procInfo == 0) return badComponentSelector;
  return CallComponentFunctionWithStorage(storage, params, entry.routine);
}

// CanDo's answer for an entry: 1 unless there is no routine or it is not
// implemented.
inline bool EntryImplemented(const DispatchEntry& entry) {
  return entry.kind == RoutineKind::kRoutine || entry.kind == RoutineKind::kNoError;
}

}  // namespace qtzyn
