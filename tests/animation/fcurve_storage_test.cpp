// How curves and nodes keep their data: key arrays that stay parallel and
// in order through any sequence of edits, evaluation that never reads
// segment data older than the keys, the defaults of curves without keys or
// settings, names that nodes share, and the parts few nodes have.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "animation/bound_channel.h"
#include "animation/fcurve_node.h"
#include "fcurve_test_util.h"

namespace {

using namespace fcurve_test;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// ---- curves

struct Expected {
  float value;
  uint32_t flags;
  VFCurveTangentData tangent;
  VFCurveKeyExtra extra;
};

void ExpectKeys(const VFCurve& c, const std::map<int64_t, Expected>& expected, int step) {
  ASSERT_EQ(c.KeyGetCount(), static_cast<int>(expected.size())) << "step " << step;
  int i = 0;
  for (const auto& [ticks, e] : expected) {
    EXPECT_EQ(c.KeyGetTime(i).GetTicks(), ticks) << "step " << step << " key " << i;
    EXPECT_EQ(c.KeyGetValue(i), e.value) << "step " << step << " key " << i;
    EXPECT_EQ(c.KeyGetFlags(i), e.flags) << "step " << step << " key " << i;
    EXPECT_EQ(c.KeyGetTangentData(i), e.tangent) << "step " << step << " key " << i;
    EXPECT_EQ(c.KeyGetExtra(i), e.extra) << "step " << step << " key " << i;
    ++i;
  }
}

TEST(FCurveStorage, KeyArraysStayParallelThroughRandomEdits) {
  VFCurve c;
  std::map<int64_t, Expected> expected;
  std::mt19937 random(11);
  const uint32_t modes[] = {kConstant, kConstantNext, kLinear, kAuto, kTcb, kUser, kBreak};
  for (int step = 0; step < 600; ++step) {
    const int what = static_cast<int>(random() % 10);
    if (what < 6) {
      // Inserted anywhere, some with extra words: the blocks grow, and
      // the extra words start and follow the keys.
      VFCurveKey key = Key(static_cast<double>(random() % 400) / 4.0, static_cast<float>(random() % 1000),
                           modes[random() % 7]);
      key.tangent.word[0] = static_cast<uint32_t>(random());
      if (random() % 5 == 0) key.extra.word[1] = static_cast<uint32_t>(random()) | 1u;
      const int index = c.KeyInsert(key);
      ASSERT_GE(index, 0);
      expected[key.time.GetTicks()] = {key.value, key.flags, key.tangent, key.extra};
    } else if (what < 8 && !expected.empty()) {
      const int index = static_cast<int>(random() % expected.size());
      ASSERT_TRUE(c.KeyRemove(index));
      expected.erase(std::next(expected.begin(), index));
    } else if (what == 8 && !expected.empty()) {
      const int index = static_cast<int>(random() % expected.size());
      VFCurveKeyExtra extra;
      extra.word[2] = static_cast<uint32_t>(step);
      ASSERT_TRUE(c.KeySetExtra(index, extra));
      std::next(expected.begin(), index)->second.extra = extra;
    } else {
      c.KeyReserve(static_cast<int>(expected.size() + random() % 8));
    }
    ExpectKeys(c, expected, step);
    if (HasFailure()) return;
  }
  c.EditClear();
  EXPECT_EQ(c.KeyGetCount(), 0);
  EXPECT_EQ(c.KeyGetExtra(0), VFCurveKeyExtra{});
  // After a clear the extra words start again from zero.
  c.KeyAppend(Key(1, 2));
  EXPECT_EQ(c.KeyGetExtra(0), VFCurveKeyExtra{});
}

// The value the curve gives, against a fresh copy that has never been
// evaluated: segment data kept from before an edit would show.
void ExpectSameAsFresh(const VFCurve& c, int step) {
  VFCurve fresh;
  fresh.CopyFrom(c);
  int cache = 0, fresh_cache = 0;
  for (int f = -10; f <= 130; ++f) {
    const VTime t = S(f / 4.0 + 0.03);
    const double a = c.Evaluate(t, &cache);
    const double b = fresh.Evaluate(t, &fresh_cache);
    ASSERT_TRUE(SameBits(a, b)) << "step " << step << " at " << f << ": " << a << " vs " << b;
  }
}

TEST(FCurveStorage, EvaluationFollowsEveryChangeOfTheKeys) {
  VFCurve c;
  c.SetPostExtrapolation(kFCurveExtrapolationMirrorRepetition, kFCurveRepetitionUnlimited);
  Fill(c, {Key(0, 0), Key(1, 4), Key(2, -1)});
  ExpectSameAsFresh(c, 0);
  // Each edit below either keeps the block (values, flags, removals) or
  // moves the keys to a larger one.
  c.KeySetValue(1, 9);
  ExpectSameAsFresh(c, 1);
  for (int i = 3; i < 20; ++i) c.KeyAdd(S(i * 1.5), static_cast<float>(i % 4));
  ExpectSameAsFresh(c, 2);
  c.KeySetInterpolation(4, kFCurveInterpolationLinear);
  c.KeySetUser(6, 2.0f, -3.0f);
  c.KeySetWeighted(6, true, true);
  ExpectSameAsFresh(c, 3);
  c.KeyRemove(2);
  c.KeySetTime(0, S(-0.5));
  ExpectSameAsFresh(c, 4);
  c.KeyReserve(200);
  ExpectSameAsFresh(c, 5);
  while (c.KeyGetCount() > 2) c.KeyRemove(1);
  ExpectSameAsFresh(c, 6);
}

TEST(FCurveStorage, ACurveWithoutKeysGivesItsDefault) {
  VFCurve c(2.5f);
  EXPECT_EQ(c.Evaluate(S(1)), 2.5);
  EXPECT_EQ(c.KeySearch(S(1)), -1.0);
  EXPECT_EQ(c.KeySearchExtrapolated(S(1)), -1.0);
  EXPECT_EQ(c.ValueAtPosition(0.5), 2.5);
  EXPECT_FALSE(c.KeyRemove(0));
  EXPECT_FALSE(c.KeySetValue(0, 1));
  VFCurveSpan span;
  EXPECT_EQ(c.EvaluateSpan(S(1), nullptr, &span), 2.5);
  EXPECT_EQ(span.kind, VFCurveSpan::kConstant);
  c.EditClear();
  EXPECT_EQ(c.GetChangeCount(), 0u) << "clearing nothing changes nothing";
  // Keys added, evaluated and all removed again: the default comes back.
  c.KeyAdd(S(0), 1);
  c.KeyAdd(S(1), 3);
  EXPECT_EQ(c.Evaluate(S(1)), 3.0);
  c.KeyRemove(1);
  c.KeyRemove(0);
  EXPECT_EQ(c.KeyGetCount(), 0);
  EXPECT_EQ(c.Evaluate(S(1)), 2.5);
  c.KeyAdd(S(4), 7);
  EXPECT_EQ(c.Evaluate(S(1)), 7.0);
}

struct Counter {
  int fired = 0;
  void OnChange(int, VEventData*, std::intptr_t) { ++fired; }
};

TEST(FCurveStorage, SettingsGoBackToTheirDefaultsAndHandlersStay) {
  VFCurve plain(1.0f), set;
  Counter counter;
  set.OnChange().Add<Counter, &Counter::OnChange>(&counter);
  set.SetPreExtrapolation(kFCurveExtrapolationKeepSlope, 2);
  set.SetPostExtrapolation(7, -3);  // a type evaluation does not know is kept
  set.SetColor(0xFF00FF00u);
  Fill(set, {Key(0, 1), Key(1, 2)});
  VFCurveKeyExtra extra;
  extra.word[0] = 5;
  set.KeySetExtra(1, extra);
  EXPECT_EQ(set.GetPostExtrapolation(), 7);
  EXPECT_EQ(set.GetPostExtrapolationCount(), -3);
  EXPECT_EQ(set.Evaluate(S(3)), 2.0) << "an unknown type holds the last key's value";
  const int fired = counter.fired;

  set.CopyFrom(plain);
  EXPECT_EQ(set.GetPreExtrapolation(), kFCurveExtrapolationConstant);
  EXPECT_EQ(set.GetPreExtrapolationCount(), 0);
  EXPECT_EQ(set.GetPostExtrapolation(), kFCurveExtrapolationConstant);
  EXPECT_EQ(set.GetPostExtrapolationCount(), 0);
  EXPECT_EQ(set.GetColor(), 0u);
  EXPECT_EQ(set.KeyGetCount(), 0);
  EXPECT_EQ(set.Evaluate(S(3)), 1.0);
  EXPECT_EQ(counter.fired, fired + 1) << "the handler stays with the curve";

  // Extra words come along with a copy, and a copy of a copy.
  VFCurve source, copy, again;
  Fill(source, {Key(0, 1), Key(1, 2), Key(2, 3)});
  source.KeySetExtra(2, extra);
  copy.CopyFrom(source);
  again.CopyFrom(copy);
  EXPECT_EQ(again.KeyGetExtra(2), extra);
  EXPECT_EQ(again.KeyGetExtra(0), VFCurveKeyExtra{});
  EXPECT_EQ(again.KeyGetCount(), 3);
}

TEST(FCurveStorage, ChangesAreCountedBeforeAnyHandlerIsAdded) {
  VFCurve c;
  c.KeyAdd(S(0), 1);
  c.SetColor(3);
  EXPECT_EQ(c.GetChangeCount(), 2u);
  Counter counter;
  c.OnChange().Add<Counter, &Counter::OnChange>(&counter);
  EXPECT_EQ(c.GetColor(), 3u) << "adding a handler keeps the settings";
  c.KeyAdd(S(1), 2);
  EXPECT_EQ(counter.fired, 1);
  EXPECT_EQ(c.GetChangeCount(), 3u);
}

// ---- nodes

TEST(FCurveNodeStorage, NodesOfOneNameOutliveEachOther) {
  const std::string long_name = "Lcl Translation of a model with a long name";
  std::vector<std::unique_ptr<VFCurveNode>> nodes;
  for (int i = 0; i < 40; ++i) nodes.push_back(std::make_unique<VFCurveNode>(i % 2 ? "X" : long_name));
  // Dropped in an order unlike the making: every survivor keeps its name.
  for (int i = 0; i < 40; i += 3) nodes[static_cast<size_t>(i)].reset();
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i]) {
      EXPECT_EQ(nodes[i]->GetName(), i % 2 ? "X" : long_name);
    }
  }
  nodes.clear();
  // Made again after every node of the name went.
  VFCurveNode again(long_name);
  EXPECT_EQ(again.GetName(), long_name);
  VFCurveNode empty("");
  EXPECT_EQ(empty.GetName(), "");
  EXPECT_EQ(empty.GetUserName(), "");
}

