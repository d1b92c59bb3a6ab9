#pragma once
// The text the viewer shows for its current camera: the camera's name (or
// "Switcher (name)") followed by what is unusual about the view.

#include <string>

struct VCameraLabelInput {
  std::string name;            // already "Switcher (...)" when a switcher drives the view
  double roll = 0;             // degrees; shown when it prints as other than 0.00
  double field_of_view = 40;   // degrees
  bool show_field_of_view = false;  // while the field of view is being changed
  bool zooming = false;        // the 2D magnifier is in use
  int picking_mode = 0;        // 0 "Normal", 1 "X-Ray", 2 "Models Only"
};

std::string VCameraLabel(const VCameraLabelInput& input);
