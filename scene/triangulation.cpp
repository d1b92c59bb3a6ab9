#include "scene/triangulation.h"

#include <algorithm>
#include <cmath>

#include "scene/geometry.h"

using YrSDK::YrVector4;

namespace {

struct Vec3 {
  double x, y, z;
};

Vec3 Sub(const YrVector4<float>& a, const YrVector4<float>& b) {
  return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z};
}
Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Ear clipping of one polygon. The scratch arrays are reused from polygon
// to polygon, so a mesh costs no allocation per polygon.
class EarClipper {
 public:
  // Writes n - 2 triangles of local corners (offset by `base`) to out.
  std::uint32_t* Clip(const YrVector4<float>* points, const std::uint32_t* corners, std::uint32_t n,
                      std::uint32_t base, std::uint32_t* out) {
    Project(points, corners, n);
    prev_.resize(n);
    next_.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
      prev_[i] = i == 0 ? n - 1 : i - 1;
      next_[i] = i + 1 == n ? 0 : i + 1;
    }
    // Enough for any sensible polygon; a hostile one is fanned once it is spent.
    long long budget = 16LL * n * std::min<std::uint32_t>(n, 512);
    std::uint32_t remaining = n, current = 0, stalled = 0;
    while (remaining > 3) {
      const std::uint32_t a = prev_[current], c = next_[current];
      bool ear = budget > 0 && IsEar(a, current, c, budget);
      if (!ear && budget > 0 && stalled < remaining) {
        current = c;
        ++stalled;
        continue;
      }
      // An ear, or no ear left anywhere (degenerate outline) or no budget:
      // clip here all the same so that the loop ends.
      out = Emit(out, base, a, current, c);
      next_[a] = c;
      prev_[c] = a;
      --remaining;
      stalled = 0;
      current = a;
    }
    return Emit(out, base, prev_[current], current, next_[current]);
  }

 private:
  static std::uint32_t* Emit(std::uint32_t* out, std::uint32_t base, std::uint32_t a, std::uint32_t b,
                             std::uint32_t c) {
    out[0] = base + a;
    out[1] = base + b;
    out[2] = base + c;
    return out + 3;
  }

  // 2D coordinates in the polygon's plane, counter-clockwise.
  void Project(const YrVector4<float>* points, const std::uint32_t* corners, std::uint32_t n) {
    Vec3 normal{0, 0, 0};  // Newell's normal
    for (std::uint32_t i = 0; i < n; ++i) {
      const YrVector4<float>& p = points[corners[i] & kVPolygonIndexMask];
      const YrVector4<float>& q = points[corners[(i + 1) % n] & kVPolygonIndexMask];
      normal.x += (double(p.y) - q.y) * (double(p.z) + q.z);
      normal.y += (double(p.z) - q.z) * (double(p.x) + q.x);
      normal.z += (double(p.x) - q.x) * (double(p.y) + q.y);
    }
    const double ax = std::fabs(normal.x), ay = std::fabs(normal.y), az = std::fabs(normal.z);
    int drop = az >= ax && az >= ay ? 2 : (ax >= ay ? 0 : 1);
    const double sign = (drop == 0 ? normal.x : drop == 1 ? normal.y : normal.z) < 0 ? -1.0 : 1.0;
    x_.resize(n);
    y_.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
      const YrVector4<float>& p = points[corners[i] & kVPolygonIndexMask];
      // Dropping an axis keeps the winding when the remaining two are
      // taken in cyclic order; the sign turns clockwise outlines around.
      double u = drop == 0 ? p.y : drop == 1 ? p.z : p.x;
      double v = drop == 0 ? p.z : drop == 1 ? p.x : p.y;
      x_[i] = u * sign;
      y_[i] = v;
    }
  }

  double Cross2(std::uint32_t a, std::uint32_t b, std::uint32_t c) const {
    return (x_[b] - x_[a]) * (y_[c] - y_[a]) - (y_[b] - y_[a]) * (x_[c] - x_[a]);
  }

  bool Same(std::uint32_t a, std::uint32_t b) const { return x_[a] == x_[b] && y_[a] == y_[b]; }

  bool IsEar(std::uint32_t a, std::uint32_t b, std::uint32_t c, long long& budget) const {
    if (!(Cross2(a, b, c) > 0)) return false;  // reflex or flat
    for (std::uint32_t p = next_[c]; p != a; p = next_[p]) {
      if (--budget <= 0) return false;
      // Corners on a triangle's corner (a self-touching outline) do not block it.
      if (Same(p, a) || Same(p, b) || Same(p, c)) continue;
      if (Cross2(a, b, p) >= 0 && Cross2(b, c, p) >= 0 && Cross2(c, a, p) >= 0) return false;
    }
    return true;
  }

  std::vector<double> x_, y_;
  std::vector<std::uint32_t> prev_, next_;
};

