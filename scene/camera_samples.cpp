#include "scene/camera_samples.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kRelaxationSteps = 900;
// Divides the summed push of every step: larger is slower and steadier.
constexpr double kRelaxationConstant = 20.0;
constexpr double kTwoPi = 6.283185307179586;

double FiniteScale(double scale) { return std::isfinite(scale) ? scale : 0.0; }

// A small random offset from the process-wide generator.
double Nudge() { return (static_cast<double>(std::rand()) / RAND_MAX - 0.5) * 1e-3; }

}  // namespace

std::vector<VSampleOffset> VGridSampleTable(double scale) {
  const double s = FiniteScale(scale);
  std::vector<VSampleOffset> table;
  for (int y = -1; y <= 1; ++y) {
    for (int x = -1; x <= 1; ++x) table.push_back({x * s, y * s});
  }
  return table;
}

std::vector<VSampleOffset> VRelaxedCircleSampleTable(int count, double scale) {
  std::srand(37);
  if (count < 1) return {};
  const int n = std::min(count, kVMaxSampleCount);
  const int guides = 3 * n;
  std::vector<VSampleOffset> guide(static_cast<size_t>(guides));
  for (int i = 0; i < guides; ++i) {
    const double a = kTwoPi * i / guides;
    guide[static_cast<size_t>(i)] = {std::cos(a), std::sin(a)};
  }
  std::vector<VSampleOffset> samples(static_cast<size_t>(n));
  std::vector<VSampleOffset> push(samples.size());
  // Inverse-distance repulsion: between samples, and from the guide points
  // on the rim, which keeps the samples inside the circle.
  auto add_push = [](VSampleOffset& out, const VSampleOffset& from, const VSampleOffset& other) {
    double dx = from.x - other.x, dy = from.y - other.y;
    double d2 = dx * dx + dy * dy;
    if (d2 < 1e-12) {  // coincident: push in a random direction
      dx = Nudge();
      dy = Nudge();
      d2 = dx * dx + dy * dy + 1e-12;
    }
    out.x += dx / d2;
    out.y += dy / d2;
  };
  for (int step = 0; step < kRelaxationSteps; ++step) {
    for (size_t i = 0; i < samples.size(); ++i) {
      VSampleOffset f;
      for (size_t j = 0; j < samples.size(); ++j) {
        if (j != i) add_push(f, samples[i], samples[j]);
      }
      for (const VSampleOffset& g : guide) add_push(f, samples[i], g);
      push[i] = f;
    }
    for (size_t i = 0; i < samples.size(); ++i) {
      double dx = push[i].x / (kRelaxationConstant * guides);
      double dy = push[i].y / (kRelaxationConstant * guides);
      // A bounded step keeps the walk stable when two samples nearly meet.
      const double length = std::sqrt(dx * dx + dy * dy);
      if (length > 0.05) {
        dx *= 0.05 / length;
        dy *= 0.05 / length;
      }
      samples[i].x += dx;
      samples[i].y += dy;
      // Never past the rim.
      const double r = std::sqrt(samples[i].x * samples[i].x + samples[i].y * samples[i].y);
      if (r > 0.99) {
        samples[i].x *= 0.99 / r;
        samples[i].y *= 0.99 / r;
      }
    }
  }
  double farthest = 0.0;
  for (const VSampleOffset& s : samples) farthest = std::max(farthest, std::sqrt(s.x * s.x + s.y * s.y));
  const double k = farthest > 0.0 ? FiniteScale(scale) / farthest : 0.0;
  for (VSampleOffset& s : samples) {
    s.x *= k;
    s.y *= k;
  }
  return samples;
}
