#pragma once
// The state of a geometry edit, shared by a YrGeometry handle's copies and
// read by the mesh handles (this header is not public: it holds the
// engine's geometry).

#include <cstdint>
#include <vector>

#include "scene/geometry.h"
#include "sdk/yr_geometry.h"

namespace YrSDK {

struct YrGeometry::Edit {
  bool open = false;
  VGeometry geometry;
  bool polygon_open = false;
  std::vector<std::uint32_t> corners;
  int material = -1, texture = -1, group = -1;
  bool has_material = false, has_texture = false, has_group = false;
};

}  // namespace YrSDK
