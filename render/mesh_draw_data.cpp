#include "render/mesh_draw_data.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <thread>
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

// Meshes with at least this many triangle indices split the normals'
// sums between two threads: below it a thread costs more than it saves.
constexpr std::size_t kParallelNormalIndices = 3 * 65536;

// Adds the face normals of the triangles [begin, end) (indices) into `sums`
// at their vertices (`direct`) or their control points.
void AccumulateFaceNormals(const VMeshDrawData& data, std::size_t begin, std::size_t end, float* sums,
                           bool direct) {
  const std::uint32_t* tri = data.triangles.data();
  const float* pos = data.positions.data();
  const std::uint32_t* vp = data.vertex_point.data();
  for (std::size_t i = begin; i < end; i += 3) {
    const std::uint32_t ia = tri[i], ib = tri[i + 1], ic = tri[i + 2];
    const float* pa = pos + ia * 3;
    const float* pb = pos + ib * 3;
    const float* pc = pos + ic * 3;
    const float u0 = pb[0] - pa[0], u1 = pb[1] - pa[1], u2 = pb[2] - pa[2];
    const float w0 = pc[0] - pa[0], w1 = pc[1] - pa[1], w2 = pc[2] - pa[2];
    const float n0 = u1 * w2 - u2 * w1, n1 = u2 * w0 - u0 * w2, n2 = u0 * w1 - u1 * w0;
    float* a = sums + (direct ? ia : vp[ia]) * 3;
    float* b = sums + (direct ? ib : vp[ib]) * 3;
    float* c = sums + (direct ? ic : vp[ic]) * 3;
    a[0] += n0, a[1] += n1, a[2] += n2;
    b[0] += n0, b[1] += n1, b[2] += n2;
    c[0] += n0, c[1] += n1, c[2] += n2;
  }
}

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

  // Number the vertices in control-point order: a mesh whose corners of
  // one point all weld then has vertex v = point v, and its positions and
  // normals are refreshed without a gather.
  const std::size_t vertices = out.vertex_point.size();
  {
    std::vector<std::uint32_t> first(g.points.size() + 1, 0);
    for (std::uint32_t p : out.vertex_point) first[p + 1]++;
    for (std::size_t p = 0; p < g.points.size(); ++p) first[p + 1] += first[p];
    std::vector<std::uint32_t> renumber(vertices);
    for (std::size_t v = 0; v < vertices; ++v) renumber[v] = first[out.vertex_point[v]]++;
    std::vector<std::uint32_t> point(vertices);
    std::vector<std::int32_t> uv_of(vertices), normal_of(vertices);
    for (std::size_t v = 0; v < vertices; ++v) {
      point[renumber[v]] = out.vertex_point[v];
      uv_of[renumber[v]] = vertex_uv[v];
      normal_of[renumber[v]] = vertex_normal[v];
    }
    out.vertex_point.swap(point);
    vertex_uv.swap(uv_of);
    vertex_normal.swap(normal_of);
    for (std::uint32_t& v : corner_vertex) v = renumber[v];
  }
  out.points_are_vertices = vertices == g.points.size();
  for (std::size_t v = 0; out.points_are_vertices && v < vertices; ++v)
    out.points_are_vertices = out.vertex_point[v] == v;

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

  // Polygon outlines, each edge once whatever its direction, in the colour
  // of the first polygon that has it.
  std::unordered_map<std::uint64_t, bool> seen;
  seen.reserve(corners);
  std::vector<std::pair<int, std::uint32_t>> edge_material;  // (material, first corner's vertex pair index)
  std::vector<std::uint32_t> pairs;
  for (std::size_t p = 0; p < g.PolygonCount(); ++p) {
    const std::uint32_t begin = g.polygon_start[p], end = g.polygon_start[p + 1];
    const int material = PolygonMaterial(g, p);
    for (std::uint32_t c = begin; c < end; ++c) {
      const std::uint32_t next = c + 1 < end ? c + 1 : begin;
      const std::uint32_t a = g.polygon_vertex_index[c] & kVPolygonIndexMask;
      const std::uint32_t b = g.polygon_vertex_index[next] & kVPolygonIndexMask;
      const std::uint64_t key = (static_cast<std::uint64_t>(std::min(a, b)) << 32) | std::max(a, b);
      if (!seen.emplace(key, true).second) continue;
      edge_material.emplace_back(material, static_cast<std::uint32_t>(pairs.size() / 2));
      pairs.push_back(c);
      pairs.push_back(next);
    }
  }
  std::stable_sort(edge_material.begin(), edge_material.end(),
                   [](const auto& l, const auto& r) { return l.first < r.first; });
  out.edges.reserve(pairs.size());
  for (const auto& [material, edge] : edge_material) {
    if (out.edge_batches.empty() || out.edge_batches.back().material != material)
      out.edge_batches.push_back({static_cast<std::uint32_t>(out.edges.size()), 0, material, -1});
    out.edge_batches.back().count += 2;
    out.edges.push_back(corner_vertex[pairs[edge * 2]]);
    out.edges.push_back(corner_vertex[pairs[edge * 2 + 1]]);
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
  if (vertices > 0 && !points.empty()) {
    const YrSDK::YrVector4<float>& p0 = points[data.vertex_point[0] < points.size() ? data.vertex_point[0] : 0];
    lo[0] = hi[0] = p0.x;
    lo[1] = hi[1] = p0.y;
    lo[2] = hi[2] = p0.z;
  }
  const bool direct = data.points_are_vertices && points.size() == vertices;
  float* out = data.positions.data();
  for (std::size_t v = 0; v < vertices; ++v, out += 3) {
    const std::uint32_t point = direct ? static_cast<std::uint32_t>(v) : data.vertex_point[v];
    const YrSDK::YrVector4<float> p = point < points.size() ? points[point] : YrSDK::YrVector4<float>();
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
    lo[0] = std::min(lo[0], p.x);
    lo[1] = std::min(lo[1], p.y);
    lo[2] = std::min(lo[2], p.z);
    hi[0] = std::max(hi[0], p.x);
    hi[1] = std::max(hi[1], p.y);
    hi[2] = std::max(hi[2], p.z);
  }
  std::copy(lo, lo + 3, data.min);
  std::copy(hi, hi + 3, data.max);
  if (keep_file_normals) return;

  // Smooth normals per control point: the sum of the area-weighted face
  // normals of the triangles around it, so that split vertices of one point
  // shade alike. Where vertices are the points, the sums go straight into
  // the normals, and a large mesh splits its triangles between two threads
  // (the rasteriser's threads are idle while a frame is prepared).
  const std::size_t indices = data.triangles.size() / 3 * 3;
  const float* second = nullptr;  // the other thread's sums, added below
  float* sums = nullptr;
  if (direct) {
    sums = data.normals.data();
    std::fill(data.normals.begin(), data.normals.end(), 0.0f);
    if (indices >= kParallelNormalIndices && std::thread::hardware_concurrency() > 1) {
      const std::size_t half = indices / 6 * 3;
      scratch.assign(vertices * 3, 0.0f);
      std::thread worker(AccumulateFaceNormals, std::cref(data), half, indices, scratch.data(), true);
      AccumulateFaceNormals(data, 0, half, sums, true);
      worker.join();
      second = scratch.data();
    } else {
      AccumulateFaceNormals(data, 0, indices, sums, true);
    }
  } else {
    scratch.assign(points.size() * 3, 0.0f);
    sums = scratch.data();
    AccumulateFaceNormals(data, 0, indices, sums, false);
  }
  const std::uint32_t* vp = data.vertex_point.data();
  const float sign = data.flip_normals ? -1.0f : 1.0f;
  float* normal = data.normals.data();
  for (std::size_t v = 0; v < vertices; ++v, normal += 3) {
    float n[3];
    const float* own = direct ? normal : sums + vp[v] * 3;
    n[0] = own[0];
    n[1] = own[1];
    n[2] = own[2];
    if (second != nullptr) {
      n[0] += second[v * 3];
      n[1] += second[v * 3 + 1];
      n[2] += second[v * 3 + 2];
    }
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > 0.0f && std::isfinite(length)) {
      const float k = sign / length;
      const float x = n[0] * k, y = n[1] * k, z = n[2] * k;
      normal[0] = x;
      normal[1] = y;
      normal[2] = z;
    } else {
      normal[0] = 0.0f;
      normal[1] = 0.0f;
      normal[2] = 1.0f;
    }
  }
}
