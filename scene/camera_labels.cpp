#include "scene/camera_labels.h"

#include <cmath>
#include <cstdio>

namespace {

// Printed with "%5.2f": keeps a hostile value from printing hundreds of
// digits or "nan".
double Printable(double v) {
  if (!std::isfinite(v)) return 0.0;
  return v > 1e9 ? 1e9 : (v < -1e9 ? -1e9 : v);
}

}  // namespace

std::string VCameraLabel(const VCameraLabelInput& input) {
  std::string label = input.name;
  char buffer[64];
  const double roll = Printable(input.roll);
  if (std::fabs(roll) >= 0.005) {
    std::snprintf(buffer, sizeof buffer, " (Roll:%5.2f degrees)", roll);
    label += buffer;
  }
  if (input.show_field_of_view) {
    std::snprintf(buffer, sizeof buffer, " (Field Of View : %5.2f degrees)", Printable(input.field_of_view));
    label += buffer;
  }
  if (input.zooming) label += " (Zooming)";
  if (input.picking_mode == 2) label += " (Models only)";
  if (input.picking_mode == 1) label += " (X-Ray)";
  return label;
}
