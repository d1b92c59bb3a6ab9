#include "core/plug.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/evaluation_serial.h"

namespace {

// A plug that records notifications and can refuse requests.
class TestPlug : public VPlug {
 public:
  using VPlug::VPlug;
  bool PlugNotify(int code, VPlug* partner, void* data) override {
    codes.push_back(code);
    partners.push_back(partner);
    if (code == kPlugNotifyOwnerSrcIndex || code == kPlugNotifyOwnerDstIndex)
      indices.push_back(*static_cast<int*>(data));
    if (code == refuseCode) return false;
    return true;
  }
  bool AcceptsPartner(const VPlug* partner) const override { return partner != rejected; }

  std::vector<int> codes;
  std::vector<VPlug*> partners;
  std::vector<int> indices;
  int refuseCode = -1;
  const VPlug* rejected = nullptr;
};

TEST(PlugTest, ConnectRecordsBothSidesWithNotifications) {
  TestPlug a, b;
  EXPECT_TRUE(b.ConnectSrc(&a, kYrConnectionTypeSystem));
  ASSERT_EQ(b.GetSrcCount(), 1);
  EXPECT_EQ(b.GetSrc(0), &a);
  EXPECT_EQ(b.GetSrcType(0), kYrConnectionTypeSystem);
  ASSERT_EQ(a.GetDstCount(), 1);
  EXPECT_EQ(a.GetDst(0), &b);
  EXPECT_EQ(a.GetSrcCount(), 0);
  EXPECT_EQ(b.codes, (std::vector<int>{kPlugNotifyRequestSrc, kPlugNotifySrcAdded}));
  EXPECT_EQ(a.codes, (std::vector<int>{kPlugNotifyRequestDst, kPlugNotifyDstAdded}));
  // Out-of-range getters are neutral; a pair connects only once.
  EXPECT_EQ(b.GetSrc(1), nullptr);
  EXPECT_EQ(b.GetDst(-1), nullptr);
  EXPECT_EQ(b.GetDstType(0), kYrConnectionTypeNone);
  EXPECT_FALSE(a.ConnectDst(&b));

  EXPECT_TRUE(b.DisconnectSrc(&a));
  EXPECT_EQ(b.GetSrcCount(), 0);
  EXPECT_EQ(a.GetDstCount(), 0);
  EXPECT_FALSE(b.DisconnectSrc(&a));
}

TEST(PlugTest, ChecksRefuseAndChangeNothing) {
  TestPlug a, b;
  EXPECT_FALSE(a.ConnectSrc(&a));  // self
  EXPECT_FALSE(a.ConnectSrc(nullptr));
  EXPECT_FALSE(VPlug::Connect(nullptr, &a, 0, -1, -1, false));

  b.SetPlugFlag(kPlugAcceptsSrc, false);
  EXPECT_FALSE(b.ConnectSrc(&a));
  b.SetPlugFlag(kPlugAcceptsSrc, true);
  a.SetPlugFlag(kPlugAcceptsDst, false);
  EXPECT_FALSE(b.ConnectSrc(&a));
  a.SetPlugFlag(kPlugAcceptsDst, true);

  b.rejected = &a;  // destination's class filter
  EXPECT_FALSE(b.ConnectSrc(&a));
  b.rejected = nullptr;
  a.rejected = &b;  // source's class filter
  EXPECT_FALSE(b.ConnectSrc(&a));
  a.rejected = nullptr;

  b.refuseCode = kPlugNotifyRequestSrc;
  EXPECT_FALSE(b.ConnectSrc(&a));
  b.refuseCode = -1;
  a.refuseCode = kPlugNotifyRequestDst;
  EXPECT_FALSE(b.ConnectSrc(&a));
  EXPECT_EQ(b.GetSrcCount() + a.GetDstCount() + a.GetSrcCount() + b.GetDstCount(), 0);
}

TEST(PlugTest, OneWayLeavesSourceUnchangedAndSkipsItsChecks) {
  TestPlug a, b;
  b.SetPlugFlag(kPlugOneWay, true);
  a.SetPlugFlag(kPlugAcceptsDst, false);  // not consulted for one-way
  a.refuseCode = kPlugNotifyRequestDst;
  EXPECT_TRUE(b.ConnectSrc(&a));
  EXPECT_EQ(b.GetSrc(0), &a);
  EXPECT_EQ(a.GetDstCount(), 0);
  EXPECT_TRUE(a.codes.empty());
  EXPECT_TRUE(b.DisconnectSrc(&a));
  EXPECT_EQ(b.GetSrcCount(), 0);

  // The unidirectional connection type asks for the same.
  TestPlug c, d;
  EXPECT_TRUE(d.ConnectSrc(&c, kYrConnectionTypeUnidirectional));
  EXPECT_EQ(d.GetSrcCount(), 1);
  EXPECT_EQ(c.GetDstCount(), 0);
}

TEST(PlugTest, DestroyedPlugsLeaveNoDanglingEntries) {
  TestPlug keep;
  {
    TestPlug source, dest, oneWaySource;
    keep.ConnectSrc(&source);
    keep.ConnectDst(&dest);
    keep.ConnectSrc(&oneWaySource, kYrConnectionTypeUnidirectional);
    EXPECT_EQ(keep.GetSrcCount(), 2);
    EXPECT_EQ(keep.GetDstCount(), 1);
  }
  EXPECT_EQ(keep.GetSrcCount(), 0);
  EXPECT_EQ(keep.GetDstCount(), 0);

  // A destroyed one-way destination is forgotten by its source too.
  auto target = std::make_unique<TestPlug>();
  target->SetPlugFlag(kPlugOneWay, true);
  target->ConnectSrc(&keep);
  target.reset();
  auto again = std::make_unique<TestPlug>();
  EXPECT_TRUE(again->ConnectSrc(&keep));
  again.reset();
  // Owners, owned plugs and listeners forget each other as well.
  auto owner = std::make_unique<TestPlug>();
  TestPlug child;
  child.SetOwner(owner.get());
  owner->AddListener(&keep);
  EXPECT_EQ(owner->GetOwnedCount(), 1);
  owner.reset();
  EXPECT_EQ(child.GetOwner(), nullptr);
  {
    TestPlug listener;
    keep.AddListener(&listener);
    EXPECT_EQ(keep.GetListenerCount(), 1);
  }
  EXPECT_EQ(keep.GetListenerCount(), 0);
  keep.Broadcast(kPlugNotifyValueChanged);
}

TEST(PlugTest, InsertPositionsAndReordering) {
  TestPlug d, s1, s2, s3, s4;
  d.ConnectSrc(&s1);
  d.ConnectSrc(&s2);
  d.ConnectSrcAt(0, &s3);   // before entry 0
  d.ConnectSrcAt(99, &s4);  // not found: appended
  ASSERT_EQ(d.GetSrcCount(), 4);
  EXPECT_EQ(d.GetSrc(0), &s3);
  EXPECT_EQ(d.GetSrc(3), &s4);

  EXPECT_TRUE(d.SwapSrc(0, 3));
  EXPECT_EQ(d.GetSrc(0), &s4);
  EXPECT_EQ(d.GetSrc(3), &s3);
  EXPECT_TRUE(d.MoveSrc(3, 1));  // s3 now stands at index 1
  EXPECT_EQ(d.GetSrc(1), &s3);
  EXPECT_EQ(d.GetSrc(2), &s1);
  EXPECT_FALSE(d.SwapSrc(0, 4));
  EXPECT_FALSE(d.MoveSrc(-1, 0));

  // Destinations of s1 are untouched by reordering d's sources.
  EXPECT_EQ(s1.GetDst(0), &d);

  EXPECT_TRUE(d.DisconnectSrcAt(0));
  EXPECT_EQ(s4.GetDstCount(), 0);
  EXPECT_FALSE(d.DisconnectSrcAt(7));
  EXPECT_TRUE(d.DisconnectAllSrc());
  EXPECT_EQ(d.GetSrcCount(), 0);
  EXPECT_EQ(s1.GetDstCount() + s2.GetDstCount() + s3.GetDstCount(), 0);

  TestPlug src, a, b, c;
  src.ConnectDst(&a);
  src.ConnectDstAt(0, &b);
  EXPECT_EQ(src.GetDst(0), &b);
  EXPECT_TRUE(VPlug::ConnectAt(&src, 1, &c, 0, kYrConnectionTypeSystem));
  EXPECT_EQ(src.GetDst(1), &c);
  EXPECT_TRUE(src.DisconnectDstAt(1));
  EXPECT_EQ(c.GetSrcCount(), 0);
  EXPECT_TRUE(src.DisconnectAllDst());
  EXPECT_EQ(a.GetSrcCount() + b.GetSrcCount(), 0);
}

TEST(PlugTest, ReplaceKeepsPositionAndFailsCleanly) {
  TestPlug d, s1, s2, s3;
  d.ConnectSrc(&s1);
  d.ConnectSrc(&s2);
  EXPECT_TRUE(d.ReplaceSrcAt(0, &s3, kYrConnectionTypeSystem));
  EXPECT_EQ(d.GetSrc(0), &s3);
  EXPECT_EQ(d.GetSrc(1), &s2);
  EXPECT_EQ(s1.GetDstCount(), 0);
  s1.refuseCode = kPlugNotifyRequestDst;
  EXPECT_FALSE(d.ReplaceSrcAt(1, &s1));
  EXPECT_EQ(d.GetSrc(1), &s2);
  EXPECT_FALSE(d.ReplaceSrcAt(5, &s1));

  TestPlug s, d1, d2;
  s.ConnectDst(&d1);
  EXPECT_TRUE(s.ReplaceDstAt(0, &d2));
  EXPECT_EQ(s.GetDst(0), &d2);
  EXPECT_EQ(d1.GetSrcCount(), 0);
  EXPECT_EQ(d2.GetSrc(0), &s);
}

TEST(PlugTest, ForwardedPlugsConnectThroughTheirOwners) {
  TestPlug ownerA, ownerB, a, b;
  a.SetOwner(&ownerA);
  b.SetOwner(&ownerB);
  a.SetPlugFlag(kPlugForwarded, true);
  b.SetPlugFlag(kPlugForwarded, true);
  EXPECT_TRUE(b.ConnectSrc(&a));
  EXPECT_EQ(b.GetSrcCount(), 0);
  EXPECT_EQ(ownerB.GetSrc(0), &ownerA);
  EXPECT_EQ(ownerA.GetDst(0), &ownerB);
  // Both levels were asked.
  EXPECT_EQ(b.codes.front(), kPlugNotifyRequestSrc);
  EXPECT_EQ(ownerB.codes.front(), kPlugNotifyRequestSrc);
  // The owned plugs that accept the partner are told its index.
  EXPECT_EQ(b.indices, (std::vector<int>{0}));
  EXPECT_EQ(a.indices, (std::vector<int>{0}));
  EXPECT_TRUE(b.DisconnectSrc(&a));
  EXPECT_EQ(ownerB.GetSrcCount(), 0);

  // A forwarded plug without an owner cannot connect; owners refuse cycles.
  TestPlug lonely, other;
  lonely.SetPlugFlag(kPlugForwarded, true);
  EXPECT_FALSE(other.ConnectSrc(&lonely));
  EXPECT_FALSE(ownerA.SetOwner(&a));
  EXPECT_EQ(ownerA.GetOwnedCount(), 1);
  EXPECT_EQ(ownerA.GetOwned(0), &a);
  EXPECT_EQ(a.GetOwnerCount(), 1);
}

TEST(PlugTest, BroadcastGoesToOwnerOrListenersThenHead) {
  TestPlug owner, plug, first, second;
  plug.SetOwner(&owner);
  plug.AddListener(&first);
  plug.AddListener(&second);
  EXPECT_TRUE(plug.Broadcast(kPlugNotifyDefinitionChanged));
  EXPECT_EQ(owner.codes, (std::vector<int>{kPlugNotifyDefinitionChanged}));
  EXPECT_EQ(owner.partners.front(), &plug);
  EXPECT_TRUE(first.codes.empty());

  plug.SetPlugFlag(kPlugNoOwnerNotify, true);
  second.refuseCode = kPlugNotifyRenameRequest;
  EXPECT_TRUE(plug.Broadcast(kPlugNotifyRenameDone));
  EXPECT_EQ(second.codes, (std::vector<int>{kPlugNotifyRenameDone}));
  EXPECT_EQ(first.codes, (std::vector<int>{kPlugNotifyRenameDone}));
  EXPECT_EQ(plug.codes, (std::vector<int>{kPlugNotifyRenameDone}));
  EXPECT_FALSE(plug.Broadcast(kPlugNotifyRenameRequest));

  // Change brackets nest and notify once each way.
  plug.codes.clear();
  plug.BeginChange();
  plug.BeginChange();
  EXPECT_TRUE(plug.EndChange());
  EXPECT_TRUE(plug.EndChange());
  EXPECT_FALSE(plug.EndChange());
  EXPECT_EQ(plug.codes, (std::vector<int>{kPlugNotifyBeginChange, kPlugNotifyEndChange}));
}

TEST(PlugTest, MoveSrcPlacesTheEntryBeforeTheGivenOne) {
  TestPlug d, a, b, c, e;
  for (TestPlug* s : {&a, &b, &c, &e}) d.ConnectSrc(s);
  auto order = [&d] {
    std::vector<VPlug*> sources;
    for (int i = 0; i < d.GetSrcCount(); ++i) sources.push_back(d.GetSrc(i));
    return sources;
  };
  // Entry 2 is c: a lands between b and c.
  EXPECT_TRUE(d.MoveSrc(0, 2));
  EXPECT_EQ(order(), (std::vector<VPlug*>{&b, &a, &c, &e}));
  EXPECT_TRUE(d.MoveSrc(3, 0));
  EXPECT_EQ(order(), (std::vector<VPlug*>{&e, &b, &a, &c}));
  // Before itself or before its own successor: nothing moves.
  EXPECT_TRUE(d.MoveSrc(1, 1));
  EXPECT_TRUE(d.MoveSrc(1, 2));
  EXPECT_EQ(order(), (std::vector<VPlug*>{&e, &b, &a, &c}));
  // Past the last entry: to the end.
  EXPECT_TRUE(d.MoveSrc(0, 4));
  EXPECT_EQ(order(), (std::vector<VPlug*>{&b, &a, &c, &e}));
  EXPECT_FALSE(d.MoveSrc(0, 5));
  EXPECT_FALSE(d.MoveSrc(4, 0));
  EXPECT_EQ(order(), (std::vector<VPlug*>{&b, &a, &c, &e}));
}

TEST(PlugTest, ReorderingSourcesIsAConnectionChange) {
  TestPlug d, a, b, c;
  for (TestPlug* s : {&a, &b, &c}) d.ConnectSrc(s);
  std::uint64_t connections = VConnectionSerial();
  std::uint64_t evaluation = VEvaluationSerial();
  EXPECT_TRUE(d.SwapSrc(0, 2));
  EXPECT_NE(VConnectionSerial(), connections);
  EXPECT_NE(VEvaluationSerial(), evaluation);
  EXPECT_EQ(d.codes.back(), kPlugNotifySrcMoved);

  connections = VConnectionSerial();
  evaluation = VEvaluationSerial();
  EXPECT_TRUE(d.MoveSrc(2, 0));
  EXPECT_NE(VConnectionSerial(), connections);
  EXPECT_NE(VEvaluationSerial(), evaluation);

  // Requests that change nothing leave the serials alone.
  connections = VConnectionSerial();
  const std::size_t codes = d.codes.size();
  EXPECT_TRUE(d.SwapSrc(1, 1));
  EXPECT_TRUE(d.MoveSrc(1, 2));
  EXPECT_FALSE(d.SwapSrc(0, 3));
  EXPECT_EQ(VConnectionSerial(), connections);
  EXPECT_EQ(d.codes.size(), codes);
}

// A listener that logs its calls to a shared log and may change the
// listeners of the plug it listens to while it is called.
class WalkListener : public VPlug {
 public:
  WalkListener(std::string name, std::vector<std::string>* log) : mName(std::move(name)), mLog(log) {}
  bool PlugNotify(int code, VPlug*, void*) override {
    mLog->push_back(mName);
    if (code == kPlugNotifyBeginChange || code == kPlugNotifyEndChange) return true;
    if (heard) {
      if (removeOther) heard->RemoveListener(removeOther);
      if (removeSelf) heard->RemoveListener(this);
      if (addOther) heard->AddListener(addOther);
      if (destroyOther) destroyOther->reset();
    }
    return true;
  }

