#include "sdk/yr_mesh.h"

#include <cstdint>
#include <limits>

#include "scene/geometry.h"
#include "sdk/bridge/yr_geometry_edit.h"

namespace YrSDK {

namespace {

bool InRange(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

// Per-polygon materials are stored counting from 1.
void SetMaterial(VGeometry& g, std::size_t polygon, int material) {
  if (g.material_assignation != kVMaterialByPolygon) {
    const std::int32_t shared =
        g.material_assignation == kVMaterialAllSame && !g.materials.empty() ? g.materials[0] : 0;
    g.material_assignation = kVMaterialByPolygon;
    g.materials.assign(g.PolygonCount(), shared + 1);
  }
  g.materials.resize(g.PolygonCount(), 1);
  g.materials[polygon] = material == std::numeric_limits<int>::max() ? material : material + 1;
}

void SetTexture(VGeometry& g, std::size_t polygon, int texture) {
  if (g.texture_mode != kVTextureByPolygon) {
    g.texture_mode = kVTextureByPolygon;
    g.texture_ids.clear();
  }
  g.texture_ids.resize(g.PolygonCount(), 0);
  g.texture_ids[polygon] = texture;
}

void SetGroup(VGeometry& g, std::size_t polygon, int group) {
  g.polygon_groups.resize(g.PolygonCount(), 0);
  g.polygon_groups[polygon] = group;
}

}  // namespace

bool YrMesh::PolygonBegin() {
  Edit* edit = EditState();
  if (!edit || edit->polygon_open) return false;
  edit->polygon_open = true;
  edit->corners.clear();
  edit->has_material = edit->has_texture = edit->has_group = false;
  return true;
}

bool YrMesh::PolygonVertexAdd(int index) {
  Edit* edit = EditState();
  if (!edit || !edit->polygon_open || index < 0) return false;
  edit->corners.push_back(static_cast<std::uint32_t>(index));
  return true;
}

bool YrMesh::PolygonEnd() {
  Edit* edit = EditState();
  if (!edit || !edit->polygon_open) return false;
  edit->polygon_open = false;
  if (edit->corners.size() < 3) return false;
  VGeometry& g = edit->geometry;
  VGeometryAddPolygon(g, edit->corners.data(), edit->corners.size());
  const std::size_t p = g.PolygonCount() - 1;
  // Arrays kept per polygon grow with the polygons.
  if (g.material_assignation == kVMaterialByPolygon) g.materials.resize(g.PolygonCount(), 1);
  if (g.texture_mode == kVTextureByPolygon) g.texture_ids.resize(g.PolygonCount(), 0);
  if (!g.polygon_groups.empty()) g.polygon_groups.resize(g.PolygonCount(), 0);
  if (edit->has_material) SetMaterial(g, p, edit->material);
  if (edit->has_texture) SetTexture(g, p, edit->texture);
  if (edit->has_group) SetGroup(g, p, edit->group);
  return true;
}

bool YrMesh::PolygonMaterialIdSet(int material) {
  Edit* edit = EditState();
  if (!edit || !edit->polygon_open) return false;
  edit->material = material;
  edit->has_material = true;
  return true;
}

bool YrMesh::PolygonTextureIdSet(int texture) {
  Edit* edit = EditState();
  if (!edit || !edit->polygon_open) return false;
  edit->texture = texture;
  edit->has_texture = true;
  return true;
}

bool YrMesh::PolygonSurfaceIdSet(int surface) {
  Edit* edit = EditState();
  if (!edit || !edit->polygon_open) return false;
  edit->group = surface;
  edit->has_group = true;
  return true;
}

bool YrMesh::PolygonMaterialIdSet(int polygon, int material) {
  VGeometry* g = Editing();
  if (!g || !InRange(polygon, g->PolygonCount())) return false;
  SetMaterial(*g, static_cast<std::size_t>(polygon), material);
  return true;
}

bool YrMesh::PolygonTextureIdSet(int polygon, int texture) {
  VGeometry* g = Editing();
  if (!g || !InRange(polygon, g->PolygonCount())) return false;
  SetTexture(*g, static_cast<std::size_t>(polygon), texture);
  return true;
}

bool YrMesh::PolygonSurfaceIdSet(int polygon, int surface) {
  VGeometry* g = Editing();
  if (!g || !InRange(polygon, g->PolygonCount())) return false;
  SetGroup(*g, static_cast<std::size_t>(polygon), surface);
  return true;
}

int YrMesh::PolygonCount() const {
  const VGeometry* g = Current();
  return g ? static_cast<int>(g->PolygonCount()) : 0;
}

int YrMesh::PolygonVertexCount(int polygon) const {
  const VGeometry* g = Current();
  return g && InRange(polygon, g->PolygonCount()) ? static_cast<int>(g->PolygonSize(static_cast<std::size_t>(polygon)))
                                                   : 0;
}

int YrMesh::PolygonVertexIndex(int polygon, int corner) const {
  if (corner < 0 || corner >= PolygonVertexCount(polygon)) return -1;
  return static_cast<int>(Current()->PolygonPoint(static_cast<std::size_t>(polygon), static_cast<std::uint32_t>(corner)));
}

int YrMesh::PolygonTextureIdGet(int polygon) const {
  const VGeometry* g = Current();
  if (!g || g->texture_mode != kVTextureByPolygon || !InRange(polygon, g->texture_ids.size())) return -1;
  return g->texture_ids[static_cast<std::size_t>(polygon)];
}

int YrMesh::PolygonMaterialIdGet(int polygon) const {
  const VGeometry* g = Current();
  if (!g || !InRange(polygon, g->PolygonCount())) return -1;
  if (g->material_assignation == kVMaterialAllSame) return g->materials.empty() ? -1 : g->materials[0];
  if (g->material_assignation != kVMaterialByPolygon || !InRange(polygon, g->materials.size())) return -1;
  const std::int32_t stored = g->materials[static_cast<std::size_t>(polygon)];
  return stored == std::numeric_limits<std::int32_t>::min() ? stored : stored - 1;
}

int YrMesh::PolygonSurfaceIdGet(int polygon) const {
  const VGeometry* g = Current();
  if (!g || !InRange(polygon, g->PolygonCount())) return -1;
  return InRange(polygon, g->polygon_groups.size()) ? g->polygon_groups[static_cast<std::size_t>(polygon)] : 0;
}

}  // namespace YrSDK
