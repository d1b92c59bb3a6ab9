#include "core/event.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A handler that records its calls and may act on the event while called.
struct Recorder {
  std::vector<std::string>* log = nullptr;
  std::string name;
  VEventBase* event = nullptr;
  bool setHandled = false;
  Recorder* removeOther = nullptr;  // removed from inside the call
  bool removeSelf = false;
  Recorder* addOther = nullptr;     // added from inside the call
  int nestOnce = 0;                 // fires the event again this many times

  void OnEvent(int code, VEventData* data, std::intptr_t value) {
    log->push_back(name + ":" + std::to_string(code) + ":" + std::to_string(value));
    if (setHandled && data) data->mHandled = true;
    if (removeSelf) event->Remove<Recorder, &Recorder::OnEvent>(this);
    if (removeOther) event->Remove<Recorder, &Recorder::OnEvent>(removeOther);
    if (addOther) event->Add<Recorder, &Recorder::OnEvent>(addOther);
    if (nestOnce > 0) {
      --nestOnce;
      event->Fire(code + 1);
    }
  }
};

struct EventTest : ::testing::Test {
  VEventBase event;
  std::vector<std::string> log;
  Recorder make(const std::string& name) {
    Recorder r;
    r.log = &log;
    r.name = name;
    r.event = &event;
    return r;
  }
  void add(Recorder& r, std::intptr_t value = 0) { event.Add<Recorder, &Recorder::OnEvent>(&r, value); }
};

TEST_F(EventTest, CallsInOrderAddedWithValueAndStopsWhenHandled) {
  Recorder a = make("A"), b = make("B");
  add(a, 7);
  add(b, 8);
  event.Fire(1);
  EXPECT_EQ(log, (std::vector<std::string>{"A:1:7", "B:1:8"}));

  log.clear();
  a.setHandled = true;
  VEventData data;
  event.Fire(2, &data);
  EXPECT_TRUE(data.mHandled);
  EXPECT_EQ(log, (std::vector<std::string>{"A:2:7"}));
  // Without data the handled flag cannot stop anything.
  log.clear();
  event.Fire(3);
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(EventTest, RemoveDeletesFirstMatchOnly) {
  Recorder a = make("A");
  add(a, 1);
  add(a, 2);
  EXPECT_EQ(event.GetCount(), 2u);
  EXPECT_TRUE((event.Remove<Recorder, &Recorder::OnEvent>(&a)));
  event.Fire(0);
  // The front record (added last) was the first match.
  EXPECT_EQ(log, (std::vector<std::string>{"A:0:1"}));
  EXPECT_TRUE((event.Remove<Recorder, &Recorder::OnEvent>(&a)));
  EXPECT_FALSE((event.Remove<Recorder, &Recorder::OnEvent>(&a)));
}

TEST_F(EventTest, RemovingDuringFiringSkipsNoOther) {
  // Self removal, removal of one already called, and of one not yet called.
  Recorder a = make("A"), b = make("B"), c = make("C"), d = make("D");
  add(a);
  add(b);
  add(c);
  add(d);
  b.removeSelf = true;
  c.removeOther = &a;  // already called
  event.Fire(0);
  EXPECT_EQ(log, (std::vector<std::string>{"A:0:0", "B:0:0", "C:0:0", "D:0:0"}));
  EXPECT_EQ(event.GetCount(), 2u);

  log.clear();
  c.removeOther = &d;  // not yet called: skipped, nothing else is
  event.Fire(1);
  EXPECT_EQ(log, (std::vector<std::string>{"C:1:0"}));
}

TEST_F(EventTest, AddedDuringFiringRunsFromNextFiring) {
  Recorder a = make("A"), b = make("B"), late = make("L");
  add(a);
  add(b);
  a.addOther = &late;
  event.Fire(0);
  EXPECT_EQ(log, (std::vector<std::string>{"A:0:0", "B:0:0"}));
  log.clear();
  a.addOther = nullptr;
  event.Fire(1);
  EXPECT_EQ(log, (std::vector<std::string>{"A:1:0", "B:1:0", "L:1:0"}));
}

TEST_F(EventTest, RemovingOneAddedDuringFiringSkipsNoOther) {
  // A adds L at the front, below the firing's bound; B removes L again.
  // C, which stood above L, must still be called.
  Recorder a = make("A"), b = make("B"), c = make("C"), late = make("L");
  add(a);
  add(b);
  add(c);
  a.addOther = &late;
  b.removeOther = &late;
  event.Fire(0);
  EXPECT_EQ(log, (std::vector<std::string>{"A:0:0", "B:0:0", "C:0:0"}));
  EXPECT_EQ(event.GetCount(), 3u);  // L is gone
}

TEST_F(EventTest, NestedFiringsEachCompleteWithRemovals) {
  Recorder a = make("A"), b = make("B"), c = make("C");
  add(a);
  add(b);
  add(c);
  b.nestOnce = 1;
  c.removeSelf = true;  // removed during the inner firing
  event.Fire(10);
  // Outer: A, B -> inner (11): A, B, C(removed) -> outer continues: C gone.
  EXPECT_EQ(log, (std::vector<std::string>{"A:10:0", "B:10:0", "A:11:0", "B:11:0", "C:11:0"}));
}

TEST(DeferredEventTest, RunsPendingOnceInOrderAdded) {
  std::vector<std::string> log;
  VDeferredEvent event;
  Recorder a, b, late;
  for (auto* r : {&a, &b, &late}) {
    r->log = &log;
    r->event = &event;
  }
  a.name = "A";
  b.name = "B";
  late.name = "L";
  a.addOther = &late;  // queued for the next run
  event.Add<Recorder, &Recorder::OnEvent>(&a);
  event.Add<Recorder, &Recorder::OnEvent>(&b);
  event.RunPending(5);
  EXPECT_EQ(log, (std::vector<std::string>{"A:5:0", "B:5:0"}));
  EXPECT_EQ(event.GetCount(), 1u);
  log.clear();
  event.RunPending(6);
  EXPECT_EQ(log, (std::vector<std::string>{"L:6:0"}));
  EXPECT_EQ(event.GetCount(), 0u);
}

void DeleteEvent(void* target, int, VEventData*, std::intptr_t) {
  delete static_cast<VEventBase*>(target);
}

TEST(EventLifetimeTest, HandlerMayDestroyTheEvent) {
  auto* event = new VEventBase;
  int calls = 0;
  event->Add(event, &DeleteEvent);
  event->Add(&calls, [](void* t, int, VEventData*, std::intptr_t) { ++*static_cast<int*>(t); });
  event->Fire(0);  // the remaining handler is not called on a dead event
  EXPECT_EQ(calls, 0);
}

}  // namespace