TEST(FCurveNodeStorage, NamesAreSharedSafelyAcrossThreads) {
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      const char* names[] = {"T", "R", "S", "Transform"};
      for (int i = 0; i < 2000; ++i) {
        auto a = std::make_unique<VFCurveNode>(names[i % 4]);
        VFCurveNode b(names[(i + t) % 4]);
        if (a->GetName() != names[i % 4] || b.GetName() != names[(i + t) % 4]) ++wrong[static_cast<size_t>(t)];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int count : wrong) EXPECT_EQ(count, 0);
}

TEST(FCurveNodeStorage, UserNameAndWarpLiveTogether) {
  VFCurveNode node("X");
  node.SetUserName("");
  EXPECT_EQ(node.GetUserName(), "X");
  EXPECT_FALSE(node.HasTimeWarp());
  node.SetUserName("Left");
  node.SetTimeWarp(S(1), 2.0);
  EXPECT_EQ(node.GetName(), "X");
  EXPECT_EQ(node.GetUserName(), "Left");
  EXPECT_TRUE(node.HasTimeWarp());
  EXPECT_EQ(node.GlobalToNode(S(5)), S(2));
  node.SetUserName("");
  EXPECT_EQ(node.GetUserName(), "X");
  EXPECT_TRUE(node.HasTimeWarp()) << "clearing the user name keeps the warp";
  EXPECT_EQ(node.NodeToGlobal(S(2)), S(5));
}

