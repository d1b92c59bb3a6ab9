// Cost of composing and splitting labels and of the text forms.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/bench_main.h"
#include "core/time.h"
#include "core/time_text.h"

namespace {

void BM_SetLabels(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  int i = 0;
  for (auto _ : state) {
    VTime t;
    t.SetTime(1, i % 60, (i / 7) % 60, i % 24, i & 1, mode);
    benchmark::DoNotOptimize(t);
    ++i;
  }
}
BENCHMARK(BM_SetLabels)->Arg(6)->Arg(8)->Arg(13);

void BM_GetLabels(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  int64_t ticks = 123456789012345LL;
  for (auto _ : state) {
    int64_t h, m, s, f, fd, hh;
    VTime(ticks).GetTime(h, m, s, f, fd, hh, mode);
    benchmark::DoNotOptimize(h + m + s + f + fd + hh);
    ticks += 987654321;
  }
}
BENCHMARK(BM_GetLabels)->Arg(6)->Arg(8)->Arg(13);

void BM_TextForm(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0));
  int64_t ticks = 123456789012345LL;
  for (auto _ : state) {
    benchmark::DoNotOptimize(VTimeGetString(VTime(ticks), 6, 8, format));
    ticks += 987654321;
  }
}
BENCHMARK(BM_TextForm)->Arg(0)->Arg(1);

void BM_Parse(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0));
  const char* text = format == 0 ? "001:02:03.04 (50)" : "4512 (33)";
  for (auto _ : state) {
    VTime t;
    VTimeSetString(&t, text, 8, format);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_Parse)->Arg(0)->Arg(1);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
