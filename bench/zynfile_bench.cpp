// Throughput of the Zyn container on a generated scene-like file of about
// 110 MB holding ~14.6 million values: writing and reading (every value
// through its typed getter) in both forms, and the peak memory of a read.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_main.h"
#include "zynfile/zyn_file.h"

namespace {

constexpr int kModels = 2000;
constexpr int kPoints = 4800;   // doubles per model
constexpr int kIndices = 2400;  // ints per model
constexpr int kProperties = 20;

std::string BenchPath(bool binary) { return binary ? "/tmp/qtzyn_bench.zyn" : "/tmp/qtzyn_bench_ascii.zyn"; }

bool WriteScene(const std::string& path, bool binary) {
  VZynFile f;
  if (!f.CreateFile(path, binary)) return false;
  f.FieldWriteBlockBegin("Objects");
  char name[64];
  for (int m = 0; m < kModels; ++m) {
    std::snprintf(name, sizeof name, "Model::Object%d", m);
    f.FieldWriteBegin("Model");
    f.FieldWriteC(name);
    f.FieldWriteC("Mesh");
    f.FieldWriteBlockBegin();
    f.FieldWriteI("Version", 232);
    f.FieldWriteBlockBegin("Properties60");
    for (int p = 0; p < kProperties; ++p) {
      f.FieldWriteBegin("Property");
      f.FieldWriteC("Lcl Translation");
      f.FieldWriteC("Lcl Translation");
      f.FieldWriteC("A+");
      f.FieldWriteD(m * 0.5);
      f.FieldWriteD(p * 0.25);
      f.FieldWriteD(-1.75);
      f.FieldWriteEnd();
    }
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
    f.FieldWriteBegin("Vertices");
    for (int i = 0; i < kPoints; ++i) f.FieldWriteD(i * 0.001 + m);
    f.FieldWriteEnd();
    f.FieldWriteBegin("PolygonVertexIndex");
    for (int i = 0; i < kIndices; ++i) f.FieldWriteI((i % 4 == 3) ? -i - 1 : i);
    f.FieldWriteEnd();
    f.FieldWriteBlockEnd();
    f.FieldWriteEnd();
  }
  f.FieldWriteBlockEnd();
  f.FieldWriteEnd();
  return f.CloseFile();
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

void EnsureScene(bool binary) {
  if (FileSize(BenchPath(binary)) == 0) WriteScene(BenchPath(binary), binary);
}

// Reads every value of the current block and below; answers a checksum.
double ReadBlock(VZynFile& f) {
  double sum = 0;
  int count = f.FieldReadOccurrenceCount();
  for (int k = 0; k < count; ++k) {
    f.FieldReadBeginOccurrence(k);
    int n = f.FieldReadGetCount();
    bool binary = f.IsBinary();
    if (n > 16 && (!binary || f.FieldReadGetType() == 'D')) {
      // Arrays, as the scene readers take them.
      static std::vector<double> array;
      array.resize(static_cast<size_t>(n));
      int got = f.FieldReadDn(array.data(), n);
      for (int i = 0; i < got; ++i) sum += array[static_cast<size_t>(i)];
      n -= got;
    } else if (n > 16 && f.FieldReadGetType() == 'I') {
      static std::vector<int32_t> array;
      array.resize(static_cast<size_t>(n));
      int got = f.FieldReadIn(array.data(), n);
      for (int i = 0; i < got; ++i) sum += array[static_cast<size_t>(i)];
      n -= got;
    }
    for (int i = 0; i < n; ++i) {
      char type = binary ? f.FieldReadGetType() : 'D';
      switch (type) {
        case 'I': sum += f.FieldReadI(); break;
        case 'D': sum += f.FieldReadD(); break;
        default: sum += static_cast<double>(f.FieldReadC().size());
      }
    }
    if (f.FieldReadIsBlock() && f.FieldReadBlockBegin()) {
      sum += ReadBlock(f);
      f.FieldReadBlockEnd();
    }
  }
  return sum;
}

long PeakRssKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

void ResetPeakRss() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

void BM_Write(benchmark::State& state) {
  bool binary = state.range(0) != 0;
  std::string path = BenchPath(binary) + ".out";
  for (auto _ : state) {
    if (!WriteScene(path, binary)) state.SkipWithError("write failed");
  }
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  state.counters["MB"] = static_cast<double>(FileSize(path)) / 1e6;
  std::remove(path.c_str());
}

void BM_Read(benchmark::State& state) {
  bool binary = state.range(0) != 0;
  EnsureScene(binary);
  std::string path = BenchPath(binary);
  int64_t size = FileSize(path);
  long peak = 0;
  for (auto _ : state) {
    ResetPeakRss();
    VZynFile f;
    if (!f.OpenFile(path)) {
      state.SkipWithError(f.GetErrorMessage().c_str());
      break;
    }
    benchmark::DoNotOptimize(ReadBlock(f));
    f.CloseFile();
    peak = std::max(peak, PeakRssKiB());
  }
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["MB"] = static_cast<double>(size) / 1e6;
  state.counters["peak_rss_over_file"] = static_cast<double>(peak) * 1024.0 / static_cast<double>(size);
}

BENCHMARK(BM_Write)->Arg(1)->Arg(0)->ArgName("binary")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Read)->Arg(1)->Arg(0)->ArgName("binary")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