TEST(FCurveNodeStorage, ANodeKeepsItsCurveBesideItsChildren) {
  // The curve made first, then children; and the other way round.
  VFCurveNode first("A"), later("B");
  VFCurve* own = first.MakeCurve();
  own->SetDefaultValue(4);
  first.AddChild(std::make_unique<VFCurveNode>("X"))->MakeCurve()->SetDefaultValue(1);
  first.AddChild(std::make_unique<VFCurveNode>("Y"))->MakeCurve()->SetDefaultValue(2);
  later.AddChild(std::make_unique<VFCurveNode>("X"))->MakeCurve()->SetDefaultValue(1);
  VFCurve* made = later.MakeCurve();
  EXPECT_EQ(first.GetCurve(), own);
  EXPECT_EQ(first.MakeCurve(), own);
  EXPECT_EQ(later.GetCurve(), made);
  EXPECT_EQ(later.MakeCurve(), made);
  // The children are what the node reads.
  EXPECT_EQ(first.GetDataSize(), 2);
  double out[2] = {0, 0};
  EXPECT_EQ(first.Evaluate(S(0), out, 2), 2);
  EXPECT_EQ(out[0], 1.0);
  EXPECT_EQ(out[1], 2.0);
  EXPECT_EQ(later.GetDataSize(), 1);
  EXPECT_EQ(first.AddChild(nullptr), nullptr);
  EXPECT_EQ(first.GetChildCount(), 2);
}

