// Named events: callbacks in the order registered, removal, and callbacks
// that wait for other threads firing named events themselves.

#include "core/named_event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct Calls {
  std::vector<std::pair<int, int>> seen;
  static void Record(void* user, int a, int b) { static_cast<Calls*>(user)->seen.push_back({a, b}); }
};

// Callbacks that log their own tag to a shared log.
struct Tagged {
  std::vector<char>* log;
  char tag;
  static void Record(void* user, int, int) {
    auto* self = static_cast<Tagged*>(user);
    self->log->push_back(self->tag);
  }
};

TEST(NamedEventTest, FiresRegisteredCallbacksInOrderAdded) {
  EXPECT_FALSE(VNamedEventFire("NamedEventTest Never", 1, 2));
  Calls first, second;
  VNamedEventAdd("NamedEventTest Order", Calls::Record, &first);
  VNamedEventAdd("NamedEventTest Order", Calls::Record, &second);
  std::vector<char> log;
  Tagged a{&log, 'a'}, b{&log, 'b'};
  VNamedEventAdd("NamedEventTest Order", Tagged::Record, &a);
  VNamedEventAdd("NamedEventTest Order", Tagged::Record, &b);
  EXPECT_TRUE(VNamedEventFire("NamedEventTest Order", 3, 4));
  EXPECT_EQ(first.seen, (std::vector<std::pair<int, int>>{{3, 4}}));
  EXPECT_EQ(second.seen, first.seen);
  EXPECT_EQ(log, (std::vector<char>{'a', 'b'}));

  EXPECT_TRUE(VNamedEventRemove("NamedEventTest Order", Calls::Record, &first));
  EXPECT_FALSE(VNamedEventRemove("NamedEventTest Order", Calls::Record, &first));
  EXPECT_TRUE(VNamedEventFire("NamedEventTest Order", 5, 6));
  EXPECT_EQ(first.seen.size(), 1u);
  EXPECT_EQ(second.seen.size(), 2u);
  EXPECT_EQ(log, (std::vector<char>{'a', 'b', 'a', 'b'}));
  VNamedEventRemove("NamedEventTest Order", Calls::Record, &second);
  VNamedEventRemove("NamedEventTest Order", Tagged::Record, &a);
  VNamedEventRemove("NamedEventTest Order", Tagged::Record, &b);
  // The name stays known once registered.
  EXPECT_TRUE(VNamedEventFire("NamedEventTest Order", 7, 8));
}

// Removes another registration, which then is not called by this firing,
// and adds one that is called only from the next firing on.
struct Changer {
  Calls* removed = nullptr;
  Calls* added = nullptr;
  static void Callback(void* user, int, int) {
    auto* self = static_cast<Changer*>(user);
    if (self->removed) VNamedEventRemove("NamedEventTest Change", Calls::Record, self->removed);
    if (self->added) VNamedEventAdd("NamedEventTest Change", Calls::Record, self->added);
    self->removed = self->added = nullptr;
  }
};

TEST(NamedEventTest, CallbacksMayRegisterAndRemoveWhileFiring) {
  Calls doomed, late;
  Changer changer{&doomed, &late};
  VNamedEventAdd("NamedEventTest Change", Changer::Callback, &changer);
  VNamedEventAdd("NamedEventTest Change", Calls::Record, &doomed);
  EXPECT_TRUE(VNamedEventFire("NamedEventTest Change", 1, 0));
  EXPECT_TRUE(doomed.seen.empty());
  EXPECT_TRUE(late.seen.empty());
  EXPECT_TRUE(VNamedEventFire("NamedEventTest Change", 2, 0));
  EXPECT_TRUE(doomed.seen.empty());
  EXPECT_EQ(late.seen, (std::vector<std::pair<int, int>>{{2, 0}}));
  VNamedEventRemove("NamedEventTest Change", Changer::Callback, &changer);
  VNamedEventRemove("NamedEventTest Change", Calls::Record, &late);
}

// A callback that hands work to a thread which fires a named event (as the
// scene loader fires "TimeMode"), and waits for it.
struct Waiter {
  std::promise<void> done;
  std::thread worker;
  bool finishedInTime = false;
  Calls inner;
  static void Callback(void* user, int, int) {
    auto* self = static_cast<Waiter*>(user);
    std::future<void> finished = self->done.get_future();
    self->worker = std::thread([self] {
      VNamedEventFire("NamedEventTest Inner", 9, 10);
      self->done.set_value();
    });
    // Bounded, so that a firing that blocks the worker fails the test
    // instead of hanging it; the worker is then joined after the firing.
    self->finishedInTime = finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (self->finishedInTime) self->worker.join();
  }
};

TEST(NamedEventTest, CallbackMayWaitForAThreadThatFires) {
  Waiter waiter;
  VNamedEventAdd("NamedEventTest Inner", Calls::Record, &waiter.inner);
  VNamedEventAdd("NamedEventTest Outer", Waiter::Callback, &waiter);
  EXPECT_TRUE(VNamedEventFire("NamedEventTest Outer", 1, 2));
  if (waiter.worker.joinable()) waiter.worker.join();
  EXPECT_TRUE(waiter.finishedInTime);
  EXPECT_EQ(waiter.inner.seen, (std::vector<std::pair<int, int>>{{9, 10}}));
  VNamedEventRemove("NamedEventTest Outer", Waiter::Callback, &waiter);
  VNamedEventRemove("NamedEventTest Inner", Calls::Record, &waiter.inner);
}

}  // namespace
