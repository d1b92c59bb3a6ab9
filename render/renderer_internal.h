#pragma once
// What the renderer's source files share: the per-frame state, the draw
// list and the mesh cache. Not part of the renderer's interface.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "render/gl_functions.h"
#include "render/mesh_draw_data.h"
#include "render/renderer.h"
#include "render/shading_setup.h"
#include "scene/camera.h"
#include "scene/camera_manipulator.h"
#include "scene/matrix.h"

class VModelPolymesh;
class VShader;

// How one mesh is drawn this frame.
struct VOGLRenderer::DrawItem {
  VModelPolymesh* mesh = nullptr;
  const YrSDK::YrMatrix* matrix = nullptr;  // global matrix with the geometric offset
  std::uint32_t passes = 0;                 // pass bits
  bool lit = true;                          // lighting on (else one flat colour)
  bool textured = false;
  bool flat_shading = false;                // one colour per face
  bool wire = false;                        // edges only
  float line_width = 1.0f;
  float alpha = 1.0f;                       // shader alpha (x-ray forces its own)
  VLightedShaderInput lighted;              // the lighted shader's set-up
  bool use_specific_color = false;          // flat shader colour
  float specific_color[3] = {1, 1, 1};
  float luminosity = 1.0f;                  // flat shader
  double eye_depth = 0;                     // distance along the view, for the z-sort pass
  struct MeshEntry* entry = nullptr;
};

struct VOGLRenderer::Frame {
  VCamera* camera = nullptr;
  YrSDK::YrMatrix view;
  YrSDK::YrMatrix projection;
  bool show_grid = false;
  bool show_axis = false;
  std::vector<DrawItem> items;
  std::vector<const DrawItem*> sorted;  // z-sort pass order, far to near
};

// A mouse gesture on the render camera, from press to release.
enum VGestureKind { kOrbit, kPan, kDolly, kZoom };

struct VOGLRenderer::Gesture {
  VGestureKind kind = kOrbit;
  VCamera* camera = nullptr;
  VCameraManipulator manipulator{kVCameraSlide};
  int press_x = 0, press_y = 0;
  VCameraState press;
};

// A mesh's drawing data and its buffer objects.
struct MeshEntry {
  std::uint64_t stamp = 0;              // geometry stamp the data was built from
  std::uint64_t positions_serial = 0;   // evaluation the positions come from
  std::uint64_t last_frame = 0;         // frames not seen are released
  VMeshDrawData data;
  std::vector<float> scratch;
  unsigned int buffers[5] = {0, 0, 0, 0, 0};  // positions, normals, uvs, triangles, edges
  bool uploaded = false;
};

struct VMeshCache {
  std::unordered_map<const VModelPolymesh*, MeshEntry> entries;
  std::vector<unsigned int> released;  // buffer names to delete at the next frame
};

// Row-vector matrices as the renderer multiplies them: a * b.
YrSDK::YrMatrix VRenderMultiply(const YrSDK::YrMatrix& a, const YrSDK::YrMatrix& b);