TEST(FCurveNodeStorage, ManyChildrenKeepTheirOrder) {
  VFCurveNode node("Many");
  std::vector<VFCurveNode*> added;
  for (int i = 0; i < 40; ++i) {
    added.push_back(node.AddChild(std::make_unique<VFCurveNode>("C" + std::to_string(i))));
    added.back()->MakeCurve()->SetDefaultValue(static_cast<float>(i));
  }
  ASSERT_EQ(node.GetChildCount(), 40);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(node.GetChild(i), added[static_cast<size_t>(i)]);
  EXPECT_EQ(node.GetChild(40), nullptr);
  EXPECT_EQ(node.GetChild(-1), nullptr);
  EXPECT_EQ(node.FindChild("C17"), added[17]);
  EXPECT_EQ(node.FindChild("C40"), nullptr);
  std::vector<double> out(40);
  ASSERT_EQ(node.Evaluate(S(0), out.data(), 40), 40);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(out[static_cast<size_t>(i)], i);
  EXPECT_EQ(node.Evaluate(S(0), out.data(), 7), 7) << "no more than asked for";
}

// ---- bound channels keeping their entries elsewhere

TEST(FCurveNodeStorage, AChannelOutgrowingItsRoomStaysExact) {
  VFCurveNode node("T");
  for (const char* axis : {"X", "Y"}) {
    VFCurve* c = node.AddChild(std::make_unique<VFCurveNode>(axis))->MakeCurve();
    Fill(*c, {Key(0, 1, kLinear), Key(1, axis[0] == 'X' ? 3.0f : -3.0f)});
  }
  VBoundChannel::Entry room[2];
  VTime clock(S(0.25).GetTicks());
  VBoundChannel channel(&node, &clock, room, 2);
  double read[3] = {0, 0, 0}, expected[3] = {0, 0, 0};
  ASSERT_TRUE(channel.ReadAnimatedValues(read, 2));
  ASSERT_EQ(node.Evaluate(clock, expected, 2), 2);
  EXPECT_TRUE(SameBits(read[0], expected[0]));
  EXPECT_TRUE(SameBits(read[1], expected[1]));
  // A third curve does not fit the room: the channel makes its own.
  Fill(*node.AddChild(std::make_unique<VFCurveNode>("Z"))->MakeCurve(), {Key(0, 5), Key(2, 6)});
  clock = S(0.75);
  ASSERT_TRUE(channel.ReadAnimatedValues(read, 3));
  ASSERT_EQ(node.Evaluate(clock, expected, 3), 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameBits(read[i], expected[i])) << i;
  clock = S(1.5);
  ASSERT_TRUE(channel.ReadAnimatedValues(read, 3));
  ASSERT_EQ(node.Evaluate(clock, expected, 3), 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameBits(read[i], expected[i])) << i;
}

TEST(FCurveNodeStorage, AConstantChannelIsReadWithoutEntries) {
  VFCurveNode node("S");
  for (const char* axis : {"X", "Y", "Z"}) node.AddChild(std::make_unique<VFCurveNode>(axis))->MakeCurve();
  node.GetChild(0)->GetCurve()->SetDefaultValue(2);
  node.GetChild(1)->GetCurve()->KeyAdd(S(1), 3);  // one key: the same value everywhere
  EXPECT_EQ(VBoundChannel::EntryCount(node), 3);
  EXPECT_EQ(VBoundChannel::EntriesToPlay(node), 0);
  VTime clock(S(4).GetTicks());
  VBoundChannel channel(&node, &clock, nullptr, 0);
  double out[3] = {-1, -1, -1};
  ASSERT_TRUE(channel.ReadConstantValues(out, 3));
  EXPECT_EQ(out[0], 2.0);
  EXPECT_EQ(out[1], 3.0);
  EXPECT_EQ(out[2], 0.0);
  EXPECT_FALSE(channel.ReadConstantValues(out, 2)) << "a count that does not match";
  ASSERT_TRUE(channel.ReadAnimatedValues(out, 3));
  EXPECT_EQ(out[1], 3.0);
  // Keyed later: no longer constant, and played exactly.
  node.GetChild(2)->GetCurve()->KeyAdd(S(0), 0);
  node.GetChild(2)->GetCurve()->KeyAdd(S(8), 8);
  EXPECT_EQ(VBoundChannel::EntriesToPlay(node), 3);
  EXPECT_FALSE(channel.ReadConstantValues(out, 3));
  ASSERT_TRUE(channel.ReadAnimatedValues(out, 3));
  EXPECT_TRUE(SameBits(out[2], node.GetChild(2)->GetCurve()->Evaluate(clock)));
}

}  // namespace
