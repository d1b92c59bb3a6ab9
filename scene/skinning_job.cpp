#include "scene/skinning_job.h"

using YrSDK::YrVector4;

bool VSkinningJob::Validate() const {
  if (influence_start.size == 0 || point_start.size != influence_start.size) return false;
  if (influence_matrix.size != influence_weight.size) return false;
  if (matrices.size % kVSkinMatrixFloats != 0) return false;
  if (out.size != in.size) return false;
  if (!in.empty() && (in.data == nullptr || out.data == nullptr)) return false;
  // Overlap would let a group read points another group already moved.
  if (!in.empty() && static_cast<const void*>(out.data + out.size) > static_cast<const void*>(in.data) &&
      static_cast<const void*>(in.data + in.size) > static_cast<const void*>(out.data))
    return false;
  return true;
}

bool VSkinningJob::ValidateContents() const {
  if (!Validate()) return false;
  const std::size_t groups = GroupCount();
  const std::size_t matrix_count = matrices.size / kVSkinMatrixFloats;
  if (influence_start[0] != 0 || point_start[0] != 0) return false;
  for (std::size_t g = 0; g < groups; ++g) {
    if (influence_start[g + 1] < influence_start[g] || point_start[g + 1] < point_start[g]) return false;
  }
  if (influence_start[groups] != influence_matrix.size || point_start[groups] != points.size) return false;
  for (std::uint32_t m : influence_matrix) {
    if (m >= matrix_count) return false;
  }
  for (std::uint32_t p : points) {
    if (p >= in.size) return false;
  }
  return true;
}

bool VSkinningJob::Run() const {
  if (!Validate()) return false;
  const std::size_t groups = GroupCount();
  const float* palette = matrices.data;
  const YrVector4<float>* src = in.data;
  YrVector4<float>* dst = out.data;
  for (std::size_t g = 0; g < groups; ++g) {
    const std::uint32_t first = influence_start[g], last = influence_start[g + 1];
    // The blended matrix; a group of one full-weight influence uses its
    // matrix as it is.
    float m[kVSkinMatrixFloats];
    const float* blend = m;
    if (last - first == 1 && influence_weight[first] == 1.0f) {
      blend = palette + influence_matrix[first] * kVSkinMatrixFloats;
    } else {
      for (std::size_t k = 0; k < kVSkinMatrixFloats; ++k) m[k] = 0.0f;
      for (std::uint32_t i = first; i < last; ++i) {
        const float* a = palette + influence_matrix[i] * kVSkinMatrixFloats;
        const float w = influence_weight[i];
        for (std::size_t k = 0; k < kVSkinMatrixFloats; ++k) m[k] += w * a[k];
      }
    }
    for (std::uint32_t i = point_start[g]; i < point_start[g + 1]; ++i) {
      const std::uint32_t p = points[i];
      const YrVector4<float> v = src[p];
      dst[p] = {v.x * blend[0] + v.y * blend[3] + v.z * blend[6] + blend[9],
                v.x * blend[1] + v.y * blend[4] + v.z * blend[7] + blend[10],
                v.x * blend[2] + v.y * blend[5] + v.z * blend[8] + blend[11], v.w};
    }
  }
  return true;
}

void VSkinMatrixFromYr(float* out, const YrSDK::YrMatrix& m) {
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 3; ++column) out[row * 3 + column] = static_cast<float>(m(row, column));
  }
}
