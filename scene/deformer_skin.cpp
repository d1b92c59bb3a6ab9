#include "scene/deformer_skin.h"

#include <algorithm>

#include "core/evaluation_serial.h"
#include "scene/deformer_cluster.h"
#include "scene/matrix_functions.h"
#include "scene/skinning_job.h"
#include "zynfile/property_block.h"
#include "zynfile/zyn_file.h"

using YrSDK::YrMatrix;
using YrSDK::YrVector4;

namespace {

// Total weights below this leave the rest to the point's own place.
constexpr double kFullWeight = 0.999;

void AddScaled(YrMatrix& sum, const YrMatrix& m, double w) {
  for (int i = 0; i < 16; ++i) sum.m[i] += w * m.m[i];
}

}  // namespace

VDeformerSkin::VDeformerSkin(const std::string& name) : VSceneObject("Deformer", name, "Skin") {}

void VDeformerSkin::SetAccuracy(int percent) {
  percent = std::clamp(percent, 1, 100);
  if (percent == accuracy_) return;
  accuracy_ = percent;
  VEvaluationAdvance();
}

int VDeformerSkin::GetClusterCount() const {
  Refresh(plan_points_);
  return static_cast<int>(clusters_.size());
}

VDeformerCluster* VDeformerSkin::GetCluster(int index) const {
  Refresh(plan_points_);
  return index >= 0 && index < static_cast<int>(clusters_.size()) ? clusters_[static_cast<std::size_t>(index)]
                                                                   : nullptr;
}

const VSkinWeights& VDeformerSkin::GetPreparedWeights(std::size_t point_count) const {
  Refresh(point_count);
  return plan_.weights;
}

void VDeformerSkin::Refresh(std::size_t point_count) const {
  const std::uint64_t serial = VConnectionSerial();
  if (connection_stamp_ != serial) {
    connection_stamp_ = serial;
    clusters_.clear();
    for (int i = 0; i < GetSrcCount(); ++i) {
      if (auto* cluster = dynamic_cast<VDeformerCluster*>(GetSrc(i))) clusters_.push_back(cluster);
    }
  }
  bool same = plan_built_ && plan_points_ == point_count && plan_accuracy_ == accuracy_ &&
              plan_key_.size() == clusters_.size();
  for (std::size_t c = 0; same && c < clusters_.size(); ++c) same = plan_key_[c] == clusters_[c]->GetWeightStamp();
  if (same) return;
  plan_key_.clear();
  for (const VDeformerCluster* cluster : clusters_) plan_key_.push_back(cluster->GetWeightStamp());
  plan_points_ = point_count;
  plan_accuracy_ = accuracy_;
  plan_built_ = true;
  BuildPlan(point_count);
}

void VDeformerSkin::BuildPlan(std::size_t point_count) const {
  std::vector<VClusterWeights> inputs;
  for (const VDeformerCluster* cluster : clusters_) {
    inputs.push_back({cluster->GetMode(), cluster->GetIndexes(), cluster->GetWeights()});
  }
  Plan& p = plan_;
  VPrepareSkinWeights(point_count, inputs, accuracy_, p.weights);
  const VSkinWeights& w = p.weights;
  const std::uint32_t identity = static_cast<std::uint32_t>(clusters_.size());
  p.influence_start.assign(1, 0);
  p.influence_matrix.clear();
  p.influence_weight.clear();
  p.composite_groups.clear();
  for (std::size_t g = 0; g < w.GroupCount(); ++g) {
    const std::uint32_t first = w.group_entry_start[g], last = w.group_entry_start[g + 1];
    bool additive = false;
    double total = 0.0;
    for (std::uint32_t e = first; e < last; ++e) {
      additive = additive || clusters_[w.entry_cluster[e]]->GetMode() == kVClusterAdditive;
      total += w.entry_weight[e];
    }
    if (additive) {
      // Its matrix is a product: composed per evaluation.
      p.influence_matrix.push_back(identity + 1 + static_cast<std::uint32_t>(p.composite_groups.size()));
      p.influence_weight.push_back(1.0f);
      p.composite_groups.push_back(static_cast<std::uint32_t>(g));
    } else if (first == last) {
      p.influence_matrix.push_back(identity);  // moved by nothing
      p.influence_weight.push_back(1.0f);
    } else {
      for (std::uint32_t e = first; e < last; ++e) {
        p.influence_matrix.push_back(w.entry_cluster[e]);
        p.influence_weight.push_back(static_cast<float>(w.entry_weight[e]));
      }
      if (total < kFullWeight) {
        p.influence_matrix.push_back(identity);
        p.influence_weight.push_back(static_cast<float>(1.0 - total));
      }
    }
    p.influence_start.push_back(static_cast<std::uint32_t>(p.influence_matrix.size()));
  }
  palette_.assign((clusters_.size() + 1 + p.composite_groups.size()) * kVSkinMatrixFloats, 0.0f);
  VSkinMatrixFromYr(palette_.data() + clusters_.size() * kVSkinMatrixFloats, YrMatrix());
  cluster_matrices_.assign(clusters_.size(), YrMatrix());
}

