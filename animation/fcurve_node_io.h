#pragma once
// Animation node records: a "Channel" field named after the node, whose
// block holds "UserName", "TimeWarpID", the node's curve record, one
// "Channel" per child, "LayerID", "LayerType" and "LayerChannel".

#include <memory>
#include <string>

#include "animation/fcurve_node.h"

class VZynFile;

// Reads the node whose block the file has entered.
std::unique_ptr<VFCurveNode> VFCurveNodeRetrieve(VZynFile& file, const std::string& name);
// Writes the node as a field of the given name ("Channel") with its block.
bool VFCurveNodeStore(VZynFile& file, const VFCurveNode& node, const char* field_name = "Channel");
