// Matrix and vector functions: the row-vector convention, products and
// inverses, TRS composition and decomposition, and degenerate input.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "scene/matrix.h"
#include "support/matrix_expect.h"
#include "scene/matrix_functions.h"

namespace {

using namespace YrSDK;
using testing_support::MatrixNear;

using V3 = YrVector3<double>;
using V4 = YrVector4<double>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

YrMatrix TRS(V3 t, V3 r, V3 s) {
  YrMatrix m;
  YrTRSToMatrix(m, V4{t.x, t.y, t.z, 1.0}, r, s);
  return m;
}

V4 Transform(const YrMatrix& m, V3 p) {
  V4 out;
  YrVectorMatrixMult(out, m, V4{p.x, p.y, p.z, 1.0});
  return out;
}

TEST(YrMatrixTest, DefaultIsIdentityAndLayoutIsRowAfterRow) {
  const YrMatrix m;
  EXPECT_EQ(m, YrIdentityMatrix());
  YrMatrix t;
  YrTranslationToMatrix(t, V4{4, 5, 6, 1});
  EXPECT_EQ(t[12], 4);
  EXPECT_EQ(t[13], 5);
  EXPECT_EQ(t[14], 6);
  EXPECT_EQ(t[15], 1);
  EXPECT_EQ(t(3, 0), 4);
  EXPECT_EQ(t[3], 0);  // column 3 of row 0 stays 0: no transposed layout
}

struct PointCase {
  V3 t, r, s;
  V3 point;
  V3 expected;
};

TEST(YrMatrixTest, PointsAreRowVectorsScaledThenRotatedThenTranslated) {
  const std::vector<PointCase> cases = {
      {{0, 0, 0}, {0, 0, 90}, {1, 1, 1}, {1, 0, 0}, {0, 1, 0}},   // X turns to Y about Z
      {{0, 0, 0}, {90, 0, 0}, {1, 1, 1}, {0, 1, 0}, {0, 0, 1}},   // Y turns to Z about X
      {{0, 0, 0}, {0, 90, 0}, {1, 1, 1}, {0, 0, 1}, {1, 0, 0}},   // Z turns to X about Y
      {{10, 0, 0}, {0, 0, 90}, {2, 1, 1}, {1, 0, 0}, {10, 2, 0}},  // scaled before rotated
      {{1, 2, 3}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}, {1, 2, 3}},
      {{0, 0, 0}, {90, 0, 90}, {1, 1, 1}, {0, 1, 0}, {0, 0, 1}},  // X applied first, then Z
      {{0, 0, 0}, {0, 0, 0}, {-1, 2, 3}, {1, 1, 1}, {-1, 2, 3}},
  };
  for (const PointCase& c : cases) {
    const V4 p = Transform(TRS(c.t, c.r, c.s), c.point);
    EXPECT_NEAR(p.x, c.expected.x, 1e-12);
    EXPECT_NEAR(p.y, c.expected.y, 1e-12);
    EXPECT_NEAR(p.z, c.expected.z, 1e-12);
    EXPECT_EQ(p.w, 1.0);
  }
}

TEST(YrMatrixTest, ProductAppliesTheLeftMatrixFirst) {
  YrMatrix t, r, tr;
  YrTranslationToMatrix(t, V4{1, 0, 0, 1});
  YrRotationToMatrix(r, V3{0, 0, 90});
  YrMatrixMult(tr, t, r);  // translate, then rotate
  const V4 p = Transform(tr, {1, 0, 0});
  EXPECT_NEAR(p.x, 0, 1e-12);
  EXPECT_NEAR(p.y, 2, 1e-12);
  // Output may alias an input.
  YrMatrixMult(t, t, r);
  EXPECT_TRUE(MatrixNear(t, tr, 0));
}

TEST(YrMatrixTest, HomogeneousDivide) {
  YrMatrix m;
  m[15] = 2;
  m[3] = 1;  // w = x + 2
  V4 out;
  YrVectorMatrixMult(out, m, V4{2, 4, 6, 1});
  EXPECT_DOUBLE_EQ(out.x, 0.5);
  EXPECT_DOUBLE_EQ(out.y, 1.0);
  EXPECT_DOUBLE_EQ(out.z, 1.5);
  YrVector4<float> vertex;
  YrVertexMatrixMult(vertex, m, YrVector4<float>{2, 4, 6, 1});
  EXPECT_FLOAT_EQ(vertex.x, 0.5f);
  EXPECT_FLOAT_EQ(vertex.z, 1.5f);
  EXPECT_FLOAT_EQ(vertex.w, 1.0f);
  // w = 0: left undivided instead of infinite.
  YrVectorMatrixMult(out, m, V4{-2, 4, 6, 1});
  EXPECT_DOUBLE_EQ(out.x, -2);
  EXPECT_DOUBLE_EQ(out.y, 4);
}

