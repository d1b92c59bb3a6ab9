#include "scene/transform_properties.h"

#include <string>
#include <vector>

#include "core/property_definition.h"
#include "core/property_type.h"
#include "scene/transform_node.h"

namespace {

const std::vector<std::string> kRotationOrders = {"Euler XYZ", "Euler XZY", "Euler YZX", "Euler YXZ",
                                                  "Euler ZXY", "Euler ZYX", "Spheric XYZ"};
const std::vector<std::string> kInheritTypes = {"Local (RrSs)", "Parent (RSrs)", "None (Rrs)"};
const std::vector<std::string> kDisplayModes = {"Disabled", "Visible when Selected", "Visible"};
const std::vector<std::string> kCullingModes = {"Both", "Outer (Counter-Clockwise)", "Inner (Clockwise)"};

VPropertyBool* Bool(VTransformNode& node, const char* name, bool initial = false) {
  auto* p = node.AddPropertyT<VPropertyBool>(name, kPropertyTypeBool);
  p->Set(initial ? 1 : 0);
  return p;
}

VPropertyDouble3* Vector(VTransformNode& node, const char* name, VDouble3 initial = {0, 0, 0},
                         bool animatable = false) {
  auto* p = node.AddPropertyT<VPropertyDouble3>(name, kPropertyTypeVector3d,
                                                animatable ? kPropertyDefAnimatable : 0u);
  p->Set(initial);
  return p;
}

VPropertyDouble* Double(VTransformNode& node, const char* name, double initial = 0.0, bool animatable = false) {
  auto* p = node.AddPropertyT<VPropertyDouble>(name, kPropertyTypeDouble, animatable ? kPropertyDefAnimatable : 0u);
  p->Set(initial);
  return p;
}

VPropertyInt* Enum(VTransformNode& node, const char* name, const std::vector<std::string>& items, int initial = 0) {
  auto* p = node.AddPropertyT<VPropertyInt>(name, kPropertyTypeEnum, 0, &items);
  p->Set(initial);
  return p;
}

// "...Active", "...Min", "...Max", then the six per-axis enables.
// The limit property names of a channel: "...Active", "...Min", "...Max",
// then the six per-axis enables. Made once: every node makes them.
struct LimitNames {
  std::string active, min, max, enable[6];
  explicit LimitNames(const std::string& channel)
      : active(channel + "Active"), min(channel + "Min"), max(channel + "Max") {
    static const char* const kSuffixes[6] = {"MinX", "MinY", "MinZ", "MaxX", "MaxY", "MaxZ"};
    for (int i = 0; i < 6; ++i) enable[i] = channel + kSuffixes[i];
  }
};
const LimitNames& NamesOf(int channel) {
  static const LimitNames names[3] = {LimitNames("Translation"), LimitNames("Rotation"), LimitNames("Scaling")};
  return names[channel];
}

void Limits(VTransformNode& node, VTransformNode::LimitProperties& out, int channel, bool with_active) {
  const LimitNames& names = NamesOf(channel);
  if (with_active) out.active = Bool(node, names.active.c_str());
  out.min = Vector(node, names.min.c_str());
  out.max = Vector(node, names.max.c_str());
}

void LimitEnables(VTransformNode& node, VTransformNode::LimitProperties& out, int channel) {
  for (int i = 0; i < 6; ++i) out.enable[i] = Bool(node, NamesOf(channel).enable[i].c_str());
}

}  // namespace

void VAddTransformProperties(VTransformNode& node) {
  VTransformNode& n = node;
  n.mQuaternionInterpolate = Bool(n, "QuaternionInterpolate");
  n.mVisibility = Double(n, "Visibility", 1.0, true);
  n.mTranslation = Vector(n, "Lcl Translation", {0, 0, 0}, true);
  n.mRotation = Vector(n, "Lcl Rotation", {0, 0, 0}, true);
  n.mScaling = Vector(n, "Lcl Scaling", {1, 1, 1}, true);
  n.mRotationOffset = Vector(n, "RotationOffset");
  n.mRotationPivot = Vector(n, "RotationPivot");
  n.mScalingOffset = Vector(n, "ScalingOffset");
  n.mScalingPivot = Vector(n, "ScalingPivot");
  n.mRotationPivotUpdateOffset = Bool(n, "RotationPivotUpdateOffset");
  n.mScalingPivotUpdateOffset = Bool(n, "ScalingPivotUpdateOffset");
  VTransformNode::LimitProperties& translation = n.mLimits[0];
  Limits(n, translation, 0, true);
  LimitEnables(n, translation, 0);
  n.mRotationOrder = Enum(n, "RotationOrder", kRotationOrders);
  n.mRotationSpaceForLimitOnly = Bool(n, "RotationSpaceForLimitOnly");
  n.mAxisLen = Double(n, "AxisLen", 10.0);
  n.mPreRotation = Vector(n, "PreRotation");
  n.mPostRotation = Vector(n, "PostRotation");
  VTransformNode::LimitProperties& rotation = n.mLimits[1];
  Limits(n, rotation, 1, true);
  Double(n, "RotationStiffnessX");
  Double(n, "RotationStiffnessY");
  Double(n, "RotationStiffnessZ");
  LimitEnables(n, rotation, 1);
  n.mInheritType = Enum(n, "InheritType", kInheritTypes);
  VTransformNode::LimitProperties& scaling = n.mLimits[2];
  Limits(n, scaling, 2, true);
  LimitEnables(n, scaling, 2);
  n.mGeometricTranslation = Vector(n, "GeometricTranslation");
  n.mGeometricRotation = Vector(n, "GeometricRotation");
  n.mGeometricScaling = Vector(n, "GeometricScaling", {1, 1, 1});
  Enum(n, "PivotsVisibility", kDisplayModes, 1);
  for (const char* name : {"RotationLimitsVisibility", "LocalTranslationRefVisibility", "RotationRefVisibility",
                           "RotationAxisVisibility", "ScalingRefVisibility", "HierarchicalCenterVisibility",
                           "GeometricCenterVisibility"}) {
    Enum(n, name, kDisplayModes, 0);
  }
  n.mReferentialSize = Double(n, "ReferentialSize", 12.0);
  n.mLookAt = n.AddPropertyT<VPropertyObject>("LookAtProperty", kPropertyTypeObject);
  n.mUpVector = n.AddPropertyT<VPropertyObject>("UpVectorProperty", kPropertyTypeObject);
  n.mShow = Bool(n, "Show", true);
  n.mPickable = Bool(n, "Pickable", true);
  n.mTransformable = Bool(n, "Transformable", true);
  n.mCullingMode = Enum(n, "CullingMode", kCullingModes);
  n.mShowTrajectories = Bool(n, "ShowTrajectories");
}
