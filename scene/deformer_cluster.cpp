#include "scene/deformer_cluster.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "core/evaluation_serial.h"
#include "scene/matrix_functions.h"
#include "scene/transform_node.h"
#include "zynfile/property_block.h"
#include "zynfile/zyn_file.h"

using YrSDK::YrMatrix;

namespace {

std::atomic<std::uint64_t> gWeightStamp{1};

YrMatrix FiniteOrIdentity(const YrMatrix& m) {
  for (double v : m.m) {
    if (!std::isfinite(v)) return YrMatrix();
  }
  return m;
}

YrMatrix ReadMatrix(VZynFile& file, const char* name) {
  YrMatrix m;
  if (file.FieldReadBegin(name)) {
    // A short record leaves the rest of the identity in place.
    for (int i = 0; i < 16 && file.FieldReadGetRemain() > 0; ++i) m.m[i] = file.FieldReadD();
    file.FieldReadEnd();
  }
  return m;
}

void WriteMatrix(VZynFile& file, const char* name, const YrMatrix& m) {
  file.FieldWriteBegin(name);
  file.FieldWriteDn(m.m, 16);
  file.FieldWriteEnd();
}

// The n-th transform node among the sources.
VTransformNode* NodeSource(const VPlug& plug, int n) {
  for (int i = 0; i < plug.GetSrcCount(); ++i) {
    if (auto* node = dynamic_cast<VTransformNode*>(plug.GetSrc(i))) {
      if (n-- == 0) return node;
    }
  }
  return nullptr;
}

}  // namespace

VDeformerCluster::VDeformerCluster(const std::string& name) : VSceneObject("Deformer", name, "Cluster") {
  Changed(true);
}

void VDeformerCluster::Changed(bool weights) {
  if (weights) weight_stamp_ = gWeightStamp.fetch_add(1, std::memory_order_relaxed);
  VEvaluationAdvance();
}

void VDeformerCluster::SetMode(int mode) {
  mode = mode == kVClusterAdditive || mode == kVClusterTotal100 ? mode : kVClusterNormalize;
  if (mode == mode_) return;
  mode_ = mode;
  Changed(true);
}

void VDeformerCluster::SetUserData(const std::string& first, const std::string& second) {
  user_data_[0] = first;
  user_data_[1] = second;
}

void VDeformerCluster::SetWeights(std::vector<std::int32_t> indexes, std::vector<double> weights) {
  const std::size_t n = std::min(indexes.size(), weights.size());
  indexes.resize(n);
  weights.resize(n);
  indexes_ = std::move(indexes);
  weights_ = std::move(weights);
  Changed(true);
}

void VDeformerCluster::SetTransforms(const YrMatrix& transform, const YrMatrix& transform_link) {
  transform_ = FiniteOrIdentity(transform);
  transform_link_ = FiniteOrIdentity(transform_link);
  YrMatrix inverse;
  bind_valid_ = YrSDK::YrMatrixInverse(inverse, transform_link_);
  YrSDK::YrMatrixMult(bind_, transform_, inverse);
  Changed(false);
}

void VDeformerCluster::SetAssociateMatrices(const YrMatrix& transform, const YrMatrix& parent) {
  has_associate_ = true;
  associate_transform_ = FiniteOrIdentity(transform);
  associate_parent_ = FiniteOrIdentity(parent);
  YrSDK::YrMatrixInverse(associate_inverse_, associate_transform_);
  Changed(false);
}

void VDeformerCluster::ClearAssociateMatrices() {
  has_associate_ = false;
  associate_transform_ = associate_parent_ = associate_inverse_ = YrMatrix();
  Changed(false);
}

VTransformNode* VDeformerCluster::GetLink() const { return NodeSource(*this, 0); }

VTransformNode* VDeformerCluster::GetAssociateModel() const { return NodeSource(*this, 1); }

