#pragma once
// Linear-blend skinning over weight groups. Each group blends its
// influences' matrices (weights need not sum to 1) into one matrix and
// moves its points with it:
//   out[p] = in[p] * sum_i(weight_i * matrix[index_i])   for p in the group.
// Points no group lists are not written; a group without influences sums to
// zero and puts its points at the origin.
//
// Matrices are affine, row-vector (p' = p * M), 16 floats each: rows 0-2
// then the translation row, four floats a row (the fourth is unused), so
// that a row is one vector register. The w of a point is copied.
//
// The arrays are the caller's; Run() allocates nothing. Validate() checks
// the sizes only (constant time); the contents (offsets in order, indices
// in range) are the builder's to check once with ValidateContents().

#include <cstddef>
#include <cstdint>

#include "scene/array_span.h"
#include "scene/matrix.h"

constexpr std::size_t kVSkinMatrixFloats = 16;

struct VSkinningJob {
  VSpan<const float> matrices;  // kVSkinMatrixFloats per matrix
  // group g: influences [influence_start[g], influence_start[g + 1]) and
  // points [point_start[g], point_start[g + 1]); both have groups + 1 entries.
  VSpan<const std::uint32_t> influence_start;
  VSpan<const std::uint32_t> influence_matrix;
  VSpan<const float> influence_weight;
  VSpan<const std::uint32_t> point_start;
  VSpan<const std::uint32_t> points;
  VSpan<const YrSDK::YrVector4<float>> in;
  VSpan<YrSDK::YrVector4<float>> out;  // as long as `in`; may not overlap it

  std::size_t GroupCount() const { return influence_start.size ? influence_start.size - 1 : 0; }
  bool Validate() const;
  // Validate() plus every offset and index, in time linear in the arrays.
  bool ValidateContents() const;
  // False (nothing written) when Validate() fails.
  bool Run() const;
};

// A matrix of the engine in the job's form.
void VSkinMatrixFromYr(float* out, const YrSDK::YrMatrix& m);
