#include "animation/fcurve_node_io.h"

#include "animation/fcurve_io.h"
#include "zynfile/zyn_file.h"

std::unique_ptr<VFCurveNode> VFCurveNodeRetrieve(VZynFile& file, const std::string& name) {
  auto node = std::make_unique<VFCurveNode>(name);
  node->SetUserName(file.FieldReadC("UserName", ""));
  node->SetTimeWarpId(file.FieldReadI("TimeWarpID", 0));
  // Selecting a field without ending it leaves its cursor where it was.
  if (file.FieldReadBegin("Default") || file.FieldReadBegin("KeyCount")) {
    VFCurveRetrieve(file, node->MakeCurve());  // a damaged record keeps what read well
  }
  for (int i = 0; file.FieldReadBegin("Channel", i); ++i) {
    std::string child_name = file.FieldReadC();
    if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
      // Depth is bounded by the file's nesting limit.
      node->AddChild(VFCurveNodeRetrieve(file, child_name));
      file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
  }
  node->SetLayerId(file.FieldReadI("LayerID", 0));
  node->SetLayerType(file.FieldReadI("LayerType", 0));
  if (file.FieldReadBegin("LayerChannel")) {
    std::string layer_name = file.FieldReadC();
    if (file.FieldReadIsBlock() && file.FieldReadBlockBegin()) {
      node->SetLayer(VFCurveNodeRetrieve(file, layer_name));
      file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
  }
  return node;
}

bool VFCurveNodeStore(VZynFile& file, const VFCurveNode& node, const char* field_name) {
  file.FieldWriteBegin(field_name);
  file.FieldWriteC(node.GetName());
  file.FieldWriteBlockBegin();
  if (node.GetUserName() != node.GetName()) file.FieldWriteC("UserName", node.GetUserName());
  if (node.GetTimeWarpId()) file.FieldWriteI("TimeWarpID", node.GetTimeWarpId());
  if (node.GetCurve()) VFCurveStore(file, *node.GetCurve());
  for (int i = 0; i < node.GetChildCount(); ++i) VFCurveNodeStore(file, *node.GetChild(i));
  if (node.GetLayerId()) file.FieldWriteI("LayerID", node.GetLayerId());
  if (node.GetLayerType()) file.FieldWriteI("LayerType", node.GetLayerType());
  if (node.GetLayer()) VFCurveNodeStore(file, *node.GetLayer(), "LayerChannel");
  file.FieldWriteBlockEnd();
  return file.FieldWriteEnd();
}
