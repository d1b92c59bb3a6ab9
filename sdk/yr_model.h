#pragma once
// YrModel: public handle over a model of the scene (a transform node): its
// place in the hierarchy and its local and global transform. The transform
// properties ("Lcl Translation", "RotationOrder", "InheritType", ...) are
// reached by name through the component interface.

#include "scene/matrix.h"
#include "scene/transform_node.h"
#include "sdk/yr_component.h"
#include "sdk/yr_evaluate_info.h"

namespace YrSDK {

enum YrSpace { kYrLocal = kVSpaceLocal, kYrGlobal = kVSpaceGlobal };

class YrModel : public YrComponent {
 public:
  YrModel() = default;
  // An empty handle unless the component is a model.
  explicit YrModel(const YrComponent& component)
      : YrModel(dynamic_cast<VTransformNode*>(component.GetObjectPointer())) {}
  explicit YrModel(VTransformNode* node) : YrComponent(node), node_(node) {}
  bool IsValid() const { return node_ != nullptr; }
  VTransformNode* GetNode() const { return node_; }

  YrModel GetParent() const { return YrModel(node_ ? node_->GetParent() : nullptr); }
  bool SetParent(const YrModel& parent) { return node_ && node_->SetParent(parent.node_); }
  int GetChildCount() const { return node_ ? node_->GetChildCount() : 0; }
  YrModel GetChild(int index) const { return YrModel(node_ ? node_->GetChild(index) : nullptr); }

  // Identity / zero when the handle is empty.
  YrMatrix GetMatrix(YrSpace space, const YrEvaluateInfo& info = YrEvaluateInfo()) const {
    return node_ ? node_->GetMatrix(space, info.Get()) : YrMatrix{};
  }
  // The drawn matrix: global, with the geometric offset.
  YrMatrix GetGlobalGeometricMatrix(const YrEvaluateInfo& info = YrEvaluateInfo()) const {
    return node_ ? node_->GetGlobalGeometricMatrix(info.Get()) : YrMatrix{};
  }
  YrVector4<double> GetTranslation(YrSpace space, const YrEvaluateInfo& info = YrEvaluateInfo()) const {
    return node_ ? node_->GetTranslation(space, info.Get()) : YrVector4<double>{0, 0, 0, 1};
  }
  YrVector3<double> GetRotation(YrSpace space, const YrEvaluateInfo& info = YrEvaluateInfo()) const {
    return node_ ? node_->GetRotation(space, info.Get()) : YrVector3<double>{};
  }
  YrSVector GetScaling(YrSpace space, const YrEvaluateInfo& info = YrEvaluateInfo()) const {
    return node_ ? node_->GetScaling(space, info.Get()) : YrSVector{1, 1, 1};
  }

  void SetTranslation(YrSpace space, const YrVector4<double>& t) {
    if (node_) node_->SetTranslation(space, t);
  }
  void SetRotation(YrSpace space, const YrVector3<double>& r) {
    if (node_) node_->SetRotation(space, r);
  }
  void SetScaling(const YrSVector& s) {
    if (node_) node_->SetScaling(s);
  }
  bool IsVisible() const { return node_ && node_->IsVisible(); }

 private:
  VTransformNode* node_ = nullptr;
};

}  // namespace YrSDK
