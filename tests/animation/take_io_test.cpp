// The "Takes" block: every take's spans, comments and animation trees
// survive a write and a read in both file forms; the reader's options
// choose what is read.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/zyn_memory.h"
#include "animation/fcurve_node_io.h"
#include "animation/take_io.h"
#include "animation/take_list.h"
#include "fcurve_test_util.h"
#include "zynfile/memory_stream.h"
#include "zynfile/zyn_file.h"

namespace {

using fcurve_test::S;
using Bytes = std::vector<uint8_t>;

Bytes Write(bool binary, const std::function<void(VZynFile&)>& body) {
  return testing_support::WriteZynToMemory(binary, body);
}

bool Read(const Bytes& bytes, VTakeList& takes, const VTakeReadOptions& options = {}) {
  VZynFile g;
  EXPECT_TRUE(g.OpenFromMemory(bytes.data(), bytes.size())) << g.GetErrorMessage();
  return VTakesRetrieve(g, takes, options);
}

std::unique_ptr<VFCurveNode> Vector(const char* name, float x, float y, float z) {
  auto node = std::make_unique<VFCurveNode>(name);
  const float rest[] = {x, y, z};
  const char* axes[] = {"X", "Y", "Z"};
  for (int i = 0; i < 3; ++i) node->AddChild(std::make_unique<VFCurveNode>(axes[i]))->MakeCurve()->SetDefaultValue(rest[i]);
  return node;
}

// Two takes: the first with a full transform tree and a weighted, warped
// visibility channel with a layer; the second, current, short and linear.
void Fill(VTakeList& takes) {
  VTake* walk = takes.Create("Walk");
  walk->local_span = VTimeSpan(S(0), S(4));
  walk->reference_span = VTimeSpan(S(-1), S(5));
  walk->comments = "first: with, commas; {braces} and @";
  walk->file_name = "walk.zyn";
  VTake::ModelAnimation* cube = walk->AddModel("Model::Cube");
  auto transform = std::make_unique<VFCurveNode>("Transform");
  VFCurveNode* t = transform->AddChild(Vector("T", 1, 2, 3));
  transform->AddChild(Vector("R", 0, 0, 0));
  transform->AddChild(Vector("S", 1, 1, 1));
  VFCurve& tx = *t->GetChild(0)->GetCurve();
  int k = tx.KeyAdd(S(0), 1.0f);
  tx.KeySetTCB(k, 0.5f, 0.25f, -0.25f);
  k = tx.KeyAdd(S(2), -3.0f);
  tx.KeySetUser(k, 1.5f, -2.0f, true);
  tx.KeyAdd(S(4), 6.0f);
  tx.SetPostExtrapolation(kFCurveExtrapolationMirrorRepetition, 3);
  cube->channels.push_back(std::move(transform));

  auto visibility = std::make_unique<VFCurveNode>("Visibility");
  visibility->SetUserName("Shown");
  visibility->SetTimeWarpId(4);
  visibility->SetLayerId(2);
  visibility->SetLayerType(1);
  VFCurve* v = visibility->MakeCurve();
  k = v->KeyAdd(S(0), 1.0f);
  v->KeySetInterpolation(k, kFCurveInterpolationConstant);
  v->KeyAdd(S(1), 0.0f);
  visibility->SetLayer(std::make_unique<VFCurveNode>("Layer"));
  visibility->GetLayer()->MakeCurve()->SetDefaultValue(0.5f);
  cube->channels.push_back(std::move(visibility));

  VTake* run = takes.Create("Run");
  run->local_span = VTimeSpan(S(1), S(2));
  run->reference_span = run->local_span;
  VFCurveNode* ty = run->AddModel("Model::Sphere")->channels.emplace_back(Vector("Color", 0.1f, 0.2f, 0.3f)).get();
  VFCurve& c = *ty->GetChild(1)->GetCurve();
  k = c.KeyAdd(S(1), 0.0f);
  c.KeySetInterpolation(k, kFCurveInterpolationLinear);
  c.KeyAdd(S(2), 1.0f);
  takes.SetCurrent(run);
}

void ExpectSameNode(const VFCurveNode& a, const VFCurveNode& b, const std::string& path) {
  EXPECT_EQ(a.GetName(), b.GetName()) << path;
  EXPECT_EQ(a.GetUserName(), b.GetUserName()) << path;
  EXPECT_EQ(a.GetTimeWarpId(), b.GetTimeWarpId()) << path;
  EXPECT_EQ(a.GetLayerId(), b.GetLayerId()) << path;
  EXPECT_EQ(a.GetLayerType(), b.GetLayerType()) << path;
  EXPECT_EQ(a.GetDataSize(), b.GetDataSize()) << path;
  ASSERT_EQ(a.GetCurve() != nullptr, b.GetCurve() != nullptr) << path;
  if (a.GetCurve()) {
    const VFCurve& ca = *a.GetCurve();
    const VFCurve& cb = *b.GetCurve();
    EXPECT_EQ(ca.GetDefaultValue(), cb.GetDefaultValue()) << path;
    ASSERT_EQ(ca.KeyGetCount(), cb.KeyGetCount()) << path;
    for (int i = 0; i < ca.KeyGetCount(); ++i) {
      EXPECT_EQ(ca.KeyGetTime(i), cb.KeyGetTime(i)) << path << " key " << i;
      EXPECT_EQ(ca.KeyGetValue(i), cb.KeyGetValue(i)) << path << " key " << i;
      // Tangent bits matter only on cubic keys; linear and constant keys write none.
      uint32_t mask = ca.KeyGetInterpolation(i) == kFCurveInterpolationCubic ? ~0u : ~kFCurveTangentMask;
      EXPECT_EQ(ca.KeyGetFlags(i) & mask, cb.KeyGetFlags(i) & mask) << path << " key " << i;
    }
    EXPECT_EQ(ca.GetPostExtrapolation(), cb.GetPostExtrapolation()) << path;
    EXPECT_EQ(ca.GetPostExtrapolationCount(), cb.GetPostExtrapolationCount()) << path;
    for (double t = -1.0; t <= 9.0; t += 0.125) {
      EXPECT_NEAR(ca.Evaluate(S(t)), cb.Evaluate(S(t)), 1e-5) << path << " at " << t;
    }
  }
  ASSERT_EQ(a.GetChildCount(), b.GetChildCount()) << path;
  for (int i = 0; i < a.GetChildCount(); ++i) {
    ExpectSameNode(*a.GetChild(i), *b.GetChild(i), path + "/" + a.GetChild(i)->GetName());
  }
  ASSERT_EQ(a.GetLayer() != nullptr, b.GetLayer() != nullptr) << path;
  if (a.GetLayer()) ExpectSameNode(*a.GetLayer(), *b.GetLayer(), path + "/layer");
}

TEST(TakeIoTest, TakesRoundTripInBothForms) {
  for (bool binary : {true, false}) {
    SCOPED_TRACE(binary ? "binary" : "ascii");
    VTakeList original;
    Fill(original);
    Bytes bytes = Write(binary, [&](VZynFile& f) { EXPECT_TRUE(VTakesStore(f, original)); });
    VTakeList read;
    ASSERT_TRUE(Read(bytes, read));
    ASSERT_EQ(read.GetCount(), 2);
    ASSERT_NE(read.Current(), nullptr);
    EXPECT_EQ(read.Current()->GetName(), "Run");
    for (int i = 0; i < 2; ++i) {
      const VTake& a = *original.Get(i);
      const VTake& b = *read.Get(i);
      EXPECT_EQ(a.GetName(), b.GetName());
      EXPECT_EQ(a.local_span.GetStart(), b.local_span.GetStart());
      EXPECT_EQ(a.local_span.GetStop(), b.local_span.GetStop());
      EXPECT_EQ(a.reference_span.GetStart(), b.reference_span.GetStart());
      EXPECT_EQ(a.reference_span.GetStop(), b.reference_span.GetStop());
      EXPECT_EQ(a.comments, b.comments);
      EXPECT_EQ(a.file_name, b.file_name);
      ASSERT_EQ(a.models().size(), b.models().size());
      for (size_t m = 0; m < a.models().size(); ++m) {
        const VTake::ModelAnimation& ma = *a.models()[m];
        const VTake::ModelAnimation& mb = *b.models()[m];
        EXPECT_EQ(ma.model, mb.model);
        ASSERT_EQ(ma.channels.size(), mb.channels.size());
        for (size_t c = 0; c < ma.channels.size(); ++c) ExpectSameNode(*ma.channels[c], *mb.channels[c], ma.model);
      }
    }
  }
}

TEST(TakeIoTest, ReaderOptionsChooseWhatIsRead) {
  VTakeList original;
  Fill(original);
  original.Create("Empty");
  VTake* switcher = original.Create("Switch");
  switcher->AddModel("Model::Camera Switcher")->channels.push_back(Vector("Camera Index", 1, 0, 0));
  Bytes bytes = Write(true, [&](VZynFile& f) { VTakesStore(f, original); });

  struct Case {
    const char* what;
    std::function<void(VTakeReadOptions&)> set;
    std::vector<size_t> models;  // per take
  };
  const Case cases[] = {
      {"all", [](VTakeReadOptions&) {}, {1, 1, 0, 1}},
      {"no animation", [](VTakeReadOptions& o) { o.models_animation = false; }, {0, 0, 0, 0}},
      {"no switcher", [](VTakeReadOptions& o) { o.camera_switcher = false; }, {1, 1, 0, 0}},
      {"only the cube", [](VTakeReadOptions& o) { o.has_model = [](const std::string& n) { return n == "Model::Cube"; }; },
       {1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    VTakeReadOptions options;
    c.set(options);
    VTakeList read;
    ASSERT_TRUE(Read(bytes, read, options)) << c.what;
    ASSERT_EQ(read.GetCount(), 4) << c.what;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(read.Get(i)->models().size(), c.models[static_cast<size_t>(i)]) << c.what << " " << i;
    EXPECT_EQ(read.Current()->GetName(), "Run") << c.what;
    EXPECT_EQ(read.Get(0)->local_span.GetStop(), S(4)) << c.what;
  }
}

// A "Takes" block written by hand: versions, names and the current take.
TEST(TakeIoTest, HandWrittenTakesBlocks) {
  auto channel = [](VZynFile& f, const char* name) {
    f.FieldWriteBegin("Channel");
    f.FieldWriteC(name);
    f.FieldWriteBlockBegin();
    f.FieldWriteD("Default", 2.0);
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
  auto model = [&](VZynFile& f, const char* name, double version) {
    f.FieldWriteBegin("Model");
    f.FieldWriteC(name);
    f.FieldWriteBlockBegin();
    f.FieldWriteD("Version", version);
    channel(f, "Visibility");
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  };
  Bytes bytes = Write(false, [&](VZynFile& f) {
    f.FieldWriteBlockBegin("Takes");
    f.FieldWriteC("Current", "Nowhere");
    for (const char* name : {"A", "B", "A"}) {
      f.FieldWriteBegin("Take");
      f.FieldWriteC(name);
      f.FieldWriteBlockBegin();
      model(f, "Cube", 1.1);        // a short name means a model
      model(f, "Model::Old", 1.0);  // version 1.0 carries no tree
      f.FieldWriteBlockEnd();
      f.FieldWriteEnd();
    }
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  });
  VTakeList read;
  ASSERT_TRUE(Read(bytes, read));
  ASSERT_EQ(read.GetCount(), 2);  // the second "A" is read into the first
  EXPECT_EQ(read.Current(), read.First());  // an unknown current name picks the first
  const VTake& a = *read.First();
  ASSERT_EQ(a.models().size(), 1u);
  EXPECT_EQ(a.models()[0]->model, "Model::Cube");
  ASSERT_EQ(a.models()[0]->channels.size(), 2u);
  EXPECT_EQ(a.models()[0]->channels[0]->GetDataSize(), 1);
  EXPECT_EQ(a.models()[0]->channels[0]->GetCurve()->GetDefaultValue(), 2.0f);

  // No "Takes" at all: nothing read, nothing wrong.
  VTakeList none;
  EXPECT_TRUE(Read(Write(true, [](VZynFile& f) { f.FieldWriteI("Other", 1); }), none));
  EXPECT_EQ(none.GetCount(), 0);
  EXPECT_EQ(none.Current(), nullptr);
}

// Channels nested far deeper than any real tree end at the file's nesting
// limit without harm (the writer refuses such depths, so the text is made
// by hand).
TEST(TakeIoTest, DeeplyNestedChannelsAreBounded) {
  const int depth = 3000;
  std::string text = "; ZYN 6.0.0 project file\nChannel: \"X\" {\n";
  for (int i = 0; i < depth; ++i) text += "Channel: \"X\" {\n";
  text += "Default: 1\n";
  for (int i = 0; i <= depth; ++i) text += "}\n";
  VZynFile g;
  if (!g.OpenFromMemory(text.data(), text.size())) return;  // refused as a whole: fine
  if (g.FieldReadBegin("Channel") && g.FieldReadIsBlock() && g.FieldReadBlockBegin()) {
    std::unique_ptr<VFCurveNode> node = VFCurveNodeRetrieve(g, "X");
    ASSERT_NE(node, nullptr);
    EXPECT_LE(node->GetDataSize(), 1);
  }
}

}  // namespace
