#pragma once
// A cluster of a skin ("Deformer" of subtype "Cluster"): control points of
// the skinned mesh with their weights, bound to a link model whose motion
// since the bind pose moves them.
//
// Graph: the link model is the cluster's first transform-node source (an
// "OO" connection link -> cluster), an associate model its second; the
// cluster is a source of its skin.

#include <cstdint>
#include <string>
#include <vector>

#include "scene/evaluate_info.h"
#include "scene/matrix.h"
#include "scene/scene_object.h"
#include "scene/skin_weights.h"

class VTransformNode;

class VDeformerCluster : public VSceneObject {
 public:
  explicit VDeformerCluster(const std::string& name);

  int GetMode() const { return mode_; }
  void SetMode(int mode);
  const std::string& GetUserData(int i) const { return user_data_[i == 0 ? 0 : 1]; }
  void SetUserData(const std::string& first, const std::string& second);

  // Control-point indexes and their weights, pair by pair.
  const std::vector<std::int32_t>& GetIndexes() const { return indexes_; }
  const std::vector<double>& GetWeights() const { return weights_; }
  // The longer array is cut to the shorter one's length.
  void SetWeights(std::vector<std::int32_t> indexes, std::vector<double> weights);

  // Bind pose: the skinned model's global matrix ("Transform") and the link
  // model's ("TransformLink"). A matrix with a value that is not finite is
  // taken as the identity.
  const YrSDK::YrMatrix& GetTransform() const { return transform_; }
  const YrSDK::YrMatrix& GetTransformLink() const { return transform_link_; }
  void SetTransforms(const YrSDK::YrMatrix& transform, const YrSDK::YrMatrix& transform_link);
  // From the model's bind space into the link's local bind space:
  // Transform followed by the inverse of TransformLink.
  const YrSDK::YrMatrix& GetBindMatrix() const { return bind_; }
  // False when TransformLink cannot be inverted: the cluster then moves
  // nothing (its deform matrix is the identity).
  bool HasValidBind() const { return bind_valid_; }

  bool HasAssociateModel() const { return has_associate_; }
  const YrSDK::YrMatrix& GetAssociateTransform() const { return associate_transform_; }
  const YrSDK::YrMatrix& GetAssociateTransformParent() const { return associate_parent_; }
  void SetAssociateMatrices(const YrSDK::YrMatrix& transform, const YrSDK::YrMatrix& parent);
  void ClearAssociateMatrices();

  VTransformNode* GetLink() const;
  VTransformNode* GetAssociateModel() const;

  // A process-unique number renewed by every change of the mode or the
  // weights, so that skins see when to prepare their weights again.
  std::uint64_t GetWeightStamp() const { return weight_stamp_; }

  // The matrix that moves a point of the skinned model for the current
  // evaluation: X * L * G^-1 (X the bind matrix, L the link's current
  // global matrix, G^-1 given). With an associate model A, its motion
  // since the bind pose, inverse(AssociateModel "Transform") * A's current
  // global matrix, comes between X and L. Without a link: the identity.
  YrSDK::YrMatrix ComputeDeformMatrix(const YrSDK::YrMatrix& inverse_global, const VEvaluateInfo& info) const;

  bool Retrieve(VZynFile& file, int mode) override;
  bool Store(VZynFile& file, int mode) const override;

 private:
  void Changed(bool weights);

  int mode_ = kVClusterNormalize;
  std::string user_data_[2];
  std::vector<std::int32_t> indexes_;
  std::vector<double> weights_;
  YrSDK::YrMatrix transform_, transform_link_, bind_;
  bool bind_valid_ = true;
  bool has_associate_ = false;
  YrSDK::YrMatrix associate_transform_, associate_parent_, associate_inverse_;
  std::uint64_t weight_stamp_ = 0;
};
