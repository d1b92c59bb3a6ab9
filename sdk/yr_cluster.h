#pragma once
// YrCluster: public handle over a cluster of a skin (not owned): the link
// model whose motion moves the cluster's control points, and the points
// with their weights.
//
// Weights set with LinkSetCurrentVertex gather in an edit that the handle
// and its copies share; ClusterEnd hands them to the cluster, whose skin
// then prepares its weights again. The readers see the edit while it is
// open. An empty handle does nothing: counts 0, empty model handles, index
// -1, weight 0.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "sdk/yr_component.h"
#include "sdk/yr_geometry.h"
#include "sdk/yr_model.h"

class VDeformerCluster;
class VScene;

namespace YrSDK {

// How a cluster's weights combine with the others' at a point ("Mode").
enum YrClusterMode {
  kYrClusterNormalize = 0,  // weights divided by the point's sum
  kYrClusterAdditive = 1,   // moves the point by its own weight, after the others
  kYrClusterTotal100 = 2,   // weights taken as they are (the sum counts as 1)
};

class YrCluster : public YrComponent {
 public:
  YrCluster() = default;
  // An empty handle unless the component is a cluster.
  explicit YrCluster(const YrComponent& component);
  explicit YrCluster(VDeformerCluster* cluster);
  bool IsValid() const { return cluster_ != nullptr; }

  // Makes a cluster of that name in the scene on the skin of the mesh (a
  // skin named after the mesh is made when it has none). Empty when the
  // mesh handle is empty or the name is taken.
  static YrCluster Create(VScene& scene, const YrGeometry& mesh, const std::string& name);

  // The link's name: the cluster's own.
  bool LinkSetName(const std::string& name) { return SetName(name); }
  std::string LinkGetName() const { return GetName(); }

  // Binds the cluster to a model where it and the deformed mesh stand now:
  // the bind pose is taken from their current global matrices.
  bool LinkSetModel(const YrModel& model);
  YrModel LinkGetModel() const;
  YrModel LinkGetAssociateModel() const;
  // Unbinds the link and associate models and forgets the points.
  bool LinkRemove();
  // Forgets the points whose weight is 0.
  bool LinkClearUnused();

  // Gives a control point its weight (replacing one it had).
  bool LinkSetCurrentVertex(int index, double weight);
  int LinkGetVertexCount() const;
  int LinkGetVertexIndex(int i) const;
  double LinkGetVertexWeight(int i) const;
  // Hands the edited weights to the cluster; false when none is open.
  bool ClusterEnd();

  // The cluster's mode (kYrClusterNormalize for an empty handle); a mode
  // that is none of the three is refused.
  YrClusterMode GetClusterMode() const;
  bool SetClusterMode(YrClusterMode mode);

 private:
  struct Edit {
    bool open = false;
    std::vector<std::int32_t> indexes;
    std::vector<double> weights;
    std::unordered_map<std::int32_t, std::size_t> at;  // index -> position
  };
  const std::vector<std::int32_t>& Indexes() const;
  const std::vector<double>& Weights() const;

  VDeformerCluster* cluster_ = nullptr;
  std::shared_ptr<Edit> edit_;  // made with the handle, so that copies share it
};

}  // namespace YrSDK
