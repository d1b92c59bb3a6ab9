#pragma once
// The engine objects behind the facade's handles, for the facade's sources
// and engine programs (this header is not public: a handle does not hand
// out what it refers to). Each answers null for an empty handle.

#include "sdk/yr_animation_node.h"
#include "sdk/yr_component.h"
#include "sdk/yr_device.h"
#include "sdk/yr_geometry.h"
#include "sdk/yr_plug.h"
#include "sdk/yr_property.h"
#include "sdk/yr_take.h"

namespace YrSDK {

class YrEngineHandles {
 public:
  static VPlug* Plug(const YrPlug& plug) { return plug.mPlug; }
  static VObject* Object(const YrComponent& component) { return component.mObject; }
  static VProperty* Property(const YrProperty& property) { return property.mProperty; }
  static VTake* Take(const YrTake& take) { return take.take_; }
  static VModelPolymesh* Mesh(const YrGeometry& geometry) { return geometry.mesh_; }
  static VDevice* Device(const YrDevice& device) { return device.device_; }
  static VFCurveNode* CurveNode(const YrAnimationNode& node) { return node.node_; }
};

}  // namespace YrSDK
