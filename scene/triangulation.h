#pragma once
// Triangulation of a mesh's polygons, done once per geometry change, and
// triangle strips built from it once for drawing.
//
// Triangles refer to polygon corners (positions in the polygon vertex
// index), so that per-corner data (UVs, normals by polygon vertex) stay
// reachable; strips refer to control points. Triangles keep the polygon's
// winding.

#include <cstdint>
#include <vector>

#include "scene/array_span.h"
#include "scene/matrix.h"

struct VGeometry;

// Triangulates polygons given as runs of corners; every polygon of n
// corners gives n - 2 triangles. Triangles and convex quads take a short
// path; other polygons are ear-clipped in their best-fitting plane.
// Degenerate input (collinear or coincident corners, self-touching
// outlines) still ends with n - 2 triangles; very large or adversarial
// polygons are finished as fans once their work budget is spent.
struct VTriangulationJob {
  VSpan<const YrSDK::YrVector4<float>> points;
  VSpan<const std::uint32_t> polygon_vertex_index;  // end marks allowed; indices < points.size
  VSpan<const std::uint32_t> polygon_start;         // polygons + 1 entries, from 0 to the index's size
  VSpan<std::uint32_t> triangles;                    // 3 corners per triangle: TriangleCount() * 3

  // Needs a fitted geometry's arrays: at least three corners per polygon.
  std::size_t TriangleCount() const;
  bool Validate() const;
  bool Run() const;
};

struct VTriangulation {
  std::vector<std::uint32_t> triangles;         // 3 corners each
  std::vector<std::uint32_t> triangle_polygon;  // the polygon of each triangle
  std::vector<std::uint32_t> strips;            // control points, strips back to back
  std::vector<std::uint32_t> strip_start{0};    // strip s: strips[strip_start[s], strip_start[s + 1])

  std::size_t StripCount() const { return strip_start.size() - 1; }
};

// Triangulates every polygon of a fitted geometry and builds the strips.
void VTriangulateGeometry(const VGeometry& geometry, VTriangulation& out);

// Strips over the triangles' control points (`corner_points` maps a corner
// to its control point). Strip k's triangle i is (s[i], s[i+1], s[i+2]),
// the odd ones taken in the order (s[i+1], s[i], s[i+2]), as drawing
// triangle strips expects; every triangle is in exactly one strip.
void VBuildTriangleStrips(VSpan<const std::uint32_t> triangles, VSpan<const std::uint32_t> corner_points,
                          VTriangulation& out);
