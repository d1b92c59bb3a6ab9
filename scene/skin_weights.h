#pragma once
// The weights of a skin, prepared once whenever its clusters or their
// weights change: per control point a weight for every cluster, normalised
// by the clusters' modes, quantised to the skin's accuracy, and points with
// identical weights merged into weight groups.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/array_span.h"

// How a cluster's weights combine with the others' at a point.
enum VClusterMode : int {
  kVClusterNormalize = 0,  // weights divided by the point's sum
  kVClusterAdditive = 1,   // moves the point by its own weight, after the others
  kVClusterTotal100 = 2,   // weights taken as they are (the sum counts as 1)
};

// One cluster as the preparation sees it: its mode and its (point, weight)
// pairs. Pairs past the shorter of the two arrays are ignored.
struct VClusterWeights {
  int mode = kVClusterNormalize;
  VSpan<const std::int32_t> indexes;
  VSpan<const double> weights;
};

struct VSkinWeights {
  std::size_t point_count = 0;
  // Group g holds the points group_points[group_point_start[g] ...
  // group_point_start[g + 1]) (ascending) and the non-zero (cluster, weight)
  // pairs entry_cluster/entry_weight[group_entry_start[g] ...
  // group_entry_start[g + 1]) (clusters ascending). Every point is in one
  // group; points no cluster moves share a group without pairs. Groups are
  // ordered by their first point.
  std::vector<std::uint32_t> group_point_start{0};
  std::vector<std::uint32_t> group_points;
  std::vector<std::uint32_t> group_entry_start{0};
  std::vector<std::uint32_t> entry_cluster;
  std::vector<double> entry_weight;

  std::size_t GroupCount() const { return group_point_start.size() - 1; }
  // The prepared weight of a cluster at a point (0 when none); a search,
  // for tests and tools.
  double WeightAt(std::size_t point, std::uint32_t cluster) const;
};

// Prepares the weights of `point_count` control points. Indexes outside the
// point range and weights that are not finite are ignored; a point listed
// twice by one cluster keeps the last weight. For each point the weights
// of its normalize clusters are divided by their sum (a total-1 cluster at
// the point makes the sum 1); a point whose sum is 0 loses those weights
// and stays where it is. With an accuracy below 100 (at least 1) the
// normalised weights are quantised to 1/accuracy, the missing units going
// to the largest remainders, first cluster on ties.
void VPrepareSkinWeights(std::size_t point_count, const std::vector<VClusterWeights>& clusters, int accuracy,
                         VSkinWeights& out);
