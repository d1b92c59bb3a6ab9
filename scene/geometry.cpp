#include "scene/geometry.h"

#include <algorithm>
#include <cmath>

namespace {

float Finite(float f) { return std::isfinite(f) ? f : 0.0f; }

// Keeps the entries whose flag is set, when the array has one entry (of
// `stride` values) per flag; anything else is left for the fitting after.
template <class T>
void Filter(std::vector<T>& values, const std::vector<std::uint8_t>& keep, std::size_t stride) {
  if (stride == 0 || values.size() != keep.size() * stride) return;
  std::size_t out = 0;
  for (std::size_t i = 0; i < keep.size(); ++i) {
    if (!keep[i]) continue;
    for (std::size_t c = 0; c < stride; ++c) values[out + c] = values[i * stride + c];
    out += stride;
  }
  values.resize(out);
}

template <class T>
void FilterByTarget(std::vector<T>& values, VMappingTarget target, std::size_t stride,
                    const std::vector<std::uint8_t>& keep_polygon, const std::vector<std::uint8_t>& keep_corner) {
  if (target == kVMapsPolygons) Filter(values, keep_polygon, stride);
  if (target == kVMapsCorners) Filter(values, keep_corner, stride);
}

void FitIndex(std::vector<std::int32_t>& index, std::vector<double>& data, std::size_t components) {
  data.resize(data.size() - data.size() % components);
  for (double& d : data) {
    if (!std::isfinite(d)) d = 0.0;
  }
  if (!index.empty() && data.empty()) data.assign(components, 0.0);
  const std::size_t count = data.size() / components;
  for (std::int32_t& i : index) {
    if (i < 0 || static_cast<std::size_t>(i) >= count) i = 0;
  }
}

}  // namespace

bool VGeometry::operator==(const VGeometry& o) const {
  return points == o.points && normals == o.normals && polygon_vertex_index == o.polygon_vertex_index &&
         material_assignation == o.material_assignation && materials == o.materials &&
         texture_mode == o.texture_mode && texture_ids == o.texture_ids && polygon_groups == o.polygon_groups &&
         u == o.u && v == o.v && uv_info == o.uv_info && layer_info == o.layer_info &&
         vertex_colors == o.vertex_colors && elements == o.elements && layers == o.layers && shapes == o.shapes;
}

void VGeometryAddPolygon(VGeometry& geometry, const std::uint32_t* corners, std::size_t count) {
  if (count < 3) return;
  if (geometry.polygon_start.empty()) geometry.polygon_start.push_back(0);
  for (std::size_t k = 0; k < count; ++k) {
    geometry.polygon_vertex_index.push_back((corners[k] & kVPolygonIndexMask) | (k + 1 == count ? kVPolygonEnd : 0u));
  }
  geometry.polygon_start.push_back(static_cast<std::uint32_t>(geometry.polygon_vertex_index.size()));
}

std::size_t VGeometryFit(VGeometry& g) {
  const std::size_t point_count = g.points.size();
  for (auto& p : g.points) p = {Finite(p.x), Finite(p.y), Finite(p.z), 1.0f};
  if (!g.normals.empty()) g.normals.resize(point_count);
  for (auto& n : g.normals) n = {Finite(n.x), Finite(n.y), Finite(n.z)};

  // Split the index into polygons; a last run without its end mark closes
  // where the index ends.
  std::vector<std::uint8_t> keep_polygon, keep_corner(g.polygon_vertex_index.size(), 0);
  std::vector<std::uint32_t> kept_index;
  kept_index.reserve(g.polygon_vertex_index.size());
  g.polygon_start.assign(1, 0);
  std::size_t start = 0;
  for (std::size_t i = 0; i < g.polygon_vertex_index.size(); ++i) {
    const bool last = (g.polygon_vertex_index[i] & kVPolygonEnd) || i + 1 == g.polygon_vertex_index.size();
    if (!last) continue;
    bool ok = i + 1 - start >= 3;
    for (std::size_t k = start; k <= i && ok; ++k) ok = (g.polygon_vertex_index[k] & kVPolygonIndexMask) < point_count;
    keep_polygon.push_back(ok);
    if (ok) {
      for (std::size_t k = start; k <= i; ++k) {
        keep_corner[k] = 1;
        kept_index.push_back((g.polygon_vertex_index[k] & kVPolygonIndexMask) | (k == i ? kVPolygonEnd : 0u));
      }
      g.polygon_start.push_back(static_cast<std::uint32_t>(kept_index.size()));
    }
    start = i + 1;
  }
  g.polygon_vertex_index.swap(kept_index);
  const std::size_t polygons = g.PolygonCount();
  const std::size_t corners = g.polygon_vertex_index.size();
  std::size_t dropped = keep_polygon.size() - polygons;

  // Per-polygon and per-corner arrays lose the entries of dropped polygons.
  if (g.material_assignation == kVMaterialByPolygon) {
    Filter(g.materials, keep_polygon, 1);
    if (g.materials.size() == 1 && polygons != 1) g.materials.assign(polygons, g.materials[0]);
    g.materials.resize(polygons, 0);
  } else if (g.material_assignation == kVMaterialByVertice) {
    if (g.materials.size() == 1 && point_count != 1) g.materials.assign(point_count, g.materials[0]);
    g.materials.resize(point_count, 0);
  } else {
    g.material_assignation = kVMaterialAllSame;
    if (g.materials.size() > 1) g.materials.resize(1);
  }
  if (g.texture_mode == kVTextureByPolygon) {
    Filter(g.texture_ids, keep_polygon, 1);
    g.texture_ids.resize(polygons, 0);
  } else {
    g.texture_mode = kVTextureByModel;
    g.texture_ids.clear();
  }
  if (!g.polygon_groups.empty()) {
    Filter(g.polygon_groups, keep_polygon, 1);
    g.polygon_groups.resize(polygons, 0);
    // Groups are written only when they tell polygons apart.
    if (std::all_of(g.polygon_groups.begin(), g.polygon_groups.end(),
                    [&](std::int32_t id) { return id == g.polygon_groups[0]; }))
      g.polygon_groups.clear();
  }
  Filter(g.uv_info.uv_index, keep_corner, 1);
  FitIndex(g.uv_info.uv_index, g.uv_info.uv, 2);
  FitIndex(g.vertex_colors.color_index, g.vertex_colors.colors, 4);
  if (!std::isfinite(g.layer_info.alpha)) g.layer_info.alpha = 1.0;
  for (VLayerElement& e : g.elements) {
    const VMappingTarget target = VMappingTargetOf(e.mapping);
    const std::size_t components = static_cast<std::size_t>(VLayerElementComponents(e.kind));
    if (components == 0 || VMappingIsIndexed(e.mapping)) {
      FilterByTarget(e.ids, target, 1, keep_polygon, keep_corner);
    } else {
      FilterByTarget(e.data, target, components, keep_polygon, keep_corner);
    }
    if (!std::isfinite(e.alpha)) e.alpha = 1.0;
    VLayerElementFit(e, point_count, polygons, corners);
  }
  // A shape is a full point set: missing points keep the base's place.
  for (VShape& shape : g.shapes) {
    for (auto& p : shape.points) p = {Finite(p.x), Finite(p.y), Finite(p.z), 1.0f};
    if (shape.points.size() > point_count) shape.points.resize(point_count);
    for (std::size_t i = shape.points.size(); i < point_count; ++i) shape.points.push_back(g.points[i]);
  }
  return dropped;
}
