#pragma once
// The main function of every benchmark program: the allocator keeps large
// blocks mapped between runs (as the tools do), then Google Benchmark runs.

#include <benchmark/benchmark.h>
#include <malloc.h>

inline int RunBenchmarks(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
