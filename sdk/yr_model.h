#pragma once
// YrModel: public handle over a model of the scene (a transform node): its
// place in the hierarchy and its local and global transform. The transform
// properties ("Lcl Translation", "RotationOrder", "InheritType", ...) are
// reached by name through the component interface.

#include "sdk/yr_component.h"
#include "sdk/yr_evaluate_info.h"
#include "sdk/yr_matrix.h"

class VTransformNode;

namespace YrSDK {

enum YrSpace { kYrLocal = 0, kYrGlobal = 1 };

class YrModel : public YrComponent {
 public:
  YrModel() = default;
  // An empty handle unless the component is a model.
  explicit YrModel(const YrComponent& component);
  explicit YrModel(VTransformNode* node);
  bool IsValid() const { return node_ != nullptr; }

  YrModel GetParent() const;
  bool SetParent(const YrModel& parent);
  int GetChildCount() const;
  YrModel GetChild(int index) const;

  // Identity / zero when the handle is empty.
  YrMatrix GetMatrix(YrSpace space, const YrEvaluateInfo& info = YrEvaluateInfo()) const;
  // The drawn matrix: global, with the geometric offset.
  YrMatrix GetGlobalGeometricMatrix(const YrEvaluateInfo& info = YrEvaluateInfo()) const;
  YrVector4<double> GetTranslation(YrSpace space, const YrEvaluateInfo& info = YrEvaluateInfo()) const;
  YrVector3<double> GetRotation(YrSpace space, const YrEvaluateInfo& info = YrEvaluateInfo()) const;
  YrSVector GetScaling(YrSpace space, const YrEvaluateInfo& info = YrEvaluateInfo()) const;

  void SetTranslation(YrSpace space, const YrVector4<double>& t);
  void SetRotation(YrSpace space, const YrVector3<double>& r);
  void SetScaling(const YrSVector& s);
  bool IsVisible() const;

 private:
  VTransformNode* node_ = nullptr;
};

}  // namespace YrSDK
