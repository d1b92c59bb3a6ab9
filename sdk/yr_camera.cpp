#include "sdk/yr_camera.h"

#include "scene/camera.h"
#include "scene/light.h"

namespace YrSDK {

YrCamera::YrCamera(VObject* object) : YrComponent(object), camera_(dynamic_cast<VCamera*>(object)) {}

YrMatrix YrCamera::GetProjectionMatrix(int width, int height) const {
  return camera_ ? camera_->GetProjectionMatrix(width, height) : YrMatrix{};
}

YrMatrix YrCamera::GetViewMatrix() const { return camera_ ? camera_->GetViewMatrix() : YrMatrix{}; }

bool YrCamera::IsOrthographic() const { return camera_ && camera_->IsOrthographic(); }

double YrCamera::GetFieldOfView() const { return camera_ ? camera_->mFieldOfView->Get() : 0.0; }

double YrCamera::GetRoll() const { return camera_ ? camera_->mRoll->Get() : 0.0; }

bool YrCamera::SetFocalLength(double millimetres) { return camera_ && camera_->SetFocalLength(millimetres); }

YrLight::YrLight(VObject* object) : YrComponent(object), light_(dynamic_cast<VLight*>(object)) {}

YrLightType YrLight::GetLightType() const {
  return light_ ? static_cast<YrLightType>(light_->GetLightType()) : kYrLightTypePoint;
}

double YrLight::GetIntensity() const { return light_ ? light_->GetIntensity() : 0.0; }

double YrLight::GetConeAngle() const { return light_ ? light_->GetConeAngle() : 0.0; }

bool YrLight::GetCastLight() const { return light_ && light_->CastsLight(); }

YrVector3<double> YrLight::GetColor() const { return light_ ? light_->GetColor() : YrVector3<double>{}; }

}  // namespace YrSDK
