#include "sdk/yr_geometry.h"

#include <cmath>

#include "scene/model_polymesh.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/bridge/yr_geometry_edit.h"

namespace YrSDK {

namespace {

VLayerElement* FindElement(VGeometry& g, int kind, int typed_index) {
  for (VLayerElement& e : g.elements) {
    if (e.kind == kind && e.typed_index == typed_index) return &e;
  }
  return nullptr;
}

const VLayerElement* FindElement(const VGeometry& g, int kind, int typed_index) {
  return FindElement(const_cast<VGeometry&>(g), kind, typed_index);
}

// Makes sure layer `index` lists the element (kind, typed_index).
void ReferenceInLayer(VGeometry& g, int index, int kind, int typed_index) {
  VLayer* layer = nullptr;
  for (VLayer& l : g.layers) {
    if (l.index == index) layer = &l;
  }
  if (!layer) {
    g.layers.emplace_back();
    layer = &g.layers.back();
    layer->index = index;
  }
  const std::string type = VLayerElementName(kind);
  for (const VLayerEntry& entry : layer->entries) {
    if (entry.type == type && entry.typed_index == typed_index) return;
  }
  layer->entries.push_back({type, typed_index});
}

bool InRange(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

float Finite(double v) { return std::isfinite(v) ? static_cast<float>(v) : 0.0f; }

}  // namespace

YrGeometry::YrGeometry(const YrComponent& component)
    : YrGeometry(dynamic_cast<VModelPolymesh*>(YrEngineHandles::Object(component))) {}

YrGeometry::YrGeometry(VModelPolymesh* mesh)
    : YrComponent(mesh), mesh_(mesh), edit_(mesh ? std::make_shared<Edit>() : nullptr) {}

bool YrGeometry::IsEditing() const { return edit_ && edit_->open; }

VGeometry* YrGeometry::Editing() const { return IsEditing() ? &edit_->geometry : nullptr; }

YrGeometry::Edit* YrGeometry::EditState() const { return IsEditing() ? edit_.get() : nullptr; }

const VGeometry* YrGeometry::Current() const {
  if (IsEditing()) return &edit_->geometry;
  return mesh_ ? &mesh_->GetGeometry() : nullptr;
}

bool YrGeometry::GeometryBegin() {
  if (!mesh_ || edit_->open) return false;
  *edit_ = Edit();
  edit_->open = true;
  edit_->geometry = mesh_->GetGeometry();
  return true;
}

bool YrGeometry::GeometryEnd(std::size_t* dropped) {
  if (!IsEditing()) return false;
  Edit edit = std::move(*edit_);
  *edit_ = Edit();
  const std::size_t count = VGeometryFit(edit.geometry);
  if (dropped) *dropped = count;
  mesh_->SetGeometry(std::move(edit.geometry));
  return true;
}

bool YrGeometry::VertexInit(int count) {
  VGeometry* g = Editing();
  if (!g || count < 0) return false;
  const std::size_t n = static_cast<std::size_t>(count);
  g->points.resize(n, YrVector4<float>(0, 0, 0, 1));
  if (!g->normals.empty()) g->normals.resize(n);
  if (g->material_assignation == kVMaterialByVertice) g->materials.resize(n, 0);
  return true;
}

int YrGeometry::VertexCount() const {
  const VGeometry* g = Current();
  return g ? static_cast<int>(g->points.size()) : 0;
}

YrVector4<float> YrGeometry::VertexGet(int index) const {
  const VGeometry* g = Current();
  return g && InRange(index, g->points.size()) ? g->points[static_cast<std::size_t>(index)] : YrVector4<float>();
}

bool YrGeometry::VertexSet(int index, const YrVector4<float>& point) {
  VGeometry* g = Editing();
  if (!g || !InRange(index, g->points.size())) return false;
  g->points[static_cast<std::size_t>(index)] = {point.x, point.y, point.z, 1.0f};
  return true;
}

int YrGeometry::VertexAdd(const YrVector4<float>& point) {
  VGeometry* g = Editing();
  if (!g) return -1;
  g->points.push_back({point.x, point.y, point.z, 1.0f});
  VertexInit(static_cast<int>(g->points.size()));  // per-point arrays follow
  return static_cast<int>(g->points.size()) - 1;
}

int YrGeometry::VertexAdd(double x, double y, double z) {
  return VertexAdd(YrVector4<float>(Finite(x), Finite(y), Finite(z), 1.0f));
}

bool YrGeometry::VertexClear() { return VertexInit(0); }

bool YrGeometry::VertexNormalSet(int index, const YrVector3<float>& normal) {
  VGeometry* g = Editing();
  if (!g || !InRange(index, g->points.size())) return false;
  g->normals.resize(g->points.size());
  g->normals[static_cast<std::size_t>(index)] = normal;
  return true;
}

YrVector3<float> YrGeometry::VertexNormalGet(int index) const {
  const VGeometry* g = Current();
  return g && InRange(index, g->normals.size()) ? g->normals[static_cast<std::size_t>(index)] : YrVector3<float>();
}

bool YrGeometry::VertexUVSet(int index, const YrVector2<float>& uv, int uv_set) {
  VGeometry* g = Editing();
  if (!g || !InRange(index, g->points.size()) || uv_set < 0) return false;
  VLayerElement* e = FindElement(*g, kVLayerUV, uv_set);
  if (!e) {
    g->elements.emplace_back();
    e = &g->elements.back();
    e->kind = kVLayerUV;
    e->typed_index = uv_set;
    e->mapping = kVMappingByVerticeDirect;
  }
  if (e->mapping != kVMappingByVerticeDirect) return false;
  ReferenceInLayer(*g, uv_set, kVLayerUV, uv_set);
  if (e->data.size() < g->points.size() * 2) e->data.resize(g->points.size() * 2, 0.0);
  e->data[2 * static_cast<std::size_t>(index)] = uv.x;
  e->data[2 * static_cast<std::size_t>(index) + 1] = uv.y;
  return true;
}

YrVector2<float> YrGeometry::VertexUVGet(int index, int uv_set) const {
  const VGeometry* g = Current();
  if (!g || !InRange(index, g->points.size())) return {};
  const VLayerElement* e = FindElement(*g, kVLayerUV, uv_set);
  if (!e) return {};
  std::size_t datum = static_cast<std::size_t>(index);
  switch (e->mapping) {
    case kVMappingAllSameDirect: datum = 0; break;
    case kVMappingAllSameIndexed:
    case kVMappingByVerticeIndexed: {
      const std::size_t at = e->mapping == kVMappingAllSameIndexed ? 0 : datum;
      if (at >= e->ids.size() || e->ids[at] < 0) return {};
      datum = static_cast<std::size_t>(e->ids[at]);
      break;
    }
    case kVMappingByVerticeDirect: break;
    default: return {};  // not given per point
  }
  if (2 * datum + 1 >= e->data.size()) return {};
  return {Finite(e->data[2 * datum]), Finite(e->data[2 * datum + 1])};
}

bool YrGeometry::VertexMaterialIdSet(int index, int material) {
  VGeometry* g = Editing();
  if (!g || !InRange(index, g->points.size())) return false;
  if (g->material_assignation != kVMaterialByVertice) {
    const std::int32_t shared =
        g->material_assignation == kVMaterialAllSame && !g->materials.empty() ? g->materials[0] : 0;
    g->material_assignation = kVMaterialByVertice;
    g->materials.assign(g->points.size(), shared);
  }
  g->materials.resize(g->points.size(), 0);
  g->materials[static_cast<std::size_t>(index)] = material;
  return true;
}

int YrGeometry::VertexMaterialIdGet(int index) const {
  const VGeometry* g = Current();
  if (!g || !InRange(index, g->points.size())) return -1;
  if (g->material_assignation == kVMaterialAllSame) return g->materials.empty() ? -1 : g->materials[0];
  if (g->material_assignation != kVMaterialByVertice || !InRange(index, g->materials.size())) return -1;
  return g->materials[static_cast<std::size_t>(index)];
}

int YrGeometry::GetMaterialMappingMode() const {
  const VGeometry* g = Current();
  if (!g) return kVMappingNone;
  if (const VLayerElement* e = FindElement(*g, kVLayerMaterial, 0)) return e->mapping;
  switch (g->material_assignation) {
    case kVMaterialByVertice: return kVMappingByVerticeIndexed;
    case kVMaterialByPolygon: return kVMappingByPolygonIndexed;
    default: return g->materials.empty() ? kVMappingNone : kVMappingAllSameDirect;
  }
}

int YrGeometry::GetTextureMappingMode() const {
  const VGeometry* g = Current();
  if (!g) return kVMappingNone;
  if (const VLayerElement* e = FindElement(*g, kVLayerTexture, 0)) return e->mapping;
  return g->texture_mode == kVTextureByPolygon ? kVMappingByPolygonIndexed : kVMappingAllSameDirect;
}

int YrGeometry::GetUVMappingMode() const {
  const VGeometry* g = Current();
  if (!g) return kVMappingNone;
  if (const VLayerElement* e = FindElement(*g, kVLayerUV, 0)) return e->mapping;
  return g->uv_info.present ? VMappingModeOf(g->uv_info.mapping, "IndexToDirect") : kVMappingNone;
}

}  // namespace YrSDK
