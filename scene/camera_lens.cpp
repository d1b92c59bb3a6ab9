#include "scene/camera_lens.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kRadiansToDoubledDegrees = 114.59155902616465;  // 360 / pi
constexpr double kHalfAngle = 0.008726646259971648;               // pi / 360

double ApertureMillimetres(double inches) {
  return (std::isfinite(inches) && inches > 0.0 ? inches : 1.0) * kVMillimetresPerInch;
}

}  // namespace

double VFieldOfViewFromFocalLength(double focal_length_mm, double aperture_inches) {
  const double f = std::isfinite(focal_length_mm) ? std::max(focal_length_mm, 1.0) : 1.0;
  return std::atan(ApertureMillimetres(aperture_inches) / (2.0 * f)) * kRadiansToDoubledDegrees;
}

double VFocalLengthFromFieldOfView(double field_of_view_degrees, double aperture_inches) {
  const double fov = std::isfinite(field_of_view_degrees) ? std::clamp(field_of_view_degrees, 1.0, 179.999) : 1.0;
  return ApertureMillimetres(aperture_inches) / (2.0 * std::tan(fov * kHalfAngle));
}
