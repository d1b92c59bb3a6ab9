#include "tools/zyn/demo_support.h"

#include "scene/scene.h"

namespace zyn_tool {

VModel* AddModel(VScene& scene, const char* name, const char* subtype, VModel* parent) {
  return AddNode(scene, std::make_unique<VModel>(name, subtype), parent);
}

VFCurveNode* AddVectorChannel(VFCurveNode& parent, const char* name, const VDouble3& rest) {
  VFCurveNode* node = parent.AddChild(std::make_unique<VFCurveNode>(name));
  const char* axes[] = {"X", "Y", "Z"};
  for (int i = 0; i < 3; ++i) {
    VFCurveNode* axis = node->AddChild(std::make_unique<VFCurveNode>(axes[i]));
    axis->MakeCurve()->SetDefaultValue(static_cast<float>(rest[static_cast<size_t>(i)]));
  }
  return node;
}

std::unique_ptr<VFCurveNode> TransformChannel(const VTransformNode& model, VFCurveNode** t, VFCurveNode** r,
                                              VFCurveNode** s) {
  auto transform = std::make_unique<VFCurveNode>("Transform");
  *t = AddVectorChannel(*transform, "T", model.TranslationProperty()->Get());
  *r = AddVectorChannel(*transform, "R", model.RotationProperty()->Get());
  *s = AddVectorChannel(*transform, "S", model.ScalingProperty()->Get());
  return transform;
}

}  // namespace zyn_tool
