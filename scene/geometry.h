#pragma once
// The geometry of a polygon mesh: control points, polygons as runs of
// control-point indices, per-polygon material and texture ids, layers of
// per-element data and blend shapes.
//
// The polygon vertex index holds each polygon's corners in order; the last
// corner of a polygon carries kVPolygonEnd (the index's high bit). Once a
// geometry has been fitted (VGeometryFit), every index is inside the point
// range, every polygon has at least three corners and every per-element
// array has exactly the length its mapping asks for, so the deformers, the
// triangulation and the renderer read it without checks.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/geometry_layer.h"
#include "scene/matrix.h"

constexpr std::uint32_t kVPolygonEnd = 0x80000000u;
constexpr std::uint32_t kVPolygonIndexMask = 0x7fffffffu;

enum VMaterialAssignation : int { kVMaterialAllSame = 0, kVMaterialByVertice = 1, kVMaterialByPolygon = 2 };
enum VTextureMode : int { kVTextureByModel = 0, kVTextureByPolygon = 1 };

// Patch parameters in one direction ("UExtendedCount", "UClosed", ...).
struct VGeometryPatch {
  int extended_count = 0, closed = 0, top_cap = 0, step = 0, count = 0;
  bool operator==(const VGeometryPatch& o) const {
    return extended_count == o.extended_count && closed == o.closed && top_cap == o.top_cap && step == o.step &&
           count == o.count;
  }
};

// The texture coordinates of older files ("GeometryUVInfo").
struct VGeometryUVInfo {
  bool present = false;
  int version = 100;
  std::string mapping = "ByPolygonVertex";
  std::vector<double> uv;            // 2 per coordinate
  std::vector<std::int32_t> uv_index;  // one per polygon corner
  bool operator==(const VGeometryUVInfo& o) const {
    return present == o.present && version == o.version && mapping == o.mapping && uv == o.uv && uv_index == o.uv_index;
  }
};

// The layered texture information of older files ("GeometryLayer").
struct VGeometryLayerInfo {
  bool present = false;
  int layer_index = 0;
  int texture_mode = 0, blend_mode = 0;
  double alpha = 1.0;
  std::vector<std::int32_t> texture_ids;
  int uv_mode = 0, uv_count = 0;
  std::vector<std::int32_t> uv_ids;
  bool operator==(const VGeometryLayerInfo& o) const {
    return present == o.present && layer_index == o.layer_index && texture_mode == o.texture_mode &&
           blend_mode == o.blend_mode && alpha == o.alpha && texture_ids == o.texture_ids && uv_mode == o.uv_mode &&
           uv_count == o.uv_count && uv_ids == o.uv_ids;
  }
};

// Vertex colours of older files ("VertexColorInfo").
struct VVertexColorInfo {
  bool present = false;
  int version = 100;
  std::string mapping = "ByVertice";
  std::vector<double> colors;  // 4 per colour
  std::vector<std::int32_t> color_index;
  bool operator==(const VVertexColorInfo& o) const {
    return present == o.present && version == o.version && mapping == o.mapping && colors == o.colors &&
           color_index == o.color_index;
  }
};

// A blend shape: a full second set of control points for the same polygons.
struct VShape {
  std::string name;
  std::vector<YrSDK::YrVector4<float>> points;
  std::vector<std::uint32_t> polygon_vertex_index;  // as read, for writing back
  bool operator==(const VShape& o) const {
    return name == o.name && points == o.points && polygon_vertex_index == o.polygon_vertex_index;
  }
};

struct VGeometry {
  std::vector<YrSDK::YrVector4<float>> points;   // w = 1
  std::vector<YrSDK::YrVector3<float>> normals;  // empty, or one per point
  std::vector<std::uint32_t> polygon_vertex_index;
  // Derived by VGeometryFit: polygon p's corners are [polygon_start[p],
  // polygon_start[p + 1]) of the polygon vertex index.
  std::vector<std::uint32_t> polygon_start;

  int material_assignation = kVMaterialAllSame;
  // One id (all same), one per point, or one per polygon; per-polygon ids
  // count from 1 (the file's index + 1).
  std::vector<std::int32_t> materials;
  int texture_mode = kVTextureByModel;
  std::vector<std::int32_t> texture_ids;     // one per polygon when by polygon
  std::vector<std::int32_t> polygon_groups;  // empty, or one per polygon
  VGeometryPatch u, v;
  VGeometryUVInfo uv_info;
  VGeometryLayerInfo layer_info;
  VVertexColorInfo vertex_colors;
  std::vector<VLayerElement> elements;
  std::vector<VLayer> layers;
  std::vector<VShape> shapes;

  std::size_t PolygonCount() const { return polygon_start.empty() ? 0 : polygon_start.size() - 1; }
  std::size_t CornerCount() const { return polygon_vertex_index.size(); }
  std::uint32_t PolygonSize(std::size_t p) const { return polygon_start[p + 1] - polygon_start[p]; }
  // The control point of corner k of polygon p.
  std::uint32_t PolygonPoint(std::size_t p, std::uint32_t k) const {
    return polygon_vertex_index[polygon_start[p] + k] & kVPolygonIndexMask;
  }
  // The whole state, for tests and change detection.
  bool operator==(const VGeometry& o) const;
  bool operator!=(const VGeometry& o) const { return !(*this == o); }
};

// Appends a polygon of the given control points (at least three).
void VGeometryAddPolygon(VGeometry& geometry, const std::uint32_t* corners, std::size_t count);

// Makes a geometry consistent (see above): polygons with a corner outside
// the point range or fewer than three corners are dropped together with
// their per-polygon and per-corner data, non-finite values become 0, and
// every per-element array is fitted to its mapping. Answers the number of
// polygons dropped.
std::size_t VGeometryFit(VGeometry& geometry);
