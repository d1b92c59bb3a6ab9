#include "scene/skin_weights.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

struct Entry {
  std::uint32_t cluster;
  double weight;
  bool operator==(const Entry& o) const { return cluster == o.cluster && weight == o.weight; }
  bool operator<(const Entry& o) const { return cluster != o.cluster ? cluster < o.cluster : weight < o.weight; }
};

// Normalises and quantises the entries of one point in place.
void PreparePoint(Entry* entries, std::size_t count, const std::vector<VClusterWeights>& clusters, int accuracy,
                  std::vector<double>& units, std::vector<double>& remainders) {
  auto normalised = [&](const Entry& e) { return clusters[e.cluster].mode != kVClusterAdditive; };
  double sum = 0.0;
  bool any = false, total_one = false;
  for (std::size_t i = 0; i < count; ++i) {
    if (!normalised(entries[i])) continue;
    any = true;
    if (clusters[entries[i].cluster].mode == kVClusterTotal100) total_one = true;
    else sum += entries[i].weight;
  }
  if (!any) return;
  if (total_one) sum = 1.0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!normalised(entries[i])) continue;
    double w = sum != 0.0 && std::isfinite(sum) ? entries[i].weight / sum : 0.0;
    entries[i].weight = std::isfinite(w) ? w : 0.0;
  }
  if (accuracy >= 100) return;
  const double n = static_cast<double>(std::max(1, accuracy));
  units.clear();
  remainders.clear();
  double unquantised = 0.0, unit_sum = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!normalised(entries[i])) continue;
    const double scaled = n * entries[i].weight;
    // A hair of tolerance so that 0.3 * 10 counts as 3 units, not 2.
    const double u = std::floor(scaled + 1e-9);
    units.push_back(u);
    remainders.push_back(scaled - u);
    unquantised += entries[i].weight;
    unit_sum += u;
  }
  if (unquantised >= 0.999) {
    // Units are whole numbers, so the count of missing ones is exact; it
    // never exceeds the accuracy.
    const int missing = static_cast<int>(std::max(0.0, std::min(n, n - unit_sum)));
    for (int step = 0; step < missing && !units.empty(); ++step) {
      std::size_t best = 0;
      for (std::size_t k = 1; k < remainders.size(); ++k) {
        if (remainders[k] > remainders[best]) best = k;
      }
      units[best] += 1.0;
      remainders[best] -= 1.0;
    }
  }
  std::size_t k = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!normalised(entries[i])) continue;
    const double w = units[k++] / n;
    entries[i].weight = std::isfinite(w) ? w : 0.0;
  }
}

}  // namespace

double VSkinWeights::WeightAt(std::size_t point, std::uint32_t cluster) const {
  for (std::size_t g = 0; g < GroupCount(); ++g) {
    const auto first = group_points.begin() + group_point_start[g];
    const auto last = group_points.begin() + group_point_start[g + 1];
    if (!std::binary_search(first, last, static_cast<std::uint32_t>(point))) continue;
    for (std::uint32_t e = group_entry_start[g]; e < group_entry_start[g + 1]; ++e) {
      if (entry_cluster[e] == cluster) return entry_weight[e];
    }
    return 0.0;
  }
  return 0.0;
}

void VPrepareSkinWeights(std::size_t point_count, const std::vector<VClusterWeights>& clusters, int accuracy,
                         VSkinWeights& out) {
  out = VSkinWeights();
  out.point_count = point_count;
  if (point_count == 0) return;
  // Per point, its entries in cluster order (a counting sort over points).
  std::vector<std::uint32_t> start(point_count + 1, 0);
  auto pairs = [](const VClusterWeights& c) { return std::min(c.indexes.size, c.weights.size); };
  auto valid = [point_count](std::int32_t index) {
    return index >= 0 && static_cast<std::size_t>(index) < point_count;
  };
  for (const VClusterWeights& c : clusters) {
    for (std::size_t i = 0; i < pairs(c); ++i) {
      if (valid(c.indexes[i])) ++start[static_cast<std::size_t>(c.indexes[i]) + 1];
    }
  }
  std::partial_sum(start.begin(), start.end(), start.begin());
  std::vector<Entry> entries(start.back());
  std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
  for (std::size_t c = 0; c < clusters.size(); ++c) {
    for (std::size_t i = 0; i < pairs(clusters[c]); ++i) {
      const std::int32_t index = clusters[c].indexes[i];
      if (!valid(index)) continue;
      const double w = clusters[c].weights[i];
      entries[fill[static_cast<std::size_t>(index)]++] = {static_cast<std::uint32_t>(c), std::isfinite(w) ? w : 0.0};
    }
  }
  // Compact each point's entries: the last weight of a cluster wins, zero
  // weights go, then the modes apply.
  std::vector<std::uint32_t> kept_start(point_count + 1, 0);
  std::vector<double> units, remainders;
  std::size_t write = 0;
  for (std::size_t p = 0; p < point_count; ++p) {
    const std::size_t first = write;
    for (std::uint32_t i = start[p]; i < start[p + 1]; ++i) {
      if (write > first && entries[write - 1].cluster == entries[i].cluster) entries[write - 1] = entries[i];
      else entries[write++] = entries[i];
    }
    PreparePoint(entries.data() + first, write - first, clusters, accuracy, units, remainders);
    std::size_t nonzero = first;
    for (std::size_t i = first; i < write; ++i) {
      if (entries[i].weight != 0.0) entries[nonzero++] = entries[i];
    }
    write = nonzero;
    kept_start[p + 1] = static_cast<std::uint32_t>(write);
  }
  // Points with identical weights form a group.
  auto same = [&](std::uint32_t a, std::uint32_t b) {
    return std::equal(entries.begin() + kept_start[a], entries.begin() + kept_start[a + 1],
                      entries.begin() + kept_start[b], entries.begin() + kept_start[b + 1]);
  };
  std::vector<std::uint32_t> order(point_count);
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return std::lexicographical_compare(entries.begin() + kept_start[a], entries.begin() + kept_start[a + 1],
                                        entries.begin() + kept_start[b], entries.begin() + kept_start[b + 1]);
  });
  // Runs of equal points, then ordered by their first (smallest) point.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> runs;  // [begin, end) in order
  for (std::uint32_t i = 0; i < point_count;) {
    std::uint32_t j = i + 1;
    while (j < point_count && same(order[i], order[j])) ++j;
    runs.emplace_back(i, j);
    i = j;
  }
  std::sort(runs.begin(), runs.end(), [&](const auto& a, const auto& b) { return order[a.first] < order[b.first]; });
  out.group_points.reserve(point_count);
  for (const auto& run : runs) {
    out.group_points.insert(out.group_points.end(), order.begin() + run.first, order.begin() + run.second);
    out.group_point_start.push_back(static_cast<std::uint32_t>(out.group_points.size()));
    const std::uint32_t p = order[run.first];
    for (std::uint32_t i = kept_start[p]; i < kept_start[p + 1]; ++i) {
      out.entry_cluster.push_back(entries[i].cluster);
      out.entry_weight.push_back(entries[i].weight);
    }
    out.group_entry_start.push_back(static_cast<std::uint32_t>(out.entry_cluster.size()));
  }
}
