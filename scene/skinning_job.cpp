#include "scene/skinning_job.h"

#include <cstring>

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

namespace {

// Four floats in one register; the compilers lower it to the target's
// vector instructions (or to scalars where there are none).
typedef float Float4 __attribute__((vector_size(16)));

inline Float4 Load(const float* p) {
  Float4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

struct Blended {
  Float4 row[4];
};

inline void Accumulate(Blended& m, const float* a, float w) {
  for (int r = 0; r < 4; ++r) m.row[r] += w * Load(a + 4 * r);
}

}  // namespace

bool VSkinningJob::Run() const {
  if (!Validate()) return false;
  const std::size_t groups = GroupCount();
  const float* palette = matrices.data;
  const std::uint32_t* __restrict matrix_of = influence_matrix.data;
  const float* __restrict weight_of = influence_weight.data;
  const std::uint32_t* __restrict influence_at = influence_start.data;
  const std::uint32_t* __restrict point_at = point_start.data;
  const std::uint32_t* __restrict point_list = points.data;
  const YrVector4<float>* __restrict src = in.data;
  YrVector4<float>* __restrict dst = out.data;
  for (std::size_t g = 0; g < groups; ++g) {
    const std::uint32_t first = influence_at[g], last = influence_at[g + 1];
    Blended m;
    if (first == last) {
      // No influence: the sum is zero. Nothing of the influence arrays is
      // read, since `first` may be their end.
      for (Float4& row : m.row) row = Float4{0, 0, 0, 0};
    } else {
      const float* a = palette + std::size_t{matrix_of[first]} * kVSkinMatrixFloats;
      const float w = weight_of[first];
      for (int r = 0; r < 4; ++r) m.row[r] = w * Load(a + 4 * r);
      for (std::uint32_t i = first + 1; i < last; ++i) {
        Accumulate(m, palette + std::size_t{matrix_of[i]} * kVSkinMatrixFloats, weight_of[i]);
      }
    }
    for (std::uint32_t i = point_at[g]; i < point_at[g + 1]; ++i) {
      const std::uint32_t p = point_list[i];
      const YrVector4<float> v = src[p];
      const Float4 moved = v.x * m.row[0] + v.y * m.row[1] + v.z * m.row[2] + m.row[3];
      std::memcpy(static_cast<void*>(&dst[p]), &moved, sizeof moved);
      dst[p].w = v.w;
    }
  }
  return true;
}

void VSkinMatrixFromYr(float* out, const YrSDK::YrMatrix& m) {
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 3; ++column) out[row * 4 + column] = static_cast<float>(m(row, column));
    out[row * 4 + 3] = 0.0f;
  }
}
