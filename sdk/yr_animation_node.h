#pragma once
// YrAnimationNode: public handle over a node of an animated property's
// tree (not owned). A leaf carries a curve ("FCurve"); a vector property's
// node has one child per component, a model's "Transform" node "T", "R"
// and "S" ("Nodes"). An empty handle answers neutral values.

#include <string>

#include "sdk/yr_fcurve.h"
#include "sdk/yr_property.h"
#include "sdk/yr_take.h"
#include "sdk/yr_time.h"

class VFCurveNode;

namespace YrSDK {

class YrAnimationNode {
 public:
  YrAnimationNode() = default;
  explicit YrAnimationNode(VFCurveNode* node) : node_(node) {}
  bool IsValid() const { return node_ != nullptr; }

  // The node that feeds the property in the current take (empty when the
  // property is not animated).
  static YrAnimationNode OfProperty(const YrProperty& property);
  // The take's channel of that name ("Transform", "Visibility", ...) of the
  // model of that full name.
  static YrAnimationNode FindChannel(const YrTake& take, const std::string& model_full_name,
                                     const std::string& channel);

  // "Name" and "UserName" (the name when no user name is set).
  std::string GetName() const;
  std::string GetUserName() const;
  // "KeyCount": the keys of the node's own curve, 0 without one.
  int GetKeyCount() const;
  // "FCurve": the leaf's curve (an empty handle for inner nodes).
  YrFCurve GetFCurve() const;
  // "Nodes".
  int GetNodeCount() const;
  YrAnimationNode GetNode(int index) const;
  YrAnimationNode FindNode(const std::string& name) const;

  // The doubles the node reads or writes.
  int GetDataSize() const;
  // Times through the node's time warp (and its ancestors' offsets).
  YrTime GlobalToNode(const YrTime& global) const;
  YrTime NodeToGlobal(const YrTime& node) const;
  // Evaluates the node at the node time of a global time into `out` (at
  // most `count` doubles); answers how many were written.
  int ReadData(const YrTime& global, double* out, int count) const;

 private:
  // The engine object behind the handle: sdk/bridge/yr_engine_handles.h.
  friend class YrEngineHandles;
  VFCurveNode* node_ = nullptr;
};

}  // namespace YrSDK