// A quad split along the diagonal that keeps both halves inside it.
std::uint32_t* Quad(const YrVector4<float>* points, const std::uint32_t* corners, std::uint32_t base,
                    std::uint32_t* out) {
  const YrVector4<float>* p[4];
  for (int i = 0; i < 4; ++i) p[i] = &points[corners[i] & kVPolygonIndexMask];
  const Vec3 normal = Cross(Sub(*p[2], *p[0]), Sub(*p[3], *p[1]));
  int reflex = -1;
  for (int i = 0; i < 4; ++i) {
    const Vec3 turn = Cross(Sub(*p[i], *p[(i + 3) % 4]), Sub(*p[(i + 1) % 4], *p[i]));
    if (Dot(turn, normal) < 0) reflex = i;
  }
  // Convex: either diagonal. Concave: the one from the reflex corner.
  const std::uint32_t r = reflex < 0 ? 0u : static_cast<std::uint32_t>(reflex);
  const std::uint32_t r1 = (r + 1) % 4, r2 = (r + 2) % 4, r3 = (r + 3) % 4;
  out[0] = base + r;
  out[1] = base + r1;
  out[2] = base + r2;
  out[3] = base + r;
  out[4] = base + r2;
  out[5] = base + r3;
  return out + 6;
}

}  // namespace

std::size_t VTriangulationJob::TriangleCount() const {
  if (polygon_start.size < 1) return 0;
  const std::size_t polygons = polygon_start.size - 1;
  const std::size_t corners = polygon_start[polygons];
  return corners >= 2 * polygons ? corners - 2 * polygons : 0;
}

bool VTriangulationJob::Validate() const {
  if (polygon_start.size < 1 || polygon_start[0] != 0) return false;
  if (polygon_start[polygon_start.size - 1] != polygon_vertex_index.size) return false;
  for (std::size_t p = 0; p + 1 < polygon_start.size; ++p) {
    if (polygon_start[p + 1] < polygon_start[p] + 3) return false;
  }
  return triangles.size == TriangleCount() * 3 && (triangles.size == 0 || triangles.data != nullptr);
}

bool VTriangulationJob::Run() const {
  if (!Validate()) return false;
  EarClipper clipper;
  std::uint32_t* out = triangles.data;
  const YrVector4<float>* pts = points.data;
  for (std::size_t p = 0; p + 1 < polygon_start.size; ++p) {
    const std::uint32_t base = polygon_start[p];
    const std::uint32_t n = polygon_start[p + 1] - base;
    const std::uint32_t* corners = polygon_vertex_index.data + base;
    if (n == 3) {
      out[0] = base;
      out[1] = base + 1;
      out[2] = base + 2;
      out += 3;
    } else if (n == 4) {
      out = Quad(pts, corners, base, out);
    } else {
      out = clipper.Clip(pts, corners, n, base, out);
    }
  }
  return true;
}

void VTriangulateGeometry(const VGeometry& g, VTriangulation& out) {
  VTriangulationJob job;
  job.points = VSpan<const YrVector4<float>>(g.points);
  job.polygon_vertex_index = VSpan<const std::uint32_t>(g.polygon_vertex_index);
  std::vector<std::uint32_t> start = g.polygon_start.empty() ? std::vector<std::uint32_t>{0} : g.polygon_start;
  job.polygon_start = VSpan<const std::uint32_t>(start);
  out.triangles.assign(job.TriangleCount() * 3, 0);
  job.triangles = VSpan<std::uint32_t>(out.triangles);
  if (!job.Run()) out.triangles.clear();
  out.triangle_polygon.clear();
  out.triangle_polygon.reserve(out.triangles.size() / 3);
  for (std::size_t p = 0; p + 1 < start.size(); ++p) {
    out.triangle_polygon.insert(out.triangle_polygon.end(), start[p + 1] - start[p] - 2, static_cast<std::uint32_t>(p));
  }
  std::vector<std::uint32_t> corner_points(g.polygon_vertex_index.size());
  for (std::size_t i = 0; i < corner_points.size(); ++i) corner_points[i] = g.polygon_vertex_index[i] & kVPolygonIndexMask;
  VBuildTriangleStrips(VSpan<const std::uint32_t>(out.triangles), VSpan<const std::uint32_t>(corner_points), out);
}
