#include "scene/camera.h"

#include <algorithm>
#include <cmath>

#include "scene/camera_lens.h"
#include "scene/camera_properties.h"
#include "scene/camera_view.h"
#include "scene/rotation.h"
#include "scene/vector_math.h"

using vmath::FiniteOr;
using vmath::Vec3;
using YrSDK::YrMatrix;

VCamera::VCamera(const std::string& name) : VModel(name, "Camera") {
  VAddCameraProperties(*this);
  mFocalLength->Set(ComputeFocalLength());
}

// --- geometry ----------------------------------------------------------------------------

Vec3 VCamera::GetPosition(const VEvaluateInfo& info) const {
  const auto& t = GetTranslation(kVSpaceGlobal, info);
  return vmath::FiniteOr(Vec3{t.x, t.y, t.z}, Vec3{0, 0, 0});
}

Vec3 VCamera::GetForward(const VEvaluateInfo& info) const {
  return vmath::Normalised(vmath::Row(GetRotationMatrix(kVSpaceGlobal, info), 0), Vec3{1, 0, 0});
}

Vec3 VCamera::GetUp(const VEvaluateInfo& info) const {
  return vmath::Normalised(vmath::Row(GetRotationMatrix(kVSpaceGlobal, info), 1), Vec3{0, 1, 0});
}

VTransformNode* VCamera::GetInterest() const {
  const auto* look_at = static_cast<const VPropertyObject*>(GetPropertyIfMade(kLookAt));
  return look_at && look_at->GetObjectCount() > 0 ? dynamic_cast<VTransformNode*>(look_at->GetObjectAt(0)) : nullptr;
}

Vec3 VCamera::GetInterestPosition(const VEvaluateInfo& info) const {
  if (const VTransformNode* interest = GetInterest()) {
    const auto& t = interest->GetTranslation(kVSpaceGlobal, info);
    return vmath::FiniteOr(Vec3{t.x, t.y, t.z}, GetPosition(info));
  }
  double distance = FiniteOr(mFocusDistance->Get(), 200.0);
  if (!(distance > 0.0)) distance = 200.0;
  return vmath::Add(GetPosition(info), vmath::Scale(GetForward(info), distance));
}

// --- projection --------------------------------------------------------------------------

bool VCamera::IsOrthographic() const { return mProjectionType->Get() == kVCameraOrthographic; }

VFrustumSettings VCamera::GetFrustumSettings() const {
  VFrustumSettings s;
  s.projection = IsOrthographic() ? kVCameraOrthographic : kVCameraPerspective;
  s.aperture_mode = mApertureMode->Get();
  s.field_of_view = mFieldOfView->Get();
  s.field_of_view_x = mFieldOfViewX->Get();
  s.field_of_view_y = mFieldOfViewY->Get();
  s.optical_center_x = mOpticalCenterX->Get();
  s.optical_center_y = mOpticalCenterY->Get();
  s.pixel_aspect_ratio = mPixelAspectRatio->Get();
  s.near_plane = mNearPlane->Get();
  s.far_plane = mFarPlane->Get();
  s.ortho_zoom = GetOrthoZoom();
  s.ortho_scale = ortho_scale_;
  s.use_magnifier = mUse2DMagnifierZoom->Get() != 0;
  s.magnifier_zoom = m2DMagnifierZoom->Get();
  s.magnifier_x = m2DMagnifierX->Get();
  s.magnifier_y = m2DMagnifierY->Get();
  s.tile = tile_;
  return s;
}

VFrustum VCamera::GetFrustum(int width, int height) const {
  return VComputeFrustum(GetFrustumSettings(), width, height);
}

YrMatrix VCamera::ComputeProjection(int width, int height, bool mirrored) const {
  VFrustum frustum = GetFrustum(width, height);
  if (mirrored) frustum = VMirrorVertically(frustum);
  YrMatrix m = VProjectionMatrix(frustum, IsOrthographic());
  VApplyJitter(m, jitter_x_, mirrored ? -jitter_y_ : jitter_y_);
  return m;
}

const YrMatrix& VCamera::CachedProjection(MatrixCache* caches, int width, int height, const VEvaluateInfo& info,
                                          bool mirrored) const {
  MatrixCache& cache = caches[SlotOf(info)];
  const std::uint64_t serial = info.Serial();
  if (cache.stamp != serial || cache.version != version_ || cache.width != width || cache.height != height) {
    cache.matrix = ComputeProjection(width, height, mirrored);
    cache.stamp = serial;
    cache.version = version_;
    cache.width = width;
    cache.height = height;
  }
  return cache.matrix;
}

YrMatrix VCamera::GetProjectionMatrix(int width, int height, const VEvaluateInfo& info) const {
  return CachedProjection(projection_, width, height, info, false);
}

YrMatrix VCamera::GetAlternateProjectionMatrix(int width, int height, const VEvaluateInfo& info) const {
  return CachedProjection(alternate_, width, height, info, true);
}

YrMatrix VCamera::GetViewMatrix(const VEvaluateInfo& info) const {
  MatrixCache& cache = view_[SlotOf(info)];
  const std::uint64_t serial = info.Serial();
  if (cache.stamp != serial || cache.version != version_) {
    cache.matrix = VCameraViewMatrix(GetPosition(info), GetForward(info), GetUp(info), mRoll->Get());
    cache.stamp = serial;
    cache.version = version_;
  }
  return cache.matrix;
}

