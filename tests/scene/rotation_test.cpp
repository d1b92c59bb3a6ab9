// Rotation orders, quaternions, interpolation and continuous Euler angles.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "scene/matrix.h"
#include "support/matrix_expect.h"
#include "scene/matrix_functions.h"
#include "scene/rotation.h"

namespace {

using namespace YrSDK;
using testing_support::MatrixNear;

using V3 = YrVector3<double>;
using V4 = YrVector4<double>;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

YrMatrix Euler(V3 r, YrRotationOrder order) {
  YrMatrix m;
  YrEulerToMatrix(m, r, order);
  return m;
}

YrMatrix AboutAxis(int axis, double degrees) {
  V3 r;
  r[axis] = degrees;
  return Euler(r, kYrEulerXYZ);
}

struct OrderCase {
  YrRotationOrder order;
  int axes[3];  // applied first to last
};

const std::vector<OrderCase> kOrders = {
    {kYrEulerXYZ, {0, 1, 2}}, {kYrEulerXZY, {0, 2, 1}}, {kYrEulerYZX, {1, 2, 0}},
    {kYrEulerYXZ, {1, 0, 2}}, {kYrEulerZXY, {2, 0, 1}}, {kYrEulerZYX, {2, 1, 0}},
};

const std::vector<double> kAngles = {-180, -120, -90, -60, -1, 0, 0.5, 45, 89.99, 90, 135, 180};

TEST(YrRotationTest, EulerCodesAreTwiceTheOrder) {
  EXPECT_EQ(YrRotationOrderToEulerCode(kYrEulerXYZ), 0);
  EXPECT_EQ(YrRotationOrderToEulerCode(kYrEulerZYX), 10);
  EXPECT_EQ(YrRotationOrderToEulerCode(kYrSphericXYZ), 12);
}

TEST(YrRotationTest, EveryOrderAppliesItsAxesFirstToLast) {
  for (const OrderCase& c : kOrders) {
    for (double a : kAngles) {
      for (double b : {-75.0, 0.0, 30.0, 90.0}) {
        const V3 r{a, b, 0.5 * a - b};
        YrMatrix expected = AboutAxis(c.axes[0], r[c.axes[0]]);
        YrMatrixMult(expected, expected, AboutAxis(c.axes[1], r[c.axes[1]]));
        YrMatrixMult(expected, expected, AboutAxis(c.axes[2], r[c.axes[2]]));
        EXPECT_TRUE(MatrixNear(Euler(r, c.order), expected, 1e-12)) << c.order << " " << a << " " << b;
      }
    }
  }
}

TEST(YrRotationTest, EveryOrderRoundTripsThroughTheMatrix) {
  for (const OrderCase& c : kOrders) {
    for (double first : kAngles) {
      for (double middle : kAngles) {
        for (double third : kAngles) {
          V3 r;
          r[c.axes[0]] = first;
          r[c.axes[1]] = middle;
          r[c.axes[2]] = third;
          const YrMatrix m = Euler(r, c.order);
          V3 back;
          YrMatrixToEuler(back, m, c.order);
          EXPECT_TRUE(MatrixNear(Euler(back, c.order), m, 1e-9)) << c.order << " " << first << " " << middle;
          EXPECT_LE(std::fabs(back[c.axes[1]]), 90.0);
          if (std::fabs(middle) < 89.999 && std::fabs(first) < 180 && std::fabs(third) < 180) {
            for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], r[i], 1e-7) << c.order;
          }
        }
      }
    }
  }
}

TEST(YrRotationTest, SphericSingleAxesMatchEulerAndStayOrthonormal) {
  for (double a : kAngles) {
    for (int axis = 0; axis < 3; ++axis) {
      V3 r;
      r[axis] = a;
      EXPECT_TRUE(MatrixNear(Euler(r, kYrSphericXYZ), Euler(r, kYrEulerXYZ), 1e-12)) << axis << " " << a;
    }
    const YrMatrix m = Euler(V3{a, 0.7 * a + 10, 40 - a}, kYrSphericXYZ);
    YrMatrix transposed, product;
    YrMatrixTranspose(transposed, m);
    YrMatrixMult(product, m, transposed);
    EXPECT_TRUE(MatrixNear(product, YrIdentityMatrix(), 1e-12));
    V3 back;
    YrMatrixToEuler(back, m, kYrSphericXYZ);
    EXPECT_TRUE(MatrixNear(Euler(back, kYrEulerXYZ), m, 1e-9));
  }
}

TEST(YrRotationTest, QuaternionsRoundTrip) {
  for (double x : kAngles) {
    for (double y : kAngles) {
      for (double z : kAngles) {
        V4 q;
        YrRotationToQuaternion(q, V3{x, y, z});
        EXPECT_NEAR(YrQLength(q), 1.0, 1e-12);
        V3 back;
        YrQuaternionToRotation(back, q);
        EXPECT_TRUE(MatrixNear(Euler(back, kYrEulerXYZ), Euler(V3{x, y, z}, kYrEulerXYZ), 1e-9));
      }
    }
  }
}

struct QuaternionCase {
  V4 q;
  V3 rotation;
};

