#include "sdk/yr_model.h"

#include "scene/transform_node.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/bridge/yr_evaluate_info_convert.h"

namespace YrSDK {

namespace {
// The public spaces number as the engine's.
constexpr bool SameNumber(int public_value, int engine_value) { return public_value == engine_value; }
static_assert(SameNumber(kYrLocal, kVSpaceLocal) && SameNumber(kYrGlobal, kVSpaceGlobal));

VTransformSpace ToEngineSpace(YrSpace space) { return static_cast<VTransformSpace>(space); }
}  // namespace

YrModel::YrModel(const YrComponent& component)
    : YrModel(dynamic_cast<VTransformNode*>(YrEngineHandles::Object(component))) {}

YrModel::YrModel(VTransformNode* node) : YrComponent(node), node_(node) {}

YrModel YrModel::GetParent() const { return YrModel(node_ ? node_->GetParent() : nullptr); }

bool YrModel::SetParent(const YrModel& parent) { return node_ && node_->SetParent(parent.node_); }

int YrModel::GetChildCount() const { return node_ ? node_->GetChildCount() : 0; }

YrModel YrModel::GetChild(int index) const { return YrModel(node_ ? node_->GetChild(index) : nullptr); }

YrMatrix YrModel::GetMatrix(YrSpace space, const YrEvaluateInfo& info) const {
  return node_ ? node_->GetMatrix(ToEngineSpace(space), ToEngineInfo(info)) : YrMatrix{};
}

YrMatrix YrModel::GetGlobalGeometricMatrix(const YrEvaluateInfo& info) const {
  return node_ ? node_->GetGlobalGeometricMatrix(ToEngineInfo(info)) : YrMatrix{};
}

YrVector4<double> YrModel::GetTranslation(YrSpace space, const YrEvaluateInfo& info) const {
  return node_ ? node_->GetTranslation(ToEngineSpace(space), ToEngineInfo(info)) : YrVector4<double>{0, 0, 0, 1};
}

YrVector3<double> YrModel::GetRotation(YrSpace space, const YrEvaluateInfo& info) const {
  return node_ ? node_->GetRotation(ToEngineSpace(space), ToEngineInfo(info)) : YrVector3<double>{};
}

YrSVector YrModel::GetScaling(YrSpace space, const YrEvaluateInfo& info) const {
  return node_ ? node_->GetScaling(ToEngineSpace(space), ToEngineInfo(info)) : YrSVector{1, 1, 1};
}

void YrModel::SetTranslation(YrSpace space, const YrVector4<double>& t) {
  if (node_) node_->SetTranslation(ToEngineSpace(space), t);
}

void YrModel::SetRotation(YrSpace space, const YrVector3<double>& r) {
  if (node_) node_->SetRotation(ToEngineSpace(space), r);
}

void YrModel::SetScaling(const YrSVector& s) {
  if (node_) node_->SetScaling(s);
}

bool YrModel::IsVisible() const { return node_ && node_->IsVisible(); }

}  // namespace YrSDK
