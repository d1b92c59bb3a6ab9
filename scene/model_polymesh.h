#pragma once
// A polygon mesh model ("Model" of subtype "Mesh"): a transform node with a
// geometry, blend shapes weighted by animatable properties named after the
// shapes (in percent), and optionally a skin (a "Deformer" of subtype
// "Skin" connected as a source of the model).
//
// The deformed points of an evaluation are the control points with the
// shapes applied, then the skin; they are cached for the evaluation
// serial number, and the triangulation for the geometry.

#include <cstdint>
#include <string>
#include <vector>

#include "scene/evaluate_info.h"
#include "scene/geometry.h"
#include "scene/model.h"
#include "scene/triangulation.h"

class VDeformerSkin;

class VModelPolymesh : public VModel {
 public:
  explicit VModelPolymesh(const std::string& name);

  const VGeometry& GetGeometry() const { return geometry_; }
  // Takes a geometry: it is fitted (see VGeometryFit), unnamed shapes are
  // named "Shape %02d" and every shape gets its weight property.
  void SetGeometry(VGeometry geometry);

  // Adds a shape (a full point set; missing points keep the base's place)
  // and its weight property; answers its index.
  int AddShape(const std::string& name, std::vector<YrSDK::YrVector4<float>> points);
  int GetShapeCount() const { return static_cast<int>(geometry_.shapes.size()); }
  const std::string& GetShapeName(int shape) const { return geometry_.shapes[static_cast<std::size_t>(shape)].name; }
  // The property holding a shape's weight; null when a property of another
  // kind has its name (the shape then weighs nothing).
  VProperty* GetShapeWeightProperty(int shape) const;
  // The weight in percent as it applies now: 0 when not finite, and 0 for
  // a negative weight unless "NegativePercentShapeSupport" is on.
  double GetShapeWeight(int shape) const;

  // The skin among the sources; null when none.
  VDeformerSkin* GetSkin() const;

  // The control points of the current evaluation: shapes, then the skin.
  const std::vector<YrSDK::YrVector4<float>>& GetDeformedPoints(
      const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  // Changes with every geometry change; unique in the process.
  std::uint64_t GetGeometryStamp() const { return geometry_stamp_; }
  // Whether the drawn points may differ from the control points: the mesh
  // has shapes or a skin.
  bool HasDeformers() const { return GetShapeCount() > 0 || GetSkin() != nullptr; }
  // Triangles and strips of the current geometry.
  const VTriangulation& GetTriangulation() const;

  bool Retrieve(VZynFile& file, int mode) override;
  bool Store(VZynFile& file, int mode) const override;

  VPropertyBool* mNegativePercentShapeSupport;

 private:
  void GeometryChanged();
  void NameAndBindShapes();

  VGeometry geometry_;
  std::uint64_t geometry_stamp_ = 0;
  mutable std::uint64_t deformed_serial_ = 0;
  mutable int deformed_slot_ = -1;
  mutable std::uint64_t deformed_geometry_ = 0;
  mutable std::vector<YrSDK::YrVector4<float>> shaped_;
  mutable std::vector<YrSDK::YrVector4<float>> deformed_;
  mutable std::uint64_t triangulated_geometry_ = 0;
  mutable VTriangulation triangulation_;
};
