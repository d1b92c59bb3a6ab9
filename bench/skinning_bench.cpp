// Skinning a 100,000-point mesh with up to four influences a point: the
// job alone (points per second) and the mesh's whole evaluation (cluster
// matrices, job, cache), with weights that give almost every point a
// weight group of its own, the worst case for grouping.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "bench/bench_main.h"
#include "core/evaluation_serial.h"
#include "scene/deformer_cluster.h"
#include "scene/deformer_skin.h"
#include "scene/matrix_functions.h"
#include "scene/model.h"
#include "scene/model_polymesh.h"
#include "scene/skinning_job.h"

namespace {

constexpr int kPoints = 100000;
constexpr int kClusters = 32;

struct Rig {
  std::unique_ptr<VModelPolymesh> mesh;
  std::unique_ptr<VDeformerSkin> skin;
  std::vector<std::unique_ptr<VModel>> bones;
  std::vector<std::unique_ptr<VDeformerCluster>> clusters;

  explicit Rig(int max_influences) {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> coordinate(-10, 10);
    mesh = std::make_unique<VModelPolymesh>("Body");
    VGeometry g;
    for (int i = 0; i < kPoints; ++i) g.points.push_back({coordinate(random), coordinate(random), coordinate(random), 1});
    mesh->SetGeometry(g);
    skin = std::make_unique<VDeformerSkin>("Skin");
    mesh->ConnectSrc(skin.get());
    std::vector<std::vector<std::int32_t>> indexes(kClusters);
    std::vector<std::vector<double>> weights(kClusters);
    std::uniform_real_distribution<double> weight(0.05, 1.0);
    for (int p = 0; p < kPoints; ++p) {
      const int influences = 1 + p % max_influences;
      for (int i = 0; i < influences; ++i) {
        const int c = (p / 7 + i * 5) % kClusters;  // distinct clusters for one point
        indexes[c].push_back(p);
        weights[c].push_back(weight(random));
      }
    }
    for (int c = 0; c < kClusters; ++c) {
      bones.push_back(std::make_unique<VModel>("Bone" + std::to_string(c), "Limb"));
      bones.back()->RotationProperty()->Set(VDouble3{c * 3.0, c * 5.0, c * 7.0});
      clusters.push_back(std::make_unique<VDeformerCluster>("Cluster" + std::to_string(c)));
      clusters.back()->ConnectSrc(bones.back().get());
      skin->ConnectSrc(clusters.back().get());
      clusters.back()->SetWeights(indexes[c], weights[c]);
    }
  }
  ~Rig() {
    for (std::size_t c = 0; c < clusters.size(); ++c) {
      clusters[c]->DisconnectSrc(bones[c].get());
      skin->DisconnectSrc(clusters[c].get());
    }
    mesh->DisconnectSrc(skin.get());
  }
};

// The job over the skin's prepared groups.
void BM_SkinningJob(benchmark::State& state) {
  Rig rig(static_cast<int>(state.range(0)));
  const VSkinWeights& w = rig.skin->GetPreparedWeights(kPoints);
  std::vector<std::uint32_t> influence_start{0}, influence_matrix;
  std::vector<float> influence_weight;
  for (std::size_t g = 0; g < w.GroupCount(); ++g) {
    for (std::uint32_t e = w.group_entry_start[g]; e < w.group_entry_start[g + 1]; ++e) {
      influence_matrix.push_back(w.entry_cluster[e]);
      influence_weight.push_back(static_cast<float>(w.entry_weight[e]));
    }
    if (w.group_entry_start[g] == w.group_entry_start[g + 1]) {
      influence_matrix.push_back(0);
      influence_weight.push_back(1.0f);
    }
    influence_start.push_back(static_cast<std::uint32_t>(influence_matrix.size()));
  }
  std::vector<float> palette(kClusters * kVSkinMatrixFloats);
  for (int c = 0; c < kClusters; ++c) {
    YrSDK::YrMatrix m;
    YrSDK::YrTRSToMatrix(m, YrSDK::YrVector4<double>(c, 1, 2, 1), YrSDK::YrVector3<double>(c, 2 * c, 3 * c),
                         YrSDK::YrSVector(1, 1, 1));
    VSkinMatrixFromYr(&palette[static_cast<std::size_t>(c) * kVSkinMatrixFloats], m);
  }
  const auto& in = rig.mesh->GetGeometry().points;
  std::vector<YrSDK::YrVector4<float>> out(in.size());
  VSkinningJob job;
  job.matrices = VSpan<const float>(palette);
  job.influence_start = VSpan<const std::uint32_t>(influence_start);
  job.influence_matrix = VSpan<const std::uint32_t>(influence_matrix);
  job.influence_weight = VSpan<const float>(influence_weight);
  job.point_start = VSpan<const std::uint32_t>(w.group_point_start);
  job.points = VSpan<const std::uint32_t>(w.group_points);
  job.in = VSpan<const YrSDK::YrVector4<float>>(in);
  job.out = VSpan<YrSDK::YrVector4<float>>(out);
  if (!job.ValidateContents()) state.SkipWithError("invalid job");
  for (auto _ : state) {
    job.Run();
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.counters["groups"] = static_cast<double>(w.GroupCount());
  state.counters["points/s"] = benchmark::Counter(static_cast<double>(kPoints) * state.iterations(),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SkinningJob)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// One evaluation of the mesh: every cluster's matrix, the job, the cache.
void BM_MeshEvaluation(benchmark::State& state) {
  Rig rig(4);
  rig.mesh->GetDeformedPoints();  // weights prepared once
  for (auto _ : state) {
    VEvaluationAdvance();
    benchmark::DoNotOptimize(rig.mesh->GetDeformedPoints().data());
  }
  state.counters["points/s"] = benchmark::Counter(static_cast<double>(kPoints) * state.iterations(),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MeshEvaluation)->Unit(benchmark::kMicrosecond);

// Preparing the weights (done when clusters change, not per frame).
void BM_WeightPreparation(benchmark::State& state) {
  Rig rig(4);
  int round = 0;
  for (auto _ : state) {
    rig.skin->SetAccuracy(50 + (++round % 2));  // a new accuracy: prepared again
    benchmark::DoNotOptimize(&rig.skin->GetPreparedWeights(kPoints));
  }
}
BENCHMARK(BM_WeightPreparation)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