TEST(YrMatrixTest, InverseTimesMatrixIsIdentity) {
  std::vector<YrMatrix> matrices = {
      YrIdentityMatrix(),
      TRS({1, 2, 3}, {10, 20, 30}, {1, 1, 1}),
      TRS({-5, 0.5, 100}, {-170, 89, 45}, {2, 0.5, 3}),
      TRS({0, 0, 0}, {0, 90, 0}, {-1, -2, 4}),
      TRS({1e3, -1e3, 7}, {33, -66, 99}, {1e-3, 1e3, 1}),
  };
  YrMatrix sheared = TRS({1, 1, 1}, {15, 25, 35}, {1, 2, 3});
  sheared(1, 0) += 0.7;
  sheared[3] = 0.01;  // a projective column
  matrices.push_back(sheared);
  for (const YrMatrix& m : matrices) {
    YrMatrix inverse, product;
    ASSERT_TRUE(YrMatrixInverse(inverse, m));
    YrMatrixMult(product, inverse, m);
    EXPECT_TRUE(MatrixNear(product, YrIdentityMatrix(), 1e-9));
    YrMatrixMult(product, m, inverse);
    EXPECT_TRUE(MatrixNear(product, YrIdentityMatrix(), 1e-9));
  }
}

TEST(YrMatrixTest, SingularOrNonFiniteInverseIsIdentity) {
  YrMatrix zeroScale = TRS({1, 2, 3}, {10, 20, 30}, {0, 1, 1});
  YrMatrix zeros;
  for (double& v : zeros.m) v = 0;
  YrMatrix nan = TRS({1, 2, 3}, {10, 20, 30}, {1, 1, 1});
  nan[5] = kNaN;
  YrMatrix inf;
  inf[0] = kInf;
  for (const YrMatrix& m : {zeroScale, zeros, nan, inf}) {
    YrMatrix out = TRS({9, 9, 9}, {9, 9, 9}, {9, 9, 9});
    EXPECT_FALSE(YrMatrixInverse(out, m));
    EXPECT_EQ(out, YrIdentityMatrix());
  }
}

TEST(YrMatrixTest, LocalAndGlobalMatricesAreInverseOperations) {
  const YrMatrix parent = TRS({3, -2, 1}, {20, -40, 60}, {2, 2, 0.5});
  const YrMatrix local = TRS({1, 0, 5}, {-10, 5, 170}, {1, 3, 1});
  YrMatrix global, back;
  YrGetGlobalMatrix(global, parent, local);
  YrMatrix expected;
  YrMatrixMult(expected, local, parent);
  EXPECT_TRUE(MatrixNear(global, expected, 0));
  YrGetLocalMatrix(back, parent, global);
  EXPECT_TRUE(MatrixNear(back, local, 1e-12));
}

TEST(YrMatrixTest, TRSRoundTripsAtManyAngles) {
  const std::vector<double> angles = {-180, -135, -90, -89.95, -45, -1e-7, 0, 30, 89.9999, 90, 120, 179};
  const std::vector<V3> scalings = {{1, 1, 1}, {2, 0.5, 3}, {-1, -1, -1}, {-2, -3, -0.25}};
  for (double x : angles) {
    for (double y : angles) {
      for (double z : angles) {
        for (const V3& s : scalings) {
          const YrMatrix m = TRS({1, -2, 3}, {x, y, z}, s);
          V4 t;
          V3 r, sc;
          YrMatrixToTRS(t, r, sc, m);
          EXPECT_EQ(t, (V4{1, -2, 3, 1}));
          EXPECT_NEAR(sc.x, s.x, 1e-12);
          EXPECT_NEAR(sc.y, s.y, 1e-12);
          EXPECT_NEAR(sc.z, s.z, 1e-12);
          EXPECT_TRUE(MatrixNear(TRS({1, -2, 3}, r, sc), m, 1e-9)) << x << " " << y << " " << z;
          EXPECT_LE(std::fabs(r.y), 90.0);
          if (std::fabs(y) < 89.999 && std::fabs(x) < 180 && std::fabs(z) < 180) {
            EXPECT_NEAR(r.x, x, 1e-7);
            EXPECT_NEAR(r.y, y, 1e-7);
            EXPECT_NEAR(r.z, z, 1e-7);
          }
        }
      }
    }
  }
}

struct DecomposeCase {
  V3 rotation;
  V3 expected;
};

TEST(YrMatrixTest, GimbalLockPutsTheWholeTurnInX) {
  const std::vector<DecomposeCase> cases = {
      {{0, 90, 0}, {0, 90, 0}},      {{0, -90, 0}, {0, -90, 0}},  {{30, 90, 0}, {30, 90, 0}},
      {{30, 90, 10}, {20, 90, 0}},   {{30, -90, 10}, {40, -90, 0}},
      {{0, 89.95, 0}, {0, 89.95, 0}},  // close to the lock but not in it: kept exactly
  };
  for (const DecomposeCase& c : cases) {
    YrMatrix m;
    YrRotationToMatrix(m, c.rotation);
    V3 r;
    YrMatrixToRotation(r, m);
    EXPECT_NEAR(r.x, c.expected.x, 1e-9);
    EXPECT_NEAR(r.y, c.expected.y, 1e-9);
    EXPECT_NEAR(r.z, c.expected.z, 1e-9);
  }
}

