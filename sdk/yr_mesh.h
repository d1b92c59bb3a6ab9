#pragma once
// YrMesh: a geometry handle that also builds polygons. Between
// PolygonBegin and PolygonEnd (inside GeometryBegin / GeometryEnd) corners
// are added by control-point index; the ids set meanwhile belong to that
// polygon. The forms with a polygon index change polygons already made.
//
// Material ids are the model's material indices (-1: none), texture ids
// the model's texture indices, surface ids the polygon groups.

#include "sdk/yr_geometry.h"

namespace YrSDK {

class YrMesh : public YrGeometry {
 public:
  YrMesh() = default;
  explicit YrMesh(const YrComponent& component) : YrGeometry(component) {}
  explicit YrMesh(VModelPolymesh* mesh) : YrGeometry(mesh) {}

  bool PolygonBegin();
  bool PolygonVertexAdd(int index);
  // Adds the polygon; one of fewer than three corners is dropped (false).
  bool PolygonEnd();

  // The polygon being built.
  bool PolygonMaterialIdSet(int material);
  bool PolygonTextureIdSet(int texture);
  bool PolygonSurfaceIdSet(int surface);
  // A polygon already made.
  bool PolygonMaterialIdSet(int polygon, int material);
  bool PolygonTextureIdSet(int polygon, int texture);
  bool PolygonSurfaceIdSet(int polygon, int surface);

  int PolygonCount() const;
  int PolygonVertexCount(int polygon) const;
  // The control point of a polygon's corner; -1 outside the polygons.
  int PolygonVertexIndex(int polygon, int corner) const;
  // -1 when textures (materials) are not given per polygon.
  int PolygonTextureIdGet(int polygon) const;
  int PolygonMaterialIdGet(int polygon) const;
  int PolygonSurfaceIdGet(int polygon) const;
};

}  // namespace YrSDK
