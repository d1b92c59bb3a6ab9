// The engine at scale: a scene of many plain models (no animation, one take,
// a parent tree) written with the engine's own writer, then loaded, cleared
// and measured for the memory it holds; and the global matrices of an
// animated hierarchy after a time change.
//
// Every figure stands beside an anchor measured in the same run:
// - loading and clearing beside a naive object model (an object holding 66
//   separately allocated properties, made and freed the same way);
// - bytes per model beside the naive object's bytes;
// - global matrices beside a plain parent-index loop over flat arrays that
//   composes the same local matrices and multiplies them by their parents'.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "animation/fcurve_node.h"
#include "bench/bench_main.h"
#include "core/plug_memory.h"
#include "core/property.h"
#include "scene/matrix_functions.h"
#include "scene/model.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_zyn_manager.h"

namespace {

constexpr int64_t kFrame = 1539538600;  // 30 fps
constexpr int kNaiveProperties = 66;    // what a plain model holds
constexpr std::uint32_t kNotStored = 0x10;  // instance flag: not written

std::string ScenePath(int models, bool animated) {
  return "/tmp/qtzyn_om_" + std::to_string(models) + (animated ? "_animated" : "") + ".zyn";
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

// Bytes handed out now: by the allocator (small blocks and mapped ones) and
// from the plugs' own memory.
double HeapInUse() {
  struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd + VPlugMemoryStatistics().inUse);
}

// Each model's parent is one of the previous 16, so depths grow slowly.
int ParentOf(int n) {
  if (n == 0) return -1;
  const int back = (n * 7919) % (n < 16 ? n : 16);
  return n - 1 - back;
}

// Keyed translation and rotation, two keys a curve; scaling holds its default.
void Animate(VTake& take, const VModel& model, int n) {
  VTake::ModelAnimation* animation = take.AddModel(model.GetFullName());
  auto transform = std::make_unique<VFCurveNode>("Transform");
  for (const char* channel : {"T", "R", "S"}) {
    VFCurveNode* vector = transform->AddChild(std::make_unique<VFCurveNode>(channel));
    for (const char* axis : {"X", "Y", "Z"}) {
      VFCurve* curve = vector->AddChild(std::make_unique<VFCurveNode>(axis))->MakeCurve();
      const bool scaling = channel[0] == 'S';
      curve->SetDefaultValue(scaling ? 1.0f : 0.0f);
      if (scaling) continue;
      for (int k = 0; k < 2; ++k) curve->KeyAdd(VTime(k * 119 * kFrame), static_cast<float>((k * 7 + n) % 50) * 0.1f);
    }
  }
  animation->channels.push_back(std::move(transform));
}

// Makes the models of the scene: a parent tree, one take, optionally keyed.
std::vector<VModel*> BuildModels(VScene& scene, int count, bool animated) {
  std::vector<VModel*> models;
  models.reserve(static_cast<size_t>(count));
  VTake* take = scene.takes().Create("Take 001");
  take->local_span = VTimeSpan(VTime(0), VTime(119 * kFrame));
  char name[32];
  for (int n = 0; n < count; ++n) {
    std::snprintf(name, sizeof name, "Model%d", n);
    auto* model = static_cast<VModel*>(scene.Add(std::make_unique<VModel>(name, "Null")));
    if (n > 0) model->SetParent(models[static_cast<size_t>(ParentOf(n))]);
    models.push_back(model);
    if (animated) Animate(*take, *model, n);
  }
  scene.takes().SetCurrent(take);
  return models;
}

// Writes the scene file once per process run (the format may change), or
// not at all with QTZYN_BENCH_KEEP_SCENES set (for profiling the reading).
const std::string& EnsureScene(int models, bool animated) {
  static std::vector<std::string> written;
  static std::string path;
  path = ScenePath(models, animated);
  for (const std::string& done : written)
    if (done == path) return path;
  if (std::getenv("QTZYN_BENCH_KEEP_SCENES") && FileSize(path) > 0) return path;
  YrSDK::YrKernel::Init("");
  VScene& scene = *YrSDK::YrKernelObjects::GetScene();
  scene.Clear();
  // Plain models as such scenes hold them: a place in the tree, the rest at
  // its defaults. Properties flagged 0x10 are not written.
  for (VModel* model : BuildModels(scene, models, animated)) {
    for (int i = 0; i < model->GetPropertyCount(); ++i) model->GetProperty(i)->SetFlag(kNotStored, true);
    model->TranslationProperty()->SetFlag(kNotStored, false);
    model->RotationProperty()->SetFlag(kNotStored, false);
    model->TranslationProperty()->Set({1.0, 2.0, 0.5});
    model->RotationProperty()->Set({0.0, 15.0, 0.0});
  }
  YrSDK::YrZynManager manager;
  if (!manager.Save(path, true)) std::fprintf(stderr, "save: %s\n", manager.GetLastMessage().c_str());
  scene.Clear();
  written.push_back(path);
  return path;
}

bool LoadInto(const std::string& path, YrSDK::YrZynManager& manager) {
  if (!manager.LoadBegin(path) || !manager.Load()) return false;
  manager.LoadEnd();
  return true;
}

// --- the anchor: a naive object model -------------------------------------------

struct NaiveProperty {
  std::string name;
  int type = 0;
  std::uint32_t flags = 0;
  double min = 0, max = 0;
  double value[4] = {0, 0, 0, 0};
  std::vector<struct NaiveObject*> connections;
};

struct NaiveObject {
  std::string name;
  std::vector<std::unique_ptr<NaiveProperty>> properties;
  NaiveObject* parent = nullptr;
};

std::vector<std::unique_ptr<NaiveObject>> MakeNaive(int count) {
  std::vector<std::unique_ptr<NaiveObject>> objects;
  objects.reserve(static_cast<size_t>(count));
  char name[48];
  for (int n = 0; n < count; ++n) {
    auto object = std::make_unique<NaiveObject>();
    std::snprintf(name, sizeof name, "Model%d", n);
    object->name = name;
    object->properties.reserve(kNaiveProperties);
    for (int p = 0; p < kNaiveProperties; ++p) {
      auto property = std::make_unique<NaiveProperty>();
      std::snprintf(name, sizeof name, "Property number %d", p);
      property->name = name;  // beyond the short-string buffer, as most names are
      property->type = p % 18;
      object->properties.push_back(std::move(property));
    }
    if (n > 0) object->parent = objects[static_cast<size_t>(ParentOf(n))].get();
    objects.push_back(std::move(object));
  }
  return objects;
}

// --- loading, clearing, memory ----------------------------------------------------------

void BM_LoadModels(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string path = EnsureScene(count, false);
  YrSDK::YrKernel::Init("");
  VScene& scene = *YrSDK::YrKernelObjects::GetScene();
  // The first load of a process also takes its memory from the system (the
  // first touch of fresh pages): reported on its own as well.
  double first_ms = -1.0;
  for (auto _ : state) {
    state.PauseTiming();
    scene.Clear();
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    YrSDK::YrZynManager manager;
    if (!LoadInto(path, manager)) {
      state.SkipWithError(manager.GetLastMessage().c_str());
      break;
    }
    if (first_ms < 0)
      first_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  scene.Clear();
  state.counters["first_load_ms"] = first_ms;
  state.counters["models"] = count;
  state.counters["MB"] = static_cast<double>(FileSize(path)) / 1e6;
  state.counters["plug_memory_MB"] = static_cast<double>(VPlugMemoryStatistics().reserved) / 1e6;
  state.counters["us_per_model"] = benchmark::Counter(static_cast<double>(count) * state.iterations(),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LoadModels)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_ClearModels(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string path = EnsureScene(count, false);
  YrSDK::YrKernel::Init("");
  VScene& scene = *YrSDK::YrKernelObjects::GetScene();
  for (auto _ : state) {
    state.PauseTiming();
    YrSDK::YrZynManager manager;
    if (!LoadInto(path, manager)) {
      state.SkipWithError(manager.GetLastMessage().c_str());
      break;
    }
    state.ResumeTiming();
    scene.Clear();
  }
  state.counters["models"] = count;
}
BENCHMARK(BM_ClearModels)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Anchor of both: making and freeing the naive objects.
void BM_AnchorNaiveMake(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto objects = MakeNaive(count);
    benchmark::DoNotOptimize(objects.data());
    state.PauseTiming();
    objects.clear();
    state.ResumeTiming();
  }
  state.counters["models"] = count;
}
BENCHMARK(BM_AnchorNaiveMake)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_AnchorNaiveFree(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto objects = MakeNaive(count);
    state.ResumeTiming();
    objects.clear();
  }
  state.counters["models"] = count;
}
BENCHMARK(BM_AnchorNaiveFree)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Bytes the allocator holds for the loaded scene, per model (argument 1: the
// models' translation and rotation are keyed); the naive objects' beside it.
void BM_BytesPerModel(benchmark::State& state) {
  const int count = 10000;
  const bool animated = state.range(0) != 0;
  const std::string path = EnsureScene(count, animated);
  YrSDK::YrKernel::Init("");
  VScene& scene = *YrSDK::YrKernelObjects::GetScene();
  scene.Clear();
  double scene_bytes = 0;
  double naive_bytes = 0;
  for (auto _ : state) {
    const double before = HeapInUse();
    {
      // What the scene holds once the reader and its file are gone.
      YrSDK::YrZynManager manager;
      if (!LoadInto(path, manager)) {
        state.SkipWithError(manager.GetLastMessage().c_str());
        break;
      }
    }
    scene_bytes = HeapInUse() - before;
    state.PauseTiming();
    scene.Clear();
    const double naive_before = HeapInUse();
    {
      auto objects = MakeNaive(count);
      naive_bytes = HeapInUse() - naive_before;
    }
    state.ResumeTiming();
  }
  state.counters["bytes_per_model"] = scene_bytes / count;
  state.counters["anchor_naive_bytes_per_model"] = naive_bytes / count;
}
BENCHMARK(BM_BytesPerModel)->Arg(0)->Arg(1)->ArgName("animated")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// --- global matrices after a time change -------------------------------------------------

struct Hierarchy {
  VScene scene;
  std::vector<VModel*> nodes;
  // The anchor's flat arrays: local translation and rotation, parents.
  std::vector<YrSDK::YrVector4<double>> translation;
  std::vector<YrSDK::YrVector3<double>> rotation;
  std::vector<int> parent;
  std::vector<YrSDK::YrMatrix> global;
};

Hierarchy& SharedHierarchy() {
  static Hierarchy* h = nullptr;
  if (h) return *h;
  h = new Hierarchy;
  // QTZYN_BENCH_NODES changes the size, to tell memory costs from the
  // arithmetic's (1,000 nodes stay in the caches).
  const char* nodes = std::getenv("QTZYN_BENCH_NODES");
  h->nodes = BuildModels(h->scene, nodes ? std::max(1, std::atoi(nodes)) : 10000, true);
  // Curves prepare their segments on first use: do it before timing.
  for (const VModel* node : h->nodes) node->GetMatrix(kVSpaceGlobal);
  const size_t n = h->nodes.size();
  h->translation.resize(n);
  h->rotation.resize(n);
  h->parent.resize(n);
  h->global.resize(n);
  for (size_t i = 0; i < n; ++i) {
    h->translation[i] = h->nodes[i]->GetTranslation(kVSpaceLocal);
    h->rotation[i] = h->nodes[i]->GetRotation(kVSpaceLocal);
    h->parent[i] = ParentOf(static_cast<int>(i));
  }
  return *h;
}

void BM_GlobalMatricesAfterTimeChange(benchmark::State& state) {
  Hierarchy& h = SharedHierarchy();
  int64_t frame = 0;
  double sum = 0;
  for (auto _ : state) {
    h.scene.player().Goto(VTime((frame++ % 119) * kFrame + kFrame / 3));
    for (const VModel* node : h.nodes) sum += node->GetMatrix(kVSpaceGlobal)[12];
  }
  benchmark::DoNotOptimize(sum);
  state.counters["nodes"] = static_cast<double>(h.nodes.size());
}
BENCHMARK(BM_GlobalMatricesAfterTimeChange)->Unit(benchmark::kMillisecond);

// Anchor: the same local matrices composed from flat arrays and multiplied
// by their parents' in one forward loop (parents come first).
void BM_AnchorParentIndexLoop(benchmark::State& state) {
  Hierarchy& h = SharedHierarchy();
  const size_t n = h.nodes.size();
  const YrSDK::YrSVector unit{1, 1, 1};
  double sum = 0;
  for (auto _ : state) {
    for (size_t i = 0; i < n; ++i) {
      YrSDK::YrMatrix local;
      YrSDK::YrTRSToMatrix(local, h.translation[i], h.rotation[i], unit);
      const int p = h.parent[i];
      if (p < 0) {
        h.global[i] = local;
      } else {
        YrSDK::YrMatrixMult(h.global[i], local, h.global[static_cast<size_t>(p)]);
      }
    }
    sum += h.global[n - 1][12];
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(sum);
  state.counters["nodes"] = static_cast<double>(n);
}
BENCHMARK(BM_AnchorParentIndexLoop)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  int result = RunBenchmarks(argc, argv);
  YrSDK::YrKernel::Close();
  return result;
}
