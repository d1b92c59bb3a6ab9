// Loading a large animated scene end to end (file bytes / wall time, objects
// and curves built) in both forms, and one frame of playback: Goto plus a
// read of every animated property.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "animation/fcurve_node.h"
#include "bench/bench_main.h"
#include "bench/key_heavy_scene.h"
#include "core/property.h"
#include "scene/model.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_kernel_objects.h"
#include "sdk/yr_kernel.h"
#include "sdk/yr_player_control.h"
#include "sdk/yr_zyn_manager.h"

namespace {

constexpr int kModels = bench_scenes::kKeyHeavyModels;
using bench_scenes::kFrame;
using bench_scenes::kKeysPerCurve;

std::string ScenePath(bool binary) { return binary ? "/tmp/qtzyn_scene.zyn" : "/tmp/qtzyn_scene_ascii.zyn"; }

int64_t FileSize(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

void BuildScene(VScene& scene) { bench_scenes::BuildKeyHeavyScene(scene); }

void EnsureScene(bool binary) {
  if (FileSize(ScenePath(binary)) > 0) return;
  YrSDK::YrKernel::Init("");
  BuildScene(*YrSDK::YrKernelObjects::GetScene());
  YrSDK::YrZynManager manager;
  if (!manager.Save(ScenePath(binary), binary)) std::fprintf(stderr, "save: %s\n", manager.GetLastMessage().c_str());
}

void BM_Load(benchmark::State& state) {
  bool binary = state.range(0) != 0;
  EnsureScene(binary);
  YrSDK::YrKernel::Init("");
  std::string path = ScenePath(binary);
  for (auto _ : state) {
    YrSDK::YrZynManager manager;
    if (!manager.LoadBegin(path) || !manager.Load()) {
      state.SkipWithError(manager.GetLastMessage().c_str());
      break;
    }
    manager.LoadEnd();
  }
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  state.counters["MB"] = static_cast<double>(FileSize(path)) / 1e6;
}

void BM_GotoFrame(benchmark::State& state) {
  EnsureScene(true);
  YrSDK::YrKernel::Init("");
  YrSDK::YrZynManager manager;
  if (!manager.LoadBegin(ScenePath(true)) || !manager.Load()) {
    state.SkipWithError(manager.GetLastMessage().c_str());
    return;
  }
  manager.LoadEnd();
  VScene& scene = *YrSDK::YrKernelObjects::GetScene();
  YrSDK::YrPlayerControl player;
  int64_t frame = 0;
  int64_t reads = 0;
  // The first frame after loading prepares every curve's segments once;
  // what is timed is playback.
  auto first_frame_start = std::chrono::steady_clock::now();
  player.Goto(YrSDK::YrTime(0));
  for (const auto& object : scene.objects()) {
    for (int i = 0; i < object->GetPropertyCount(); ++i) {
      double values[4];
      object->GetProperty(i)->GetDoubles(values, object->GetProperty(i)->GetDoubleCount());
    }
  }
  state.counters["first_frame_ms"] = std::chrono::duration<double, std::milli>(
      std::chrono::steady_clock::now() - first_frame_start).count();
  for (auto _ : state) {
    player.Goto(YrSDK::YrTime(frame * kFrame));
    frame = (frame + 1) % kKeysPerCurve;
    double sum = 0;
    for (const auto& object : scene.objects()) {
      for (int i = 0; i < object->GetPropertyCount(); ++i) {
        const VProperty& property = *object->GetProperty(i);
        if (!property.IsAnimated()) continue;
        double values[4];
        int n = property.GetDoubleCount();
        property.GetDoubles(values, n);
        sum += values[0];
        ++reads;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["properties_per_frame"] = static_cast<double>(reads) / static_cast<double>(state.iterations());
}

BENCHMARK(BM_Load)->Arg(1)->Arg(0)->ArgName("binary")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_GotoFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  int result = RunBenchmarks(argc, argv);
  YrSDK::YrKernel::Close();
  return result;
}
