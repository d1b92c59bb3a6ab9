#pragma once
// Assertions on matrices for tests: element-wise closeness and finiteness.

#include <gtest/gtest.h>

#include <cmath>

#include "scene/matrix.h"

namespace testing_support {

inline ::testing::AssertionResult MatrixNear(const YrSDK::YrMatrix& a, const YrSDK::YrMatrix& b,
                                             double tolerance = 1e-9) {
  for (int i = 0; i < 16; ++i) {
    if (!(std::fabs(a[i] - b[i]) <= tolerance)) {
      return ::testing::AssertionFailure() << "element " << i << ": " << a[i] << " vs " << b[i];
    }
  }
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult AllFinite(const YrSDK::YrMatrix& m) {
  for (int i = 0; i < 16; ++i) {
    if (!std::isfinite(m[i])) return ::testing::AssertionFailure() << "element " << i << " is " << m[i];
  }
  return ::testing::AssertionSuccess();
}

}  // namespace testing_support
