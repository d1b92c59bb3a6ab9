#pragma once
// A camera: a model of subtype "Camera" that looks along its node's +X axis
// with +Y up (an interest node, when connected to "LookAtProperty", turns
// that axis toward itself). It gives the renderer its frustum, projection
// and view matrices for an evaluation, cached per evaluation slot and
// stamped with the evaluation serial, and the sample offset tables of the
// multi-sample frame.

#include <cstdint>
#include <string>
#include <vector>

#include "scene/camera_frustum.h"
#include "scene/camera_samples.h"
#include "scene/model.h"

// Where a camera is and how it looks, as the manipulators read and write it.
struct VCameraState {
  YrSDK::YrVector3<double> position;
  YrSDK::YrVector3<double> interest;
  double roll = 0;
  double field_of_view = 40;
  double ortho_zoom = 1;
};

class VCamera : public VModel {
 public:
  explicit VCamera(const std::string& name);

  // --- geometry at an evaluation ------------------------------------------------------
  YrSDK::YrVector3<double> GetPosition(const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  // Unit forward (+X of the node) and up (+Y) directions in global space,
  // before the roll.
  YrSDK::YrVector3<double> GetForward(const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  YrSDK::YrVector3<double> GetUp(const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  // The interest node (the "LookAtProperty" target); null when none.
  VTransformNode* GetInterest() const;
  // The interest's global position; without an interest node, the point
  // "FocusDistance" ahead of the camera.
  YrSDK::YrVector3<double> GetInterestPosition(const VEvaluateInfo& info = VEvaluateInfo::Default()) const;

  // --- projection ---------------------------------------------------------------------
  bool IsOrthographic() const;
  VFrustumSettings GetFrustumSettings() const;
  VFrustum GetFrustum(int width, int height) const;
  // Projection for a viewport in pixels, with the jitter applied; the
  // OpenGL array (column-major), returned by value.
  YrSDK::YrMatrix GetProjectionMatrix(int width, int height,
                                      const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  // The projection of the frustum mirrored top to bottom, for vertically
  // inverted rendering (the renderer flips its y as well).
  YrSDK::YrMatrix GetAlternateProjectionMatrix(int width, int height,
                                               const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  // World to eye: view = T(-position) * R * Rz(-"Roll"), returned by value.
  YrSDK::YrMatrix GetViewMatrix(const VEvaluateInfo& info = VEvaluateInfo::Default()) const;

  // The orthographic zoom ("CameraOrthoZoom") and the orthographic scale
  // factor (the camera's own state, 1 unless set; not stored in files).
  double GetOrthoZoom() const;
  void SetOrthoZoom(double zoom);
  double GetOrthoScale() const { return ortho_scale_; }
  void SetOrthoScale(double scale);
  // The quarter of the frame rendered (0 whole, 1-4 quarters); other values
  // count as 0.
  int GetTile() const { return tile_; }
  void SetTile(int tile);
  // The sub-pixel jitter the multi-sample frame sets for one pass.
  void SetJitter(double jx, double jy);
  void ClearJitter() { SetJitter(0.0, 0.0); }

  // --- lens -----------------------------------------------------------------------------
  // The film aperture (inches) along the direction "FieldOfView" covers:
  // "FilmHeight" for the vertical aperture mode, else "FilmWidth".
  double GetFieldOfViewAperture() const;
  // Stores max(f, 0.0001) in "FocalLength" and recomputes "FieldOfView",
  // "FieldOfViewX" and "FieldOfViewY" from it; false (nothing changes) for
  // a value that is not a number.
  bool SetFocalLength(double focal_length_mm);
  // The focal length that gives the current "FieldOfView".
  double ComputeFocalLength() const;

  // --- multi-sample tables ----------------------------------------------------------------
  // The grid (9 samples) when "UseSamplingGrid" is on, else the relaxed
  // circle of "FrameSamplingCount" samples; scaled by "FocusAngle" and by
  // "AntialiasingIntensity". Rebuilt when those settings change.
  const std::vector<VSampleOffset>& GetDepthOfFieldSamples() const;
  const std::vector<VSampleOffset>& GetAntialiasingSamples() const;
  int GetSampleCount() const;

  // --- manipulation ---------------------------------------------------------------------
  VCameraState GetState(const VEvaluateInfo& info = VEvaluateInfo::Default()) const;
  // Writes position, interest, roll, field of view and orthographic zoom
  // together. Without an interest node the camera is turned to face the
  // interest point instead.
  void SetState(const VCameraState& state, const VEvaluateInfo& info = VEvaluateInfo::Default());
  // Places the camera at `position` looking at `target` with +Y up (the
  // producer cameras and the sample scene use it).
  void LookFrom(const YrSDK::YrVector3<double>& position, const YrSDK::YrVector3<double>& target,
                const YrSDK::YrVector3<double>& up = {0, 1, 0});

  // The properties the camera reads itself; every other one of its
  // properties is found by name.
  VPropertyDouble* mRoll;
  VPropertyDouble* mFieldOfView;
  VPropertyDouble* mFieldOfViewX;
  VPropertyDouble* mFieldOfViewY;
  VPropertyDouble* mOpticalCenterX;
  VPropertyDouble* mOpticalCenterY;
  VPropertyDouble3* mBackgroundColor;
  VPropertyDouble* mFocalLength;
  VPropertyInt* mResolutionMode;
  VPropertyInt* mApertureMode;
  VPropertyDouble* mAspectW;
  VPropertyDouble* mAspectH;
  VPropertyDouble* mPixelAspectRatio;
  VPropertyDouble* mNearPlane;
  VPropertyDouble* mFarPlane;
  VPropertyDouble* mFilmWidth;
  VPropertyDouble* mFilmHeight;
  VPropertyBool* mUse2DMagnifierZoom;
  VPropertyDouble* m2DMagnifierZoom;
  VPropertyDouble* m2DMagnifierX;
  VPropertyDouble* m2DMagnifierY;
  VPropertyInt* mProjectionType;
  VPropertyBool* mUseDepthOfField;
  VPropertyInt* mFocusSource;
  VPropertyDouble* mFocusAngle;
  VPropertyDouble* mFocusDistance;
  VPropertyBool* mUseAntialiasing;
  VPropertyDouble* mAntialiasingIntensity;
  VPropertyBool* mUseAccumulationBuffer;
  VPropertyInt* mFrameSamplingCount;
  VPropertyBool* mViewShowGrid;
  VPropertyBool* mViewShowAxis;
  VPropertyDouble* mOrthoZoom;
  VPropertyBool* mUseSamplingGrid;

 private:
  struct MatrixCache {
    std::uint64_t stamp = 0;
    std::uint64_t version = 0;
    int width = 0, height = 0;
    YrSDK::YrMatrix matrix;
  };
  struct SampleCache {
    bool valid = false;
    bool grid = false;
    int count = 0;
    double scale = 0;
    std::vector<VSampleOffset> table;
  };

  YrSDK::YrMatrix ComputeProjection(int width, int height, bool mirrored) const;
  const YrSDK::YrMatrix& CachedProjection(MatrixCache* caches, int width, int height, const VEvaluateInfo& info,
                                          bool mirrored) const;
  const std::vector<VSampleOffset>& Samples(SampleCache& cache, double scale) const;
  // Member state that is not a property changed: the caches are stale.
  void MarkStale() { ++version_; }

  double ortho_scale_ = 1.0;
  int tile_ = 0;
  double jitter_x_ = 0.0, jitter_y_ = 0.0;
  std::uint64_t version_ = 1;
  mutable MatrixCache projection_[kVEvaluateSlotCount];
  mutable MatrixCache alternate_[kVEvaluateSlotCount];
  mutable MatrixCache view_[kVEvaluateSlotCount];
  mutable SampleCache depth_of_field_;
  mutable SampleCache antialiasing_;
};
