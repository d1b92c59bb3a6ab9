#pragma once
// The frame's pass groups and passes. A frame runs the eight groups in
// order; each group runs its passes; each pass draws the models whose shader
// asked for it. A shader states the passes it draws in as an OR of pass
// bits; a pass's bit is 1 shifted left by the pass's index.

#include <cstdint>

// Groups in frame order ("renderer/passgroup/ogl").
enum VRenderGroup : int {
  kVGroupPreRender,
  kVGroupZRender,
  kVGroupReflexionOnVideo,
  kVGroupPreMainSolid,
  kVGroupMainSolid,
  kVGroupZTranslucent,
  kVGroupTranslucentZSort,
  kVGroupPostRender,
  kVGroupCount,
};

// Passes in registration order ("renderer/pass/ogl"); the value is the index.
enum VRenderPass : int {
  kVPassPostRender,             // "VRenderPassPostRender"
  kVPassSetAlphaPostRender,     // "vrenderpassoglSetAlphaPostRender"
  kVPassSelectiveLighting,      // "vrenderpassoglselectivelighting"
  kVPassReflexionOnVideo,       // "vrenderpassReflexionOnVideo"
  kVPassAddColorZSort,          // "vrenderpassoglAddColorZSort"
  kVPassTranslucentZSort,       // "vrenderpassoglTranslucentZSort"
  kVPassAddColor,               // "vrenderpassogladdcolor"
  kVPassModule,                 // "vrenderpassoglmodule"
  kVPassModule2,                // "vrenderpassoglModule2"
  kVPassTranslucent,            // "vrenderpassoglTranslucent"
  kVPassTranslucentPostRender,  // "vrenderpassoglTranslucentPostRender"
  kVPassZTranslucentAlphaTest,  // "VRenderPassOGLZTranslucentAlphaTest"
  kVPassZTranslucent,           // "VRenderPassOGLZTranslucent"
  kVPassSelected,               // "vrenderpassselected"
  kVPassOtherPrimitive,         // "vrenderpassotherprimitive"
  kVPassMatte,                  // "vrenderpassoglMatte"
  kVPassZ,                      // "VRenderPassOGLZ"
  kVPassLighted,                // "vrenderpassogllighted"
  kVPassFlat,                   // "vrenderpassoglflat"
  kVPassReflexion,              // "vrenderpassoglReflexion"
  kVPassPreRender,              // "vrenderpassoglPreRender"
  kVPassCount,
};

// Shader "Transparency" values.
enum VTransparency : int {
  kVNoTransparency = 0,
  kVAccurateTransparency = 1,
  kVTranslucent = 2,
  kVMatte = 3,
  kV2DTransparency = 4,
  kVAdditiveTransparency = 5,
  kVTranslucentModelsZSort = 6,
};

constexpr std::uint32_t VRenderPassBit(VRenderPass pass) { return 1u << static_cast<int>(pass); }

const char* VRenderGroupName(int group);  // "VRENDERGROUP_PRERENDER", ...; "" outside the table
// The groups registered on their own: "VRENDERGROUP_OGLREFLEXION",
// "VRENDERGROUP_OGLTRANSLUCENT", "VRENDERGROUP_XOGLRAY".
constexpr int kVExtraGroupCount = 3;
const char* VRenderExtraGroupName(int index);
const char* VRenderPassName(int pass);  // "" outside the table
// The pass of a registered name; -1 when none.
int VRenderPassOfName(const char* name);

// The passes of a group, in the order the group runs them; `count` gets
// their number.
const VRenderPass* VRenderGroupPasses(int group, int* count);

// The passes a lighted (`lighted`) or flat shader draws in for its
// "Transparency"; values outside the table draw as "No Transparency".
std::uint32_t VShaderPassBits(bool lighted, int transparency);

// Passes that blend their models over what is drawn.
bool VRenderPassBlends(VRenderPass pass);
// Passes that write depth only.
bool VRenderPassDepthOnly(VRenderPass pass);
