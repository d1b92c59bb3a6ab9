#pragma once
// The camera's viewing volume at the near plane and the OpenGL projection
// matrix built from it. Pure functions over plain values, so the renderer,
// the tools and the tests use them without a scene.
//
// Every input may come from a file: NaN, infinities, a zero-size viewport,
// near == far, a field of view of 0 or 180 degrees all give a finite,
// usable frustum and matrix.

#include "scene/matrix.h"

// "CameraProjectionType" values.
enum VCameraProjection : int { kVCameraPerspective = 0, kVCameraOrthographic = 1 };
// "ApertureMode" values.
enum VCameraAperture : int {
  kVApertureHorizontalAndVertical = 0,
  kVApertureHorizontal = 1,
  kVApertureVertical = 2,
};

struct VFrustum {
  double left = -1, right = 1, bottom = -1, top = 1;
  double near_plane = 1, far_plane = 2;
};

// What the frustum is computed from: the camera's property values at one
// evaluation plus its own orthographic zoom and scale and its tile index.
struct VFrustumSettings {
  int projection = kVCameraPerspective;
  int aperture_mode = kVApertureHorizontalAndVertical;
  double field_of_view = 40, field_of_view_x = 40, field_of_view_y = 40;  // degrees
  double optical_center_x = 0, optical_center_y = 0;                      // pixels
  double pixel_aspect_ratio = 1;
  double near_plane = 10, far_plane = 4000;
  double ortho_zoom = 1, ortho_scale = 1;
  bool use_magnifier = false;
  double magnifier_zoom = 100, magnifier_x = 50, magnifier_y = 50;  // percent
  int tile = 0;  // 0 whole frame, 1-4 one quarter
};

// Half the height of the orthographic view in world units at zoom 1.
constexpr double kVOrthoBaseHalfExtent = 178.0;

// The frustum for a viewport of width x height pixels: the projection's
// base bounds, then the 2D magnifier, then the tile.
VFrustum VComputeFrustum(const VFrustumSettings& settings, int width, int height);

// The steps on their own (VComputeFrustum runs them in this order).
VFrustum VBaseFrustum(const VFrustumSettings& settings, int width, int height);
void VApplyMagnifier(VFrustum& frustum, double zoom_percent, double x_percent, double y_percent);
void VApplyTile(VFrustum& frustum, int tile);

// The OpenGL frustum (perspective) or orthographic matrix, laid out as the
// OpenGL array so YrMatrix hands it over unchanged. A degenerate frustum
// (zero width, height or depth) gives the identity.
YrSDK::YrMatrix VProjectionMatrix(const VFrustum& frustum, bool orthographic);

// Sub-pixel jitter: the x and y translation terms grow by jx times the x
// scale term and jy times the y scale term. For both projections this is
// the image of the eye moved by (-jx, -jy) in eye units.
void VApplyJitter(YrSDK::YrMatrix& projection, double jx, double jy);

// The frustum mirrored top to bottom, used for vertically inverted
// rendering: combined with a flip of the eye's y axis it draws exactly the
// upside-down image of the normal frustum, off-centre frusta included.
VFrustum VMirrorVertically(const VFrustum& frustum);
