#pragma once
// Small builders shared by the parts of the sample scene.

#include <memory>

#include "animation/fcurve_node.h"
#include "core/time.h"
#include "scene/model.h"

class VScene;

namespace zyn_tool {

// Whole frames at 30 frames per second.
inline VTime Frame(int frame) { return VTime(int64_t{frame} * 1539538600); }

// Adds a model (of class VModel) under parent (null: a root).
VModel* AddModel(VScene& scene, const char* name, const char* subtype, VModel* parent);
// Adds an object made elsewhere (a mesh, a camera...) under parent.
template <class T>
T* AddNode(VScene& scene, std::unique_ptr<T> node, VTransformNode* parent);

// A vector channel ("T", "R", "S" or a property name) with X, Y, Z curves
// whose values without keys are the property's own.
VFCurveNode* AddVectorChannel(VFCurveNode& parent, const char* name, const VDouble3& rest);
inline VFCurve& Axis(VFCurveNode& vector, int axis) { return *vector.GetChild(axis)->GetCurve(); }
// The "Transform" channel of a model with its T, R and S nodes.
std::unique_ptr<VFCurveNode> TransformChannel(const VTransformNode& model, VFCurveNode** t, VFCurveNode** r,
                                              VFCurveNode** s);

}  // namespace zyn_tool

#include "scene/scene.h"

template <class T>
T* zyn_tool::AddNode(VScene& scene, std::unique_ptr<T> node, VTransformNode* parent) {
  T* added = static_cast<T*>(scene.Add(std::move(node)));
  if (added && parent) added->SetParent(parent);
  return added;
}
