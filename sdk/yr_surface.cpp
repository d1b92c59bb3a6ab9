#include "sdk/yr_surface.h"

#include "scene/model_polymesh.h"
#include "sdk/bridge/yr_engine_handles.h"

namespace YrSDK {

namespace {
bool InRange(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }
}  // namespace

YrSurface::YrSurface(const YrGeometry& mesh) : mesh_(YrEngineHandles::Mesh(mesh)) {}

int YrSurface::ControlPointCount() const {
  return mesh_ ? static_cast<int>(mesh_->GetGeometry().points.size()) : 0;
}

YrVector4<float> YrSurface::ControlPointGet(int index) const {
  if (!mesh_ || !InRange(index, mesh_->GetGeometry().points.size())) return {};
  return mesh_->GetGeometry().points[static_cast<std::size_t>(index)];
}

int YrSurface::TessellatedPointCount() const {
  return mesh_ ? static_cast<int>(mesh_->GetDeformedPoints().size()) : 0;
}

YrVector4<float> YrSurface::TessellatedPointGet(int index) const {
  if (!mesh_) return {};
  const std::vector<YrVector4<float>>& points = mesh_->GetDeformedPoints();
  return InRange(index, points.size()) ? points[static_cast<std::size_t>(index)] : YrVector4<float>();
}

int YrSurface::TriangleCount() const {
  return mesh_ ? static_cast<int>(mesh_->GetTriangulation().triangles.size() / 3) : 0;
}

int YrSurface::TriangleVertexIndex(int triangle, int corner) const {
  if (!mesh_ || corner < 0 || corner > 2 || !InRange(triangle, static_cast<std::size_t>(TriangleCount()))) return -1;
  // Triangles name polygon corners; the corner names the control point.
  const std::uint32_t k = mesh_->GetTriangulation().triangles[3 * static_cast<std::size_t>(triangle) +
                                                               static_cast<std::size_t>(corner)];
  return static_cast<int>(mesh_->GetGeometry().polygon_vertex_index[k] & kVPolygonIndexMask);
}

int YrSurface::StripCount() const { return mesh_ ? static_cast<int>(mesh_->GetTriangulation().StripCount()) : 0; }

int YrSurface::StripLength(int strip) const {
  if (!InRange(strip, static_cast<std::size_t>(StripCount()))) return 0;
  const VTriangulation& t = mesh_->GetTriangulation();
  const std::size_t s = static_cast<std::size_t>(strip);
  return static_cast<int>(t.strip_start[s + 1] - t.strip_start[s]);
}

int YrSurface::StripVertexIndex(int strip, int i) const {
  if (!InRange(i, static_cast<std::size_t>(StripLength(strip)))) return -1;
  const VTriangulation& t = mesh_->GetTriangulation();
  return static_cast<int>(t.strips[t.strip_start[static_cast<std::size_t>(strip)] + static_cast<std::size_t>(i)]);
}

}  // namespace YrSDK
