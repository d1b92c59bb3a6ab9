// Triangulation: concave outlines are covered exactly (areas add up, every
// triangle lies inside and keeps the winding), degenerate outlines still
// end with n - 2 triangles, and the strips hold every triangle once.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "scene/geometry.h"
#include "scene/triangulation.h"

using YrSDK::YrVector4;
using Point = YrVector4<float>;

namespace {

struct Outline {
  const char* name;
  std::vector<std::pair<float, float>> xy;
};

double Area2(double ax, double ay, double bx, double by, double cx, double cy) {
  return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

double PolygonArea(const std::vector<std::pair<float, float>>& xy) {
  double a = 0;
  for (std::size_t i = 0; i < xy.size(); ++i) {
    const auto& p = xy[i];
    const auto& q = xy[(i + 1) % xy.size()];
    a += double(p.first) * q.second - double(q.first) * p.second;
  }
  return a / 2;
}

// Even-odd test, points on the outline counting as inside.
bool Inside(const std::vector<std::pair<float, float>>& xy, double x, double y) {
  bool in = false;
  for (std::size_t i = 0, j = xy.size() - 1; i < xy.size(); j = i++) {
    const double xi = xy[i].first, yi = xy[i].second, xj = xy[j].first, yj = xy[j].second;
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
  }
  return in;
}

// The outline placed in a tilted plane, so that the projection is tested too.
VGeometry InPlane(const std::vector<std::pair<float, float>>& xy) {
  VGeometry g;
  std::vector<std::uint32_t> corners;
  for (const auto& p : xy) {
    g.points.push_back({p.first, 0.5f * p.second, 0.8f * p.second, 1.0f});
    corners.push_back(static_cast<std::uint32_t>(corners.size()));
  }
  VGeometryAddPolygon(g, corners.data(), corners.size());
  return g;
}

TEST(TriangulationTest, ConcaveOutlinesAreCoveredExactly) {
  const std::vector<Outline> outlines = {
      {"triangle", {{0, 0}, {2, 0}, {0, 2}}},
      {"convex quad", {{0, 0}, {2, 0}, {3, 2}, {0, 1}}},
      {"dart (concave quad)", {{0, 0}, {4, 2}, {0, 4}, {1, 2}}},
      {"dart, reflex corner first", {{1, 2}, {0, 0}, {4, 2}, {0, 4}}},
      {"L", {{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}}},
      {"star", {{0, 3}, {1, 1}, {3, 1}, {1.5f, -0.5f}, {2, -3}, {0, -1.5f}, {-2, -3}, {-1.5f, -0.5f}, {-3, 1}, {-1, 1}}},
      {"comb", {{0, 0}, {7, 0}, {7, 3}, {6, 3}, {6, 1}, {5, 1}, {5, 3}, {4, 3}, {4, 1}, {3, 1}, {3, 3}, {2, 3}, {2, 1},
                {1, 1}, {1, 3}, {0, 3}}},
      {"clockwise U", {{0, 0}, {0, 3}, {1, 3}, {1, 1}, {2, 1}, {2, 3}, {3, 3}, {3, 0}}},
      {"collinear corners", {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {2, 1}, {1, 1}, {0, 1}}},
  };
  for (const Outline& outline : outlines) {
    SCOPED_TRACE(outline.name);
    VGeometry g = InPlane(outline.xy);
    ASSERT_EQ(VGeometryFit(g), 0u);
    VTriangulation t;
    VTriangulateGeometry(g, t);
    const std::size_t n = outline.xy.size();
    ASSERT_EQ(t.triangles.size(), 3 * (n - 2));
    const double area = PolygonArea(outline.xy);
    double sum = 0;
    for (std::size_t k = 0; k < t.triangles.size(); k += 3) {
      const auto& a = outline.xy[t.triangles[k]];
      const auto& b = outline.xy[t.triangles[k + 1]];
      const auto& c = outline.xy[t.triangles[k + 2]];
      const double tri = Area2(a.first, a.second, b.first, b.second, c.first, c.second) / 2;
      EXPECT_GE(tri * area, 0.0) << "triangle " << k / 3 << " turned over";
      sum += tri;
      const double cx = (a.first + b.first + c.first) / 3.0, cy = (a.second + b.second + c.second) / 3.0;
      if (tri != 0) {
        EXPECT_TRUE(Inside(outline.xy, cx, cy)) << "triangle " << k / 3 << " outside";
      }
    }
    EXPECT_NEAR(sum, area, 1e-9);
  }
}

TEST(TriangulationTest, DegenerateOutlinesStillEnd) {
  const std::vector<Outline> outlines = {
      {"all on a line", {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
      {"all one point", {{1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}}},
      {"bow tie", {{0, 0}, {2, 2}, {2, 0}, {0, 2}, {-1, 1}}},
      {"touching itself", {{0, 0}, {4, 0}, {4, 4}, {2, 0}, {0, 4}}},
      {"repeated corner", {{0, 0}, {2, 0}, {2, 0}, {2, 2}, {0, 2}}},
  };
  for (const Outline& outline : outlines) {
    SCOPED_TRACE(outline.name);
    VGeometry g = InPlane(outline.xy);
    VGeometryFit(g);
    VTriangulation t;
    VTriangulateGeometry(g, t);
    ASSERT_EQ(t.triangles.size(), 3 * (outline.xy.size() - 2));
    std::set<std::uint32_t> used(t.triangles.begin(), t.triangles.end());
    EXPECT_LE(*used.rbegin(), outline.xy.size() - 1);
  }
  // A large spiral-like zigzag finishes too (its budget ends in a fan at worst).
  std::vector<std::pair<float, float>> zigzag;
  for (int i = 0; i < 3000; ++i) zigzag.push_back({float(i), (i % 2) ? 1.0f : 0.0f});
  for (int i = 2999; i >= 0; --i) zigzag.push_back({float(i), (i % 2) ? 3.0f : 2.0f});
  VGeometry g = InPlane(zigzag);
  VTriangulation t;
  VTriangulateGeometry(g, t);
  EXPECT_EQ(t.triangles.size(), 3 * (zigzag.size() - 2));
}

TEST(TriangulationTest, StripsHoldEveryTriangleOnceWithItsWinding) {
  // A 5 x 4 grid of quads: neighbours share edges, so strips get long.
  VGeometry g;
  const int w = 5, h = 4;
  for (int y = 0; y <= h; ++y) {
    for (int x = 0; x <= w; ++x) g.points.push_back({float(x), float(y), 0.0f, 1.0f});
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t a = static_cast<std::uint32_t>(y * (w + 1) + x);
      const std::uint32_t quad[] = {a, a + 1, a + w + 2, a + w + 1};
      VGeometryAddPolygon(g, quad, 4);
    }
  }
  VTriangulation t;
  VTriangulateGeometry(g, t);
  ASSERT_EQ(t.triangles.size(), 3u * 2 * w * h);
  EXPECT_LT(t.StripCount(), static_cast<std::size_t>(w * h));  // triangles were joined
  // Every strip triangle, in its drawing order, is one of the mesh's triangles, once.
  auto canonical = [](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    // The rotation starting at the smallest point keeps the winding.
    if (b < a && b < c) return std::vector<std::uint32_t>{b, c, a};
    if (c < a && c < b) return std::vector<std::uint32_t>{c, a, b};
    return std::vector<std::uint32_t>{a, b, c};
  };
  std::multiset<std::vector<std::uint32_t>> expected, got;
  for (std::size_t k = 0; k < t.triangles.size(); k += 3) {
    expected.insert(canonical(g.polygon_vertex_index[t.triangles[k]] & kVPolygonIndexMask,
                              g.polygon_vertex_index[t.triangles[k + 1]] & kVPolygonIndexMask,
                              g.polygon_vertex_index[t.triangles[k + 2]] & kVPolygonIndexMask));
  }
  for (std::size_t s = 0; s < t.StripCount(); ++s) {
    for (std::uint32_t i = t.strip_start[s]; i + 2 < t.strip_start[s + 1]; ++i) {
      const std::uint32_t* v = &t.strips[i];
      const bool odd = (i - t.strip_start[s]) % 2 == 1;
      got.insert(odd ? canonical(v[1], v[0], v[2]) : canonical(v[0], v[1], v[2]));
    }
  }
  EXPECT_EQ(got, expected);
}

}  // namespace
