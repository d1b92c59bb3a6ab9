#pragma once
// A mesh as the renderer draws it: vertices welded from the polygon corners
// that share a control point, a texture coordinate and a normal; triangles
// over those vertices grouped in batches of one material and one texture;
// and the polygons' outlines as line pairs. Built once per geometry change;
// only positions and normals are refreshed when the mesh deforms.

#include <cstdint>
#include <vector>

#include "scene/matrix.h"

struct VGeometry;
struct VTriangulation;

// A run of triangles sharing one material and one texture (indices into the
// model's connected materials and textures; -1 for none).
struct VMeshBatch {
  std::uint32_t first = 0;  // first index in `triangles`
  std::uint32_t count = 0;  // number of indices
  int material = -1;
  int texture = -1;
};

struct VMeshDrawData {
  std::vector<std::uint32_t> vertex_point;  // the control point of each vertex
  std::vector<float> positions;             // 3 per vertex
  std::vector<float> normals;               // 3 per vertex
  std::vector<float> uvs;                   // 2 per vertex, empty without texture coordinates
  std::vector<std::uint32_t> triangles;     // 3 vertices each, in batch order
  std::vector<VMeshBatch> batches;
  std::vector<std::uint32_t> edges;         // 2 vertices each: every polygon's outline once
  std::vector<VMeshBatch> edge_batches;     // runs of `edges` by the material of their first polygon
  // Normals come from the file (one per vertex); otherwise, and whenever
  // the mesh deforms, they are computed from the points.
  bool file_normals = false;
  // Computed normals point against the file's: the polygons are wound the
  // other way round than the normals say (computed normals are flipped).
  bool flip_normals = false;
  // Vertex v is control point v for every v (vertices are numbered in point
  // order, so this holds whenever no point's corners split).
  bool points_are_vertices = false;
  // Bounds of the positions last set (model space).
  float min[3] = {0, 0, 0}, max[3] = {0, 0, 0};

  std::size_t VertexCount() const { return vertex_point.size(); }
  std::size_t TriangleCount() const { return triangles.size() / 3; }
};

// Builds the drawing data of a fitted geometry and its triangulation; the
// positions are the geometry's control points.
void VBuildMeshDrawData(const VGeometry& geometry, const VTriangulation& triangulation, VMeshDrawData& out);

// Sets positions from (deformed) control points, one per control point of
// the geometry the data was built from, and recomputes smooth normals
// unless the file's normals are kept (`keep_file_normals`). Scratch space
// is reused from call to call; nothing is allocated once sizes settle.
void VUpdateMeshPositions(const std::vector<YrSDK::YrVector4<float>>& points, bool keep_file_normals,
                          VMeshDrawData& data, std::vector<float>& point_normal_scratch);
