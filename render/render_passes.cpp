#include "render/render_passes.h"

#include <cstring>

namespace {

const char* const kGroupNames[kVGroupCount] = {
    "VRENDERGROUP_PRERENDER",    "VRENDERGROUP_ZRENDER",     "VRENDERGROUP_REFLEXION_ON_VIDEO",
    "VRENDERGROUP_PREMAINSOLID", "VRENDERGROUP_MAINSOLID",   "VRENDERGROUP_ZTRANSLUCENT",
    "VRENDERGROUP_TRANSLUCENTZSORT", "VRENDERGROUP_POSTRENDER",
};

const char* const kExtraGroupNames[kVExtraGroupCount] = {"VRENDERGROUP_OGLREFLEXION", "VRENDERGROUP_OGLTRANSLUCENT",
                                                          "VRENDERGROUP_XOGLRAY"};

const char* const kPassNames[kVPassCount] = {
    "VRenderPassPostRender",
    "vrenderpassoglSetAlphaPostRender",
    "vrenderpassoglselectivelighting",
    "vrenderpassReflexionOnVideo",
    "vrenderpassoglAddColorZSort",
    "vrenderpassoglTranslucentZSort",
    "vrenderpassogladdcolor",
    "vrenderpassoglmodule",
    "vrenderpassoglModule2",
    "vrenderpassoglTranslucent",
    "vrenderpassoglTranslucentPostRender",
    "VRenderPassOGLZTranslucentAlphaTest",
    "VRenderPassOGLZTranslucent",
    "vrenderpassselected",
    "vrenderpassotherprimitive",
    "vrenderpassoglMatte",
    "VRenderPassOGLZ",
    "vrenderpassogllighted",
    "vrenderpassoglflat",
    "vrenderpassoglReflexion",
    "vrenderpassoglPreRender",
};
static_assert(sizeof kPassNames / sizeof kPassNames[0] == kVPassCount, "one name per pass");
static_assert(kVPassCount <= 32, "pass bits fit a 32-bit mask");

// Which pass runs in which group. Depth-only passes run before the colour
// they serve; everything that blends runs after every solid group, and the
// translucent z-sorted models last among them.
const VRenderPass kPreRender[] = {kVPassPreRender};
const VRenderPass kZRender[] = {kVPassZ};
const VRenderPass kReflexionOnVideo[] = {kVPassReflexionOnVideo};
const VRenderPass kPreMainSolid[] = {kVPassMatte, kVPassReflexion};
const VRenderPass kMainSolid[] = {kVPassLighted, kVPassFlat,     kVPassModule,  kVPassModule2,
                                  kVPassSelectiveLighting, kVPassOtherPrimitive, kVPassSelected};
const VRenderPass kZTranslucent[] = {kVPassZTranslucent, kVPassZTranslucentAlphaTest};
const VRenderPass kTranslucentZSort[] = {kVPassTranslucent, kVPassAddColor, kVPassTranslucentZSort,
                                         kVPassAddColorZSort, kVPassTranslucentPostRender};
const VRenderPass kPostRender[] = {kVPassSetAlphaPostRender, kVPassPostRender};

struct GroupPasses {
  const VRenderPass* passes;
  int count;
};

template <int N>
constexpr GroupPasses Of(const VRenderPass (&passes)[N]) {
  return {passes, N};
}

const GroupPasses kGroupPasses[kVGroupCount] = {Of(kPreRender),    Of(kZRender),      Of(kReflexionOnVideo),
                                                Of(kPreMainSolid), Of(kMainSolid),    Of(kZTranslucent),
                                                Of(kTranslucentZSort), Of(kPostRender)};

}  // namespace

const char* VRenderGroupName(int group) { return group >= 0 && group < kVGroupCount ? kGroupNames[group] : ""; }

const char* VRenderExtraGroupName(int index) {
  return index >= 0 && index < kVExtraGroupCount ? kExtraGroupNames[index] : "";
}

const char* VRenderPassName(int pass) { return pass >= 0 && pass < kVPassCount ? kPassNames[pass] : ""; }

int VRenderPassOfName(const char* name) {
  if (name == nullptr) return -1;
  for (int i = 0; i < kVPassCount; ++i)
    if (std::strcmp(kPassNames[i], name) == 0) return i;
  return -1;
}

const VRenderPass* VRenderGroupPasses(int group, int* count) {
  if (group < 0 || group >= kVGroupCount) {
    if (count) *count = 0;
    return nullptr;
  }
  if (count) *count = kGroupPasses[group].count;
  return kGroupPasses[group].passes;
}

std::uint32_t VShaderPassBits(bool lighted, int transparency) {
  switch (transparency) {
    case kVAccurateTransparency:
      return VRenderPassBit(kVPassTranslucent) | VRenderPassBit(kVPassZTranslucentAlphaTest);
    case kVTranslucent:
      return VRenderPassBit(kVPassTranslucent);
    case kVMatte:
      return VRenderPassBit(kVPassMatte);
    case kV2DTransparency:
      return VRenderPassBit(kVPassZTranslucent) | VRenderPassBit(kVPassTranslucent);
    case kVAdditiveTransparency:
      return VRenderPassBit(kVPassAddColor);
    case kVTranslucentModelsZSort:
      return VRenderPassBit(kVPassTranslucentZSort);
    default:
      return VRenderPassBit(lighted ? kVPassLighted : kVPassFlat);
  }
}

bool VRenderPassBlends(VRenderPass pass) {
  return pass == kVPassTranslucent || pass == kVPassAddColor || pass == kVPassTranslucentZSort ||
         pass == kVPassAddColorZSort || pass == kVPassTranslucentPostRender;
}

bool VRenderPassDepthOnly(VRenderPass pass) {
  return pass == kVPassZ || pass == kVPassZTranslucent || pass == kVPassZTranslucentAlphaTest || pass == kVPassMatte;
}
