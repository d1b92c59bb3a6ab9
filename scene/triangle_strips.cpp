// Greedy triangle strips: from each triangle not yet in a strip, walk to
// the neighbour across the strip's last edge while one with the matching
// winding exists.
#include <algorithm>
#include <cstdint>

#include "scene/triangulation.h"

namespace {

// Neighbours are looked for among this many triangles around a point: a
// point shared by more (a hostile mesh) costs no more.
constexpr std::uint32_t kNeighbourScan = 64;
// Control points of a geometry have 31-bit indices.
constexpr std::uint32_t kMaxPoint = 0x7fffffffu;

}  // namespace

void VBuildTriangleStrips(VSpan<const std::uint32_t> triangles, VSpan<const std::uint32_t> corner_points,
                          VTriangulation& out) {
  out.strips.clear();
  out.strip_start.assign(1, 0);
  const std::size_t count = triangles.size / 3;
  std::vector<std::uint32_t> tri(count * 3);
  for (std::size_t i = 0; i < count * 3; ++i) {
    if (triangles[i] >= corner_points.size) return;  // not the geometry's triangles
    tri[i] = corner_points[triangles[i]];
  }
  // Directed edges bucketed by their first point (a counting sort):
  // triangle t holds (a, b), (b, c), (c, a).
  std::uint32_t point_count = 0;
  for (std::uint32_t p : tri) {
    if (p > kMaxPoint) return;  // not a fitted geometry's points
    point_count = std::max(point_count, p + 1);
  }
  std::vector<std::uint32_t> start(std::size_t{point_count} + 1, 0);
  for (std::uint32_t p : tri) ++start[p + 1];
  for (std::size_t p = 0; p < point_count; ++p) start[p + 1] += start[p];
  std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
  std::vector<std::uint32_t> edge_triangle(count * 3);  // in buckets of the edge's first point
  for (std::size_t i = 0; i < count * 3; ++i) edge_triangle[fill[tri[i]]++] = static_cast<std::uint32_t>(i / 3);
  std::vector<std::uint8_t> used(count, 0);
  // A triangle not in a strip holding edge from -> to; its third point.
  auto neighbour = [&](std::uint32_t from, std::uint32_t to, std::uint32_t* third) -> std::int64_t {
    const std::uint32_t last = std::min(start[from + 1], start[from] + kNeighbourScan);
    for (std::uint32_t e = start[from]; e < last; ++e) {
      const std::uint32_t t = edge_triangle[e];
      if (used[t]) continue;
      for (int k = 0; k < 3; ++k) {
        if (tri[3 * t + k] == from && tri[3 * t + (k + 1) % 3] == to) {
          *third = tri[3 * t + (k + 2) % 3];
          return t;
        }
      }
    }
    return -1;
  };
  for (std::size_t t = 0; t < count; ++t) {
    if (used[t]) continue;
    used[t] = 1;
    // Start with the rotation whose last edge leads on, if any does.
    std::uint32_t a = tri[3 * t], b = tri[3 * t + 1], c = tri[3 * t + 2];
    for (int r = 0; r < 3; ++r) {
      std::uint32_t third;
      const std::uint32_t ra = tri[3 * t + r], rb = tri[3 * t + (r + 1) % 3], rc = tri[3 * t + (r + 2) % 3];
      if (neighbour(rc, rb, &third) >= 0) {
        a = ra, b = rb, c = rc;
        break;
      }
    }
    const std::size_t first = out.strips.size();
    out.strips.insert(out.strips.end(), {a, b, c});
    for (;;) {
      const std::size_t n = out.strips.size() - first;  // the next triangle is number n - 2
      const std::uint32_t second_last = out.strips[out.strips.size() - 2], last = out.strips.back();
      const bool odd = (n - 2) % 2 == 1;
      std::uint32_t third;
      const std::int64_t next = odd ? neighbour(last, second_last, &third) : neighbour(second_last, last, &third);
      if (next < 0) break;
      used[static_cast<std::size_t>(next)] = 1;
      out.strips.push_back(third);
    }
    out.strip_start.push_back(static_cast<std::uint32_t>(out.strips.size()));
  }
}
