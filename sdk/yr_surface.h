#pragma once
// YrSurface: the surface of a mesh as drawn: its control points and the
// triangles and strips its polygons are tessellated into. An empty handle,
// or an index outside the range, answers 0 counts, zero points and -1.

#include "sdk/yr_geometry.h"

namespace YrSDK {

class YrSurface {
 public:
  YrSurface() = default;
  explicit YrSurface(const YrGeometry& mesh);
  bool IsValid() const { return mesh_ != nullptr; }

  int ControlPointCount() const;
  YrVector4<float> ControlPointGet(int index) const;
  // Tessellated points: the control points of an evaluation (deformed).
  int TessellatedPointCount() const;
  YrVector4<float> TessellatedPointGet(int index) const;
  int TriangleCount() const;
  // The control point of corner 0, 1 or 2 of a triangle.
  int TriangleVertexIndex(int triangle, int corner) const;
  // Triangle strips of control points.
  int StripCount() const;
  int StripLength(int strip) const;
  int StripVertexIndex(int strip, int i) const;

 private:
  VModelPolymesh* mesh_ = nullptr;
};

}  // namespace YrSDK
