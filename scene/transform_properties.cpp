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

// Each maker answers the position its property took.
int Bool(VTransformNode& node, const char* name, bool initial = false) {
  return node.AddPropertyOnRequest<std::uint8_t>(name, kPropertyTypeBool, 0, nullptr, initial ? 1 : 0);
}

int Vector(VTransformNode& node, const char* name, VDouble3 initial = {0, 0, 0}, bool animatable = false) {
  return node.AddPropertyOnRequest<VDouble3>(name, kPropertyTypeVector3d, animatable ? kPropertyDefAnimatable : 0u,
                                             nullptr, initial);
}

int Double(VTransformNode& node, const char* name, double initial = 0.0, bool animatable = false) {
  return node.AddPropertyOnRequest<double>(name, kPropertyTypeDouble, animatable ? kPropertyDefAnimatable : 0u,
                                           nullptr, initial);
}

int Enum(VTransformNode& node, const char* name, const std::vector<std::string>& items, int initial = 0) {
  return node.AddPropertyOnRequest<std::int32_t>(name, kPropertyTypeEnum, 0, &items, initial);
}

int Object(VTransformNode& node, const char* name) {
  return node.AddPropertyOnRequestEmpty<VPropertyObject>(name, kPropertyTypeObject);
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

void Limits(VTransformNode& node, int channel) {
  const LimitNames& names = NamesOf(channel);
  Bool(node, names.active.c_str());
  Vector(node, names.min.c_str());
  Vector(node, names.max.c_str());
}

void LimitEnables(VTransformNode& node, int channel) {
  for (int i = 0; i < 6; ++i) Bool(node, NamesOf(channel).enable[i].c_str());
}

}  // namespace

void VAddTransformProperties(VTransformNode& n) {
  Bool(n, "QuaternionInterpolate");
  Double(n, "Visibility", 1.0, true);
  Vector(n, "Lcl Translation", {0, 0, 0}, true);
  Vector(n, "Lcl Rotation", {0, 0, 0}, true);
  Vector(n, "Lcl Scaling", {1, 1, 1}, true);
  Vector(n, "RotationOffset");
  Vector(n, "RotationPivot");
  Vector(n, "ScalingOffset");
  Vector(n, "ScalingPivot");
  Bool(n, "RotationPivotUpdateOffset");
  Bool(n, "ScalingPivotUpdateOffset");
  Limits(n, 0);
  LimitEnables(n, 0);
  Enum(n, "RotationOrder", kRotationOrders);
  Bool(n, "RotationSpaceForLimitOnly");
  Double(n, "AxisLen", 10.0);
  Vector(n, "PreRotation");
  Vector(n, "PostRotation");
  Limits(n, 1);
  Double(n, "RotationStiffnessX");
  Double(n, "RotationStiffnessY");
  Double(n, "RotationStiffnessZ");
  LimitEnables(n, 1);
  Enum(n, "InheritType", kInheritTypes);
  Limits(n, 2);
  LimitEnables(n, 2);
  Vector(n, "GeometricTranslation");
  Vector(n, "GeometricRotation");
  Vector(n, "GeometricScaling", {1, 1, 1});
  Enum(n, "PivotsVisibility", kDisplayModes, 1);
  for (const char* name : {"RotationLimitsVisibility", "LocalTranslationRefVisibility", "RotationRefVisibility",
                           "RotationAxisVisibility", "ScalingRefVisibility", "HierarchicalCenterVisibility",
                           "GeometricCenterVisibility"}) {
    Enum(n, name, kDisplayModes, 0);
  }
  Double(n, "ReferentialSize", 12.0);
  Object(n, "LookAtProperty");
  Object(n, "UpVectorProperty");
  Bool(n, "Show", true);
  Bool(n, "Pickable", true);
  Bool(n, "Transformable", true);
  Enum(n, "CullingMode", kCullingModes);
  Bool(n, "ShowTrajectories");
  // Reached by position from now on (see VTransformNode::Position).
  n.PinProperties(VTransformNode::kTransformPropertyCount);
}
