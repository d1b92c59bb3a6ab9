// Triangulating a 100,000-polygon mesh once: quads (the short path), a mix
// with concave pentagons and hexagons (ear clipping), and the strips built
// from the triangles.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/bench_main.h"
#include "scene/geometry.h"
#include "scene/triangulation.h"

namespace {

constexpr int kSide = 316;  // 316 x 316 cells: about 100,000 polygons

// A grid of cells; with `concave`, every other cell is a concave hexagon
// (its top edge dented) or a pentagon instead of a quad.
VGeometry Grid(bool concave) {
  VGeometry g;
  const int w = kSide + 1;
  for (int y = 0; y <= kSide; ++y) {
    for (int x = 0; x <= kSide; ++x) g.points.push_back({float(x), float(y), 0.1f * std::sin(x * 0.1f), 1});
  }
  const std::uint32_t dents = static_cast<std::uint32_t>(g.points.size());
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) g.points.push_back({x + 0.5f, y + 0.6f, 0, 1});  // inside each cell
  }
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const std::uint32_t a = static_cast<std::uint32_t>(y * w + x);
      const std::uint32_t dent = dents + static_cast<std::uint32_t>(y * kSide + x);
      if (concave && (x + y) % 2 == 0) {
        const std::uint32_t hexagon[] = {a, a + 1, a + 1 + w, dent, a + w};
        VGeometryAddPolygon(g, hexagon, 5);
      } else {
        const std::uint32_t quad[] = {a, a + 1, a + 1 + w, a + w};
        VGeometryAddPolygon(g, quad, 4);
      }
    }
  }
  VGeometryFit(g);
  return g;
}

void Triangulate(benchmark::State& state, bool concave) {
  const VGeometry g = Grid(concave);
  std::vector<std::uint32_t> triangles;
  VTriangulationJob job;
  job.points = VSpan<const YrSDK::YrVector4<float>>(g.points);
  job.polygon_vertex_index = VSpan<const std::uint32_t>(g.polygon_vertex_index);
  job.polygon_start = VSpan<const std::uint32_t>(g.polygon_start);
  triangles.resize(job.TriangleCount() * 3);
  job.triangles = VSpan<std::uint32_t>(triangles);
  for (auto _ : state) {
    job.Run();
    benchmark::DoNotOptimize(triangles.data());
  }
  state.counters["polygons"] = static_cast<double>(g.PolygonCount());
}

void BM_TriangulateQuads(benchmark::State& state) { Triangulate(state, false); }
void BM_TriangulateConcaveMix(benchmark::State& state) { Triangulate(state, true); }
BENCHMARK(BM_TriangulateQuads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TriangulateConcaveMix)->Unit(benchmark::kMillisecond);

// Triangulation, triangle-to-polygon table and strips: what a geometry
// change costs in all.
void BM_TriangulateAndStrip(benchmark::State& state) {
  const VGeometry g = Grid(true);
  VTriangulation t;
  for (auto _ : state) {
    VTriangulateGeometry(g, t);
    benchmark::DoNotOptimize(t.strips.data());
  }
  state.counters["strips"] = static_cast<double>(t.StripCount());
  state.counters["triangles"] = static_cast<double>(t.triangles.size() / 3);
}
BENCHMARK(BM_TriangulateAndStrip)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