TEST(YrRotationTest, QuaternionConvention) {
  const double h = std::sqrt(0.5);
  const std::vector<QuaternionCase> cases = {
      {{0, 0, 0, 1}, {0, 0, 0}},      {{h, 0, 0, h}, {90, 0, 0}},     {{0, h, 0, h}, {0, 90, 0}},
      {{0, 0, h, h}, {0, 0, 90}},     {{0, 0, 2, 2}, {0, 0, 90}},     // not unit: normalised
      {{0, 0, 0, 0}, {0, 0, 0}},      {{kNaN, 0, 0, 1}, {0, 0, 0}},   // degenerate: no rotation
      {{1, 0, 0, 0}, {180, 0, 0}},    {{0, 0, -1, 0}, {0, 0, 180}},
  };
  for (const QuaternionCase& c : cases) {
    V3 r;
    YrQuaternionToRotation(r, c.q);
    EXPECT_TRUE(MatrixNear(Euler(r, kYrEulerXYZ), Euler(c.rotation, kYrEulerXYZ), 1e-12))
        << c.q.x << " " << c.q.y << " " << c.q.z << " " << c.q.w;
  }
  // Half turns exercise every branch of the matrix to quaternion conversion.
  for (const V3& r : {V3{180, 0, 0}, V3{0, 180, 0}, V3{0, 0, 180}, V3{0, 0, 0}, V3{170, 5, -3}}) {
    V4 q;
    YrRotationToQuaternion(q, r);
    YrMatrix m;
    YrQuaternionToMatrix(m, q);
    EXPECT_TRUE(MatrixNear(m, Euler(r, kYrEulerXYZ), 1e-12));
  }
}

struct InterpolationCase {
  V3 a, b;
  double t;
  V3 expected;
};

TEST(YrRotationTest, InterpolationEndpointsAndMidpoints) {
  const std::vector<InterpolationCase> cases = {
      {{10, 20, 30}, {-40, 50, 60}, 0, {10, 20, 30}},
      {{10, 20, 30}, {-40, 50, 60}, 1, {-40, 50, 60}},
      {{0, 0, 0}, {0, 0, 90}, 0.5, {0, 0, 45}},
      {{0, 0, 0}, {60, 0, 0}, 0.5, {30, 0, 0}},
      {{0, 0, 170}, {0, 0, -170}, 0.5, {0, 0, 180}},  // the shorter arc
      {{0, 0, 0}, {0, 0, 360}, 0.5, {0, 0, 0}},       // a full turn is no turn
      {{10, 20, 30}, {-40, 50, 60}, kNaN, {10, 20, 30}},
  };
  for (const InterpolationCase& c : cases) {
    V3 out;
    YrInterpolateRotation(out, c.a, c.b, c.t);
    EXPECT_TRUE(MatrixNear(Euler(out, kYrEulerXYZ), Euler(c.expected, kYrEulerXYZ), 1e-9)) << c.t;
  }
}

struct ContinuousCase {
  V3 r, previous, expected;
  bool second;
};

TEST(YrRotationTest, ContinuousRotationPicksTheClosestTriple) {
  const std::vector<ContinuousCase> cases = {
      {{0, 0, 179}, {0, 0, -179}, {0, 0, -181}, false},
      {{10, 20, 30}, {370, 20, 30}, {370, 20, 30}, false},
      {{10, 20, 30}, {10, 20, 30}, {10, 20, 30}, false},
      {{0, 0, 0}, {180, 180, 180}, {180, 180, 180}, true},
      {{180, 10, 180}, {0, 170, 0}, {0, 170, 0}, true},
      {{-720, 0, 720}, {0, 0, 0}, {0, 0, 0}, false},
      // Gimbal lock: only x - z (at 90) or x + z (at 270) matters.
      {{50, 90, 20}, {10, 90, -20}, {10, 90, -20}, false},
      {{50, -90, 20}, {0, -90, 0}, {35, -90, 35}, false},
      {{50, 450, 20}, {0, 90, 0}, {15, 90, -15}, false},
  };
  for (const ContinuousCase& c : cases) {
    V3 out;
    EXPECT_EQ(YrGetContinuousRotation(out, c.r, c.previous), c.second);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], c.expected[i], 1e-9) << c.r.x << " " << c.r.y << " " << c.r.z;
  }
}

TEST(YrRotationTest, ContinuousRotationKeepsTheRotation) {
  const std::vector<V3> previous = {{0, 0, 0}, {350, -20, 720}, {-170, 175, 10}, {30, 90, -30}};
  for (double x : kAngles) {
    for (double y : kAngles) {
      for (const V3& p : previous) {
        const V3 r{x, y, 2 * x - y};
        V3 out;
        YrGetContinuousRotation(out, r, p);
        EXPECT_TRUE(MatrixNear(Euler(out, kYrEulerXYZ), Euler(r, kYrEulerXYZ), 1e-9));
        YrMatrix m = Euler(out, kYrEulerXYZ);
        if (std::fabs(m(0, 2)) < 0.999) {
          for (int i = 0; i < 3; ++i) EXPECT_LE(std::fabs(out[i] - p[i]), 180.0 + 1e-9);
        }
      }
    }
  }
  V3 out;
  YrGetContinuousRotation(out, V3{kNaN, 1, 2}, V3{0, kNaN, 0});
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(out[i]));
}

}  // namespace
