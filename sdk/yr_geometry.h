#pragma once
// YrGeometry: public handle over the geometry of a polygon mesh model (not
// owned): its control points with their normals, texture coordinates and
// material ids, and the mapping codes of its per-element data.
//
// Edits happen between GeometryBegin and GeometryEnd on a working copy
// that the handle and its copies share; GeometryEnd makes the copy
// consistent and installs it on the model. Outside an edit the setters do
// nothing and answer false, and the getters read the installed geometry.
// An empty handle, or an index outside the points, answers neutral values:
// 0 counts, zero vectors, material id -1.

#include <cstddef>
#include <memory>
#include <vector>

#include "sdk/yr_component.h"
#include "sdk/yr_matrix.h"

class VModelPolymesh;
struct VGeometry;

namespace YrSDK {

class YrGeometry : public YrComponent {
 public:
  YrGeometry() = default;
  // An empty handle unless the component is a polygon mesh model.
  explicit YrGeometry(const YrComponent& component);
  explicit YrGeometry(VModelPolymesh* mesh);
  bool IsValid() const { return mesh_ != nullptr; }

  // Starts an edit on a copy of the installed geometry; false when empty
  // or already editing.
  bool GeometryBegin();
  // Ends the edit: the copy is made consistent (polygons with a corner
  // outside the points or fewer than three corners are dropped, their
  // count is stored in `dropped`) and installed. False without an edit.
  bool GeometryEnd(std::size_t* dropped = nullptr);
  bool IsEditing() const;

  // Sets the number of control points: new ones are at the origin.
  bool VertexInit(int count);
  int VertexCount() const;
  YrVector4<float> VertexGet(int index) const;
  bool VertexSet(int index, const YrVector4<float>& point);
  // Appends a point (w = 1) and answers its index; -1 outside an edit.
  int VertexAdd(const YrVector4<float>& point);
  int VertexAdd(double x, double y, double z);
  // Removes every control point, with their normals and per-point data.
  bool VertexClear();

  // Per-point normals; the first one set gives every point a zero normal.
  bool VertexNormalSet(int index, const YrVector3<float>& normal);
  YrVector3<float> VertexNormalGet(int index) const;

  // Per-point texture coordinates of a UV set: the set's element (on the
  // layer of the same number) maps them by control point. False when the
  // set is already mapped otherwise.
  bool VertexUVSet(int index, const YrVector2<float>& uv, int uv_set = 0);
  YrVector2<float> VertexUVGet(int index, int uv_set = 0) const;

  // Per-point material ids: the first one set makes the materials assigned
  // by control point (every point keeps the id all shared until then).
  bool VertexMaterialIdSet(int index, int material);
  // -1 when materials are assigned by polygon or there is none.
  int VertexMaterialIdGet(int index) const;

  // "MaterialMappingMode", "TextureMappingMode", "UVMappingMode": the
  // mapping codes (0 to 8) of the elements numbered 0 of these kinds, or
  // where there is none, of the material assignation, the texture mode
  // and the older texture coordinates.
  int GetMaterialMappingMode() const;
  int GetTextureMappingMode() const;
  int GetUVMappingMode() const;

 protected:
  // The state of an edit, shared by the handle's copies (its engine
  // geometry makes it private to the facade's sources).
  struct Edit;

  // The geometry the getters read: the working copy while editing.
  const VGeometry* Current() const;
  VGeometry* Editing() const;
  Edit* EditState() const;

 private:
  // The engine object behind the handle: sdk/bridge/yr_engine_handles.h.
  friend class YrEngineHandles;
  VModelPolymesh* mesh_ = nullptr;
  std::shared_ptr<Edit> edit_;  // made with the handle, so that copies share it
};

}  // namespace YrSDK
