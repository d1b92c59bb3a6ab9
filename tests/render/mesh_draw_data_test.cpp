// A mesh as the renderer draws it: welded vertices, material batches,
// outlines, and normals that follow deformation.

#include <gtest/gtest.h>

#include <cmath>

#include "render/mesh_draw_data.h"
#include "scene/geometry.h"
#include "scene/triangulation.h"

namespace {

// Two unit quads side by side in the XY plane, wound counter-clockwise
// seen from +Z: points 0-1-4-3 and 1-2-5-4.
VGeometry TwoQuads() {
  VGeometry g;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) g.points.push_back({float(x), float(y), 0.0f, 1.0f});
  const std::uint32_t left[] = {0, 1, 4, 3}, right[] = {1, 2, 5, 4};
  VGeometryAddPolygon(g, left, 4);
  VGeometryAddPolygon(g, right, 4);
  return g;
}

VMeshDrawData Build(VGeometry g) {
  VGeometryFit(g);
  VTriangulation t;
  VTriangulateGeometry(g, t);
  VMeshDrawData d;
  VBuildMeshDrawData(g, t, d);
  return d;
}

TEST(MeshDrawData, CornersOfOnePointWeldUnlessTheirTextureCoordinatesDiffer) {
  VMeshDrawData shared = Build(TwoQuads());
  EXPECT_EQ(shared.VertexCount(), 6u);
  EXPECT_EQ(shared.TriangleCount(), 4u);
  EXPECT_EQ(shared.edges.size(), 7u * 2);  // the shared edge once

  // Texture coordinates per polygon corner, each quad mapped 0..1 on its
  // own: the two shared points split.
  VGeometry g = TwoQuads();
  VLayerElement uv;
  uv.kind = kVLayerUV;
  uv.mapping = kVMappingByPolygonVertexDirect;
  uv.data = {0, 0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1};
  g.elements = {uv};
  VMeshDrawData split = Build(g);
  EXPECT_EQ(split.VertexCount(), 8u);
  ASSERT_EQ(split.uvs.size(), 16u);
  // Every vertex keeps its own corner's coordinates.
  for (std::size_t v = 0; v < split.VertexCount(); ++v) {
    const std::uint32_t p = split.vertex_point[v];
    const float x = split.positions[v * 3];
    EXPECT_EQ(float(p % 3), x);
    EXPECT_TRUE(split.uvs[v * 2] == 0.0f || split.uvs[v * 2] == 1.0f);
  }
}

TEST(MeshDrawData, TrianglesAreBatchedByMaterial) {
  VGeometry g = TwoQuads();
  g.material_assignation = kVMaterialByPolygon;
  g.materials = {2, 1};  // per-polygon ids count from 1
  VMeshDrawData d = Build(g);
  ASSERT_EQ(d.batches.size(), 2u);
  EXPECT_EQ(d.batches[0].material, 0);
  EXPECT_EQ(d.batches[1].material, 1);
  EXPECT_EQ(d.batches[0].count + d.batches[1].count, 12u);
  // Outlines too: the shared edge belongs to the left quad (material 1).
  ASSERT_EQ(d.edge_batches.size(), 2u);
  EXPECT_EQ(d.edge_batches[0].material, 0);
  EXPECT_EQ(d.edge_batches[0].count, 3u * 2);
  EXPECT_EQ(d.edge_batches[1].count, 4u * 2);
  // Material 0 is the right quad's: its triangles touch point 2.
  bool touches_right = false;
  for (std::uint32_t i = d.batches[0].first; i < d.batches[0].first + d.batches[0].count; ++i)
    touches_right = touches_right || d.vertex_point[d.triangles[i]] == 2;
  EXPECT_TRUE(touches_right);
}

TEST(MeshDrawData, DeformedNormalsFaceTheWayTheFilesNormalsDo) {
  // The file's normals say -Z although the polygons wind towards +Z.
  VGeometry g = TwoQuads();
  g.normals.assign(g.points.size(), {0.0f, 0.0f, -1.0f});
  VMeshDrawData d = Build(g);
  EXPECT_TRUE(d.flip_normals);
  EXPECT_EQ(d.normals[2], -1.0f);  // the file's, while nothing deforms
  std::vector<YrSDK::YrVector4<float>> bent = g.points;
  bent[2].z = 1.0f;  // fold the right quad up
  std::vector<float> scratch;
  VUpdateMeshPositions(bent, false, d, scratch);
  for (std::size_t v = 0; v < d.VertexCount(); ++v) EXPECT_LT(d.normals[v * 3 + 2], 0.0f) << "vertex " << v;
  EXPECT_EQ(d.max[2], 1.0f);

  VMeshDrawData plain = Build(TwoQuads());
  EXPECT_FALSE(plain.flip_normals);
  EXPECT_FLOAT_EQ(plain.normals[2], 1.0f);
}

TEST(MeshDrawData, EmptyAndDegenerateGeometryGiveNothingToDraw) {
  VMeshDrawData empty = Build(VGeometry());
  EXPECT_EQ(empty.VertexCount(), 0u);
  EXPECT_TRUE(empty.batches.empty());
  // Every point in one place: normals fall back to +Z, never NaN.
  VGeometry g = TwoQuads();
  for (auto& p : g.points) p = {1, 1, 1, 1};
  VMeshDrawData flat = Build(g);
  for (float n : flat.normals) EXPECT_FALSE(std::isnan(n));
}

}  // namespace

namespace {

// A large mesh sums its normals on two threads; the result is the one
// thread's, up to the order of float additions.
TEST(MeshDrawData, LargeMeshNormalsAgreeWithTheSerialSums) {
  constexpr std::uint32_t kSide = 240;  // 2 x 240 x 240 triangles
  VGeometry g;
  for (std::uint32_t y = 0; y <= kSide; ++y)
    for (std::uint32_t x = 0; x <= kSide; ++x)
      g.points.push_back({float(x), float(y), std::sin(x * 0.1f) * std::cos(y * 0.07f) * 5.0f, 1.0f});
  for (std::uint32_t y = 0; y < kSide; ++y) {
    for (std::uint32_t x = 0; x < kSide; ++x) {
      const std::uint32_t a = y * (kSide + 1) + x;
      const std::uint32_t quad[] = {a, a + 1, a + kSide + 2, a + kSide + 1};
      VGeometryAddPolygon(g, quad, 4);
    }
  }
  VMeshDrawData parallel = Build(g);
  ASSERT_TRUE(parallel.points_are_vertices);
  VMeshDrawData serial = parallel;
  serial.points_are_vertices = false;  // the gathered, one-thread path
  std::vector<float> scratch_a, scratch_b;
  VUpdateMeshPositions(g.points, false, parallel, scratch_a);
  VUpdateMeshPositions(g.points, false, serial, scratch_b);
  ASSERT_EQ(parallel.normals.size(), serial.normals.size());
  for (std::size_t i = 0; i < serial.normals.size(); ++i) EXPECT_NEAR(parallel.normals[i], serial.normals[i], 1e-5f);
}

}  // namespace
