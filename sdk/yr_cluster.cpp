#include "sdk/yr_cluster.h"

#include <utility>

#include "scene/deformer_cluster.h"
#include "scene/deformer_skin.h"
#include "scene/model_polymesh.h"
#include "scene/scene.h"
#include "sdk/bridge/yr_engine_handles.h"

namespace YrSDK {

namespace {

// The mesh the cluster deforms: the destination of one of its skins.
VModelPolymesh* DeformedMesh(const VDeformerCluster& cluster) {
  for (int i = 0; i < cluster.GetDstCount(); ++i) {
    const auto* skin = dynamic_cast<const VDeformerSkin*>(cluster.GetDst(i));
    if (!skin) continue;
    for (int k = 0; k < skin->GetDstCount(); ++k) {
      if (auto* mesh = dynamic_cast<VModelPolymesh*>(skin->GetDst(k))) return mesh;
    }
  }
  return nullptr;
}

const std::vector<std::int32_t> kNoIndexes;
const std::vector<double> kNoWeights;

}  // namespace

YrCluster::YrCluster(const YrComponent& component)
    : YrCluster(dynamic_cast<VDeformerCluster*>(YrEngineHandles::Object(component))) {}

YrCluster::YrCluster(VDeformerCluster* cluster)
    : YrComponent(cluster), cluster_(cluster), edit_(cluster ? std::make_shared<Edit>() : nullptr) {}

YrCluster YrCluster::Create(VScene& scene, const YrGeometry& mesh, const std::string& name) {
  VModelPolymesh* model = YrEngineHandles::Mesh(mesh);
  if (!model) return YrCluster();
  auto* cluster = static_cast<VDeformerCluster*>(scene.Add(std::make_unique<VDeformerCluster>(name)));
  if (!cluster) return YrCluster();
  VDeformerSkin* skin = model->GetSkin();
  if (!skin) {
    skin = static_cast<VDeformerSkin*>(scene.Add(std::make_unique<VDeformerSkin>(model->GetName() + " Skin")));
    if (!skin || !model->ConnectSrc(skin)) {
      scene.Remove(cluster);
      if (skin) scene.Remove(skin);
      return YrCluster();
    }
  }
  if (!skin->ConnectSrc(cluster)) {
    scene.Remove(cluster);
    return YrCluster();
  }
  return YrCluster(cluster);
}

bool YrCluster::LinkSetModel(const YrModel& model) {
  VTransformNode* node = dynamic_cast<VTransformNode*>(YrEngineHandles::Object(model));
  if (!cluster_ || !node) return false;
  if (VTransformNode* old = cluster_->GetLink()) {
    if (old != node) cluster_->DisconnectSrc(old);
  }
  if (cluster_->GetLink() != node && !cluster_->ConnectSrcAt(0, node)) return false;
  const VModelPolymesh* mesh = DeformedMesh(*cluster_);
  cluster_->SetTransforms(mesh ? mesh->GetMatrix(kVSpaceGlobal) : YrMatrix(), node->GetMatrix(kVSpaceGlobal));
  return true;
}

YrModel YrCluster::LinkGetModel() const { return YrModel(cluster_ ? cluster_->GetLink() : nullptr); }

YrModel YrCluster::LinkGetAssociateModel() const {
  return YrModel(cluster_ ? cluster_->GetAssociateModel() : nullptr);
}

bool YrCluster::LinkRemove() {
  if (!cluster_) return false;
  if (VTransformNode* associate = cluster_->GetAssociateModel()) cluster_->DisconnectSrc(associate);
  if (VTransformNode* link = cluster_->GetLink()) cluster_->DisconnectSrc(link);
  cluster_->ClearAssociateMatrices();
  cluster_->SetWeights({}, {});
  *edit_ = Edit();
  return true;
}

bool YrCluster::LinkClearUnused() {
  if (!cluster_) return false;
  std::vector<std::int32_t> indexes;
  std::vector<double> weights;
  const std::vector<std::int32_t>& from_indexes = Indexes();
  const std::vector<double>& from_weights = Weights();
  for (std::size_t i = 0; i < from_indexes.size() && i < from_weights.size(); ++i) {
    if (from_weights[i] == 0.0) continue;
    indexes.push_back(from_indexes[i]);
    weights.push_back(from_weights[i]);
  }
  if (edit_->open) {
    edit_->indexes = std::move(indexes);
    edit_->weights = std::move(weights);
    edit_->at.clear();
    for (std::size_t i = 0; i < edit_->indexes.size(); ++i) edit_->at[edit_->indexes[i]] = i;
  } else {
    cluster_->SetWeights(std::move(indexes), std::move(weights));
  }
  return true;
}

bool YrCluster::LinkSetCurrentVertex(int index, double weight) {
  if (!cluster_ || index < 0) return false;
  if (!edit_->open) {
    edit_->open = true;
    edit_->indexes = cluster_->GetIndexes();
    edit_->weights = cluster_->GetWeights();
    for (std::size_t i = 0; i < edit_->indexes.size(); ++i) edit_->at.emplace(edit_->indexes[i], i);
  }
  const auto found = edit_->at.find(index);
  if (found != edit_->at.end()) {
    edit_->weights[found->second] = weight;
  } else {
    edit_->at.emplace(index, edit_->indexes.size());
    edit_->indexes.push_back(index);
    edit_->weights.push_back(weight);
  }
  return true;
}

const std::vector<std::int32_t>& YrCluster::Indexes() const {
  return !cluster_ ? kNoIndexes : edit_->open ? edit_->indexes : cluster_->GetIndexes();
}

const std::vector<double>& YrCluster::Weights() const {
  return !cluster_ ? kNoWeights : edit_->open ? edit_->weights : cluster_->GetWeights();
}

int YrCluster::LinkGetVertexCount() const { return static_cast<int>(Indexes().size()); }

int YrCluster::LinkGetVertexIndex(int i) const {
  const std::vector<std::int32_t>& indexes = Indexes();
  return i >= 0 && static_cast<std::size_t>(i) < indexes.size() ? indexes[static_cast<std::size_t>(i)] : -1;
}

double YrCluster::LinkGetVertexWeight(int i) const {
  const std::vector<double>& weights = Weights();
  return i >= 0 && static_cast<std::size_t>(i) < weights.size() ? weights[static_cast<std::size_t>(i)] : 0.0;
}

bool YrCluster::ClusterEnd() {
  if (!cluster_ || !edit_->open) return false;
  Edit edit = std::move(*edit_);
  *edit_ = Edit();
  cluster_->SetWeights(std::move(edit.indexes), std::move(edit.weights));
  return true;
}

}  // namespace YrSDK

namespace YrSDK {

static_assert(int{kYrClusterNormalize} == int{kVClusterNormalize} &&
                  int{kYrClusterAdditive} == int{kVClusterAdditive} &&
                  int{kYrClusterTotal100} == int{kVClusterTotal100},
              "the public cluster modes are the engine's");

YrClusterMode YrCluster::GetClusterMode() const {
  return cluster_ ? static_cast<YrClusterMode>(cluster_->GetMode()) : kYrClusterNormalize;
}

bool YrCluster::SetClusterMode(YrClusterMode mode) {
  if (!cluster_ || (mode != kYrClusterNormalize && mode != kYrClusterAdditive && mode != kYrClusterTotal100)) {
    return false;
  }
  cluster_->SetMode(mode);
  return true;
}

}  // namespace YrSDK
