#pragma once
// Ordered handler lists fired with an integer and an optional event data.
//
// A record holds a target, a function and one value kept with the record.
// Add puts a record at the front of the list; firing walks the list from the
// back to the front, that is in the order the handlers were added. Handlers
// may add or remove handlers while the event fires: every firing keeps its
// own position and lower bound, which additions and removals adjust, so a
// handler added during a firing is not called by it and removing a handler
// skips no other. Nested firings of the same event are allowed.

#include <cstddef>
#include <cstdint>
#include <vector>

// Data handed to handlers. A handler sets mHandled to stop the event.
struct VEventData {
  bool mHandled = false;
};

// Handler entry point: target, the integer argument, the event data (may be
// null) and the value kept with the record.
using VEventFunction = void (*)(void* target, int code, VEventData* data, std::intptr_t value);

class VEventBase {
 public:
  VEventBase() = default;
  VEventBase(const VEventBase&) = delete;
  VEventBase& operator=(const VEventBase&) = delete;
  virtual ~VEventBase();

  // Inserts a record at the front of the list.
  void Add(void* target, VEventFunction function, std::intptr_t value = 0);
  // Deletes the first record with this target and function; false if none.
  bool Remove(void* target, VEventFunction function);
  // Binds a member function void T::M(int, VEventData*, std::intptr_t).
  template <class T, void (T::*Method)(int, VEventData*, std::intptr_t)>
  void Add(T* target, std::intptr_t value = 0) {
    Add(target, &Thunk<T, Method>, value);
  }
  template <class T, void (T::*Method)(int, VEventData*, std::intptr_t)>
  bool Remove(T* target) {
    return Remove(target, &Thunk<T, Method>);
  }

  // Deletes the first record with this target, function and value.
  bool Remove(void* target, VEventFunction function, std::intptr_t value);
  bool Contains(void* target, VEventFunction function) const;
  std::size_t GetCount() const { return mRecords.size(); }
  void Clear();

  // Calls the handlers in the order they were added; stops early once
  // data->mHandled is set.
  void Fire(int code, VEventData* data = nullptr);

 protected:
  struct Record {
    void* target;
    VEventFunction function;
    std::intptr_t value;
  };
  // State of one firing in progress. Indices are positions in mRecords.
  struct Firing {
    std::ptrdiff_t next;   // next record to call, walking down
    std::ptrdiff_t lower;  // records below this index were added meanwhile
    bool destroyed;        // the event died inside a handler
  };

  // Walks from the back to the front, optionally removing each record before
  // its call. Answers false when the event was destroyed meanwhile.
  bool Run(int code, VEventData* data, bool removeFirst);
  void RemoveAt(std::size_t index);

  template <class T, void (T::*Method)(int, VEventData*, std::intptr_t)>
  static void Thunk(void* target, int code, VEventData* data, std::intptr_t value) {
    (static_cast<T*>(target)->*Method)(code, data, value);
  }

  std::vector<Record> mRecords;  // index 0 is the front
  std::vector<Firing*> mFirings;
};

// An event whose records are pending calls: running it calls each record that
// was pending when the run started once, removing it just before the call.
class VDeferredEvent : public VEventBase {
 public:
  void RunPending(int code = 0, VEventData* data = nullptr);
};
