// Cost of curve evaluation: playback order (one frame per call) on cubic
// auto keys, random times on a long curve, and reading a curve record.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "animation/fcurve.h"
#include "animation/fcurve_io.h"
#include "bench/bench_main.h"
#include "zynfile/memory_stream.h"
#include "zynfile/zyn_file.h"

namespace {

constexpr int64_t kFrame = kVTimeTicksPerSecond / 30;

// Keys every `spacing` frames with a wavy value, all cubic auto.
void Fill(VFCurve* c, int keys, int spacing, uint32_t flags = kFCurveDefaultKeyFlags) {
  c->EditBegin();
  c->KeyReserve(keys);
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> value(-10.0f, 10.0f);
  for (int i = 0; i < keys; ++i) {
    VFCurveKey key;
    key.time = VTime(int64_t{i} * spacing * kFrame);
    key.value = value(rng);
    key.flags = flags;
    c->KeyAppend(key);
  }
  c->EditEnd();
}

void PlaybackLoop(benchmark::State& state, const VFCurve& c) {
  const int64_t end = c.KeyGetTime(c.KeyGetCount() - 1).GetTicks();
  int64_t t = 0;
  int cache = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(c.Evaluate(VTime(t), &cache));
    t += kFrame;
    if (t > end) t = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_PlaybackCubicAuto(benchmark::State& state) {
  VFCurve c;
  Fill(&c, static_cast<int>(state.range(0)), 5);
  PlaybackLoop(state, c);
}
BENCHMARK(BM_PlaybackCubicAuto)->Arg(100)->Arg(10000);

void BM_PlaybackCubicUser(benchmark::State& state) {
  VFCurve c;
  Fill(&c, 100, 5, kFCurveInterpolationCubic | kFCurveTangentUser);
  PlaybackLoop(state, c);
}
BENCHMARK(BM_PlaybackCubicUser);

void BM_PlaybackLinear(benchmark::State& state) {
  VFCurve c;
  Fill(&c, 100, 5, kFCurveInterpolationLinear);
  PlaybackLoop(state, c);
}
BENCHMARK(BM_PlaybackLinear);

void BM_PlaybackRepetition(benchmark::State& state) {
  VFCurve c;
  Fill(&c, 20, 5);
  c.SetPostExtrapolation(kFCurveExtrapolationMirrorRepetition, kFCurveRepetitionUnlimited);
  int64_t t = 0;
  int cache = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(c.Evaluate(VTime(t), &cache));
    t += kFrame;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlaybackRepetition);

void BM_RandomTime(benchmark::State& state) {
  VFCurve c;
  const int keys = static_cast<int>(state.range(0));
  Fill(&c, keys, 3);
  const int64_t end = c.KeyGetTime(keys - 1).GetTicks();
  std::mt19937_64 rng(11);
  std::uniform_int_distribution<int64_t> pick(0, end);
  std::vector<VTime> times(4096);
  for (VTime& t : times) t = VTime(pick(rng));
  size_t i = 0;
  int cache = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(c.Evaluate(times[i], &cache));
    i = (i + 1) & 4095;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomTime)->Arg(10000);

void BM_ReadRecord(benchmark::State& state) {
  VFCurve c;
  Fill(&c, 10000, 1);
  VMemoryStream m;
  m.OpenBuffer();
  VZynFile out;
  out.CreateInStream(&m, state.range(0) != 0);
  VFCurveStore(out, c);
  out.CloseFile();
  for (auto _ : state) {
    VZynFile in;
    in.OpenFromMemory(m.buffer().data(), m.buffer().size());
    VFCurve back;
    benchmark::DoNotOptimize(VFCurveRetrieve(in, &back));
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ReadRecord)->Arg(1)->Arg(0);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
