// The importer's scan of a large binary scene file whose header carries the
// camera resolution and whose document summary lists the takes: only the
// header and the summary are read, so the time stays flat as the file grows.
// Anchor: the same bytes (the header with its extension, and the summary
// section at the end) read with plain open/pread/close.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_main.h"
#include "component/import_scan.h"
#include "document/document_summary.h"
#include "scene/scene.h"
#include "zynfile/zyn_file.h"

namespace {

constexpr std::int64_t kTicksPerSecond = 46186158000LL;
// Bytes the anchor reads at each end: more than the header with its
// extension, and more than the summary section with its footer.
constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kTailBytes = 1024;

std::string BenchPath(int megabytes) { return "/tmp/qtzyn_import_bench_" + std::to_string(megabytes) + ".zyn"; }

// A binary file of about `megabytes` MB: the header's camera, a main
// section of plain doubles, and the document summary of two takes.
bool WriteLargeScene(const std::string& path, int megabytes) {
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && st.st_size >= static_cast<off_t>(megabytes) * (1 << 20)) return true;
  VScene scene;
  scene.takes().Create("Take 001")->local_span = VTimeSpan(VTime(0), VTime(2 * kTicksPerSecond));
  scene.takes().Create("Take 002")->local_span = VTimeSpan(VTime(0), VTime(301 * kTicksPerSecond / 100));
  VZynFile file;
  file.SetHeaderCamera("Fixed Resolution", 640, 480);
  if (!file.CreateFile(path, true, false, "Model::Cam")) return false;
  std::vector<double> values(1 << 16);
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<double>(i) * 0.5;
  const std::size_t chunkBytes = values.size() * 9;  // a type byte and 8 bytes each
  file.FieldWriteBlockBegin("Objects");
  for (std::size_t written = 0; written < static_cast<std::size_t>(megabytes) << 20; written += chunkBytes) {
    file.FieldWriteBegin("Vertices");
    file.FieldWriteDn(values.data(), values.size());
    file.FieldWriteEnd();
  }
  file.FieldWriteBlockEnd();
  file.FieldWriteEnd();
  bool ok = !file.HasError();
  ok = VZynWriteDocumentSummary(file, scene, false) && ok;
  return file.CloseFile() && ok;
}

void BM_ImportScan(benchmark::State& state) {
  const int megabytes = static_cast<int>(state.range(0));
  const std::string path = BenchPath(megabytes);
  if (!WriteLargeScene(path, megabytes)) {
    state.SkipWithError("cannot write the file");
    return;
  }
  for (auto _ : state) {
    const qtzyn::ImportScan scan = qtzyn::ScanSceneFile(path.c_str());
    if (scan.size.width != 640 || scan.duration != 182) state.SkipWithError("unexpected scan");
    benchmark::DoNotOptimize(scan);
  }
}

void BM_ReadHeaderAndSummaryBytes(benchmark::State& state) {  // the anchor
  const int megabytes = static_cast<int>(state.range(0));
  const std::string path = BenchPath(megabytes);
  if (!WriteLargeScene(path, megabytes)) {
    state.SkipWithError("cannot write the file");
    return;
  }
  std::vector<char> head(kHeaderBytes), tail(kTailBytes);
  for (auto _ : state) {
    const int fd = open(path.c_str(), O_RDONLY);
    struct stat st;
    fstat(fd, &st);
    ssize_t n = pread(fd, head.data(), head.size(), 0);
    n += pread(fd, tail.data(), tail.size(), st.st_size - static_cast<off_t>(tail.size()));
    close(fd);
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(head.data());
    benchmark::DoNotOptimize(tail.data());
  }
}

BENCHMARK(BM_ImportScan)->Arg(1)->Arg(64)->Arg(512)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadHeaderAndSummaryBytes)->Arg(1)->Arg(64)->Arg(512)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
