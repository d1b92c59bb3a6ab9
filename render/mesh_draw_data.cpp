#include "render/mesh_draw_data.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "scene/geometry.h"
#include "scene/triangulation.h"

namespace {

// The datum of a layer element that a polygon corner reads; -1 when the
// element gives none (an index outside its data).
int DatumOfCorner(const VLayerElement& e, std::uint32_t point, std::uint32_t polygon, std::uint32_t corner) {
  std::size_t at = 0;
  switch (VMappingTargetOf(e.mapping)) {
    case kVMapsAll: at = 0; break;
    case kVMapsPoints: at = point; break;
    case kVMapsPolygons: at = polygon; break;
    case kVMapsCorners: at = corner; break;
    default: return -1;
  }
  std::int64_t datum = static_cast<std::int64_t>(at);
  if (VMappingIsIndexed(e.mapping)) {
    if (at >= e.ids.size()) return -1;
    datum = e.ids[at];
  }
  const int components = VLayerElementComponents(e.kind);
  if (datum < 0 || components <= 0 ||
      static_cast<std::uint64_t>(datum) * components + components > e.data.size())
    return -1;
  return static_cast<int>(datum);
}

const VLayerElement* FirstElement(const VGeometry& g, int kind) {
  for (const VLayerElement& e : g.elements)
    if (e.kind == kind && e.mapping != kVMappingNone) return &e;
  return nullptr;
}

int PolygonMaterial(const VGeometry& g, std::size_t polygon) {
  if (g.material_assignation == kVMaterialByPolygon) {
    // Per-polygon ids count from 1.
    return polygon < g.materials.size() ? std::max(g.materials[polygon] - 1, 0) : 0;
  }
  if (g.material_assignation == kVMaterialAllSame && !g.materials.empty()) return std::max(g.materials[0], 0);
  return 0;
}

int PolygonTexture(const VGeometry& g, std::size_t polygon) {
  if (g.texture_mode == kVTextureByPolygon && polygon < g.texture_ids.size()) return std::max(g.texture_ids[polygon], 0);
  return 0;
}

struct VertexKey {
  std::uint32_t point;
  std::int32_t uv;
  std::int32_t normal;
  bool operator==(const VertexKey& o) const { return point == o.point && uv == o.uv && normal == o.normal; }
};

struct VertexKeyHash {
  std::size_t operator()(const VertexKey& k) const {
    std::uint64_t h = k.point * 0x9E3779B97F4A7C15ull;
    h ^= (static_cast<std::uint64_t>(static_cast<std::uint32_t>(k.uv)) + 0x7F4A7C15ull) * 0xC2B2AE3D27D4EB4Full;
    h ^= (static_cast<std::uint64_t>(static_cast<std::uint32_t>(k.normal)) + 0x165667B1ull) * 0x85EBCA77C2B2AE63ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
};

}  // namespace

void VBuildMeshDrawData(const VGeometry& g, const VTriangulation& t, VMeshDrawData& out) {
  out = VMeshDrawData();
  const VLayerElement* uv_element = FirstElement(g, kVLayerUV);
  const VLayerElement* normal_element = FirstElement(g, kVLayerNormal);
  const bool point_normals = normal_element == nullptr && g.normals.size() == g.points.size() && !g.normals.empty();
  out.file_normals = normal_element != nullptr || point_normals;

  // Corner -> polygon, for the per-polygon data of the triangles' corners.
  const std::size_t corners = g.CornerCount();
  std::vector<std::uint32_t> corner_polygon(corners, 0);
  for (std::size_t p = 0; p < g.PolygonCount(); ++p)
    for (std::uint32_t c = g.polygon_start[p]; c < g.polygon_start[p + 1]; ++c) corner_polygon[c] = static_cast<std::uint32_t>(p);

  // Weld corners into vertices.
  std::vector<std::uint32_t> corner_vertex(corners, 0);
  std::unordered_map<VertexKey, std::uint32_t, VertexKeyHash> welded;
  welded.reserve(g.points.size() * 2);
  std::vector<std::int32_t> vertex_uv, vertex_normal;
  for (std::size_t c = 0; c < corners; ++c) {
    const std::uint32_t point = g.polygon_vertex_index[c] & kVPolygonIndexMask;
    const std::uint32_t polygon = corner_polygon[c];
    VertexKey key{point, -1, -1};
    if (uv_element) key.uv = DatumOfCorner(*uv_element, point, polygon, static_cast<std::uint32_t>(c));
    if (normal_element) key.normal = DatumOfCorner(*normal_element, point, polygon, static_cast<std::uint32_t>(c));
    auto [it, added] = welded.emplace(key, static_cast<std::uint32_t>(out.vertex_point.size()));
    if (added) {
      out.vertex_point.push_back(point);
      vertex_uv.push_back(key.uv);
      vertex_normal.push_back(key.normal);
    }
    corner_vertex[c] = it->second;
  }

  const std::size_t vertices = out.vertex_point.size();
  out.positions.resize(vertices * 3);
  out.normals.assign(vertices * 3, 0.0f);
  if (uv_element) {
    out.uvs.assign(vertices * 2, 0.0f);
    for (std::size_t v = 0; v < vertices; ++v) {
      if (vertex_uv[v] < 0) continue;
      out.uvs[v * 2] = static_cast<float>(uv_element->data[static_cast<std::size_t>(vertex_uv[v]) * 2]);
      out.uvs[v * 2 + 1] = static_cast<float>(uv_element->data[static_cast<std::size_t>(vertex_uv[v]) * 2 + 1]);
    }
  }
  if (normal_element) {
    for (std::size_t v = 0; v < vertices; ++v) {
      if (vertex_normal[v] < 0) continue;
      for (int k = 0; k < 3; ++k)
        out.normals[v * 3 + k] = static_cast<float>(normal_element->data[static_cast<std::size_t>(vertex_normal[v]) * 3 + k]);
    }
  } else if (point_normals) {
    for (std::size_t v = 0; v < vertices; ++v) {
      const YrSDK::YrVector3<float>& n = g.normals[out.vertex_point[v]];
      out.normals[v * 3] = n.x;
      out.normals[v * 3 + 1] = n.y;
      out.normals[v * 3 + 2] = n.z;
    }
  }

  // Triangles sorted into (material, texture) batches, keeping their order
  // within a batch.
  const std::size_t triangles = t.triangles.size() / 3;
  std::vector<std::uint64_t> order(triangles);
  for (std::size_t i = 0; i < triangles; ++i) {
    const std::uint32_t polygon = i < t.triangle_polygon.size() ? t.triangle_polygon[i] : 0;
    const std::uint64_t material = static_cast<std::uint32_t>(PolygonMaterial(g, polygon)) & 0xFFFFu;
    const std::uint64_t texture = static_cast<std::uint32_t>(PolygonTexture(g, polygon)) & 0xFFFFu;
    order[i] = (material << 48) | (texture << 32) | i;
  }
  std::sort(order.begin(), order.end());
  out.triangles.resize(triangles * 3);
  for (std::size_t i = 0; i < triangles; ++i) {
    const std::size_t tri = order[i] & 0xFFFFFFFFu;
    const int material = static_cast<int>(order[i] >> 48);
    const int texture = static_cast<int>((order[i] >> 32) & 0xFFFFu);
    if (out.batches.empty() || out.batches.back().material != material || out.batches.back().texture != texture)
      out.batches.push_back({static_cast<std::uint32_t>(i * 3), 0, material, texture});
    out.batches.back().count += 3;
    for (int k = 0; k < 3; ++k) out.triangles[i * 3 + k] = corner_vertex[t.triangles[tri * 3 + k]];
  }

  // Polygon outlines, each edge once whatever its direction.
  std::unordered_map<std::uint64_t, bool> seen;
  seen.reserve(corners);
  for (std::size_t p = 0; p < g.PolygonCount(); ++p) {
    const std::uint32_t begin = g.polygon_start[p], end = g.polygon_start[p + 1];
    for (std::uint32_t c = begin; c < end; ++c) {
      const std::uint32_t next = c + 1 < end ? c + 1 : begin;
      const std::uint32_t a = g.polygon_vertex_index[c] & kVPolygonIndexMask;
      const std::uint32_t b = g.polygon_vertex_index[next] & kVPolygonIndexMask;
      const std::uint64_t key = (static_cast<std::uint64_t>(std::min(a, b)) << 32) | std::max(a, b);
      if (!seen.emplace(key, true).second) continue;
      out.edges.push_back(corner_vertex[c]);
      out.edges.push_back(corner_vertex[next]);
    }
  }

  std::vector<float> scratch;
  if (out.file_normals) {
    // A deforming mesh recomputes its normals from the winding; they must
    // face the way the file's normals do.
    const std::vector<float> file_normals = out.normals;
    VUpdateMeshPositions(g.points, false, out, scratch);
    double agreement = 0;
    for (std::size_t i = 0; i < file_normals.size(); ++i) agreement += double(file_normals[i]) * out.normals[i];
    out.flip_normals = agreement < 0;
    out.normals = file_normals;
  }
  VUpdateMeshPositions(g.points, out.file_normals, out, scratch);
}

void VUpdateMeshPositions(const std::vector<YrSDK::YrVector4<float>>& points, bool keep_file_normals,
                          VMeshDrawData& data, std::vector<float>& scratch) {
  const std::size_t vertices = data.vertex_point.size();
  float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
  for (std::size_t v = 0; v < vertices; ++v) {
    const std::uint32_t point = data.vertex_point[v];
    const YrSDK::YrVector4<float> p = point < points.size() ? points[point] : YrSDK::YrVector4<float>();
    float* out = &data.positions[v * 3];
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
    for (int k = 0; k < 3; ++k) {
      lo[k] = v == 0 ? out[k] : std::min(lo[k], out[k]);
      hi[k] = v == 0 ? out[k] : std::max(hi[k], out[k]);
    }
  }
  std::copy(lo, lo + 3, data.min);
  std::copy(hi, hi + 3, data.max);
  if (keep_file_normals) return;

  // Smooth normals per control point: the sum of the area-weighted face
  // normals of the triangles around it, so that welded and split vertices
  // of one point shade alike.
  scratch.assign(points.size() * 3, 0.0f);
  const std::uint32_t* tri = data.triangles.data();
  for (std::size_t i = 0; i + 2 < data.triangles.size(); i += 3) {
    const std::uint32_t a = data.vertex_point[tri[i]], b = data.vertex_point[tri[i + 1]], c = data.vertex_point[tri[i + 2]];
    const float* pa = &data.positions[tri[i] * 3];
    const float* pb = &data.positions[tri[i + 1] * 3];
    const float* pc = &data.positions[tri[i + 2] * 3];
    const float u[3] = {pb[0] - pa[0], pb[1] - pa[1], pb[2] - pa[2]};
    const float w[3] = {pc[0] - pa[0], pc[1] - pa[1], pc[2] - pa[2]};
    const float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    for (int k = 0; k < 3; ++k) {
      scratch[a * 3 + k] += n[k];
      scratch[b * 3 + k] += n[k];
      scratch[c * 3 + k] += n[k];
    }
  }
  for (std::size_t v = 0; v < vertices; ++v) {
    const float* n = &scratch[data.vertex_point[v] * 3];
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) * (data.flip_normals ? -1.0f : 1.0f);
    float* out = &data.normals[v * 3];
    if (length != 0.0f && std::isfinite(length)) {
      out[0] = n[0] / length;
      out[1] = n[1] / length;
      out[2] = n[2] / length;
    } else {
      out[0] = 0.0f;
      out[1] = 0.0f;
      out[2] = 1.0f;
    }
  }
}