  VPlug* heard = nullptr;
  VPlug* removeOther = nullptr;
  bool removeSelf = false;
  VPlug* addOther = nullptr;
  std::unique_ptr<WalkListener>* destroyOther = nullptr;

 private:
  std::string mName;
  std::vector<std::string>* mLog;
};

// The head plug logs itself after its listeners.
class WalkHead : public VPlug {
 public:
  explicit WalkHead(std::vector<std::string>* log) : mLog(log) {}
  bool PlugNotify(int, VPlug*, void*) override {
    mLog->push_back("head");
    return true;
  }

 private:
  std::vector<std::string>* mLog;
};

TEST(PlugTest, ListenersHearBroadcastsLastAddedFirstThenTheHead) {
  std::vector<std::string> log;
  WalkHead head(&log);
  WalkListener first("first", &log), second("second", &log), third("third", &log);
  head.AddListener(&first);
  head.AddListener(&second);
  head.AddListener(&third);
  EXPECT_TRUE(head.Broadcast(kPlugNotifyValueChanged));
  EXPECT_EQ(log, (std::vector<std::string>{"third", "second", "first", "head"}));
  log.clear();
  EXPECT_TRUE(head.NotifyListeners(kPlugNotifyValueChanged, &head, nullptr));
  EXPECT_EQ(log, (std::vector<std::string>{"third", "second", "first"}));
}

TEST(PlugTest, ListenersMayComeAndGoWhileTheyAreNotified) {
  std::vector<std::string> log;
  WalkHead head(&log);
  WalkListener a("A", &log), b("B", &log), c("C", &log), late("L", &log);
  for (WalkListener* l : {&a, &b, &c}) {
    head.AddListener(l);
    l->heard = &head;
  }
  // The first called removes the first added: each other one once.
  c.removeOther = &a;
  head.NotifyListeners(kPlugNotifyValueChanged, &head, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"C", "B"}));
  EXPECT_EQ(head.GetListenerCount(), 2);

  // Removing one not yet called, oneself, or adding one: the rest are
  // called once; the one added waits for the next walk.
  head.AddListener(&a);  // now B, C, A: A is called first
  c.removeOther = nullptr;
  a.removeOther = &c;
  b.removeSelf = true;
  log.clear();
  head.NotifyListeners(kPlugNotifyValueChanged, &head, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(head.GetListenerCount(), 1);
  a.removeOther = nullptr;
  head.AddListener(&b);
  head.AddListener(&c);  // now A, B, C
  c.removeOther = &b;
  c.removeSelf = false;
  b.removeSelf = false;
  log.clear();
  head.NotifyListeners(kPlugNotifyValueChanged, &head, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"C", "A"}));
  c.removeOther = nullptr;
  head.AddListener(&b);  // A, C, B
  b.addOther = &late;
  b.removeSelf = true;
  log.clear();
  head.NotifyListeners(kPlugNotifyValueChanged, &head, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"B", "C", "A"}));
  log.clear();
  b.addOther = nullptr;
  head.NotifyListeners(kPlugNotifyValueChanged, &head, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"L", "C", "A"}));

  // A listener destroyed by another while the walk runs is not called.
  auto doomed = std::make_unique<WalkListener>("D", &log);
  head.RemoveListener(&late);
  head.AddListener(doomed.get());
  head.AddListener(&b);  // A, C, D, B
  b.removeSelf = false;
  b.destroyOther = &doomed;
  log.clear();
  head.NotifyListeners(kPlugNotifyValueChanged, &head, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"B", "C", "A"}));
  EXPECT_EQ(head.GetListenerCount(), 3);
}

// Nested walks over the same listeners each call every listener once.
TEST(PlugTest, NestedNotificationsEachReachEveryListener) {
  std::vector<std::string> log;
  WalkHead head(&log);
  WalkListener a("A", &log), b("B", &log);
  head.AddListener(&a);
  head.AddListener(&b);
  class Nester : public VPlug {
   public:
    VPlug* head = nullptr;
    std::vector<std::string>* log = nullptr;
    int depth = 0;
    bool PlugNotify(int code, VPlug*, void*) override {
      log->push_back("N");
      if (depth++ == 0) head->NotifyListeners(code, head, nullptr);
      return true;
    }
  } nester;
  nester.head = &head;
  nester.log = &log;
  head.AddListener(&nester);  // A, B, N: N first
  b.heard = &head;
  b.removeOther = &a;  // during the inner walk
  head.NotifyListeners(kPlugNotifyValueChanged, &head, nullptr);
  EXPECT_EQ(log, (std::vector<std::string>{"N", "N", "B", "B"}));
}

}  // namespace
