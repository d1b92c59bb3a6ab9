#include "sdk/yr_fast_tessellator.h"

#include "scene/model_polymesh.h"
#include "sdk/bridge/yr_engine_handles.h"
#include "sdk/bridge/yr_evaluate_info_convert.h"

namespace YrSDK {

namespace {
const std::vector<YrVector4<float>> kNoPoints;
const std::vector<YrVector3<float>> kNoNormals;
}  // namespace

YrFastTessellator::YrFastTessellator(const YrGeometry& mesh) : mesh_(YrEngineHandles::Mesh(mesh)) {}

const std::vector<YrVector4<float>>& YrFastTessellator::GetPositionArray(const YrEvaluateInfo& info) const {
  return mesh_ ? mesh_->GetDeformedPoints(ToEngineInfo(info)) : kNoPoints;
}

const std::vector<YrVector3<float>>& YrFastTessellator::GetNormalArray() const {
  return mesh_ ? mesh_->GetGeometry().normals : kNoNormals;
}

std::vector<YrVector2<float>> YrFastTessellator::GetUVArray(int uv_set) const {
  std::vector<YrVector2<float>> uvs;
  if (!mesh_) return uvs;
  const VGeometry& g = mesh_->GetGeometry();
  for (const VLayerElement& e : g.elements) {
    if (e.kind != kVLayerUV || e.typed_index != uv_set || VMappingTargetOf(e.mapping) != kVMapsPoints) continue;
    // A fitted geometry has one datum (or index) per control point.
    uvs.resize(g.points.size());
    for (std::size_t i = 0; i < uvs.size(); ++i) {
      const std::size_t datum = VMappingIsIndexed(e.mapping) ? static_cast<std::size_t>(e.ids[i]) : i;
      uvs[i] = {static_cast<float>(e.data[2 * datum]), static_cast<float>(e.data[2 * datum + 1])};
    }
    break;
  }
  return uvs;
}

YrMatrix YrFastTessellator::GetTransformationMatrix(const YrEvaluateInfo& info) const {
  return mesh_ ? mesh_->GetGlobalGeometricMatrix(ToEngineInfo(info)) : YrMatrix();
}

}  // namespace YrSDK
