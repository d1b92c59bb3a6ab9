#pragma once
// YrCamera and YrLight: public handles over the engine's cameras and lights
// (not owned). A handle over anything else is empty: its queries answer
// neutral values (identity matrices, 0, false).

#include "sdk/yr_component.h"
#include "sdk/yr_matrix.h"

class VCamera;
class VLight;

namespace YrSDK {

enum YrLightType { kYrLightTypePoint = 0, kYrLightTypeInfinite = 1, kYrLightTypeSpot = 2 };

class YrCamera : public YrComponent {
 public:
  YrCamera() = default;
  explicit YrCamera(VObject* object);
  bool IsValid() const { return camera_ != nullptr; }

  // The OpenGL arrays for the current evaluation.
  YrMatrix GetProjectionMatrix(int width, int height) const;
  YrMatrix GetViewMatrix() const;
  bool IsOrthographic() const;
  double GetFieldOfView() const;
  double GetRoll() const;
  bool SetFocalLength(double millimetres);

 private:
  VCamera* camera_ = nullptr;
};

class YrLight : public YrComponent {
 public:
  YrLight() = default;
  explicit YrLight(VObject* object);
  bool IsValid() const { return light_ != nullptr; }

  YrLightType GetLightType() const;
  double GetIntensity() const;
  double GetConeAngle() const;
  bool GetCastLight() const;
  YrVector3<double> GetColor() const;

 private:
  VLight* light_ = nullptr;
};

}  // namespace YrSDK
