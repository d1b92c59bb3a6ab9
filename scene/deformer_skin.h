#pragma once
// A skin ("Deformer" of subtype "Skin"): the ordered clusters of one mesh
// (its sources) and the accuracy its weights are quantised to. The skin is
// a source of the mesh model it deforms.
//
// The prepared weights and the skinning job's arrays are rebuilt only when
// the set of clusters, their modes or weights, the accuracy or the point
// count change; each evaluation then computes one matrix per cluster and
// runs the job.

#include <cstdint>
#include <string>
#include <vector>

#include "scene/array_span.h"
#include "scene/evaluate_info.h"
#include "scene/matrix.h"
#include "scene/scene_object.h"
#include "scene/skin_weights.h"

class VDeformerCluster;

class VDeformerSkin : public VSceneObject {
 public:
  explicit VDeformerSkin(const std::string& name);

  // "Link_DeformAcuracy", in percent, kept within 1..100.
  int GetAccuracy() const { return accuracy_; }
  void SetAccuracy(int percent);

  int GetClusterCount() const;
  VDeformerCluster* GetCluster(int index) const;

  // The weights prepared for a mesh of `point_count` control points.
  const VSkinWeights& GetPreparedWeights(std::size_t point_count) const;

  // Moves `in` (the mesh's points, shapes applied) into `out` for the
  // current evaluation; `global` is the deformed model's global matrix.
  // Both spans have the mesh's point count. Allocates nothing once
  // prepared for that count.
  void Deform(const YrSDK::YrMatrix& global, const VEvaluateInfo& info, VSpan<const YrSDK::YrVector4<float>> in,
              VSpan<YrSDK::YrVector4<float>> out) const;

  bool Retrieve(VZynFile& file, int mode) override;
  bool Store(VZynFile& file, int mode) const override;

 private:
  // The job's arrays, derived from the prepared weights. The palette holds
  // the clusters' matrices, then the identity, then the matrices composed
  // per evaluation for the groups with additive clusters.
  struct Plan {
    VSkinWeights weights;
    std::vector<std::uint32_t> influence_start;
    std::vector<std::uint32_t> influence_matrix;
    std::vector<float> influence_weight;
    std::vector<std::uint32_t> composite_groups;
  };

  void Refresh(std::size_t point_count) const;
  void BuildPlan(std::size_t point_count) const;

  int accuracy_ = 100;
  mutable std::uint64_t connection_stamp_ = 0;
  mutable std::vector<VDeformerCluster*> clusters_;
  mutable std::vector<std::uint64_t> plan_key_;  // the clusters' weight stamps the plan was built from
  mutable std::size_t plan_points_ = 0;
  mutable int plan_accuracy_ = 0;
  mutable bool plan_built_ = false;
  mutable Plan plan_;
  // Per evaluation.
  mutable std::vector<YrSDK::YrMatrix> cluster_matrices_;
  mutable std::vector<float> palette_;
};
