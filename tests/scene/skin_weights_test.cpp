// Preparing a skin's weights: the cluster modes, the accuracy's
// quantisation with the largest remainders, weight groups, and the file
// values that must not reach the deformation (indexes out of range,
// weights that are not finite, sums of zero).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "scene/skin_weights.h"

namespace {

struct Cluster {
  int mode;
  std::vector<std::int32_t> indexes;
  std::vector<double> weights;
};

VSkinWeights Prepare(std::size_t points, const std::vector<Cluster>& clusters, int accuracy = 100) {
  std::vector<VClusterWeights> inputs;
  for (const Cluster& c : clusters) inputs.push_back({c.mode, c.indexes, c.weights});
  VSkinWeights out;
  VPrepareSkinWeights(points, inputs, accuracy, out);
  return out;
}

TEST(SkinWeightsTest, ModesNormaliseAsTheirPointsNeed) {
  // Point 0: two normalize clusters of 0.2 each. Point 1: one normalize
  // cluster of 0.3. Point 2: one additive cluster of 0.5. Point 3: a
  // total-1 cluster keeps its 0.3 beside a normalize one of 0.4.
  VSkinWeights w = Prepare(4, {{kVClusterNormalize, {0, 1}, {0.2, 0.3}},
                               {kVClusterNormalize, {0, 3}, {0.2, 0.4}},
                               {kVClusterAdditive, {2}, {0.5}},
                               {kVClusterTotal100, {3}, {0.3}}});
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 0), 0.5);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 1), 0.5);
  EXPECT_DOUBLE_EQ(w.WeightAt(1, 0), 1.0);
  EXPECT_DOUBLE_EQ(w.WeightAt(2, 2), 0.5);
  EXPECT_DOUBLE_EQ(w.WeightAt(3, 1), 0.4);
  EXPECT_DOUBLE_EQ(w.WeightAt(3, 3), 0.3);
}

TEST(SkinWeightsTest, AccuracyQuantisesAndGivesMissingUnitsToLargestRemainders) {
  // 0.55 / 0.45 at 10 %: 0.5 and 0.4, the tie on the remainder goes to the first.
  VSkinWeights w = Prepare(1, {{kVClusterNormalize, {0}, {0.55}}, {kVClusterNormalize, {0}, {0.45}}}, 10);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 0), 0.6);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 1), 0.4);
  // Three thirds at 10 %: 0.3 each, the missing unit to the first: 0.4 0.3 0.3.
  w = Prepare(1, {{kVClusterNormalize, {0}, {1}}, {kVClusterNormalize, {0}, {1}}, {kVClusterNormalize, {0}, {1}}},
              10);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 0), 0.4);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 1), 0.3);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 2), 0.3);
  // The largest remainder wins wherever it is: 0.12 / 0.18 / 0.7 at 10 %.
  w = Prepare(1, {{kVClusterNormalize, {0}, {0.12}}, {kVClusterNormalize, {0}, {0.18}},
                  {kVClusterNormalize, {0}, {0.7}}},
              10);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 0), 0.1);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 1), 0.2);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 2), 0.7);
  // Total-1 weights that do not reach 1 get no units: 0.25 at 10 % is 0.2.
  w = Prepare(1, {{kVClusterTotal100, {0}, {0.25}}}, 10);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 0), 0.2);
  // An accuracy below 1 counts as 1: all or nothing.
  w = Prepare(1, {{kVClusterNormalize, {0}, {0.7}}, {kVClusterNormalize, {0}, {0.3}}}, -5);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 0), 1.0);
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 1), 0.0);
}

TEST(SkinWeightsTest, FileValuesThatMeanNothingAreIgnored) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  VSkinWeights w = Prepare(3, {{kVClusterNormalize, {-1, 3, 1 << 30, 0, 1, 2, 2}, {1, 1, 1, nan, inf, 0.25, 0.5}},
                               // Point 1 sums to zero: it keeps its place.
                               {kVClusterNormalize, {1, 0}, {-0.0, 0.5}}});
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 1), 1.0);  // the NaN counts as 0
  EXPECT_DOUBLE_EQ(w.WeightAt(0, 0), 0.0);
  EXPECT_DOUBLE_EQ(w.WeightAt(1, 0), 0.0);
  EXPECT_DOUBLE_EQ(w.WeightAt(1, 1), 0.0);
  EXPECT_DOUBLE_EQ(w.WeightAt(2, 0), 1.0);  // listed twice: the last weight, normalised
  // Opposite weights sum to zero: no division, the point stays.
  w = Prepare(1, {{kVClusterNormalize, {0}, {0.5}}, {kVClusterNormalize, {0}, {-0.5}}});
  EXPECT_EQ(w.entry_cluster.size(), 0u);
  // Arrays of different lengths pair up as far as both go.
  std::vector<VClusterWeights> inputs{{kVClusterNormalize, VSpan<const std::int32_t>(nullptr, 0), {}}};
  VSkinWeights empty;
  VPrepareSkinWeights(5, inputs, 100, empty);
  EXPECT_EQ(empty.GroupCount(), 1u);
}

TEST(SkinWeightsTest, PointsWithEqualWeightsShareAGroupInPointOrder) {
  VSkinWeights w = Prepare(6, {{kVClusterNormalize, {4, 1, 3, 5}, {1, 0.5, 0.5, 1}},
                               {kVClusterNormalize, {1, 3}, {0.5, 0.5}}});
  // Groups: {0, 2} unmoved, {1, 3} half and half, {4, 5} all on cluster 0,
  // ordered by their first points.
  ASSERT_EQ(w.GroupCount(), 3u);
  EXPECT_EQ(w.group_points, (std::vector<std::uint32_t>{0, 2, 1, 3, 4, 5}));
  EXPECT_EQ(w.group_point_start, (std::vector<std::uint32_t>{0, 2, 4, 6}));
  EXPECT_EQ(w.group_entry_start, (std::vector<std::uint32_t>{0, 0, 2, 3}));
  EXPECT_EQ(w.entry_cluster, (std::vector<std::uint32_t>{0, 1, 0}));
  EXPECT_EQ(w.entry_weight, (std::vector<double>{0.5, 0.5, 1.0}));
}

}  // namespace
