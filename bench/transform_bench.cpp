// Global matrices of a large animated hierarchy after a time change: the
// player moves, every node's curves are read and its global matrix built
// from its parent's. Reports the time per node.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "animation/fcurve_node.h"
#include "bench/bench_main.h"
#include "scene/model.h"
#include "scene/scene.h"

namespace {

constexpr int64_t kFrame = 1539538600;  // 30 fps

struct Hierarchy {
  VScene scene;
  std::vector<const VModel*> nodes;
};

// A bushy tree (each node's parent is one of the previous 16 nodes, so
// depths grow slowly) with keyed translation and rotation on every node.
Hierarchy* Build(int count, int keys) {
  auto* h = new Hierarchy;
  VTake* take = h->scene.takes().Create("Take 001");
  char name[32];
  for (int n = 0; n < count; ++n) {
    std::snprintf(name, sizeof name, "Node%d", n);
    auto* model = static_cast<VModel*>(h->scene.Add(std::make_unique<VModel>(name, "Limb")));
    if (n > 0) {
      const int back = (n * 7919) % (n < 16 ? n : 16);
      model->SetParent(const_cast<VModel*>(h->nodes[static_cast<size_t>(n - 1 - back)]));
    }
    h->nodes.push_back(model);
    model->TranslationProperty()->Set({0.1 * (n % 7), 1.0, 0.0});
    model->RotationProperty()->Set({5.0, 10.0 * (n % 5), 0.0});
    if (keys == 0) continue;
    VTake::ModelAnimation* animation = take->AddModel(model->GetFullName());
    auto transform = std::make_unique<VFCurveNode>("Transform");
    for (const char* channel : {"T", "R", "S"}) {
      VFCurveNode* vector = transform->AddChild(std::make_unique<VFCurveNode>(channel));
      for (const char* axis : {"X", "Y", "Z"}) {
        VFCurve* curve = vector->AddChild(std::make_unique<VFCurveNode>(axis))->MakeCurve();
        const bool scaling = channel[0] == 'S';
        curve->SetDefaultValue(scaling ? 1.0f : 0.0f);
        if (scaling) continue;
        for (int k = 0; k < keys; ++k) {
          curve->KeyAdd(VTime(k * kFrame), static_cast<float>((k * 7 + n) % 50) * 0.1f);
        }
      }
    }
    animation->channels.push_back(std::move(transform));
  }
  h->scene.takes().SetCurrent(take);
  // Curves prepare their segments on first use: do it before timing.
  for (const VModel* node : h->nodes) node->GetMatrix(kVSpaceGlobal);
  return h;
}

// One hierarchy per key count, built once.
Hierarchy* Shared(int keys) {
  static Hierarchy* none = nullptr;
  static Hierarchy* few = nullptr;
  static Hierarchy* many = nullptr;
  Hierarchy*& h = keys == 0 ? none : (keys <= 4 ? few : many);
  if (!h) h = Build(10000, keys);
  return h;
}

void BM_GlobalMatricesAfterTimeChange(benchmark::State& state) {
  const int keys = static_cast<int>(state.range(0));
  Hierarchy* h = Shared(keys);
  int64_t frame = 0;
  double sum = 0;
  for (auto _ : state) {
    h->scene.player().Goto(VTime((frame++ % 119) * kFrame + kFrame / 3));
    for (const VModel* node : h->nodes) sum += node->GetMatrix(kVSpaceGlobal)[12];
  }
  benchmark::DoNotOptimize(sum);
  state.counters["ns_per_node"] = benchmark::Counter(
      static_cast<double>(h->nodes.size()) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["nodes"] = static_cast<double>(h->nodes.size());
}
// Two keys a curve (the hierarchy's own cost dominates) and 120 keys a
// curve (six keyed curves a node: 70 MB of keys, read from memory).
BENCHMARK(BM_GlobalMatricesAfterTimeChange)->Arg(0)->Arg(2)->Arg(120)->Unit(benchmark::kMillisecond);

// The same query again at an unchanged time: every node answers from its cache.
void BM_GlobalMatricesCached(benchmark::State& state) {
  Hierarchy* h = Shared(2);
  double sum = 0;
  for (auto _ : state) {
    for (const VModel* node : h->nodes) sum += node->GetMatrix(kVSpaceGlobal)[12];
  }
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_GlobalMatricesCached)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
