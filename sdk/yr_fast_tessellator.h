#pragma once
// YrFastTessellator: what drawing a mesh needs, read straight from the
// engine's arrays: the deformed control points of an evaluation, their
// normals and texture coordinates, and the drawn matrix. The handle also
// remembers whether its user asks for triangle strips
// ("FastTessellatorStrip") or polygons ("FastTessellatorPolygon").
// An empty handle answers empty arrays and the identity.

#include <vector>

#include "sdk/yr_matrix.h"
#include "sdk/yr_evaluate_info.h"
#include "sdk/yr_geometry.h"

namespace YrSDK {

class YrFastTessellator {
 public:
  YrFastTessellator() = default;
  explicit YrFastTessellator(const YrGeometry& mesh);
  bool IsValid() const { return mesh_ != nullptr; }

  // The control points with shapes and skin applied; valid until the
  // mesh's next evaluation or geometry change.
  const std::vector<YrVector4<float>>& GetPositionArray(const YrEvaluateInfo& info = YrEvaluateInfo()) const;
  // The geometry's normals, one per control point (empty when it has none).
  const std::vector<YrVector3<float>>& GetNormalArray() const;
  // The texture coordinates of a UV set, one per control point (empty when
  // the set is not given per control point).
  std::vector<YrVector2<float>> GetUVArray(int uv_set = 0) const;
  // The model's global matrix with its geometric offset.
  YrMatrix GetTransformationMatrix(const YrEvaluateInfo& info = YrEvaluateInfo()) const;

  bool GetFastTessellatorStrip() const { return strip_; }
  void SetFastTessellatorStrip(bool on) { strip_ = on; }
  bool GetFastTessellatorPolygon() const { return polygon_; }
  void SetFastTessellatorPolygon(bool on) { polygon_ = on; }

 private:
  VModelPolymesh* mesh_ = nullptr;
  bool strip_ = true;
  bool polygon_ = false;
};

}  // namespace YrSDK