void VDeformerSkin::Deform(const YrMatrix& global, const VEvaluateInfo& info, VSpan<const YrVector4<float>> in,
                           VSpan<YrVector4<float>> out) const {
  if (out.size != in.size) return;
  Refresh(in.size);
  YrMatrix inverse_global;
  YrSDK::YrMatrixInverse(inverse_global, global);
  for (std::size_t c = 0; c < clusters_.size(); ++c) {
    cluster_matrices_[c] = clusters_[c]->ComputeDeformMatrix(inverse_global, info);
    VSkinMatrixFromYr(palette_.data() + c * kVSkinMatrixFloats, cluster_matrices_[c]);
  }
  // Groups with additive clusters: A (the additive blends, one after the
  // other) followed by S (the weighted sum of the others).
  const VSkinWeights& w = plan_.weights;
  for (std::size_t k = 0; k < plan_.composite_groups.size(); ++k) {
    const std::uint32_t g = plan_.composite_groups[k];
    YrMatrix s, a;
    for (double& v : s.m) v = 0.0;
    double total = 0.0;
    bool normal = false, any_additive = false;
    for (std::uint32_t e = w.group_entry_start[g]; e < w.group_entry_start[g + 1]; ++e) {
      const std::uint32_t c = w.entry_cluster[e];
      const double weight = w.entry_weight[e];
      if (clusters_[c]->GetMode() == kVClusterAdditive) {
        YrMatrix b;
        for (double& v : b.m) v = 0.0;
        AddScaled(b, cluster_matrices_[c], weight);
        AddScaled(b, YrMatrix(), 1.0 - weight);
        if (any_additive) YrSDK::YrMatrixMult(a, a, b);
        else a = b;
        any_additive = true;
      } else {
        AddScaled(s, cluster_matrices_[c], weight);
        total += weight;
        normal = true;
      }
    }
    if (normal && total < kFullWeight) AddScaled(s, YrMatrix(), 1.0 - total);
    if (normal) YrSDK::YrMatrixMult(a, a, s);
    VSkinMatrixFromYr(palette_.data() + (clusters_.size() + 1 + k) * kVSkinMatrixFloats, a);
  }
  VSkinningJob job;
  job.matrices = VSpan<const float>(palette_);
  job.influence_start = VSpan<const std::uint32_t>(plan_.influence_start);
  job.influence_matrix = VSpan<const std::uint32_t>(plan_.influence_matrix);
  job.influence_weight = VSpan<const float>(plan_.influence_weight);
  job.point_start = VSpan<const std::uint32_t>(w.group_point_start);
  job.points = VSpan<const std::uint32_t>(w.group_points);
  job.in = in;
  job.out = out;
  if (!job.Run()) std::copy(in.begin(), in.end(), out.begin());
}

bool VDeformerSkin::Retrieve(VZynFile& file, int mode) {
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  VZynReadPropertyBlock(file, *this);
  SetAccuracy(file.FieldReadI("Link_DeformAcuracy", 100));
  return !file.HasError();
}

bool VDeformerSkin::Store(VZynFile& file, int mode) const {
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  VZynWritePropertyBlock(file, *this);
  file.FieldWriteI("Version", 101);
  file.FieldWriteI("Link_DeformAcuracy", accuracy_);
  return !file.HasError();
}