double VCamera::GetOrthoZoom() const {
  const double zoom = mOrthoZoom->Get();
  return std::isfinite(zoom) && zoom > 0.0 ? zoom : 1.0;
}

void VCamera::SetOrthoZoom(double zoom) {
  if (std::isfinite(zoom) && zoom > 0.0) mOrthoZoom->Set(zoom);
}

void VCamera::SetOrthoScale(double scale) {
  if (!(std::isfinite(scale) && scale > 0.0) || scale == ortho_scale_) return;
  ortho_scale_ = scale;
  MarkStale();
}

void VCamera::SetTile(int tile) {
  const int t = tile >= 0 && tile <= 4 ? tile : 0;
  if (t == tile_) return;
  tile_ = t;
  MarkStale();
}

void VCamera::SetJitter(double jx, double jy) {
  const double x = FiniteOr(jx, 0.0), y = FiniteOr(jy, 0.0);
  if (x == jitter_x_ && y == jitter_y_) return;
  jitter_x_ = x;
  jitter_y_ = y;
  MarkStale();
}

// --- lens --------------------------------------------------------------------------------

double VCamera::GetFieldOfViewAperture() const {
  return mApertureMode->Get() == kVApertureVertical ? mFilmHeight->Get() : mFilmWidth->Get();
}

bool VCamera::SetFocalLength(double focal_length_mm) {
  if (std::isnan(focal_length_mm)) return false;
  const double f = std::isfinite(focal_length_mm) ? std::max(focal_length_mm, 0.0001) : 1e6;
  mFocalLength->Set(f);
  mFieldOfView->Set(VFieldOfViewFromFocalLength(f, GetFieldOfViewAperture()));
  mFieldOfViewX->Set(VFieldOfViewFromFocalLength(f, mFilmWidth->Get()));
  mFieldOfViewY->Set(VFieldOfViewFromFocalLength(f, mFilmHeight->Get()));
  return true;
}

double VCamera::ComputeFocalLength() const {
  return VFocalLengthFromFieldOfView(mFieldOfView->Get(), GetFieldOfViewAperture());
}

// --- samples -----------------------------------------------------------------------------

int VCamera::GetSampleCount() const {
  if (mUseSamplingGrid->Get()) return 9;
  return std::clamp(mFrameSamplingCount->Get(), 1, kVMaxSampleCount);
}

const std::vector<VSampleOffset>& VCamera::Samples(SampleCache& cache, double scale) const {
  const bool grid = mUseSamplingGrid->Get() != 0;
  const int count = GetSampleCount();
  const double s = FiniteOr(scale, 0.0);
  if (!cache.valid || cache.grid != grid || cache.count != count || cache.scale != s) {
    cache.table = grid ? VGridSampleTable(s) : VRelaxedCircleSampleTable(count, s);
    cache.valid = true;
    cache.grid = grid;
    cache.count = count;
    cache.scale = s;
  }
  return cache.table;
}

const std::vector<VSampleOffset>& VCamera::GetDepthOfFieldSamples() const {
  return Samples(depth_of_field_, mFocusAngle->Get());
}

const std::vector<VSampleOffset>& VCamera::GetAntialiasingSamples() const {
  return Samples(antialiasing_, mAntialiasingIntensity->Get());
}

// --- manipulation ------------------------------------------------------------------------

VCameraState VCamera::GetState(const VEvaluateInfo& info) const {
  VCameraState s;
  s.position = GetPosition(info);
  s.interest = GetInterestPosition(info);
  s.roll = FiniteOr(mRoll->Get(), 0.0);
  s.field_of_view = FiniteOr(mFieldOfView->Get(), 40.0);
  s.ortho_zoom = GetOrthoZoom();
  return s;
}

void VCamera::SetState(const VCameraState& state, const VEvaluateInfo& info) {
  const Vec3 position = vmath::FiniteOr(state.position, GetPosition(info));
  const Vec3 interest = vmath::FiniteOr(state.interest, GetInterestPosition(info));
  SetTranslation(kVSpaceGlobal, {position.x, position.y, position.z, 1.0}, info);
  if (VTransformNode* node = GetInterest()) {
    node->SetTranslation(kVSpaceGlobal, {interest.x, interest.y, interest.z, 1.0}, info);
  } else {
    // Keep the camera's own up side when turning it toward the point.
    const Vec3 direction = vmath::Sub(interest, position);
    if (vmath::Length(direction) >= 1e-12) {
      YrSDK::YrVector3<double> angles;
      YrSDK::YrMatrixToEuler(angles, VAimRotation(direction, GetUp(info)), GetRotationOrder());
      SetRotation(kVSpaceGlobal, angles, info);
    }
  }
  if (std::isfinite(state.roll)) mRoll->Set(state.roll);
  if (std::isfinite(state.field_of_view)) mFieldOfView->Set(state.field_of_view);
  SetOrthoZoom(state.ortho_zoom);
}

void VCamera::LookFrom(const Vec3& position, const Vec3& target, const Vec3& up) {
  SetTranslation(kVSpaceGlobal, {position.x, position.y, position.z, 1.0});
  YrSDK::YrVector3<double> angles;
  YrSDK::YrMatrixToEuler(angles, VAimRotation(vmath::Sub(target, position), up), GetRotationOrder());
  SetRotation(kVSpaceGlobal, angles);
}
