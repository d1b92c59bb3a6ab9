#include "scene/model_polymesh.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>

#include "core/evaluation_serial.h"
#include "core/property_type.h"
#include "scene/deformer_skin.h"
#include "scene/geometry_io.h"
#include "zynfile/zyn_file.h"

using YrSDK::YrVector4;

namespace {

// Stamps are unique in the process, so that a cache keyed by stamp never
// mistakes a new mesh for an old one that lived at the same address.
std::atomic<std::uint64_t> g_geometry_stamps{1};

}  // namespace

VModelPolymesh::VModelPolymesh(const std::string& name) : VModel(name, "Mesh") {
  geometry_stamp_ = g_geometry_stamps.fetch_add(1, std::memory_order_relaxed) + 1;
  mNegativePercentShapeSupport =
      AddPropertyT<VPropertyBool>("NegativePercentShapeSupport", kPropertyTypeBool);
  mNegativePercentShapeSupport->Set(1);
}

void VModelPolymesh::GeometryChanged() {
  geometry_stamp_ = g_geometry_stamps.fetch_add(1, std::memory_order_relaxed) + 1;
  VEvaluationAdvance();
}

void VModelPolymesh::NameAndBindShapes() {
  for (std::size_t i = 0; i < geometry_.shapes.size(); ++i) {
    VShape& shape = geometry_.shapes[i];
    for (int n = static_cast<int>(i) + 1; shape.name.empty(); ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "Shape %02d", n);
      bool taken = false;
      for (const VShape& other : geometry_.shapes) taken = taken || other.name == name;
      if (!taken) shape.name = name;
    }
    // The weight property may already exist: a property block read before
    // the geometry makes it, with its value, under the shape's name.
    if (!FindProperty(shape.name)) CreateProperty(shape.name, kPropertyTypeDouble, kPropertyDefAnimatable);
  }
}

void VModelPolymesh::SetGeometry(VGeometry geometry) {
  geometry_ = std::move(geometry);
  VGeometryFit(geometry_);
  NameAndBindShapes();
  GeometryChanged();
}

int VModelPolymesh::AddShape(const std::string& name, std::vector<YrVector4<float>> points) {
  VShape shape;
  shape.name = name;
  shape.points = std::move(points);
  shape.polygon_vertex_index = geometry_.polygon_vertex_index;
  geometry_.shapes.push_back(std::move(shape));
  VGeometryFit(geometry_);
  NameAndBindShapes();
  GeometryChanged();
  return GetShapeCount() - 1;
}

VProperty* VModelPolymesh::GetShapeWeightProperty(int shape) const {
  if (shape < 0 || shape >= GetShapeCount()) return nullptr;
  VProperty* property = FindProperty(GetShapeName(shape));
  return property && property->GetDoubleCount() == 1 ? property : nullptr;
}

double VModelPolymesh::GetShapeWeight(int shape) const {
  const VProperty* property = GetShapeWeightProperty(shape);
  if (!property) return 0.0;
  double w = 0.0;
  property->GetDoubles(&w, 1);
  if (!std::isfinite(w)) return 0.0;
  if (w < 0.0 && !mNegativePercentShapeSupport->Get()) return 0.0;
  return w;
}

VDeformerSkin* VModelPolymesh::GetSkin() const {
  for (int i = 0; i < GetSrcCount(); ++i) {
    if (auto* skin = dynamic_cast<VDeformerSkin*>(GetSrc(i))) return skin;
  }
  return nullptr;
}

const std::vector<YrVector4<float>>& VModelPolymesh::GetDeformedPoints(const VEvaluateInfo& info) const {
  const std::uint64_t serial = info.Serial();
  if (deformed_serial_ == serial && deformed_slot_ == info.slot && deformed_geometry_ == geometry_stamp_ &&
      deformed_.size() == geometry_.points.size())
    return deformed_;
  deformed_serial_ = serial;
  deformed_slot_ = info.slot;
  deformed_geometry_ = geometry_stamp_;
  const std::vector<YrVector4<float>>& base = geometry_.points;
  const std::size_t n = base.size();

  // Shapes: each moves the points by its weight's share of its offset.
  const std::vector<YrVector4<float>>* shaped = &base;
  bool any_shape = false;
  for (int s = 0; s < GetShapeCount(); ++s) {
    const double weight = GetShapeWeight(s);
    if (weight == 0.0) continue;
    if (!any_shape) shaped_.assign(base.begin(), base.end());
    any_shape = true;
    const float k = static_cast<float>(weight / 100.0);
    const YrVector4<float>* target = geometry_.shapes[static_cast<std::size_t>(s)].points.data();
    for (std::size_t i = 0; i < n; ++i) {
      shaped_[i].x += k * (target[i].x - base[i].x);
      shaped_[i].y += k * (target[i].y - base[i].y);
      shaped_[i].z += k * (target[i].z - base[i].z);
    }
  }
  if (any_shape) {
    // Huge weights may overflow; the skin and the renderer get finite points.
    for (auto& p : shaped_) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) p = {0.0f, 0.0f, 0.0f, 1.0f};
    }
    shaped = &shaped_;
  }
  deformed_.resize(n);
  if (const VDeformerSkin* skin = GetSkin()) {
    skin->Deform(GetMatrix(kVSpaceGlobal, info), info, VSpan<const YrVector4<float>>(*shaped),
                 VSpan<YrVector4<float>>(deformed_));
  } else {
    std::copy(shaped->begin(), shaped->end(), deformed_.begin());
  }
  return deformed_;
}

const VTriangulation& VModelPolymesh::GetTriangulation() const {
  if (triangulated_geometry_ != geometry_stamp_) {
    triangulated_geometry_ = geometry_stamp_;
    VTriangulateGeometry(geometry_, triangulation_);
  }
  return triangulation_;
}

bool VModelPolymesh::Retrieve(VZynFile& file, int mode) {
  if (!VModel::Retrieve(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return true;
  VGeometry geometry;
  const bool ok = VGeometryRead(file, geometry);
  SetGeometry(std::move(geometry));
  return ok;
}

bool VModelPolymesh::Store(VZynFile& file, int mode) const {
  if (!VModel::Store(file, mode)) return false;
  if (!(mode & kVZynModeProperties)) return true;
  return VGeometryWrite(file, geometry_);
}
