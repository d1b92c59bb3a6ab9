#pragma once
// Creates a transform node's properties in their order, with their
// defaults and enumeration items.

class VTransformNode;

void VAddTransformProperties(VTransformNode& node);