YrMatrix VDeformerCluster::ComputeDeformMatrix(const YrMatrix& inverse_global, const VEvaluateInfo& info) const {
  const VTransformNode* link = GetLink();
  if (!link || !bind_valid_) return YrMatrix();
  YrMatrix m = bind_;
  if (has_associate_) {
    if (const VTransformNode* associate = GetAssociateModel()) {
      YrMatrix motion;
      YrSDK::YrMatrixMult(motion, associate_inverse_, associate->GetMatrix(kVSpaceGlobal, info));
      YrSDK::YrMatrixMult(m, m, motion);
    }
  }
  YrSDK::YrMatrixMult(m, m, link->GetMatrix(kVSpaceGlobal, info));
  YrSDK::YrMatrixMult(m, m, inverse_global);
  return m;
}

bool VDeformerCluster::Retrieve(VZynFile& file, int mode) {
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  VZynReadPropertyBlock(file, *this);
  if (file.FieldReadBegin("UserData")) {
    std::string first = file.FieldReadC();
    std::string second = file.FieldReadC();
    SetUserData(first, second);
    file.FieldReadEnd();
  }
  const std::string text = file.FieldReadC("Mode", "");
  SetMode(text == "Additive" ? kVClusterAdditive : text == "Total1" ? kVClusterTotal100 : kVClusterNormalize);
  std::vector<std::int32_t> indexes;
  std::vector<double> weights;
  if (file.FieldReadBegin("Indexes")) {
    indexes.resize(static_cast<std::size_t>(std::max(0, file.FieldReadGetRemain())));
    indexes.resize(static_cast<std::size_t>(file.FieldReadIn(indexes.data(), static_cast<int>(indexes.size()))));
    file.FieldReadEnd();
  }
  if (file.FieldReadBegin("Weights")) {
    weights.resize(static_cast<std::size_t>(std::max(0, file.FieldReadGetRemain())));
    weights.resize(static_cast<std::size_t>(file.FieldReadDn(weights.data(), static_cast<int>(weights.size()))));
    file.FieldReadEnd();
  }
  SetWeights(std::move(indexes), std::move(weights));
  YrMatrix transform = ReadMatrix(file, "Transform");
  YrMatrix link = ReadMatrix(file, "TransformLink");
  SetTransforms(transform, link);
  has_associate_ = false;
  if (file.FieldReadBegin("AssociateModel")) {
    if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
      YrMatrix a = ReadMatrix(file, "Transform");
      YrMatrix p = ReadMatrix(file, "TransformParent");
      SetAssociateMatrices(a, p);
      file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
  }
  return !file.HasError();
}

bool VDeformerCluster::Store(VZynFile& file, int mode) const {
  if (!(mode & kVZynModeProperties)) return !file.HasError();
  VZynWritePropertyBlock(file, *this);
  file.FieldWriteI("Version", 100);
  file.FieldWriteBegin("UserData");
  file.FieldWriteC(user_data_[0]);
  file.FieldWriteC(user_data_[1]);
  file.FieldWriteEnd();
  if (mode_ == kVClusterAdditive) file.FieldWriteC("Mode", std::string("Additive"));
  if (mode_ == kVClusterTotal100) file.FieldWriteC("Mode", std::string("Total1"));
  file.FieldWriteBegin("Indexes");
  for (std::int32_t i : indexes_) file.FieldWriteI(i);
  file.FieldWriteEnd();
  file.FieldWriteBegin("Weights");
  file.FieldWriteDn(weights_.data(), weights_.size());
  file.FieldWriteEnd();
  WriteMatrix(file, "Transform", transform_);
  WriteMatrix(file, "TransformLink", transform_link_);
  if (has_associate_) {
    file.FieldWriteBlockBegin("AssociateModel");
    WriteMatrix(file, "Transform", associate_transform_);
    WriteMatrix(file, "TransformParent", associate_parent_);
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
  }
  return !file.HasError();
}
