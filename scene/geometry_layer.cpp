#include "scene/geometry_layer.h"

#include <cmath>

namespace {

const char* const kMappingTexts[] = {"NoMappingInformation", "AllSame", "ByVertice", "ByPolygon", "ByPolygonVertex"};

const char* const kElementNames[kVLayerKindCount] = {"LayerElementNormal", "LayerElementMaterial",
                                                     "LayerElementTexture", "LayerElementUV",
                                                     "LayerElementColor", "LayerElementPolygonGroup"};
const int kElementComponents[kVLayerKindCount] = {3, 0, 0, 2, 4, 0};

}  // namespace

VMappingTarget VMappingTargetOf(int mode) {
  switch (mode) {
    case 1: case 2: return kVMapsAll;
    case 3: case 4: return kVMapsPoints;
    case 5: case 6: return kVMapsPolygons;
    case 7: case 8: return kVMapsCorners;
    default: return kVMapsNothing;
  }
}

const char* VMappingInformationText(int mode) {
  return mode >= 1 && mode <= 8 ? kMappingTexts[(mode + 1) / 2] : kMappingTexts[0];
}

const char* VReferenceInformationText(int mode, bool short_index) {
  if (!VMappingIsIndexed(mode)) return "Direct";
  return short_index ? "Index" : "IndexToDirect";
}

int VMappingModeOf(const std::string& mapping, const std::string& reference) {
  int base = 0;  // the direct code of the mapping
  if (mapping == "AllSame") base = 1;
  else if (mapping == "ByVertice") base = 3;
  else if (mapping == "ByPolygon") base = 5;
  else if (mapping == "ByPolygonVertex") base = 7;
  if (base == 0) return 0;
  if (reference == "Direct") return base;
  if (reference == "IndexToDirect") return base + 1;
  if (reference == "Index" && base == 1) return 2;
  return 0;
}

const char* VLayerElementName(int kind) {
  return kind >= 0 && kind < kVLayerKindCount ? kElementNames[kind] : "";
}

int VLayerElementKindOf(const std::string& name) {
  for (int k = 0; k < kVLayerKindCount; ++k) {
    if (name == kElementNames[k]) return k;
  }
  return -1;
}

int VLayerElementComponents(int kind) {
  return kind >= 0 && kind < kVLayerKindCount ? kElementComponents[kind] : 0;
}

void VLayerElementFit(VLayerElement& element, std::size_t points, std::size_t polygons, std::size_t corners) {
  std::size_t count = 0;
  switch (VMappingTargetOf(element.mapping)) {
    case kVMapsAll: count = 1; break;
    case kVMapsPoints: count = points; break;
    case kVMapsPolygons: count = polygons; break;
    case kVMapsCorners: count = corners; break;
    case kVMapsNothing: break;
  }
  for (double& d : element.data) {
    if (!std::isfinite(d)) d = 0.0;
  }
  const std::size_t components = static_cast<std::size_t>(VLayerElementComponents(element.kind));
  if (components == 0) {  // the ids are the data
    element.data.clear();
    element.ids.resize(count, 0);
    return;
  }
  if (!VMappingIsIndexed(element.mapping)) {
    element.ids.clear();
    element.data.resize(count * components, 0.0);
    return;
  }
  element.ids.resize(count, 0);
  element.data.resize(element.data.size() - element.data.size() % components);
  if (count > 0 && element.data.empty()) element.data.assign(components, 0.0);
  const std::size_t data_count = element.data.size() / components;
  for (std::int32_t& id : element.ids) {
    if (id < 0 || static_cast<std::size_t>(id) >= data_count) id = 0;
  }
}
