#include "sdk/yr_animation_node.h"

#include "animation/bound_channel.h"
#include "animation/fcurve_node.h"
#include "animation/take.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/bridge/yr_time_convert.h"

namespace YrSDK {

YrAnimationNode YrAnimationNode::OfProperty(const YrProperty& property) {
  const VProperty* engine = YrEngineHandles::Property(property);
  if (engine == nullptr) return YrAnimationNode();
  VAnimationSource* source = engine->GetAnimationNode();
  if (auto* node = dynamic_cast<VFCurveNode*>(source)) return YrAnimationNode(node);
  // A property read through a flattened channel: the node behind it, which
  // the take owns.
  if (const auto* channel = dynamic_cast<const VBoundChannel*>(source)) {
    return YrAnimationNode(const_cast<VFCurveNode*>(channel->GetNode()));
  }
  return YrAnimationNode();
}

YrAnimationNode YrAnimationNode::FindChannel(const YrTake& take, const std::string& model_full_name,
                                             const std::string& channel) {
  VTake* engine = YrEngineHandles::Take(take);
  VTake::ModelAnimation* model = engine ? engine->FindModel(model_full_name) : nullptr;
  if (model == nullptr) return YrAnimationNode();
  for (const auto& node : model->channels) {
    if (node->GetName() == channel) return YrAnimationNode(node.get());
  }
  return YrAnimationNode();
}

std::string YrAnimationNode::GetName() const { return node_ ? node_->GetName() : std::string(); }

std::string YrAnimationNode::GetUserName() const { return node_ ? node_->GetUserName() : std::string(); }

int YrAnimationNode::GetKeyCount() const {
  return node_ && node_->GetCurve() ? node_->GetCurve()->KeyGetCount() : 0;
}

YrFCurve YrAnimationNode::GetFCurve() const { return YrFCurve(node_ ? node_->GetCurve() : nullptr); }

int YrAnimationNode::GetNodeCount() const { return node_ ? node_->GetChildCount() : 0; }

YrAnimationNode YrAnimationNode::GetNode(int index) const {
  return YrAnimationNode(node_ ? node_->GetChild(index) : nullptr);
}

YrAnimationNode YrAnimationNode::FindNode(const std::string& name) const {
  return YrAnimationNode(node_ ? node_->FindChild(name) : nullptr);
}

int YrAnimationNode::GetDataSize() const { return node_ ? node_->GetDataSize() : 0; }

YrTime YrAnimationNode::GlobalToNode(const YrTime& global) const {
  return node_ ? FromEngineTime(node_->GlobalToNode(ToEngineTime(global))) : global;
}

YrTime YrAnimationNode::NodeToGlobal(const YrTime& node) const {
  return node_ ? FromEngineTime(node_->NodeToGlobal(ToEngineTime(node))) : node;
}

int YrAnimationNode::ReadData(const YrTime& global, double* out, int count) const {
  if (node_ == nullptr || out == nullptr || count <= 0) return 0;
  return node_->Evaluate(ToEngineTime(global), out, count);
}

}  // namespace YrSDK