TEST(YrMatrixTest, NegativeDeterminantGivesThreeNegativeScales) {
  const YrMatrix m = TRS({0, 0, 0}, {10, 20, 30}, {1, 1, -1});
  V3 s;
  YrMatrixToScaling(s, m);
  EXPECT_NEAR(s.x, -1, 1e-12);
  EXPECT_NEAR(s.y, -1, 1e-12);
  EXPECT_NEAR(s.z, -1, 1e-12);
  V4 t;
  V3 r;
  YrMatrixToTRS(t, r, s, m);
  EXPECT_TRUE(MatrixNear(TRS({0, 0, 0}, r, s), m, 1e-12));
}

TEST(YrMatrixTest, ZeroScaleKeepsTheRotationOfTheOtherAxes) {
  const V3 rotation{25, -40, 70};
  for (int axis = 0; axis < 3; ++axis) {
    V3 scale{2, 3, 4};
    scale[axis] = 0;
    const YrMatrix m = TRS({1, 2, 3}, rotation, scale);
    V4 t;
    V3 r, s;
    YrMatrixToTRS(t, r, s, m);
    EXPECT_NEAR(r.x, rotation.x, 1e-9);
    EXPECT_NEAR(r.y, rotation.y, 1e-9);
    EXPECT_NEAR(r.z, rotation.z, 1e-9);
    EXPECT_TRUE(MatrixNear(TRS({t.x, t.y, t.z}, r, s), m, 1e-12));
  }
}

TEST(YrMatrixTest, DegenerateMatricesDecomposeToFiniteValues) {
  YrMatrix zeros;
  for (double& v : zeros.m) v = 0;
  YrMatrix twoZeroRows = TRS({0, 0, 0}, {10, 20, 30}, {0, 0, 1});
  YrMatrix nan;
  for (double& v : nan.m) v = kNaN;
  YrMatrix inf;
  for (double& v : inf.m) v = kInf;
  YrMatrix huge = TRS({0, 0, 0}, {10, 20, 30}, {1e300, 1e300, 1e300});
  for (const YrMatrix& m : {zeros, twoZeroRows, nan, inf, huge}) {
    V4 t;
    V3 r, s;
    YrMatrixToTRS(t, r, s, m);
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(std::isfinite(r[i]));
      EXPECT_TRUE(std::isfinite(s[i]));
    }
  }
  // Non-finite rotation angles build an identity rotation, not NaN.
  YrMatrix rebuilt;
  YrRotationToMatrix(rebuilt, V3{kNaN, kInf, -kInf});
  EXPECT_EQ(rebuilt, YrIdentityMatrix());
}

TEST(YrVectorTest, ThreeComponentFunctionsIgnoreW) {
  const V4 a{1, 2, 3, 10}, b{4, -5, 6, 20};
  V4 out;
  YrAdd(out, a, b);
  EXPECT_EQ(out, (V4{5, -3, 9, 10}));
  YrSub(out, a, b);
  EXPECT_EQ(out, (V4{-3, 7, -3, 10}));
  YrMult(out, a, 2.0);
  EXPECT_EQ(out, (V4{2, 4, 6, 10}));
  YrMult(out, a, b);
  EXPECT_EQ(out, (V4{4, -10, 18, 10}));
  EXPECT_EQ(YrDot(a, b), 12);
  EXPECT_DOUBLE_EQ(YrLength(V4{3, 4, 12, 100}), 13);
  EXPECT_DOUBLE_EQ(YrLength(V3{3, 4, 12}), 13);
}

TEST(YrVectorTest, QuaternionFunctionsUseAllFourComponents) {
  const V4 a{1, 2, 3, 10}, b{4, -5, 6, 20};
  V4 out;
  YrQAdd(out, a, b);
  EXPECT_EQ(out, (V4{5, -3, 9, 30}));
  YrQSub(out, a, b);
  EXPECT_EQ(out, (V4{-3, 7, -3, -10}));
  YrQMult(out, a, 0.5);
  EXPECT_EQ(out, (V4{0.5, 1, 1.5, 5}));
  EXPECT_EQ(YrQDot(a, b), 212);
  EXPECT_DOUBLE_EQ(YrQLength(V4{1, 1, 1, 1}), 2);
}

struct ClampCase {
  double value, min, max, expected;
};

TEST(YrVectorTest, ClampLetsTheMaximumWin) {
  const std::vector<ClampCase> cases = {
      {5, 0, 10, 5}, {-1, 0, 10, 0}, {11, 0, 10, 10}, {5, 10, 0, 0}, {-5, 10, 0, 0}, {kNaN, -1, 1, -1},
  };
  for (const ClampCase& c : cases) EXPECT_EQ(YrClamp(c.value, c.min, c.max), c.expected) << c.value;
}

}  // namespace
